#include "file/ConflictCopies.h"

#include <algorithm>
#include <regex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileIdentity.h"

namespace kavelmark
{
namespace
{

// What the engines put between the name and its extension.
const std::regex& ConflictMarks()
{
    static const std::regex marks(R"(\.sync-conflict-\d{8}-\d{6}-[A-Z0-9]+)"
                                  R"(| \(conflicted copy (.+ )?\d{4}-\d{2}-\d{2} \d{6}\))"
                                  R"(| \(.+ conflicted copy \d{4}-\d{2}-\d{2}\))");
    return marks;
}

} // namespace

bool IsConflictCopyName(std::string_view candidate, std::string_view fileName)
{
    // The extension starts at the last dot, unless the name is nothing but a dot and what follows.
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemLength = dot == std::string_view::npos || dot == 0 ? fileName.size() : dot;
    const std::string_view stem = fileName.substr(0, stemLength);
    const std::string_view extension = fileName.substr(stemLength);
    if (candidate.size() <= fileName.size() || !candidate.starts_with(stem) || !candidate.ends_with(extension))
    {
        return false;
    }
    const std::string middle(candidate.substr(stem.size(), candidate.size() - stem.size() - extension.size()));
    return std::regex_match(middle, ConflictMarks());
}

std::vector<std::string> FindConflictCopies(const std::string& path)
{
    std::vector<std::string> copies;
    const std::string target = ResolvedFilePath(path);
    if (target.empty())
    {
        return copies;
    }
    const std::string folderPath = FolderOf(target);
    const std::string name = NameOf(target);
    DIR* folder = ::opendir(folderPath.c_str());
    if (!folder)
    {
        return copies;
    }
    while (const dirent* entry = ::readdir(folder))
    {
        struct stat info = {};
        if (IsConflictCopyName(entry->d_name, name) &&
            ::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
        {
            copies.push_back(folderPath + "/" + entry->d_name);
        }
    }
    ::closedir(folder);
    std::sort(copies.begin(), copies.end());
    return copies;
}

FileIdentity ConflictCopyIdentity(const std::string& copy)
{
    const int fd = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
    {
        return {};
    }
    struct stat info = {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const FileIdentity identity = regular ? IdentityOfOpenFile(fd) : FileIdentity{};
    ::close(fd);
    return identity;
}

CopyRemoval RemoveUnchangedCopy(const std::string& copy, const FileIdentity& identity)
{
    const FileIdentity now = ConflictCopyIdentity(copy);
    if (!identity.exists || !now.exists || !SameFile(identity, now))
    {
        return CopyRemoval::Replaced;
    }
    return ::unlink(copy.c_str()) == 0 ? CopyRemoval::Removed : CopyRemoval::Failed;
}

} // namespace kavelmark

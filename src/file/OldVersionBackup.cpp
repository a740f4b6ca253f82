#include "file/OldVersionBackup.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileIdentity.h"
#include "file/RetryingFile.h"

namespace kavelmark
{
namespace
{

enum class Placed
{
    Done,
    NameTaken,
    NoLinks,
    Failed,
};

// What a copy of the bytes gets around: a file system without hard links, a symbolic link to
// a file on another one, too many links, links to files of another owner refused.
bool LinkRefused(int error)
{
    return error == EPERM || error == EXDEV || error == EMLINK || error == EOPNOTSUPP || error == ENOSYS;
}

Placed Link(const std::string& path, const std::string& backup)
{
    // Follows a symbolic link: the backup is the file the save will replace, not the link.
    if (SystemCalls().linkat(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) == 0)
    {
        return Placed::Done;
    }
    if (errno == EEXIST)
    {
        return Placed::NameTaken;
    }
    return LinkRefused(errno) ? Placed::NoLinks : Placed::Failed;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t written = SystemCalls().write(fd, data, size);
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyBytes(int from, int to)
{
    std::vector<char> buffer(64 * 1024);
    for (;;)
    {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got <= 0)
        {
            return got == 0;
        }
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got)))
        {
            return false;
        }
    }
}

// A whole copy of the file beside it, on the disk, under a temporary name that a later save
// clears away should this run be killed half-way. Empty when it could not be made.
std::string CopyBeside(const std::string& path)
{
    std::string temporary = FolderOf(path) + "/." + NameOf(path) + ".XXXXXX";
    const int to = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (to < 0)
    {
        return {};
    }
    const int from = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    struct stat info = {};
    bool copied = from >= 0 && ::fstat(from, &info) == 0 && ::fchmod(to, info.st_mode & 07777) == 0 &&
                  CopyBytes(from, to) && SystemCalls().fsync(to) == 0;
    if (from >= 0)
    {
        ::close(from);
    }
    copied = SystemCalls().close(to) == 0 && copied;
    if (!copied)
    {
        ::unlink(temporary.c_str());
        return {};
    }
    return temporary;
}

Placed PlaceCopy(const std::string& copy, const std::string& backup)
{
    if (::renameat2(AT_FDCWD, copy.c_str(), AT_FDCWD, backup.c_str(), RENAME_NOREPLACE) == 0)
    {
        return Placed::Done;
    }
    if (errno == EEXIST)
    {
        return Placed::NameTaken;
    }
    if (errno != EINVAL && errno != ENOSYS)
    {
        return Placed::Failed;
    }
    // A file system without no-replace renames; the name was free a moment ago.
    return std::rename(copy.c_str(), backup.c_str()) == 0 ? Placed::Done : Placed::Failed;
}

} // namespace

BackupResult KeepOldVersion(const std::string& path)
{
    // Made once a link was refused, and placed under the first free name.
    std::string copy;
    BackupResult result = BackupResult::Failed;
    for (unsigned n = 1; n < UINT_MAX; ++n)
    {
        const std::string backup = path + ".old_" + std::to_string(n);
        struct stat info = {};
        if (::lstat(backup.c_str(), &info) == 0)
        {
            continue;
        }
        if (errno != ENOENT)
        {
            // A name too long, a folder we may not search: no later number fares better.
            break;
        }
        Placed placed = copy.empty() ? Link(path, backup) : PlaceCopy(copy, backup);
        if (placed == Placed::NoLinks)
        {
            copy = CopyBeside(path);
            placed = copy.empty() ? Placed::Failed : PlaceCopy(copy, backup);
        }
        if (placed == Placed::Done)
        {
            copy.clear();
            result = BackupResult::Made;
            break;
        }
        if (placed == Placed::Failed)
        {
            break;
        }
    }
    if (!copy.empty())
    {
        ::unlink(copy.c_str());
    }
    return result;
}

} // namespace kavelmark

#include "file/FileIdentity.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileError.h"
#include "file/PasswordFile.h"

namespace kavelmark
{
namespace
{

std::map<std::string, FileIdentity>& Remembered()
{
    static std::map<std::string, FileIdentity> identities;
    return identities;
}

std::string KeyOf(const std::string& path)
{
    std::string resolved = ResolvedFilePath(path);
    return resolved.empty() ? path : resolved;
}

FileIdentity FromStat(const struct stat& info)
{
    FileIdentity identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    identity.statusChanged = info.st_ctim;
    return identity;
}

bool SameStat(const FileIdentity& a, const FileIdentity& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec;
}

bool ReadDigest(int fd, FileIdentity& identity)
{
    FileDigest hash;
    std::vector<unsigned char> buffer(64 * 1024);
    off_t offset = 0;
    for (;;)
    {
        ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got < 0)
        {
            return false;
        }
        if (got == 0)
        {
            break;
        }
        hash.Update(buffer.data(), static_cast<std::size_t>(got));
        offset += got;
    }
    identity.digest = hash.Final();
    identity.hasDigest = true;
    return true;
}

// The whole identity of what is at path, digest included when it can be read.
FileIdentity FullIdentityAtPath(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
    {
        return IdentityAtPath(path);
    }
    FileIdentity identity = IdentityOfOpenFile(fd);
    ::close(fd);
    return identity;
}

} // namespace

std::string FolderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ResolvedFilePath(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop)
    {
        struct stat info = {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        {
            std::string folder = FolderOf(current);
            // Owned at once, so that running out of memory below cannot leak it.
            std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr), &std::free);
            if (!real)
            {
                return current;
            }
            std::string resolved = real.get();
            return (resolved == "/" ? "" : resolved) + "/" + NameOf(current);
        }
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size())
        {
            return {};
        }
        std::string next(target.data(), static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
    }
    return {};
}

FileIdentity StatOfOpenFile(int fd)
{
    struct stat info = {};
    return ::fstat(fd, &info) == 0 ? FromStat(info) : FileIdentity{};
}

FileIdentity IdentityOfOpenFile(int fd)
{
    FileIdentity identity = StatOfOpenFile(fd);
    // A file larger than any password file is refused unread; its stat data must do.
    if (identity.exists && static_cast<std::uint64_t>(identity.size) <= PasswordFile::kMaxFileSize)
    {
        ReadDigest(fd, identity);
    }
    return identity;
}

bool WrittenSince(const FileIdentity& identity, int fd)
{
    const FileIdentity now = StatOfOpenFile(fd);
    return !SameStat(identity, now) || identity.statusChanged.tv_sec != now.statusChanged.tv_sec ||
           identity.statusChanged.tv_nsec != now.statusChanged.tv_nsec;
}

FileIdentity IdentityAtPath(const std::string& path)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
    {
        return {};
    }
    return FromStat(info);
}

void RememberUnopenedFile(const std::string& path, int openResult)
{
    if (openResult == kFileNotFound)
    {
        RememberFileIdentity(path, FileIdentity{});
    }
    else
    {
        Remembered().erase(KeyOf(path));
    }
}

void RememberFileAtPath(const std::string& path)
{
    std::string key = KeyOf(path);
    Remembered()[key] = FullIdentityAtPath(key);
}

void RememberFileIdentity(const std::string& path, const FileIdentity& identity)
{
    Remembered()[KeyOf(path)] = identity;
}

std::optional<FileIdentity> RememberedFileIdentity(const std::string& path)
{
    auto found = Remembered().find(KeyOf(path));
    if (found == Remembered().end())
    {
        return std::nullopt;
    }
    return found->second;
}

bool ReplacedSince(const FileIdentity& expected, const std::string& path, FileIdentity& now)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
    {
        now = {};
        // Unknown is not unchanged; only a file that is gone has nothing to lose.
        return errno != ENOENT;
    }
    now = FullIdentityAtPath(path);
    return !expected.exists || !SameFile(expected, now);
}

bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    // Equal stat data cannot rule out a rewrite in place within one tick of the clock, or
    // with its time set back: only the bytes can, where they could be read.
    return SameStat(a, b) && !(a.hasDigest && b.hasDigest && a.digest != b.digest);
}

} // namespace kavelmark

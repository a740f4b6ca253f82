#include "file/RetryingFile.h"

#include <cerrno>
#include <random>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileError.h"

namespace kavelmark
{
namespace
{

int LastError()
{
    return FileErrorFromErrno(errno);
}

int OpenFile(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

// A lock request the file system cannot serve (network and FUSE file systems, or a folder
// there) leaves the file unlocked rather than unusable.
bool NoLockSupport(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS || error == EINVAL ||
           error == EBADF;
}

// Takes lock (LOCK_SH or LOCK_EX) without waiting: 0, or a cause code to retry on.
int TryLock(int fd, int lock)
{
    if (SystemCalls().flock(fd, lock | LOCK_NB) == 0 || NoLockSupport(errno))
    {
        return kFileOk;
    }
    return errno == EWOULDBLOCK ? kFileSharingViolation : LastError();
}

std::string RandomSuffix()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i)
    {
        suffix.push_back(kLetters[pick(random)]);
    }
    return suffix;
}

// Unnamed files get their name through /proc, which linkat needs without privileges.
bool UnnamedFilesUsable()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

} // namespace

FileSystemCalls& SystemCalls()
{
    static FileSystemCalls calls{::write, ::fsync, ::rename, OpenFile, ::close, ::flock, ::linkat, ::read};
    return calls;
}

RetryingFile::RetryingFile() : pause_(&RetryingFile::Sleep)
{
}

RetryingFile::RetryingFile(Pause pause) : pause_(std::move(pause))
{
}

RetryingFile::~RetryingFile()
{
    Close();
}

void RetryingFile::Sleep(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

int RetryingFile::WithRetries(const std::function<int()>& attempt, const Pause& pause)
{
    int result = attempt();
    for (int retry = 1; retry <= 5 && result != kFileOk; ++retry)
    {
        pause(std::chrono::milliseconds(retry * retry * 10));
        result = attempt();
    }
    return result;
}

int RetryingFile::OpenForReading(const std::string& path, FinalLink finalLink)
{
    Close();
    const bool follow = finalLink == FinalLink::Follow;
    int result = WithRetries(
        [&]() -> int
        {
            // Non-blocking open so that a FIFO in place of the file cannot hang us.
            int fd = SystemCalls().open(path.c_str(),
                                        O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (follow ? 0 : O_NOFOLLOW), 0);
            if (fd < 0)
            {
                return LastError();
            }
            struct stat opened = {};
            struct stat named = {};
            int error = kFileOk;
            if (::fstat(fd, &opened) != 0)
            {
                error = LastError();
            }
            else if (!S_ISREG(opened.st_mode))
            {
                error = kFileAccessDenied;
            }
            else
            {
                error = TryLock(fd, LOCK_SH);
            }
            if (error == kFileOk && ((follow ? ::stat(path.c_str(), &named) : ::lstat(path.c_str(), &named)) != 0 ||
                                     named.st_ino != opened.st_ino || named.st_dev != opened.st_dev))
            {
                // A save replaced the file while we waited for the lock: take the new one.
                error = kFileSharingViolation;
            }
            if (error != kFileOk)
            {
                ::close(fd);
                return error;
            }
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            fd_ = fd;
            length_ = static_cast<std::uint64_t>(opened.st_size);
            return kFileOk;
        },
        pause_);
    if (result == kFileOk)
    {
        path_ = path;
        position_ = 0;
    }
    return result;
}

int RetryingFile::LockForWriting(const std::string& path)
{
    Close();
    int result = WithRetries(
        [&]() -> int
        {
            int fd = SystemCalls().open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
            if (fd < 0)
            {
                return errno == ENOENT ? kFileOk : LastError();
            }
            if (int error = TryLock(fd, LOCK_EX); error != kFileOk)
            {
                SystemCalls().close(fd);
                return error;
            }
            fd_ = fd;
            return kFileOk;
        },
        pause_);
    if (result == kFileOk && fd_ >= 0)
    {
        path_ = path;
    }
    return result;
}

int RetryingFile::LockFolder(const std::string& folder)
{
    Close();
    int result = WithRetries(
        [&]() -> int
        {
            int fd = SystemCalls().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
            if (fd < 0)
            {
                // A folder that may be written but not read can still take the file.
                return errno == EACCES ? kFileOk : errno == ENOENT ? kFileBadPath : LastError();
            }
            if (int error = TryLock(fd, LOCK_EX); error != kFileOk)
            {
                SystemCalls().close(fd);
                return error;
            }
            fd_ = fd;
            return kFileOk;
        },
        pause_);
    if (result == kFileOk && fd_ >= 0)
    {
        path_ = folder;
    }
    return result;
}

int RetryingFile::CreateTemporary(const std::string& folder, const std::string& prefix)
{
    Close();
    std::string name;
    bool unnamedUsable = UnnamedFilesUsable();
    int result = WithRetries(
        [&]() -> int
        {
            int fd = -1;
            if (unnamedUsable)
            {
                fd = SystemCalls().open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
                if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                {
                    return LastError();
                }
                unnamedUsable = fd >= 0;
            }
            for (int attempt = 0; fd < 0 && attempt < 100; ++attempt)
            {
                name = prefix + RandomSuffix();
                fd = SystemCalls().open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW,
                                        0600);
                if (fd < 0 && errno != EEXIST)
                {
                    return LastError();
                }
            }
            if (fd < 0)
            {
                return kFileDirectoryFull;
            }
            // Tells the clean-up of another save that this file is still being written.
            TryLock(fd, LOCK_EX);
            fd_ = fd;
            return kFileOk;
        },
        pause_);
    if (result == kFileOk)
    {
        path_ = unnamedUsable ? std::string() : name;
        length_ = 0;
        position_ = 0;
    }
    return result;
}

int RetryingFile::GiveName(const std::string& prefix)
{
    if (fd_ < 0)
    {
        return kFileInvalidHandle;
    }
    if (HasName())
    {
        return kFileOk;
    }
    std::string handle = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::string name = prefix + RandomSuffix();
        if (SystemCalls().linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        {
            path_ = name;
            return kFileOk;
        }
        if (errno != EEXIST)
        {
            return LastError();
        }
    }
    return kFileDirectoryFull;
}

std::size_t RetryingFile::Read(char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (fd_ >= 0 && done < size)
    {
        ssize_t got = SystemCalls().read(fd_, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got <= 0)
        {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    position_ += done;
    return done;
}

std::uint64_t RetryingFile::Remaining() const
{
    return position_ < length_ ? length_ - position_ : 0;
}

int RetryingFile::Write(const char* data, std::size_t size)
{
    if (fd_ < 0)
    {
        return kFileInvalidHandle;
    }
    std::size_t done = 0;
    while (done < size)
    {
        ssize_t written = SystemCalls().write(fd_, data + done, size - done);
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written < 0)
        {
            return LastError();
        }
        if (written == 0)
        {
            return kFileDiskFull;
        }
        done += static_cast<std::size_t>(written);
    }
    position_ += done;
    length_ = std::max(length_, position_);
    return kFileOk;
}

int RetryingFile::Sync()
{
    if (fd_ < 0)
    {
        return kFileInvalidHandle;
    }
    return SystemCalls().fsync(fd_) == 0 ? kFileOk : LastError();
}

int RetryingFile::Close()
{
    if (fd_ < 0)
    {
        return kFileOk;
    }
    int result = SystemCalls().close(fd_) == 0 ? kFileOk : LastError();
    fd_ = -1;
    return result;
}

} // namespace kavelmark

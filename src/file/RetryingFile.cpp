#include "file/RetryingFile.h"

#include <cerrno>
#include <thread>
#include <vector>

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

} // namespace

FileSystemCalls& SystemCalls()
{
    static FileSystemCalls calls{::write, ::fsync, ::rename};
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

int RetryingFile::OpenForReading(const std::string& path)
{
    Close();
    int result = WithRetries(
        [&]() -> int
        {
            // Non-blocking open so that a FIFO in place of the file cannot hang us.
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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
            else if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
            {
                error = errno == EWOULDBLOCK ? kFileSharingViolation : LastError();
            }
            else if (::stat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino ||
                     named.st_dev != opened.st_dev)
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
            int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            if (fd < 0)
            {
                return errno == ENOENT ? kFileOk : LastError();
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            {
                int error = errno == EWOULDBLOCK ? kFileSharingViolation : LastError();
                ::close(fd);
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

int RetryingFile::CreateUnique(const std::string& prefix)
{
    Close();
    std::string name;
    int result = WithRetries(
        [&]() -> int
        {
            std::vector<char> pattern(prefix.begin(), prefix.end());
            for (char c : std::string("XXXXXX"))
            {
                pattern.push_back(c);
            }
            pattern.push_back('\0');
            int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
            if (fd < 0)
            {
                return LastError();
            }
            fd_ = fd;
            name = pattern.data();
            return kFileOk;
        },
        pause_);
    if (result == kFileOk)
    {
        path_ = name;
        length_ = 0;
        position_ = 0;
    }
    return result;
}

std::size_t RetryingFile::Read(char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (fd_ >= 0 && done < size)
    {
        ssize_t got = ::read(fd_, buffer + done, size - done);
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
    int result = ::close(fd_) == 0 ? kFileOk : LastError();
    fd_ = -1;
    return result;
}

} // namespace kavelmark

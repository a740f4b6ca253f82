#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <sys/types.h>

namespace kavelmark
{

// Sequential bytes with a known end: what the file format reads from.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes; fewer only at the end of the data or on an error.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Bytes between the read position and the end.
    virtual std::uint64_t Remaining() const = 0;
};

// What the file format writes to.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    // Writes all bytes; 0 or the cause code of the failure.
    virtual int Write(const char* data, std::size_t size) = 0;
};

// The system calls through which load and save reach the disk. Tests replace single
// entries to make a save fail half-way; everything else goes straight to the system.
struct FileSystemCalls
{
    ssize_t (*write)(int, const void*, std::size_t);
    int (*fsync)(int);
    int (*rename)(const char*, const char*);
    int (*open)(const char*, int, mode_t);
    int (*close)(int);
    int (*flock)(int, int);
    int (*linkat)(int, const char*, int, const char*, int);
    ssize_t (*read)(int, void*, std::size_t);
};
FileSystemCalls& SystemCalls();

// A file opened with up to six attempts (pauses of 10, 40, 90, 160 and 250 ms between
// them), closed when destroyed. Locks are advisory (flock): readers share, a writer holds
// the file alone, and a lock held by someone else counts as a sharing violation. Where the
// file system has no locks, files are used unlocked.
class RetryingFile final : public ByteSource, public ByteSink
{
public:
    using Pause = std::function<void(std::chrono::milliseconds)>;

    RetryingFile();
    explicit RetryingFile(Pause pause);
    ~RetryingFile() override;
    RetryingFile(const RetryingFile&) = delete;
    RetryingFile& operator=(const RetryingFile&) = delete;

    // Whether an open follows a symbolic link in place of the file itself.
    enum class FinalLink
    {
        Follow,
        // A file that others may replace by a link to any file of ours: a link is refused (kFileBadPath).
        Refuse,
    };
    // Read-only under a shared lock. 0 or a cause code.
    int OpenForReading(const std::string& path, FinalLink finalLink = FinalLink::Follow);
    // Takes an existing file for writing under an exclusive lock, without changing it.
    // 0 also when there is no such file; IsOpen() then tells.
    int LockForWriting(const std::string& path);
    // Takes a folder under an exclusive lock, so that saves into it take turns; the lock
    // outlives any rename inside. 0 also when the folder may not be read (IsOpen() false).
    int LockFolder(const std::string& folder);
    // Creates a new empty file (mode 0600, locked) in folder: without a name where the file
    // system allows, else named prefix followed by six random characters (Path()).
    int CreateTemporary(const std::string& folder, const std::string& prefix);
    // Gives a temporary file without a name the name prefix followed by six random
    // characters; a named one keeps its own.
    int GiveName(const std::string& prefix);
    bool HasName() const
    {
        return !path_.empty();
    }

    bool IsOpen() const
    {
        return fd_ >= 0;
    }
    int Descriptor() const
    {
        return fd_;
    }
    const std::string& Path() const
    {
        return path_;
    }

    std::size_t Read(char* buffer, std::size_t size) override;
    std::uint64_t Remaining() const override;
    int Write(const char* data, std::size_t size) override;
    // Flushes the file to the disk. 0 or a cause code.
    int Sync();
    // Does nothing when not open, so it may be called twice. 0 or a cause code.
    int Close();

    // Runs attempt (0 or a cause code) up to six times with the pauses between failures;
    // the result of the last attempt.
    static int WithRetries(const std::function<int()>& attempt, const Pause& pause);
    static void Sleep(std::chrono::milliseconds duration);

private:
    int fd_ = -1;
    // Empty for a temporary file that has no name yet.
    std::string path_;
    std::uint64_t length_ = 0;
    std::uint64_t position_ = 0;
    Pause pause_;
};

} // namespace kavelmark

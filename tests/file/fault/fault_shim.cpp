// Preloaded into kavelmark-file to make one system call of a save fail, or to slow every one
// down so that a kill lands in the middle. Only calls on paths under KAVELMARK_FAULT_DIR, and
// on descriptors opened there, count:
//
//   KAVELMARK_FAULT_AT=N          the N-th counted call fails (1-based; 0 or unset: none)
//   KAVELMARK_FAULT_LOG=FILE      the counted calls, one name a line, written at exit
//   KAVELMARK_FAULT_DELAY_US=U    sleep U microseconds before each counted call
//   KAVELMARK_FAULT_NO_TMPFILE=1  the file system has no unnamed files (not counted)
//   KAVELMARK_FAULT_NO_LINK=1     the file system has no hard links (not counted)
//   KAVELMARK_FAULT_STARTED=FILE  created at the first counted call

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{

using OpenFn = int (*)(const char*, int, ...);
using OpenatFn = int (*)(int, const char*, int, ...);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using FdFn = int (*)(int);
using RenameFn = int (*)(const char*, const char*);
using RenameatFn = int (*)(int, const char*, int, const char*);
using Renameat2Fn = int (*)(int, const char*, int, const char*, unsigned);
using LinkatFn = int (*)(int, const char*, int, const char*, int);
using FlockFn = int (*)(int, int);

template <typename Fn> Fn Real(const char* name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

constexpr int kMaxFd = 65536;
std::atomic<bool> tracked[kMaxFd];
std::atomic<long> counted{0};
long failAt = 0;
long delayUs = 0;
bool noTmpfile = false;
bool noLink = false;
const char* folder = nullptr;
std::size_t folderLength = 0;
char callLog[1 << 16];
std::atomic<std::size_t> logLength{0};

bool Under(const char* path)
{
    return folder && path && std::strncmp(path, folder, folderLength) == 0 &&
           (path[folderLength] == '\0' || path[folderLength] == '/');
}

bool Tracked(int fd)
{
    return fd >= 0 && fd < kMaxFd && tracked[fd].load();
}

void Track(int fd, bool on)
{
    if (fd >= 0 && fd < kMaxFd)
    {
        tracked[fd].store(on);
    }
}

// Counts a call; true when it is the one to fail.
bool Fails(const char* name)
{
    long n = ++counted;
    if (n == 1 && std::getenv("KAVELMARK_FAULT_STARTED"))
    {
        static auto realOpen = Real<OpenFn>("open");
        static auto realClose = Real<FdFn>("close");
        int fd = realOpen(std::getenv("KAVELMARK_FAULT_STARTED"), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
        {
            realClose(fd);
        }
    }
    std::size_t length = std::strlen(name);
    std::size_t at = logLength.fetch_add(length + 1);
    if (at + length + 1 < sizeof callLog)
    {
        std::memcpy(callLog + at, name, length);
        callLog[at + length] = '\n';
    }
    if (delayUs > 0)
    {
        ::usleep(static_cast<useconds_t>(delayUs));
    }
    return n == failAt;
}

int Fail(int error)
{
    errno = error;
    return -1;
}

__attribute__((constructor)) void Start()
{
    folder = std::getenv("KAVELMARK_FAULT_DIR");
    folderLength = folder ? std::strlen(folder) : 0;
    const char* at = std::getenv("KAVELMARK_FAULT_AT");
    failAt = at ? std::atol(at) : 0;
    const char* delay = std::getenv("KAVELMARK_FAULT_DELAY_US");
    delayUs = delay ? std::atol(delay) : 0;
    const char* tmpfile = std::getenv("KAVELMARK_FAULT_NO_TMPFILE");
    noTmpfile = tmpfile && std::strcmp(tmpfile, "1") == 0;
    const char* link = std::getenv("KAVELMARK_FAULT_NO_LINK");
    noLink = link && std::strcmp(link, "1") == 0;
}

__attribute__((destructor)) void Finish()
{
    const char* name = std::getenv("KAVELMARK_FAULT_LOG");
    if (!name)
    {
        return;
    }
    static auto realOpen = Real<OpenFn>("open");
    static auto realWrite = Real<WriteFn>("write");
    static auto realClose = Real<FdFn>("close");
    int fd = realOpen(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0)
    {
        realWrite(fd, callLog, std::min(logLength.load(), sizeof callLog));
        realClose(fd);
    }
}

int Opened(const char* path, int fd)
{
    if (fd >= 0 && Under(path))
    {
        Track(fd, true);
    }
    return fd;
}

// A call on an open; -2 when the real call is to be made.
int BeforeOpen(const char* path, int flags)
{
    if (!Under(path))
    {
        return -2;
    }
    if (noTmpfile && (flags & O_TMPFILE) == O_TMPFILE)
    {
        return Fail(EOPNOTSUPP);
    }
    return Fails("open") ? Fail(EIO) : -2;
}

mode_t ModeOf(int flags, va_list arguments)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C"
{

    int open(const char* path, int flags, ...)
    {
        static auto real = Real<OpenFn>("open");
        va_list arguments;
        va_start(arguments, flags);
        mode_t mode = ModeOf(flags, arguments);
        va_end(arguments);
        if (int early = BeforeOpen(path, flags); early != -2)
        {
            return early;
        }
        return Opened(path, real(path, flags, mode));
    }

    int open64(const char* path, int flags, ...)
    {
        static auto real = Real<OpenFn>("open64");
        va_list arguments;
        va_start(arguments, flags);
        mode_t mode = ModeOf(flags, arguments);
        va_end(arguments);
        if (int early = BeforeOpen(path, flags); early != -2)
        {
            return early;
        }
        return Opened(path, real(path, flags, mode));
    }

    int openat(int dirfd, const char* path, int flags, ...)
    {
        static auto real = Real<OpenatFn>("openat");
        va_list arguments;
        va_start(arguments, flags);
        mode_t mode = ModeOf(flags, arguments);
        va_end(arguments);
        // Relative names inside a counted folder are counted with it.
        bool inside = Tracked(dirfd) && path[0] != '/';
        if (inside)
        {
            if (Fails("open"))
            {
                return Fail(EIO);
            }
            int fd = real(dirfd, path, flags, mode);
            Track(fd, true);
            return fd;
        }
        if (int early = BeforeOpen(path, flags); early != -2)
        {
            return early;
        }
        return Opened(path, real(dirfd, path, flags, mode));
    }

    int __open_2(const char* path, int flags)
    {
        return open(path, flags);
    }

    int __open64_2(const char* path, int flags)
    {
        return open64(path, flags);
    }

    int openat64(int dirfd, const char* path, int flags, ...)
    {
        va_list arguments;
        va_start(arguments, flags);
        mode_t mode = ModeOf(flags, arguments);
        va_end(arguments);
        return openat(dirfd, path, flags, mode);
    }

    ssize_t write(int fd, const void* data, size_t size)
    {
        static auto real = Real<WriteFn>("write");
        if (Tracked(fd) && Fails("write"))
        {
            return Fail(ENOSPC);
        }
        return real(fd, data, size);
    }

    int fsync(int fd)
    {
        static auto real = Real<FdFn>("fsync");
        if (Tracked(fd) && Fails("fsync"))
        {
            return Fail(EIO);
        }
        return real(fd);
    }

    int fdatasync(int fd)
    {
        static auto real = Real<FdFn>("fdatasync");
        if (Tracked(fd) && Fails("fdatasync"))
        {
            return Fail(EIO);
        }
        return real(fd);
    }

    int close(int fd)
    {
        static auto real = Real<FdFn>("close");
        bool counts = Tracked(fd);
        Track(fd, false);
        if (counts && Fails("close"))
        {
            // The descriptor is gone even when close reports an error.
            real(fd);
            return Fail(EIO);
        }
        return real(fd);
    }

    int flock(int fd, int operation)
    {
        static auto real = Real<FlockFn>("flock");
        if (Tracked(fd) && Fails("flock"))
        {
            return Fail(ENOLCK);
        }
        return real(fd, operation);
    }

    int rename(const char* from, const char* to)
    {
        static auto real = Real<RenameFn>("rename");
        if ((Under(from) || Under(to)) && Fails("rename"))
        {
            return Fail(EIO);
        }
        return real(from, to);
    }

    int renameat(int fromDir, const char* from, int toDir, const char* to)
    {
        static auto real = Real<RenameatFn>("renameat");
        if ((Under(from) || Under(to)) && Fails("rename"))
        {
            return Fail(EIO);
        }
        return real(fromDir, from, toDir, to);
    }

    int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
    {
        static auto real = Real<Renameat2Fn>("renameat2");
        if ((Under(from) || Under(to)) && Fails("rename"))
        {
            return Fail(EIO);
        }
        return real(fromDir, from, toDir, to, flags);
    }

    int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
    {
        static auto real = Real<LinkatFn>("linkat");
        if (noLink && Under(to))
        {
            return Fail(EPERM);
        }
        if (Under(to) && Fails("linkat"))
        {
            return Fail(EIO);
        }
        return real(fromDir, from, toDir, to, flags);
    }

} // extern "C"

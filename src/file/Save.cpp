#include "file/LoadSave.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileError.h"
#include "file/MainEntryFile.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"

namespace kavelmark
{
namespace
{

std::tm SystemLocalTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

SaveClock& CurrentClock()
{
    static SaveClock clock = SystemLocalTime;
    return clock;
}

// The file a save replaces: a symbolic link is followed, so that the link stays.
std::string ResolvedTarget(const std::string& path)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
    {
        if (char* real = ::realpath(path.c_str(), nullptr))
        {
            std::string resolved = real;
            std::free(real);
            return resolved;
        }
    }
    return path;
}

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

int SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
    {
        return FileErrorFromErrno(errno);
    }
    int result = SystemCalls().fsync(fd) == 0 ? kFileOk : FileErrorFromErrno(errno);
    ::close(fd);
    return result;
}

// Writes the new file beside the old one and renames it into place, so that the old file
// stays whole until the new one is on the disk. 0 or a cause code.
int ReplaceFile(const std::string& path, const PasswordStore& store, const SecureString& password, bool& listConsistent)
{
    std::string target = ResolvedTarget(path);
    RetryingFile lock;
    int result = lock.LockForWriting(target);
    if (result != kFileOk)
    {
        return result;
    }
    struct stat old = {};
    bool replacing = lock.IsOpen() && ::fstat(lock.Descriptor(), &old) == 0;

    std::string folder = FolderOf(target);
    RetryingFile temp;
    result = temp.CreateUnique(folder + "/." + NameOf(target) + ".");
    if (result != kFileOk)
    {
        return result;
    }
    auto failed = [&](int code)
    {
        temp.Close();
        ::unlink(temp.Path().c_str());
        return code;
    };
    if (replacing)
    {
        if (::fchmod(temp.Descriptor(), old.st_mode & 07777) != 0)
        {
            return failed(FileErrorFromErrno(errno));
        }
        // Keeping the owner only works for the owner's own files or as root; no harm otherwise.
        if (::fchown(temp.Descriptor(), old.st_uid, old.st_gid) != 0)
        {
            errno = 0;
        }
    }
    PasswordFile::Written written = PasswordFile::WriteV03(temp, password, store, CurrentClock()());
    listConsistent = written.listConsistent;
    if (written.fileError != kFileOk)
    {
        return failed(written.fileError);
    }
    if ((result = temp.Sync()) != kFileOk || (result = temp.Close()) != kFileOk)
    {
        return failed(result);
    }
    if (SystemCalls().rename(temp.Path().c_str(), target.c_str()) != 0)
    {
        return failed(FileErrorFromErrno(errno));
    }
    return SyncFolder(folder);
}

} // namespace

SaveClock SetSaveClock(SaveClock clock)
{
    SaveClock previous = CurrentClock();
    CurrentClock() = clock ? std::move(clock) : SaveClock(SystemLocalTime);
    return previous;
}

int Save(const PasswordStore& store, const SecureString& password)
{
    bool listConsistent = true;
    int result = ReplaceFile(MainEntryFile(), store, password, listConsistent);
    if (result != kFileOk)
    {
        ShowFileError(result);
        return result;
    }
    return listConsistent ? 0 : -1;
}

} // namespace kavelmark

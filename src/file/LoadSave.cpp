#include "file/LoadSave.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Settings.h"
#include "app/SettingsNames.h"
#include "file/FileError.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "platform/Messages.h"

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

std::string MainEntryFile()
{
    return Settings::GetString(settings::kConfig, settings::kMainEntryFile, settings::kDefaultMainEntryFile, true,
                               true);
}

void ShowFileError(int code)
{
    ShowMessage(FileErrorText(code), "Datei-Fehler", MessageIcon::Error);
}

bool Exists(const std::string& path)
{
    struct stat info = {};
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// Moves an old-version file to the first free "<path>.old_<n>", never over an existing one.
bool MoveToBackup(const std::string& path)
{
    for (unsigned n = 1; n < UINT_MAX; ++n)
    {
        std::string backup = path + ".old_" + std::to_string(n);
        if (Exists(backup))
        {
            continue;
        }
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), RENAME_NOREPLACE) == 0)
        {
            return true;
        }
        if (errno == EEXIST)
        {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS)
        {
            return false;
        }
        // A file system without no-replace renames; the name was free a moment ago.
        return std::rename(path.c_str(), backup.c_str()) == 0;
    }
    return false;
}

void RefuseFile(const std::string& path, bool unknownFormat)
{
    std::string text = unknownFormat ? "Die Datei ist keine Passwortdatei in einem bekannten Format und wird nicht "
                                       "gelesen:\n"
                                     : "Die Passwortdatei ist beschädigt und wird nicht gelesen:\n";
    ShowMessage(text + path, "Ladefehler", MessageIcon::Error);
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

int Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed)
{
    std::string path = MainEntryFile();
    RetryingFile file;
    int opened = file.OpenForReading(path);
    if (opened != kFileOk)
    {
        if (opened != kFileNotFound)
        {
            ShowFileError(opened);
        }
        store.AddMissingBuiltInCategories();
        return opened;
    }

    store.RemoveAll();
    auto [read, version] = PasswordFile::IdentifyVersion(file);
    bool setAside = false;
    if (read == ReadResult::Done)
    {
        switch (version)
        {
        case FileVersion::V03:
            read = PasswordFile::ReadV03(file, password, store);
            break;
        case FileVersion::V02:
            read = PasswordFile::ReadV02(file, legacySeed, store);
            setAside = true;
            break;
        case FileVersion::V01:
            setAside = true;
            break;
        case FileVersion::Unknown:
            RefuseFile(path, true);
            store.AddMissingBuiltInCategories();
            return kLoadDamaged;
        }
    }
    if (read == ReadResult::WrongPassword)
    {
        ShowMessage("Das Passwort ist falsch!", "ERROR", MessageIcon::Error);
        return -1;
    }
    file.Close();
    if (read == ReadResult::Damaged)
    {
        RefuseFile(path, false);
        store.AddMissingBuiltInCategories();
        return kLoadDamaged;
    }
    if (setAside && !MoveToBackup(path))
    {
        ShowMessage("Fehler beim Umbenennen der Datendatei (alte Version der Datei vor Überschreiben mit der neuen "
                    "schützen).",
                    path, MessageIcon::Error);
    }
    store.AddMissingBuiltInCategories();
    return read == ReadResult::ShortRead ? -1 : 0;
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

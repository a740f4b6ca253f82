#include "file/LoadSave.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FileError.h"
#include "file/FileIdentity.h"
#include "file/MainEntryFile.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

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

} // namespace

int Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed)
{
    std::string path = MainEntryFile();
    RetryingFile file;
    int opened = file.OpenForReading(path);
    RememberLoadedFile(path, opened, file.Descriptor());
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

} // namespace kavelmark

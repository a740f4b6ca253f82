#include "file/LoadSave.h"

#include <new>
#include <string>

#include "file/DigestingStreams.h"
#include "file/FileError.h"
#include "file/FileIdentity.h"
#include "file/FileTexts.h"
#include "file/LinkedPath.h"
#include "file/LoadMessages.h"
#include "file/MainEntryFile.h"
#include "file/OldVersionBackup.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "file/SteadyRead.h"
#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

PasswordConfirmer& Confirmer()
{
    static PasswordConfirmer confirmer;
    return confirmer;
}

FileFormat FormatOf(FileVersion version, FileFormat convertTo)
{
    return version == FileVersion::V04 ? FileFormat::V04 : version == FileVersion::V03 ? FileFormat::V03 : convertTo;
}

LoadResult LoadFile(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed, FileFormat convertTo,
                    std::string& path, bool& writtenWhileRead)
{
    path = MainEntryFile();
    // A link that is there when the user opens the file is the user's own, to be followed later.
    RememberWhereItLeads(path);
    if (RefuseIfNotRegularFile(path))
    {
        store.AddMissingBuiltInCategories();
        return LoadResult::Damaged;
    }
    RetryingFile file;
    int opened = file.OpenForReading(path);
    if (opened != kFileOk)
    {
        RememberUnopenedFile(path, opened);
        if (opened != kFileNotFound)
        {
            ShowFileError(opened);
        }
        else
        {
            SetMainFileFormat(FileFormat::V03);
        }
        store.AddMissingBuiltInCategories();
        return OpenFailure(opened);
    }

    store.RemoveAll();
    FileIdentity identity = StatOfOpenFile(file.Descriptor());
    DigestingSource source(file);
    const FileIdentity atOpen = identity;
    auto allRead = [&]
    {
        writtenWhileRead = WrittenSince(atOpen, file.Descriptor());
        // A file that was not read to its end (an older version, a damaged one) is hashed as it lies.
        if (!source.Finish(identity))
        {
            identity = IdentityOfOpenFile(file.Descriptor());
        }
        RememberFileIdentity(path, identity);
        file.Close();
    };
    auto [read, version] = PasswordFile::Read(source, password, legacySeed, store, allRead);
    if (file.IsOpen())
    {
        writtenWhileRead = WrittenSince(atOpen, file.Descriptor());
    }
    file.Close();
    if (writtenWhileRead)
    {
        // Part of one version and part of another: nothing of it is kept, nothing is said.
        store.RemoveAll();
        store.AddMissingBuiltInCategories();
        return LoadResult::Damaged;
    }
    if (read == ReadResult::WrongPassword)
    {
        ShowWrongPassword();
        return LoadResult::Refused;
    }
    if (read == ReadResult::Declined)
    {
        return LoadResult::Refused;
    }
    if (read == ReadResult::Damaged || read == ReadResult::TooLarge ||
        (read == ReadResult::Done && version == FileVersion::Unknown))
    {
        store.RemoveAll();
        RefuseFile(path, RefusalOf(read, version));
        store.AddMissingBuiltInCategories();
        return LoadResult::Damaged;
    }
    store.AddMissingBuiltInCategories();
    // An old version is backed up only once it was read whole and passed its check. It stays
    // at its path until the save that converts it replaces it, and the load remembered it
    // there, so that this save does not take it for a change made by another program.
    if (read == ReadResult::Done && (version == FileVersion::V01 || version == FileVersion::V02))
    {
        if (version == FileVersion::V02 && Confirmer())
        {
            std::optional<SecureString> again = Confirmer()();
            if (!again || *again != password)
            {
                store.RemoveAll();
                ShowWrongPassword();
                return LoadResult::Refused;
            }
        }
        if (KeepOldVersion(path) != BackupResult::Made)
        {
            ShowMessage(kBackupFailedText, path, MessageIcon::Error);
        }
    }
    if (read == ReadResult::ShortRead)
    {
        return LoadResult::Refused;
    }
    SetMainFileFormat(FormatOf(version, convertTo));
    return LoadResult::Loaded;
}

} // namespace

LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed, FileFormat convertTo)
{
    std::string path;
    try
    {
        return ReadUntilSteady(MainEntryFile(), [&](bool& writtenWhileRead)
                               { return LoadFile(store, password, legacySeed, convertTo, path, writtenWhileRead); });
    }
    catch (const std::bad_alloc&)
    {
        // The file was closed on the way out; what was stored goes to make room.
        store.RemoveAll();
        RefuseFile(path, Refusal::Damaged);
        store.AddMissingBuiltInCategories();
        return LoadResult::Damaged;
    }
}

PasswordConfirmer SetPasswordConfirmer(PasswordConfirmer confirmer)
{
    PasswordConfirmer previous = std::move(Confirmer());
    Confirmer() = std::move(confirmer);
    return previous;
}

} // namespace kavelmark

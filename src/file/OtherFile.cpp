#include "file/OtherFile.h"

#include <new>

#include <sys/stat.h>

#include "file/DigestingStreams.h"
#include "file/FileError.h"
#include "file/LoadMessages.h"
#include "file/MainEntryFile.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "file/SteadyRead.h"

namespace kavelmark
{
namespace
{

// The seed only serves V0.2 files, which are refused whatever it gives.
constexpr std::uint64_t kNoLegacySeed = 0;

// Refuses a symbolic link at path, said as any other thing that is not a regular file.
bool RefuseLink(const std::string& path)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    {
        RefuseFile(path, Refusal::NotARegularFile);
        return true;
    }
    return false;
}

LoadResult ReadWhole(const std::string& path, const SecureString& password, PasswordStore& store, OtherFileRead& read,
                     bool sayWrongPassword, bool& writtenWhileRead,
                     RetryingFile::FinalLink finalLink = RetryingFile::FinalLink::Follow)
{
    const bool follow = finalLink == RetryingFile::FinalLink::Follow;
    if (follow ? RefuseIfNotRegularFile(path) : RefuseLink(path))
    {
        return LoadResult::Damaged;
    }
    RetryingFile file;
    int opened = file.OpenForReading(path, finalLink);
    if (opened != kFileOk)
    {
        if (opened != kFileNotFound)
        {
            ShowFileError(opened);
        }
        return OpenFailure(opened);
    }
    read.identity = StatOfOpenFile(file.Descriptor());
    const FileIdentity atOpen = read.identity;
    DigestingSource source(file);
    bool whole = false;
    auto allRead = [&]
    {
        writtenWhileRead = WrittenSince(atOpen, file.Descriptor());
        whole = source.Finish(read.identity);
        file.Close();
    };
    PasswordStore records;
    records.RemoveAll();
    auto [result, version] = PasswordFile::Read(source, password, kNoLegacySeed, records, allRead);
    if (file.IsOpen())
    {
        writtenWhileRead = WrittenSince(atOpen, file.Descriptor());
    }
    file.Close();
    if (writtenWhileRead)
    {
        return LoadResult::Damaged;
    }
    if (version == FileVersion::V01 || version == FileVersion::V02)
    {
        RefuseFile(path, Refusal::OlderVersion);
        return LoadResult::Damaged;
    }
    if (result == ReadResult::Declined)
    {
        return LoadResult::Refused;
    }
    if (result == ReadResult::WrongPassword)
    {
        if (sayWrongPassword)
        {
            ShowWrongPassword();
        }
        return LoadResult::Refused;
    }
    if (result != ReadResult::Done || !whole || version == FileVersion::Unknown)
    {
        RefuseFile(path, RefusalOf(result, version));
        return LoadResult::Damaged;
    }
    read.format = version == FileVersion::V04 ? FileFormat::V04 : FileFormat::V03;
    store.RemoveAll();
    store.TakeAll(records);
    store.AddMissingBuiltInCategories();
    return LoadResult::Loaded;
}

} // namespace

LoadResult ReadOtherFile(const std::string& path, const SecureString& password, PasswordStore& store,
                         OtherFileRead& read, bool sayWrongPassword)
{
    try
    {
        return ReadUntilSteady(path, [&](bool& writtenWhileRead)
                               { return ReadWhole(path, password, store, read, sayWrongPassword, writtenWhileRead); });
    }
    catch (const std::bad_alloc&)
    {
        RefuseFile(path, Refusal::Damaged);
        return LoadResult::Damaged;
    }
}

LoadResult ReadConflictCopy(const std::string& path, const SecureString& password, PasswordStore& store,
                            OtherFileRead& read, bool sayWrongPassword)
{
    try
    {
        return ReadUntilSteady(path,
                               [&](bool& writtenWhileRead)
                               {
                                   return ReadWhole(path, password, store, read, sayWrongPassword, writtenWhileRead,
                                                    RetryingFile::FinalLink::Refuse);
                               });
    }
    catch (const std::bad_alloc&)
    {
        RefuseFile(path, Refusal::Damaged);
        return LoadResult::Damaged;
    }
}

} // namespace kavelmark

#include "file/LoadSave.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/DigestingStreams.h"
#include "file/FileError.h"
#include "file/FileIdentity.h"
#include "file/FileTexts.h"
#include "file/LinkedPath.h"
#include "file/MainEntryFile.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "file/SaveFormat.h"
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

constexpr std::time_t kStaleAfterSeconds = 60;

// Beside the cause codes of the steps of a save: the user chose to keep the changed file.
constexpr int kKeptByUser = static_cast<int>(SaveResult::Kept);
constexpr int kMergeChosen = static_cast<int>(SaveResult::MergeChosen);

// ".<name>." and six letters or digits: what CreateTemporary names our files.
bool IsTemporaryOf(const std::string& entry, const std::string& name)
{
    std::string prefix = "." + name + ".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0)
    {
        return false;
    }
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes what killed saves left: our temporary files, owned by us, unlocked (no save is
// writing them) and untouched for a minute. Runs under the folder lock; silent, as a
// leftover in the way is no reason to fail a save.
void RemoveStaleTemporaries(int folderFd, const std::string& name)
{
    int listFd = ::dup(folderFd);
    DIR* folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!folder)
    {
        if (listFd >= 0)
        {
            ::close(listFd);
        }
        return;
    }
    ::rewinddir(folder);
    std::time_t staleBefore = std::time(nullptr) - kStaleAfterSeconds;
    while (const dirent* entry = ::readdir(folder))
    {
        if (!IsTemporaryOf(entry->d_name, name))
        {
            continue;
        }
        int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
        if (fd < 0)
        {
            continue;
        }
        struct stat opened = {};
        struct stat named = {};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            opened.st_mtime < staleBefore && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == opened.st_ino &&
            named.st_dev == opened.st_dev)
        {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(folder);
}

// 1234567 as "1.234.567", the way German texts group digits.
std::string GroupedDigits(std::uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i)
    {
        if (i > 0 && (digits.size() - i) % 3 == 0)
        {
            grouped += '.';
        }
        grouped += digits[i];
    }
    return grouped;
}

// Megabytes (of 2^20 bytes, as the limit counts them) with one decimal, rounded up so that a
// file just over the limit never reads as "64,0".
std::string Megabytes(std::uint64_t bytes)
{
    const std::uint64_t tenths = (bytes * 10 + (std::uint64_t{1} << 20) - 1) >> 20;
    return GroupedDigits(tenths / 10) + "," + std::to_string(tenths % 10);
}

void ShowStoreTooLarge(const std::string& path, std::uint64_t recordCount, std::uint64_t fileSize)
{
    ShowMessage(kTooLargeTextStart + GroupedDigits(recordCount) + kTooLargeTextMiddle + Megabytes(fileSize) +
                    kTooLargeTextEnd + path,
                kFileErrorCaption, MessageIcon::Error);
}

void ShowUnconfirmedSave(const std::string& path)
{
    ShowMessage(kUnconfirmedSaveText + path, kFileErrorCaption, MessageIcon::Exclamation);
}

// 0 to overwrite the changed file, kKeptByUser or kMergeChosen.
int AskAboutChangedFile(const std::string& path, bool offerMerge)
{
    if (!offerMerge)
    {
        return ShowMessage(kChangedFileText + path, kChangedFileCaption, MessageIcon::Question,
                           MessageButtons::OkCancelDefaultCancel) == MessageAnswer::Ok
                   ? kFileOk
                   : kKeptByUser;
    }
    switch (ShowMessage(kChangedFileMergeText + path, kChangedFileCaption, MessageIcon::Question,
                        MessageButtons::MergeOverwriteCancel))
    {
    case MessageAnswer::Merge:
        return kMergeChosen;
    case MessageAnswer::Overwrite:
        return kFileOk;
    case MessageAnswer::Cancel:
        break;
    }
    return kKeptByUser;
}

// Takes the folder and the file for the save, once the file is still the one expected, or the
// user agreed to overwrite it (expected then becomes what the user saw). Asks with no lock
// held, so that other programs are not stopped by an open question. 0, kKeptByUser,
// kMergeChosen or a cause code.
int TakeForSaving(const std::string& path, const std::string& target, const SaveOptions& options,
                  std::optional<FileIdentity>& expected, RetryingFile& folder, RetryingFile& file)
{
    for (;;)
    {
        int result = folder.LockFolder(FolderOf(target));
        if (result == kFileOk)
        {
            result = file.LockForWriting(target);
        }
        FileIdentity now;
        if (result != kFileOk || !expected || !ReplacedSince(*expected, target, now))
        {
            return result;
        }
        file.Close();
        folder.Close();
        if (int answer = AskAboutChangedFile(path, options.offerMerge); answer != kFileOk)
        {
            return answer;
        }
        expected = now;
    }
}

// Said by WriteAndReplace when another version arrived while the new file was written;
// expected is then that version.
constexpr int kArrivedMeanwhile = -100;

// Writes the new file beside the old one and renames it into place, so that the old file
// stays whole until the new one is on the disk. 0, kArrivedMeanwhile (nothing replaced) or a
// cause code; unconfirmed tells that the file is in place but its folder could not be flushed.
int WriteAndReplace(const std::string& path, const std::string& target, const PasswordStore& store,
                    const SecureString& password, FileFormat format, const SaveOptions& options,
                    std::optional<FileIdentity>& expected, bool& listConsistent, bool& unconfirmed)
{
    RetryingFile folder;
    RetryingFile lock;
    int result = TakeForSaving(path, target, options, expected, folder, lock);
    if (result != kFileOk)
    {
        return result;
    }
    struct stat old = {};
    bool replacing = lock.IsOpen() && ::fstat(lock.Descriptor(), &old) == 0;
    if (folder.IsOpen())
    {
        RemoveStaleTemporaries(folder.Descriptor(), NameOf(target));
    }

    std::string prefix = FolderOf(target) + "/." + NameOf(target) + ".";
    RetryingFile temp;
    result = temp.CreateTemporary(FolderOf(target), prefix);
    if (result != kFileOk)
    {
        return result;
    }
    auto failed = [&](int code)
    {
        temp.Close();
        if (temp.HasName())
        {
            ::unlink(temp.Path().c_str());
        }
        return code;
    };
    if (replacing)
    {
        // The mode stays the new file's 0600 whatever the old one had: a version a sync engine
        // delivered with its own default (0644) would leave every entry readable by others.
        // Keeping the owner only works for the owner's own files or as root; no harm otherwise.
        if (::fchown(temp.Descriptor(), old.st_uid, old.st_gid) != 0)
        {
            errno = 0;
        }
    }
    DigestingSink digesting(temp);
    // Every save derives its key anew, with a new salt: a changed password never meets an old one.
    PasswordFile::Written written =
        format == FileFormat::V04 ? PasswordFile::WriteV04(digesting, password, store, CurrentClock()(), V04WriteCost())
                                  : PasswordFile::WriteV03(digesting, password, store, CurrentClock()());
    listConsistent = written.listConsistent;
    if (written.fileError != kFileOk)
    {
        return failed(written.fileError);
    }
    if ((result = temp.Sync()) != kFileOk || (result = temp.GiveName(prefix)) != kFileOk)
    {
        return failed(result);
    }
    FileIdentity saved = StatOfOpenFile(temp.Descriptor());
    digesting.Finish(saved);
    // A writer that takes no lock (a sync engine) may have put its version in place while the
    // key was derived and the file written: look again right before it would be replaced.
    if (FileIdentity now; expected && ReplacedSince(*expected, target, now))
    {
        failed(kFileOk);
        expected = now; // what the user is asked about next
        return kArrivedMeanwhile;
    }
    if (SystemCalls().rename(temp.Path().c_str(), target.c_str()) != 0)
    {
        return failed(FileErrorFromErrno(errno));
    }
    RememberFileIdentity(target, saved);
    // The new file is in place: what fails from here on cannot undo the save.
    bool closed = temp.Close() == kFileOk;
    bool synced = folder.Sync() == kFileOk;
    unconfirmed = !closed || !synced || folder.Close() != kFileOk;
    return kFileOk;
}

int ReplaceFile(const std::string& path, const PasswordStore& store, const SecureString& password, FileFormat format,
                const SaveOptions& options, bool& listConsistent, bool& unconfirmed)
{
    // A symbolic link stays and its target is written, also a target that does not exist yet.
    std::string target = ResolvedFilePath(path);
    if (target.empty())
    {
        return kFileBadPath;
    }
    std::optional<FileIdentity> expected = options.expected ? options.expected : RememberedFileIdentity(target);
    if (LeadsElsewhereSince(path, target))
    {
        // The name now leads to a file this session never read: no merge with it, and a link that
        // leaves the folder is replaced rather than followed, so that the file it names stays.
        if (const int answer = AskAboutChangedFile(path, false); answer != kFileOk)
        {
            return answer;
        }
        if (LeadsOutOfItsFolder(path, target))
        {
            target = NamedFilePath(path);
        }
        FileIdentity now;
        ReplacedSince(FileIdentity{}, target, now);
        expected = now;
    }
    for (;;)
    {
        const int result =
            WriteAndReplace(path, target, store, password, format, options, expected, listConsistent, unconfirmed);
        if (result == kFileOk)
        {
            RememberWhereItLeads(path);
        }
        if (result != kArrivedMeanwhile)
        {
            return result;
        }
        // Asked as for a change found before writing; a yes writes anew over what was asked about.
        if (const int answer = AskAboutChangedFile(path, options.offerMerge); answer != kFileOk)
        {
            return answer;
        }
    }
}

} // namespace

SaveClock SetSaveClock(SaveClock clock)
{
    SaveClock previous = CurrentClock();
    CurrentClock() = clock ? std::move(clock) : SaveClock(SystemLocalTime);
    return previous;
}

SaveResult Save(const PasswordStore& store, const SecureString& password)
{
    return Save(store, password, SaveOptions{});
}

SaveResult Save(const PasswordStore& store, const SecureString& password, const SaveOptions& options)
{
    bool listConsistent = true;
    bool unconfirmed = false;
    std::string path = MainEntryFile();
    const FileFormat format = MainFileFormat();
    const std::uint64_t fileSize =
        format == FileFormat::V04 ? PasswordFile::V04FileSize(store) : PasswordFile::V03FileSize(store);
    if (!PasswordFile::WithinLimits(store.GetCount(), fileSize))
    {
        ShowStoreTooLarge(path, store.GetCount(), fileSize);
        return SaveResult::TooLarge;
    }
    int result = ReplaceFile(path, store, password, format, options, listConsistent, unconfirmed);
    if (result == kKeptByUser || result == kMergeChosen)
    {
        return static_cast<SaveResult>(result);
    }
    if (result != kFileOk)
    {
        ShowFileError(result);
        return WriteFailure(result);
    }
    if (unconfirmed)
    {
        ShowUnconfirmedSave(path);
    }
    return listConsistent ? SaveResult::Saved : SaveResult::ListInconsistent;
}

} // namespace kavelmark

// The session's side of a password file in a sync folder: merging at save, reloading what another
// computer wrote, and folding in the conflict copies that a sync engine leaves.
#include <algorithm>
#include <string>

#include <unistd.h>

#include "app/AppTexts.h"
#include "app/CostQuestion.h"
#include "app/SessionController.h"
#include "file/ConflictCopies.h"
#include "file/FileError.h"
#include "file/FileIdentity.h"
#include "file/LinkedPath.h"
#include "file/LoadMessages.h"
#include "file/MainEntryFile.h"
#include "file/RetryingFile.h"
#include "merge/StoreMerge.h"
#include "platform/Messages.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

std::string MergeSummary(const MergeCounts& counts)
{
    std::string text = std::string("\n\n") + kMergedFromOtherLine + std::to_string(counts.fromOther) + "\n" +
                       kMergedDeletedLine + std::to_string(counts.deletedThere) + "\n" + kMergedTwiceLine +
                       std::to_string(counts.twice);
    if (counts.twice > 0)
    {
        text += std::string("\n\n") + kMergedTwiceHint;
    }
    return text;
}

// Removes the copy once the folder's entries (the merged file's rename among them) are on the
// disk: removed before that, a crash could leave neither the copy nor the merge. Under the folder
// lock, so that no save into the folder runs meanwhile.
bool RemoveOnceFlushed(const std::string& copy)
{
    RetryingFile folder;
    return folder.LockFolder(FolderOf(copy)) == kFileOk && folder.IsOpen() && folder.Sync() == kFileOk &&
           ::unlink(copy.c_str()) == 0;
}

} // namespace

LoadResult SessionController::ReadWithItsPassword(const std::string& path, const char* prompt, PasswordStore& store,
                                                  OtherFileRead& read, SecureString& password, std::uint64_t& seed)
{
    password = currentPassword_;
    seed = legacySeed_;
    const CostQuestion question;
    LoadResult result = ReadOtherFile(path, password, store, read, false);
    if (result == LoadResult::Refused && question.Asked())
    {
        // A costly file: declined, or its one derivation spent on the session's password.
        if (question.Agreed())
        {
            ShowWrongPassword();
        }
        return result;
    }
    if (result == LoadResult::Refused && PasswordUnsaved())
    {
        password = passwordAtBase_;
        seed = seedAtBase_;
        result = ReadOtherFile(path, password, store, read, false);
    }
    if (result != LoadResult::Refused)
    {
        return result;
    }
    std::unique_ptr<LoginDialogBase> login = windows_.CreateLoginDialog();
    login->promptText = prompt;
    if (login->Run() != LoginDialogBase::kOk)
    {
        return LoadResult::Refused;
    }
    password = login->enteredPassword;
    seed = login->legacySeed;
    return ReadOtherFile(path, password, store, read, true);
}

FileFormat SessionController::KeepHardened(FileFormat arrived)
{
    const bool hardened = MainFileFormat() == FileFormat::V04 || Settings::Get(settings::kHardenedFormatSetting) != 0;
    if (arrived == FileFormat::V04 || !hardened)
    {
        return arrived;
    }
    if (!olderFormatSaid_)
    {
        olderFormatSaid_ = true;
        ShowMessage(kOlderFormatArrivedText, kFormatCaption, MessageIcon::Information);
    }
    return FileFormat::V04;
}

void SessionController::MarkSaved()
{
    base_.Capture(store_);
    passwordAtBase_ = currentPassword_;
    seedAtBase_ = legacySeed_;
    formatAtBase_ = MainFileFormat();
    fileAtBase_ = MainEntryFile();
}

bool SessionController::HoldsUnsavedChanges() const
{
    return PasswordUnsaved() || MainFileFormat() != formatAtBase_ || !base_.Matches(store_);
}

void SessionController::ReplaceStore(PasswordStore& replacement)
{
    windows_.BeforeStoreRefresh();
    store_.RemoveAll();
    store_.TakeAll(replacement);
    windows_.StoreRefreshed();
}

SaveResult SessionController::MergeChangedFileAndSave()
{
    const std::string path = MainEntryFile();
    SaveOptions options;
    options.offerMerge = true;
    PasswordStore theirs;
    OtherFileRead read;
    SecureString password;
    std::uint64_t seed = 0;
    const LoadResult result = ReadWithItsPassword(path, kOtherFilePasswordPrompt, theirs, read, password, seed);
    if (result == LoadResult::Missing)
    {
        // Gone since the question: there is nothing of the other side left to keep.
        return Save(store_, currentPassword_, options);
    }
    if (result != LoadResult::Loaded)
    {
        return SaveResult::Kept;
    }
    PasswordStore merged;
    const MergeCounts counts = MergeStores(base_, store_, theirs, merged);
    // A password or format chosen there is newer than the one loaded here, unless this session
    // chose one too.
    if (PasswordUnsaved())
    {
        password = currentPassword_;
        seed = legacySeed_;
    }
    const FileFormat previousFormat = MainFileFormat();
    const FileFormat kept = KeepHardened(read.format);
    if (previousFormat == formatAtBase_)
    {
        SetMainFileFormat(kept);
    }
    options.expected = read.identity;
    const SaveResult saved = Save(merged, password, options);
    if (saved != SaveResult::Saved && saved != SaveResult::ListInconsistent)
    {
        SetMainFileFormat(previousFormat);
        return saved;
    }
    ReplaceStore(merged);
    currentPassword_ = std::move(password);
    legacySeed_ = seed;
    ShowMessage(kMergedFileText + MergeSummary(counts), kMergedCaption, MessageIcon::Information);
    return saved;
}

void SessionController::FileChangedOnDisk()
{
    if (locked_ || !fileOk_ || syncing_)
    {
        return;
    }
    const std::string target = ResolvedFilePath(MainEntryFile());
    // A name that now leads to another file is not read on its own: the next save asks about it.
    const std::optional<FileIdentity> expected =
        target.empty() || LeadsElsewhereSince(MainEntryFile(), target) ? std::nullopt : RememberedFileIdentity(target);
    FileIdentity now;
    // With unsaved changes the next save merges; a reload now would throw them away.
    if (expected && ReplacedSince(*expected, target, now) && now.exists &&
        !(unreadChange_ && SameFile(*unreadChange_, now)) && !HoldsUnsavedChanges())
    {
        ReloadChangedFile(target, now);
    }
    OfferConflictCopies();
}

void SessionController::ReloadChangedFile(const std::string& target, const FileIdentity& now)
{
    syncing_ = true;
    PasswordStore theirs;
    OtherFileRead read;
    SecureString password;
    std::uint64_t seed = 0;
    const LoadResult result = ReadWithItsPassword(target, kOtherFilePasswordPrompt, theirs, read, password, seed);
    syncing_ = false;
    if (result != LoadResult::Loaded)
    {
        unreadChange_ = now;
        return;
    }
    ReplaceStore(theirs);
    currentPassword_ = std::move(password);
    legacySeed_ = seed;
    SetMainFileFormat(KeepHardened(read.format));
    RememberFileIdentity(target, read.identity);
    MarkSaved();
    // The file on disk keeps its older format until the next save.
    formatAtBase_ = read.format;
    unreadChange_.reset();
}

void SessionController::OfferConflictCopies()
{
    if (locked_ || !fileOk_ || syncing_)
    {
        return;
    }
    syncing_ = true;
    for (const std::string& copy : FindConflictCopies(MainEntryFile()))
    {
        // Engines bring a copy by renaming it into place: its stat data tell a new version.
        const FileIdentity identity = IdentityAtPath(copy);
        const bool offered =
            std::any_of(offeredCopies_.begin(), offeredCopies_.end(),
                        [&](const auto& seen) { return seen.first == copy && SameFile(seen.second, identity); });
        if (offered)
        {
            continue;
        }
        offeredCopies_.emplace_back(copy, identity);
        if (ShowMessage(kConflictCopyQuestion + copy, kConflictCopyCaption, MessageIcon::Question,
                        MessageButtons::OkCancel) == MessageAnswer::Ok)
        {
            MergeConflictCopy(copy);
        }
    }
    syncing_ = false;
}

void SessionController::MergeConflictCopy(const std::string& copy)
{
    PasswordStore theirs;
    OtherFileRead read;
    SecureString password;
    std::uint64_t seed = 0;
    if (ReadWithItsPassword(copy, kCopyPasswordPrompt, theirs, read, password, seed) != LoadResult::Loaded)
    {
        return;
    }
    // A copy has no common ancestor that this session knows of.
    const MergeBase noBase;
    PasswordStore merged;
    const MergeCounts counts = MergeStores(noBase, store_, theirs, merged);
    PasswordStore before;
    before.RemoveAll();
    windows_.BeforeStoreRefresh();
    // Moved, not copied, so that a failed save can put the very records back.
    before.TakeAll(store_);
    store_.TakeAll(merged);
    const SaveResult saved = SaveStore();
    if (saved != SaveResult::Saved && saved != SaveResult::ListInconsistent)
    {
        store_.RemoveAll();
        store_.TakeAll(before);
        windows_.StoreRefreshed();
        return;
    }
    windows_.StoreRefreshed();
    const bool removed = RemoveOnceFlushed(copy);
    std::string text = (removed ? kMergedCopyText : kMergedCopyKeptText) + copy + MergeSummary(counts);
    if (password != currentPassword_)
    {
        text += std::string("\n\n") + kMergedCopyPasswordNote;
    }
    ShowMessage(text, kMergedCaption, MessageIcon::Information);
}

} // namespace kavelmark

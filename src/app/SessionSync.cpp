// The session's side of a password file in a sync folder: merging at save, reloading what another
// computer wrote, and folding in the conflict copies that a sync engine leaves.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/CostQuestion.h"
#include "app/SessionController.h"
#include "file/ConflictCopies.h"
#include "file/FileError.h"
#include "file/FileIdentity.h"
#include "file/LinkedPath.h"
#include "file/LoadMessages.h"
#include "file/MainEntryFile.h"
#include "file/OtherFile.h"
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
    // Named, so that the user finds both versions without a search.
    constexpr std::size_t kNamed = 10;
    if (!counts.twiceEntries.empty())
    {
        text += std::string("\n\n") + kMergedTwiceHeading;
    }
    for (std::size_t i = 0; i < counts.twiceEntries.size() && i < kNamed; ++i)
    {
        text += "\n" + counts.twiceEntries[i].first + ": " + counts.twiceEntries[i].second;
    }
    if (counts.twiceEntries.size() > kNamed)
    {
        text += std::string("\n") + kMergedTwiceMoreStart + std::to_string(counts.twiceEntries.size() - kNamed) +
                kMergedTwiceMoreEnd;
    }
    return text;
}

MergeCounts& operator+=(MergeCounts& sum, const MergeCounts& counts)
{
    sum.fromOther += counts.fromOther;
    sum.deletedThere += counts.deletedThere;
    sum.twice += counts.twice;
    for (const auto& entry : counts.twiceEntries)
    {
        if (std::find(sum.twiceEntries.begin(), sum.twiceEntries.end(), entry) == sum.twiceEntries.end())
        {
            sum.twiceEntries.push_back(entry);
        }
    }
    return sum;
}

// The paths under a heading, the first few only: a message box has no room for thousands.
std::string PathList(const char* heading, const std::vector<std::string>& paths)
{
    constexpr std::size_t kShown = 10;
    if (paths.empty())
    {
        return {};
    }
    std::string text = std::string("\n\n") + heading;
    for (std::size_t i = 0; i < paths.size() && i < kShown; ++i)
    {
        text += "\n" + paths[i];
    }
    if (paths.size() > kShown)
    {
        text += std::string("\n") + kMoreCopiesLine + std::to_string(paths.size() - kShown);
    }
    return text;
}

// Keeps what the read of a copy would say: with several copies, the summary says it once for all.
class HeldMessages final : public MessageSink
{
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Cancel;
    }
};

LoadResult ReadCopyQuietly(const std::string& path, const SecureString& password, PasswordStore& store,
                           OtherFileRead& read, bool sayWrongPassword)
{
    HeldMessages held;
    const ScopedMessageSink holding(held);
    return ReadConflictCopy(path, password, store, read, sayWrongPassword);
}

// Removes the copies once the folder's entries (the merged file's rename among them) are on the
// disk: removed before that, a crash could leave neither a copy nor the merge. Under the folder
// lock, so that no save into the folder runs meanwhile; a copy the engine replaced after it was
// read holds what was not merged and stays. The copies kept.
std::vector<std::string> RemoveOnceFlushed(const std::vector<std::pair<std::string, FileIdentity>>& copies)
{
    std::vector<std::string> kept;
    RetryingFile folder;
    const bool flushed = !copies.empty() && folder.LockFolder(FolderOf(copies.front().first)) == kFileOk &&
                         folder.IsOpen() && folder.Sync() == kFileOk;
    for (const auto& [copy, identity] : copies)
    {
        if (!flushed || RemoveUnchangedCopy(copy, identity) != CopyRemoval::Removed)
        {
            kept.push_back(copy);
        }
    }
    return kept;
}

} // namespace

LoadResult SessionController::ReadWithItsPassword(const std::string& path, PasswordStore& store, OtherFileRead& read,
                                                  SecureString& password, std::uint64_t& seed, bool& typed,
                                                  OtherFileReader reader)
{
    typed = false;
    std::vector<KnownPasswords::Known> tries = {
        {currentPassword_, legacySeed_}, {sharedPassword_, sharedSeed_}, {passwordAtBase_, seedAtBase_}};
    tries.insert(tries.end(), knownPasswords_.All().begin(), knownPasswords_.All().end());
    const CostQuestion question;
    std::vector<const SecureString*> tried;
    for (const KnownPasswords::Known& known : tries)
    {
        if (std::any_of(tried.begin(), tried.end(), [&](const SecureString* t) { return *t == known.password; }))
        {
            continue;
        }
        tried.push_back(&known.password);
        password = known.password;
        seed = known.seed;
        const LoadResult result = reader(path, password, store, read, false);
        if (result == LoadResult::Refused && question.Asked())
        {
            // A costly file: declined, or its one derivation spent on the session's password.
            if (question.Agreed())
            {
                ShowWrongPassword();
            }
            return result;
        }
        if (result != LoadResult::Refused)
        {
            return result;
        }
    }
    std::unique_ptr<LoginDialogBase> login = windows_.CreateLoginDialog();
    login->promptText = kOtherDevicePasswordPrompt;
    login->titleText = kOtherDevicePasswordTitle;
    if (login->Run() != LoginDialogBase::kOk)
    {
        return LoadResult::Refused;
    }
    password = login->enteredPassword;
    seed = login->legacySeed;
    const LoadResult result = reader(path, password, store, read, true);
    if (result == LoadResult::Loaded)
    {
        typed = true;
        knownPasswords_.Add(password, seed);
    }
    return result;
}

std::string SessionController::PasswordNote(PasswordChoice choice)
{
    switch (choice)
    {
    case PasswordChoice::Theirs:
        return std::string("\n\n") + kPasswordTakenNote;
    case PasswordChoice::OursThoughBothChanged:
        return std::string("\n\n") + kPasswordKeptNote;
    case PasswordChoice::Ours:
        break;
    }
    return {};
}

SessionController::PasswordChoice SessionController::ChoosePassword(const SecureString& theirs, bool typed) const
{
    if (!typed || theirs == currentPassword_)
    {
        return PasswordChoice::Ours;
    }
    return currentPassword_ == sharedPassword_ ? PasswordChoice::Theirs : PasswordChoice::OursThoughBothChanged;
}

void SessionController::SelectFirstTwice(const MergeCounts& counts)
{
    if (!counts.twiceEntries.empty())
    {
        windows_.SelectEntryNamed(counts.twiceEntries.front().first, counts.twiceEntries.front().second);
    }
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
    bool typed = false;
    const LoadResult result = ReadWithItsPassword(path, theirs, read, password, seed, typed);
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
    const PasswordChoice choice = ChoosePassword(password, typed);
    if (choice != PasswordChoice::Theirs)
    {
        password = currentPassword_;
        seed = legacySeed_;
    }
    // A format chosen there is newer than the one loaded here, unless this session chose one too.
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
    sharedPassword_ = currentPassword_;
    sharedSeed_ = legacySeed_;
    SelectFirstTwice(counts);
    ShowMessage(kMergedFileText + MergeSummary(counts) + PasswordNote(choice), kMergedCaption,
                MessageIcon::Information);
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
    bool typed = false;
    const LoadResult result = ReadWithItsPassword(target, theirs, read, password, seed, typed);
    syncing_ = false;
    if (result != LoadResult::Loaded)
    {
        unreadChange_ = now;
        return;
    }
    ReplaceStore(theirs);
    const PasswordChoice choice = ChoosePassword(password, typed);
    if (choice == PasswordChoice::Theirs)
    {
        currentPassword_ = password;
        legacySeed_ = seed;
    }
    SetMainFileFormat(KeepHardened(read.format));
    RememberFileIdentity(target, read.identity);
    MarkSaved();
    // The file on disk keeps its password until the next save writes this session's own.
    passwordAtBase_ = password;
    seedAtBase_ = seed;
    sharedPassword_ = std::move(password);
    sharedSeed_ = seed;
    if (choice == PasswordChoice::OursThoughBothChanged)
    {
        ShowMessage(kPasswordKeptNote, kMergedCaption, MessageIcon::Information);
    }
    // The file on disk keeps its older format until the next save.
    formatAtBase_ = read.format;
    unreadChange_.reset();
}

void SessionController::OfferConflictCopiesAgain()
{
    offeredCopies_.clear();
    OfferConflictCopies();
}

void SessionController::MergeCopiesNow()
{
    if (!fileOk_)
    {
        ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        return;
    }
    if (FindConflictCopies(MainEntryFile()).empty())
    {
        ShowMessage(kNoConflictCopiesText, kConflictCopyCaption, MessageIcon::Information);
        return;
    }
    OfferConflictCopiesAgain();
}

void SessionController::OfferConflictCopies()
{
    if (locked_ || !fileOk_ || syncing_)
    {
        return;
    }
    syncing_ = true;
    // The copies there now, each with the version last offered; those gone are forgotten.
    std::vector<std::pair<std::string, FileIdentity>> present;
    std::vector<std::pair<std::string, FileIdentity>> fresh;
    for (const std::string& copy : FindConflictCopies(MainEntryFile()))
    {
        // Engines bring a copy by renaming it into place: its stat data tell a new version, and
        // the bytes of every copy need not be read at each change in the folder.
        const FileIdentity stat = IdentityAtPath(copy);
        const auto offered =
            std::find_if(offeredCopies_.begin(), offeredCopies_.end(),
                         [&](const auto& seen) { return seen.first == copy && SameFile(seen.second, stat); });
        if (offered != offeredCopies_.end())
        {
            present.push_back(*offered);
            continue;
        }
        // What the question is about, bytes and all: only this is merged if the answer is yes.
        const FileIdentity identity = ConflictCopyIdentity(copy);
        if (identity.exists)
        {
            present.emplace_back(copy, identity);
            fresh.emplace_back(copy, identity);
        }
    }
    offeredCopies_ = std::move(present);
    if (!fresh.empty())
    {
        const std::string question =
            fresh.size() == 1 ? kConflictCopyQuestion + fresh.front().first
                              : std::to_string(fresh.size()) + kConflictCopiesQuestion + FolderOf(fresh.front().first);
        if (ShowMessage(question, kConflictCopyCaption, MessageIcon::Question, MessageButtons::OkCancel) ==
            MessageAnswer::Ok)
        {
            MergeConflictCopies(fresh);
        }
    }
    syncing_ = false;
}

void SessionController::MergeConflictCopies(const std::vector<std::pair<std::string, FileIdentity>>& copies)
{
    const bool several = copies.size() > 1;
    const OtherFileReader reader = several ? ReadCopyQuietly : ReadConflictCopy;
    // A copy has no common ancestor that this session knows of.
    const MergeBase noBase;
    PasswordStore merged;
    MergeCounts counts;
    std::vector<std::pair<std::string, FileIdentity>> mergedCopies;
    std::vector<std::string> unread;
    std::optional<KnownPasswords::Known> taken;
    bool bothChanged = false;
    for (const auto& [copy, asked] : copies)
    {
        // Only the very file asked about: one put in its place since (a link to another password
        // file of the user's among them) is offered anew, as a version of its own.
        const FileIdentity now = ConflictCopyIdentity(copy);
        PasswordStore theirs;
        OtherFileRead read;
        SecureString password;
        std::uint64_t seed = 0;
        bool typed = false;
        if (!now.exists || !SameFile(asked, now) ||
            ReadWithItsPassword(copy, theirs, read, password, seed, typed, reader) != LoadResult::Loaded ||
            !SameFile(asked, read.identity))
        {
            unread.push_back(copy);
            continue;
        }
        PasswordStore next;
        counts += MergeStores(noBase, mergedCopies.empty() ? store_ : merged, theirs, next);
        merged.RemoveAll();
        merged.TakeAll(next);
        mergedCopies.emplace_back(copy, read.identity);
        switch (ChoosePassword(password, typed))
        {
        case PasswordChoice::Theirs:
            if (!taken)
            {
                taken = KnownPasswords::Known{password, seed};
            }
            break;
        case PasswordChoice::OursThoughBothChanged:
            bothChanged = true;
            break;
        case PasswordChoice::Ours:
            break;
        }
    }
    const PasswordChoice choice = taken         ? PasswordChoice::Theirs
                                  : bothChanged ? PasswordChoice::OursThoughBothChanged
                                                : PasswordChoice::Ours;
    if (!mergedCopies.empty())
    {
        PasswordStore before;
        before.RemoveAll();
        windows_.BeforeStoreRefresh();
        // Moved, not copied, so that a failed save can put the very records back.
        before.TakeAll(store_);
        store_.TakeAll(merged);
        SecureString passwordBefore = currentPassword_;
        const std::uint64_t seedBefore = legacySeed_;
        if (taken)
        {
            currentPassword_ = taken->password;
            legacySeed_ = taken->seed;
        }
        const SaveResult saved = SaveStore();
        if (saved != SaveResult::Saved && saved != SaveResult::ListInconsistent)
        {
            store_.RemoveAll();
            store_.TakeAll(before);
            currentPassword_ = std::move(passwordBefore);
            legacySeed_ = seedBefore;
            windows_.StoreRefreshed();
            return;
        }
        sharedPassword_ = currentPassword_;
        sharedSeed_ = legacySeed_;
        windows_.StoreRefreshed();
    }
    const std::vector<std::string> kept = RemoveOnceFlushed(mergedCopies);
    SelectFirstTwice(counts);
    std::string text;
    if (!several)
    {
        // One copy that was not read said why itself, or was replaced and comes back as new.
        if (mergedCopies.empty())
        {
            return;
        }
        text = (kept.empty() ? kMergedCopyText : kMergedCopyKeptText) + copies.front().first + MergeSummary(counts);
        text += PasswordNote(choice);
    }
    else
    {
        text = mergedCopies.empty() ? kNoCopyMergedText
                                    : kMergedCopiesText + std::string("\n") + kMergedCopiesLine +
                                          std::to_string(mergedCopies.size()) + MergeSummary(counts);
        text += PathList(kCopiesKeptHeading, kept) + PathList(kCopiesUnreadHeading, unread);
        text += PasswordNote(choice);
    }
    ShowMessage(text, kMergedCaption, MessageIcon::Information);
}

} // namespace kavelmark

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/KnownPasswords.h"
#include "app/LoginDialogBase.h"
#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "merge/MergeBase.h"
#include "merge/StoreMerge.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Where the session reads and writes the password file (the real Load and Save, or a fake).
class SessionFile
{
public:
    virtual ~SessionFile() = default;
    virtual LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed) = 0;
    virtual SaveResult Save(const PasswordStore& store, const SecureString& password) = 0;
    // Whether the file is still, byte for byte, the one last loaded or saved, in the format the
    // next save writes; a save of the same store under the same password may then write nothing.
    virtual bool StillAsLastLoadedOrSaved()
    {
        return false;
    }
};

// The password file named by Config/MainEntryFile, as load and save find it.
SessionFile& MainSessionFile();

// What the session needs of the windows.
class SessionWindows
{
public:
    virtual ~SessionWindows() = default;
    virtual std::unique_ptr<LoginDialogBase> CreateLoginDialog() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void RunConfigDialog() = 0;
    virtual void RunAboutDialog() = 0;
    // The store was loaded anew (or emptied by a failed load): filter and list must be rebuilt.
    virtual void StoreReloaded() = 0;
    // The store is about to be replaced by another version of the file (reloaded or merged):
    // the window notes its selection, and shows the new store at StoreRefreshed, keeping the
    // category filter and the selected entry where they still exist.
    virtual void BeforeStoreRefresh()
    {
    }
    virtual void StoreRefreshed()
    {
        StoreReloaded();
    }
    // The window's own menu commands, which act also while the session is locked.
    virtual void EndRun()
    {
    }
    virtual void ShowHelp()
    {
    }
    virtual void LockWindow()
    {
    }
    // Shows the first entry of that category and name, the list filtered to its category.
    virtual void SelectEntryNamed(const std::string& /*category*/, const std::string& /*name*/)
    {
    }
    virtual void OpenFind()
    {
    }
};

// Login, load and save around the main window's life, and the file and password commands.
class SessionController
{
public:
    SessionController(PasswordStore& store, SessionWindows& windows, SessionFile& file = MainSessionFile());

    // Login and load before the main window shows; false when the window must not open.
    bool StartSession();

    // The user asks to end the run: saves (or refuses to save). False keeps the window open,
    // which happens only when the save failed and the user did not confirm losing the changes.
    bool RequestEnd();

    // The main window goes away: saves unless RequestEnd already settled it, then removes
    // the tray icon.
    void EndSession();

    // Every menu command goes through here. A locked session acts on none of its own: its
    // store is empty and no password is at hand; the window's own commands still act.
    void HandleMenuCommand(int commandId);

    // Saves the store as the end of the session does, then forgets the store and the password
    // until Unlock. False, with nothing forgotten, when the save failed or was refused (it said
    // why): without a loaded file only a store without entries is forgotten.
    bool Lock();
    // Asks for the password and loads the file with it. False while the session stays locked:
    // the login was cancelled, or the load failed (and said why); the store then stays empty.
    bool Unlock();
    // Whether a save would change the file: also a new password or format not saved yet.
    bool HoldsUnsavedChanges() const;
    bool Locked() const
    {
        return locked_;
    }

    bool FileOk() const
    {
        return fileOk_;
    }
    // The folder of the password file changed (the sync engine wrote it, or a conflict copy
    // appeared). Without unsaved changes a new version of the file is loaded at once; with them
    // it is merged at the next save. Then offers the conflict copies not yet offered. Call only
    // while no dialog is open.
    void FileChangedOnDisk();
    // Offers, in one question, to merge the conflict copies beside the file that were not offered
    // yet (as they are now: a copy the engine replaces is offered anew).
    void OfferConflictCopies();
    // The same, also for the copies offered before and declined or not read.
    void OfferConflictCopiesAgain();

    const SecureString& CurrentPassword() const
    {
        return currentPassword_;
    }
    std::uint64_t LegacySeed() const
    {
        return legacySeed_;
    }

private:
    // The login window, then the load with the login kept up while it works; false when the
    // login was cancelled (nothing loaded).
    bool AskPasswordAndLoad(LoadResult& result);
    // The login window once more, with its own prompt: the password typed, nothing on cancel.
    std::optional<SecureString> AskAgain(const char* prompt);
    // The file's load, with the login window at hand to confirm the password.
    LoadResult LoadFile();
    enum class Confirmation
    {
        Same,
        Differs, // said so
        Cancelled,
    };
    // The password of a file about to be made, typed a second time.
    Confirmation ConfirmNewFilePassword();
    // Every save goes through here.
    SaveResult SaveStore();
    // Runs a command of the session's own unless the session is locked.
    void Unlocked(void (SessionController::*command)());
    void SaveOrRefuse();
    bool HoldsEntries() const;
    void Forget();
    void Reload();
    void SaveAs();
    void ChangePassword();
    void About();
    void Configure();

    // Sync folders (SessionSync.cpp).
    // Reads a file other than the loaded one with each password the session knows, or else the
    // file's own, asked once; password and seed receive the one that opened it, and typed tells
    // whether the user gave it.
    using OtherFileReader = LoadResult (*)(const std::string&, const SecureString&, PasswordStore&, OtherFileRead&,
                                           bool);
    LoadResult ReadWithItsPassword(const std::string& path, PasswordStore& store, OtherFileRead& read,
                                   SecureString& password, std::uint64_t& seed, bool& typed,
                                   OtherFileReader reader = ReadOtherFile);
    // The password kept after reading a version under theirs. A password this session had is
    // older than its own; a new one wins unless this session changed its own too.
    enum class PasswordChoice
    {
        Ours,
        Theirs,
        OursThoughBothChanged,
    };
    PasswordChoice ChoosePassword(const SecureString& theirs, bool typed) const;
    // What a merge says of the password it kept, when another one was there.
    static std::string PasswordNote(PasswordChoice choice);
    // After "Zusammenführen": merges the file as it is now into the store and saves the result.
    SaveResult MergeChangedFileAndSave();
    void ReloadChangedFile(const std::string& target, const FileIdentity& now);
    // The format to write after a version in the given format arrived: a session whose file or
    // setting is hardened stays so, and says once that an older version arrived.
    FileFormat KeepHardened(FileFormat arrived);
    // "Konfliktkopien zusammenführen": every copy there now, or a word that there is none.
    void MergeCopiesNow();
    // After a merge that kept entries twice: the first of them selected, for the user to choose.
    void SelectFirstTwice(const MergeCounts& counts);
    // Merges the copies (each with the identity it had when asked about) into the store and saves
    // once; one message says what became of them.
    void MergeConflictCopies(const std::vector<std::pair<std::string, FileIdentity>>& copies);
    // Replaces the store by another version of it, the window's list along.
    void ReplaceStore(PasswordStore& replacement);
    // What the file on disk now holds is what the session holds: records, password and format.
    void MarkSaved();
    bool PasswordUnsaved() const
    {
        return currentPassword_ != passwordAtBase_;
    }

    PasswordStore& store_;
    SessionWindows& windows_;
    SessionFile& file_;
    SecureString currentPassword_;
    // The seed of the empty password, so that a reload before any login is well defined.
    static constexpr std::uint64_t kEmptyPasswordSeed = 42;
    std::uint64_t legacySeed_ = kEmptyPasswordSeed;
    bool fileOk_ = false;
    bool endSettled_ = false;
    // The login that stays up, busy, while its password is put to use; null otherwise.
    LoginDialogBase* busyLogin_ = nullptr;
    bool locked_ = false;
    // What the file held at the last load or save, for three-way merges.
    MergeBase base_;
    // The password of the file at the last load or save, which the other side may still use
    // after this session chose a new one.
    SecureString passwordAtBase_;
    std::uint64_t seedAtBase_ = kEmptyPasswordSeed;
    FileFormat formatAtBase_ = FileFormat::V03;
    // The file the base was loaded from or saved to: a save under another name always writes.
    std::string fileAtBase_;
    // A changed file that could not be read (or whose password the user did not give) is not
    // tried again until it changes once more; a copy is offered once per version.
    std::optional<FileIdentity> unreadChange_;
    std::vector<std::pair<std::string, FileIdentity>> offeredCopies_;
    bool syncing_ = false;
    bool olderFormatSaid_ = false;
    // The password of the version both sides last shared: the one last read from the file, or
    // the one a merge saved.
    SecureString sharedPassword_;
    std::uint64_t sharedSeed_ = kEmptyPasswordSeed;
    KnownPasswords knownPasswords_;
};

} // namespace kavelmark

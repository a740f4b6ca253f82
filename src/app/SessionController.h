#pragma once

#include <cstdint>
#include <memory>

#include "app/AppTexts.h"
#include "app/LoginDialogBase.h"
#include "file/LoadSave.h"
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
    bool Locked() const
    {
        return locked_;
    }

    bool FileOk() const
    {
        return fileOk_;
    }
    const SecureString& CurrentPassword() const
    {
        return currentPassword_;
    }
    std::uint64_t LegacySeed() const
    {
        return legacySeed_;
    }

private:
    // The login window; false when it was cancelled.
    bool AskPassword();
    // The file's load, with the login window at hand to confirm the password.
    LoadResult LoadFile();
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

    PasswordStore& store_;
    SessionWindows& windows_;
    SessionFile& file_;
    SecureString currentPassword_;
    // The seed of the empty password, so that a reload before any login is well defined.
    static constexpr std::uint64_t kEmptyPasswordSeed = 42;
    std::uint64_t legacySeed_ = kEmptyPasswordSeed;
    bool fileOk_ = false;
    bool endSettled_ = false;
    bool locked_ = false;
};

} // namespace kavelmark

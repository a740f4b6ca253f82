#include "app/SessionController.h"

#include "app/CostQuestion.h"
#include "app/FileChooser.h"
#include "file/LoadSave.h"
#include "file/MainEntryFile.h"
#include "platform/CommandIds.h"
#include "platform/Messages.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{

SessionController::SessionController(PasswordStore& store, SessionWindows& windows, SessionFile& file)
    : store_(store), windows_(windows), file_(file)
{
}

bool SessionController::AskPasswordAndLoad(LoadResult& result)
{
    std::unique_ptr<LoginDialogBase> login = windows_.CreateLoginDialog();
    if (login->Run() != LoginDialogBase::kOk)
    {
        return false;
    }
    currentPassword_ = login->enteredPassword;
    legacySeed_ = login->legacySeed;
    busyLogin_ = login.get();
    login->ShowBusy();
    result = LoadFile();
    if (busyLogin_)
    {
        busyLogin_->EndBusy();
        busyLogin_ = nullptr;
    }
    return true;
}

bool SessionController::StartSession()
{
    // A new file's password becomes the key of every entry: one typo there would lock them all
    // away, so it is typed twice, and a mismatch starts again from the login.
    for (;;)
    {
        LoadResult result = LoadResult::Missing;
        if (!AskPasswordAndLoad(result))
        {
            return true;
        }
        if (result != LoadResult::Missing)
        {
            if (result != LoadResult::Loaded)
            {
                fileOk_ = false;
                return false;
            }
            break;
        }
        ShowMessage(kCreateEmptyText, "Ladefehler", MessageIcon::Error);
        const Confirmation confirmation = ConfirmNewFilePassword();
        if (confirmation == Confirmation::Same)
        {
            SaveStore();
            break;
        }
        // Nothing was made; a cancel leaves the session as a cancelled login does.
        WipeString(currentPassword_);
        legacySeed_ = kEmptyPasswordSeed;
        if (confirmation == Confirmation::Cancelled)
        {
            return true;
        }
    }
    fileOk_ = true;
    windows_.AddTrayIcon();
    OfferConflictCopies();
    return true;
}

std::optional<SecureString> SessionController::AskAgain(const char* prompt)
{
    // One login window at a time: the one kept up while loading goes first.
    if (busyLogin_)
    {
        busyLogin_->EndBusy();
        busyLogin_ = nullptr;
    }
    std::unique_ptr<LoginDialogBase> dialog = windows_.CreateLoginDialog();
    dialog->promptText = prompt;
    if (dialog->Run() != LoginDialogBase::kOk)
    {
        return std::nullopt;
    }
    return std::move(dialog->enteredPassword);
}

SessionController::Confirmation SessionController::ConfirmNewFilePassword()
{
    const std::optional<SecureString> again = AskAgain(kNewFilePasswordPrompt);
    if (!again)
    {
        return Confirmation::Cancelled;
    }
    if (*again != currentPassword_)
    {
        ShowMessage(kNewPasswordsDifferText, "Information", MessageIcon::Information);
        return Confirmation::Differs;
    }
    return Confirmation::Same;
}

LoadResult SessionController::LoadFile()
{
    PasswordConfirmer previous =
        SetPasswordConfirmer([this]() -> std::optional<SecureString> { return AskAgain(kConfirmPasswordPrompt); });
    const CostQuestion question;
    LoadResult result = file_.Load(store_, currentPassword_, legacySeed_);
    SetPasswordConfirmer(std::move(previous));
    if (result == LoadResult::Loaded)
    {
        MarkSaved();
        sharedPassword_ = currentPassword_;
        sharedSeed_ = legacySeed_;
        knownPasswords_.Add(currentPassword_, legacySeed_);
    }
    else
    {
        base_.Clear();
    }
    unreadChange_.reset();
    return result;
}

SaveResult SessionController::SaveStore()
{
    // A locked session's store is empty: saved, it would replace every entry of the file.
    if (locked_)
    {
        return SaveResult::Kept;
    }
    // Written anew, an unchanged store would differ only in the time of saving: a change that
    // every other computer's sync engine must carry, and can turn into a conflict.
    if (!HoldsUnsavedChanges() && MainEntryFile() == fileAtBase_ && file_.StillAsLastLoadedOrSaved())
    {
        return SaveResult::Saved;
    }
    SaveResult result = file_.Save(store_, currentPassword_);
    // Each round asks the user again: the file changed once more while the merge was read.
    while (result == SaveResult::MergeChosen)
    {
        result = MergeChangedFileAndSave();
    }
    if (result == SaveResult::Saved || result == SaveResult::ListInconsistent)
    {
        MarkSaved();
        unreadChange_.reset();
    }
    return result;
}

void SessionController::SaveOrRefuse()
{
    if (locked_)
    {
        return;
    }
    if (!fileOk_)
    {
        ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        return;
    }
    const SaveResult saved = SaveStore();
    // The user's own save is a good moment for the copies declined before.
    if (saved == SaveResult::Saved || saved == SaveResult::ListInconsistent)
    {
        OfferConflictCopiesAgain();
    }
}

bool SessionController::RequestEnd()
{
    // Locking saved the store; what a locked session holds is nothing worth saving.
    if (endSettled_ || locked_)
    {
        endSettled_ = true;
        return true;
    }
    const SaveResult saved = fileOk_ ? SaveStore() : SaveResult::Saved;
    if (saved == SaveResult::Saved)
    {
        if (!fileOk_)
        {
            ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        }
        endSettled_ = true;
        return true;
    }
    // The save has told the user why it failed, or the user kept the other program's version;
    // leaving now would lose the changes.
    const bool declined = saved == SaveResult::Kept;
    if (ShowMessage(declined ? kEndUnsavedQuestionText : kDiscardQuestionText, declined ? kEndUnsavedCaption : "Fehler",
                    MessageIcon::Question, MessageButtons::OkCancelDefaultCancel) == MessageAnswer::Ok)
    {
        endSettled_ = true;
        return true;
    }
    return false;
}

void SessionController::EndSession()
{
    if (!endSettled_)
    {
        SaveOrRefuse();
        endSettled_ = true;
    }
    // Nothing is saved after this point, so the password is no longer needed.
    WipeString(currentPassword_);
    WipeString(passwordAtBase_);
    windows_.RemoveTrayIcon();
}

void SessionController::HandleMenuCommand(int commandId)
{
    switch (commandId)
    {
    case command::kExit:
        windows_.EndRun();
        break;
    case command::kHelp:
        windows_.ShowHelp();
        break;
    case command::kLock:
        windows_.LockWindow();
        break;
    case command::kFind:
        windows_.OpenFind();
        break;
    case command::kFileOpen:
        Unlocked(&SessionController::Reload);
        break;
    case command::kFileSave:
        Unlocked(&SessionController::SaveOrRefuse);
        break;
    case command::kFileSaveAs:
        Unlocked(&SessionController::SaveAs);
        break;
    case command::kMergeCopies:
        Unlocked(&SessionController::MergeCopiesNow);
        break;
    case command::kChangePassword:
        Unlocked(&SessionController::ChangePassword);
        break;
    case command::kAbout:
        Unlocked(&SessionController::About);
        break;
    case command::kConfig:
        Unlocked(&SessionController::Configure);
        break;
    default:
        break;
    }
}

void SessionController::About()
{
    windows_.RunAboutDialog();
}

void SessionController::Configure()
{
    windows_.RunConfigDialog();
}

void SessionController::Unlocked(void (SessionController::*command)())
{
    if (!locked_)
    {
        (this->*command)();
    }
}

bool SessionController::Lock()
{
    if (locked_)
    {
        return true;
    }
    if (fileOk_ ? SaveStore() != SaveResult::Saved : HoldsEntries())
    {
        // Entries typed into a session whose file did not load cannot be saved; locking
        // would throw them away without a word.
        if (!fileOk_)
        {
            ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        }
        return false;
    }
    Forget();
    locked_ = true;
    return true;
}

bool SessionController::HoldsEntries() const
{
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        if (PasswordStore::IsEntryRecord(store_.GetAt(pos)))
        {
            return true;
        }
    }
    return false;
}

void SessionController::Forget()
{
    store_.RemoveAll();
    base_.Clear();
    WipeString(passwordAtBase_);
    WipeString(currentPassword_);
    WipeString(sharedPassword_);
    knownPasswords_.Clear();
    legacySeed_ = kEmptyPasswordSeed;
}

bool SessionController::Unlock()
{
    if (!locked_)
    {
        return true;
    }
    LoadResult result = LoadResult::Missing;
    if (!AskPasswordAndLoad(result))
    {
        return false;
    }
    if (result != LoadResult::Loaded)
    {
        // The password is proved by the file alone: without it nothing opens, also when the
        // file went missing meanwhile (the load says nothing then, so we do).
        Forget();
        if (result == LoadResult::Missing)
        {
            ShowMessage(kReloadFailedText, "Fehler", MessageIcon::Error);
        }
        return false;
    }
    locked_ = false;
    fileOk_ = true;
    OfferConflictCopiesAgain();
    return true;
}

void SessionController::Reload()
{
    fileOk_ = LoadFile() == LoadResult::Loaded;
    // Also after a failure, and before the message: the load may have emptied the store
    // under the list's rows.
    windows_.StoreReloaded();
    if (!fileOk_)
    {
        ShowMessage(kReloadFailedText, "Fehler", MessageIcon::Error);
    }
}

void SessionController::SaveAs()
{
    std::string fileName = MainEntryFile();
    if (FileChooser::Choose(fileName, "", true, false) != FileChooser::kConfirmed)
    {
        return;
    }
    Settings::Set(settings::kMainEntryFileSetting, fileName);
    SaveOrRefuse();
}

void SessionController::ChangePassword()
{
    std::unique_ptr<LoginDialogBase> dialog = windows_.CreateLoginDialog();
    dialog->SetExpectedPassword(currentPassword_);
    for (int step = 0; step <= 2; ++step)
    {
        if (dialog->RunStep(step) != LoginDialogBase::kOk)
        {
            return;
        }
    }
    currentPassword_ = dialog->enteredPassword;
    legacySeed_ = dialog->legacySeed;
}

} // namespace kavelmark

#include "app/SessionController.h"

#include "app/FileChooser.h"
#include "file/LoadSave.h"
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

bool SessionController::StartSession()
{
    std::unique_ptr<LoginDialogBase> login = windows_.CreateLoginDialog();
    if (login->Run() != LoginDialogBase::kOk)
    {
        return true;
    }
    currentPassword_ = login->enteredPassword;
    legacySeed_ = login->legacySeed;
    login.reset();

    int result = LoadFile();
    if (result == 2)
    {
        ShowMessage(kCreateEmptyText, "Ladefehler", MessageIcon::Error);
        file_.Save(store_, currentPassword_);
    }
    else if (result != 0)
    {
        fileOk_ = false;
        return false;
    }
    fileOk_ = true;
    windows_.AddTrayIcon();
    return true;
}

int SessionController::LoadFile()
{
    PasswordConfirmer previous = SetPasswordConfirmer(
        [this]() -> std::optional<SecureString>
        {
            std::unique_ptr<LoginDialogBase> dialog = windows_.CreateLoginDialog();
            dialog->promptText = kConfirmPasswordPrompt;
            if (dialog->Run() != LoginDialogBase::kOk)
            {
                return std::nullopt;
            }
            return std::move(dialog->enteredPassword);
        });
    int result = file_.Load(store_, currentPassword_, legacySeed_);
    SetPasswordConfirmer(std::move(previous));
    return result;
}

void SessionController::SaveOrRefuse()
{
    if (!fileOk_)
    {
        ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        return;
    }
    file_.Save(store_, currentPassword_);
}

bool SessionController::RequestEnd()
{
    if (endSettled_)
    {
        return true;
    }
    if (!fileOk_ || file_.Save(store_, currentPassword_) == 0)
    {
        if (!fileOk_)
        {
            ShowMessage(kNotOkText, "Fehler", MessageIcon::Error);
        }
        endSettled_ = true;
        return true;
    }
    // The save has told the user why it failed; leaving now would lose the changes.
    if (ShowMessage(kDiscardQuestionText, "Fehler", MessageIcon::Question, MessageButtons::OkCancelDefaultCancel) ==
        MessageAnswer::Ok)
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
    windows_.RemoveTrayIcon();
}

void SessionController::HandleMenuCommand(int commandId)
{
    switch (commandId)
    {
    case command::kFileOpen:
        Reload();
        break;
    case command::kFileSave:
        SaveOrRefuse();
        break;
    case command::kFileSaveAs:
        SaveAs();
        break;
    case command::kAbout:
        windows_.RunAboutDialog();
        break;
    case command::kChangePassword:
        ChangePassword();
        break;
    case command::kConfig:
        windows_.RunConfigDialog();
        break;
    default:
        break;
    }
}

void SessionController::Reload()
{
    int result = LoadFile();
    fileOk_ = result == 0;
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
    std::string fileName =
        Settings::GetString(settings::kConfig, settings::kMainEntryFile, settings::kDefaultMainEntryFile, true, true);
    if (FileChooser::Choose(fileName, "", true, false) != FileChooser::kConfirmed)
    {
        return;
    }
    Settings::SetString(settings::kConfig, settings::kMainEntryFile, fileName, true);
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

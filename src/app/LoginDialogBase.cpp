#include "app/LoginDialogBase.h"

#include "crypto/CipherEngine.h"
#include "platform/Messages.h"

namespace kavelmark
{

int LoginDialogBase::Run()
{
    int result = RunModal();
    if (result == kOk)
    {
        legacySeed = ComputeLegacySeed(std::string_view(enteredPassword.data(), enteredPassword.size()));
    }
    return result;
}

int LoginDialogBase::RunStep(int step)
{
    WipeString(enteredPassword);
    switch (step)
    {
    case 0:
        promptText = "Bitte geben Sie Ihr altes Kennwort ein.";
        break;
    case 1:
        promptText = "Bitte geben Sie Ihr neues Kennwort ein.";
        break;
    case 2:
        promptText = "Bitte wiederholen Sie Ihr Kennwort.";
        break;
    default:
        break;
    }
    int result = Run();
    if (result != kOk)
    {
        return result;
    }
    switch (step)
    {
    case 0:
        if (enteredPassword != expectedPassword)
        {
            ShowMessage("Das Kennwort ist falsch!", "Information", MessageIcon::Information);
            return kCancel;
        }
        break;
    case 1:
        newPassword = enteredPassword;
        break;
    case 2:
        if (enteredPassword != newPassword)
        {
            ShowMessage("Die neuen Kennwörter stimmt nicht überein!", "Information", MessageIcon::Information);
            return kCancel;
        }
        break;
    default:
        break;
    }
    return kOk;
}

} // namespace kavelmark

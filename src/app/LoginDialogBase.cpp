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
        promptText = kOldPasswordPrompt;
        break;
    case 1:
        promptText = kNewPasswordPrompt;
        break;
    case 2:
        promptText = kRepeatPasswordPrompt;
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
            ShowMessage(kWrongOldPasswordText, "Information", MessageIcon::Information);
            return kCancel;
        }
        break;
    case 1:
        newPassword = enteredPassword;
        break;
    case 2:
        if (enteredPassword != newPassword)
        {
            ShowMessage(kNewPasswordsDifferText, "Information", MessageIcon::Information);
            return kCancel;
        }
        break;
    default:
        break;
    }
    return kOk;
}

} // namespace kavelmark

#pragma once

#include <cstdint>
#include <string>

#include "app/AppTexts.h"
#include "platform/SecureString.h"

namespace kavelmark
{

// The password prompt without its window: the plain login run, the three steps of a
// password change and the seed computed on confirmation. The window (Qt or a test fake)
// supplies RunModal.
class LoginDialogBase
{
public:
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    static constexpr const char* kDefaultPrompt = kLoginPrompt;

    virtual ~LoginDialogBase() = default;

    // One modal run; after OK, enteredPassword and legacySeed hold the confirmed password.
    int Run();

    // One step of a password change: 0 old password, 1 new password, 2 repetition.
    int RunStep(int step);

    void SetExpectedPassword(const SecureString& password)
    {
        expectedPassword = password;
    }

    // While the password just given is put to use (a hardened file's key takes a second to
    // derive, and no other window may be up yet), the login stays on screen, busy.
    virtual void ShowBusy()
    {
    }
    virtual void EndBusy()
    {
    }

    SecureString expectedPassword;
    SecureString newPassword;
    std::uint64_t legacySeed = 0;
    SecureString enteredPassword;
    std::string promptText = kDefaultPrompt; // UTF-8
    std::string titleText;                   // UTF-8; empty for the login's own

protected:
    // Shows promptText and enteredPassword; on OK stores the typed password in
    // enteredPassword. Returns kOk or kCancel and leaves every field alone on cancel.
    virtual int RunModal() = 0;
};

} // namespace kavelmark

// A real session on a password file, without windows, for the sync engine's tests: the user who
// gives the password on standard input and answers every question with its OK (or Merge).
//   session_driver FILE start-and-end
// start-and-end: the login and load (which offer the conflict copies beside the file), then the
// end of the run, which saves. Every message shown goes to standard error.
// Exit status: 0 when the session loaded the file and ended without an error shown, 1 otherwise,
// 2 on misuse.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/SessionController.h"
#include "file/port/ToolInput.h"
#include "platform/Messages.h"
#include "settings/Settings.h"
#include "settings/SettingsBackend.h"
#include "store/PasswordStore.h"

namespace kavelmark
{
namespace
{

class YesToEverything final : public MessageSink
{
public:
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons) override
    {
        std::fprintf(stderr, "message: %s: %s\n", caption.c_str(), text.c_str());
        errors += icon == MessageIcon::Error ? 1 : 0;
        return MessageAnswer::Ok;
    }

    int errors = 0;
};

// Gives the same password at every prompt; a file under another password then stays unread.
class StdinLogin final : public LoginDialogBase
{
public:
    explicit StdinLogin(const SecureString& password) : password_(password)
    {
    }

protected:
    int RunModal() override
    {
        std::fprintf(stderr, "login: %s\n", promptText.c_str());
        enteredPassword = password_;
        return kOk;
    }

private:
    const SecureString& password_;
};

class NoWindows final : public SessionWindows
{
public:
    explicit NoWindows(const SecureString& password) : password_(password)
    {
    }
    std::unique_ptr<LoginDialogBase> CreateLoginDialog() override
    {
        return std::make_unique<StdinLogin>(password_);
    }
    void AddTrayIcon() override
    {
    }
    void RemoveTrayIcon() override
    {
    }
    void RunConfigDialog() override
    {
    }
    void RunAboutDialog() override
    {
    }
    void StoreReloaded() override
    {
    }

private:
    const SecureString& password_;
};

int StartAndEnd(const std::string& file)
{
    bool inputFailed = false;
    const std::optional<SecureString> password = ReadPasswordLine(inputFailed);
    if (!password)
    {
        return 2;
    }
    // Only this run's settings: the user's own stay untouched.
    InMemorySettingsBackend settings;
    const ScopedSettingsBackend scopedSettings{settings};
    settings.Write("Config", "MainEntryFile", file);
    YesToEverything answers;
    const ScopedMessageSink scopedAnswers{answers};

    PasswordStore store;
    NoWindows windows(*password);
    SessionController session(store, windows);
    if (!session.StartSession() || !session.FileOk())
    {
        std::fprintf(stderr, "session_driver: %s did not load\n", file.c_str());
        return 1;
    }
    // Answered OK, a failed save lets the run end anyway: only its error message tells.
    const bool ended = session.RequestEnd();
    session.EndSession();
    return ended && answers.errors == 0 ? 0 : 1;
}

} // namespace
} // namespace kavelmark

int main(int argc, char** argv)
{
    if (argc != 3 || std::string(argv[2]) != "start-and-end")
    {
        std::fprintf(stderr, "usage: session_driver FILE start-and-end   (password on stdin)\n");
        return 2;
    }
    return kavelmark::StartAndEnd(argv[1]);
}

#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/LoginDialogBase.h"

namespace kavelmark::testing
{

// Answers of the login window, one per modal run: OK with a typed password, or Cancel.
struct LoginAnswer
{
    int result;
    std::string typed;
};

class LoginScript
{
public:
    void Ok(const std::string& typed)
    {
        answers.push_back({LoginDialogBase::kOk, typed});
    }
    void Cancel()
    {
        answers.push_back({LoginDialogBase::kCancel, ""});
    }

    std::deque<LoginAnswer> answers;
    std::vector<std::string> prompts; // the prompt of every run, in order
    std::vector<std::string> titles;  // the title asked for in every run ("" for the login's own)
    std::function<void()> whileOpen;  // runs inside every run, as events do while a dialog waits
    bool busy = false;                // a login is up, busy, after its run
    bool runWhileBusy = false;        // a second login ran while one was up busy
};

class FakeLoginDialog final : public LoginDialogBase
{
public:
    explicit FakeLoginDialog(LoginScript& script) : script_(script)
    {
    }

protected:
    int RunModal() override
    {
        script_.prompts.push_back(promptText);
        script_.titles.push_back(titleText);
        script_.runWhileBusy = script_.runWhileBusy || script_.busy;
        if (script_.whileOpen)
        {
            script_.whileOpen();
        }
        if (script_.answers.empty())
        {
            return kCancel;
        }
        LoginAnswer answer = script_.answers.front();
        script_.answers.pop_front();
        if (answer.result == kOk)
        {
            enteredPassword = ToSecure(answer.typed);
        }
        return answer.result;
    }

    void ShowBusy() override
    {
        script_.busy = true;
    }
    void EndBusy() override
    {
        script_.busy = false;
    }

private:
    LoginScript& script_;
};

} // namespace kavelmark::testing

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SessionController.h"
#include "support/FakeLogin.h"

namespace kavelmark::testing
{

// The windows of a session as far as the file's tests need them: a scripted login, and counts of
// the store shown anew after another version of the file replaced it.
class ScriptedWindows final : public SessionWindows
{
public:
    std::unique_ptr<LoginDialogBase> CreateLoginDialog() override
    {
        return std::make_unique<FakeLoginDialog>(login);
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
    void BeforeStoreRefresh() override
    {
        ++before;
    }
    void StoreRefreshed() override
    {
        ++refreshed;
    }
    void SelectEntryNamed(const std::string& category, const std::string& name) override
    {
        selected.push_back(category + "/" + name);
    }

    LoginScript login;
    int before = 0;
    int refreshed = 0;
    // Each entry the session had selected, as "category/name".
    std::vector<std::string> selected;
};

} // namespace kavelmark::testing

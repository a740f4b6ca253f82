#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/FileChooser.h"

namespace kavelmark::testing
{

// Answers the save-as dialog with a scripted path (or cancels) and records what it was shown.
// Installs itself for its lifetime.
class FakeSaveAsDialog final : public SaveAsDialog
{
public:
    FakeSaveAsDialog() : previous_(SetSaveAsDialog(this))
    {
    }
    ~FakeSaveAsDialog() override
    {
        SetSaveAsDialog(previous_);
    }
    FakeSaveAsDialog(const FakeSaveAsDialog&) = delete;
    FakeSaveAsDialog& operator=(const FakeSaveAsDialog&) = delete;

    std::optional<std::string> Run(const std::string& initialName, const std::string& filter) override
    {
        shownNames.push_back(initialName);
        shownFilters.push_back(filter);
        return answer;
    }

    std::optional<std::string> answer; // nothing: cancel
    std::vector<std::string> shownNames;
    std::vector<std::string> shownFilters;

private:
    SaveAsDialog* previous_;
};

} // namespace kavelmark::testing

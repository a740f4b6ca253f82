#include "app/FileChooser.h"

#include <filesystem>
#include <system_error>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

SaveAsDialog* installedDialog = nullptr;

// Splits a name after its last separator; false when it has none.
bool SplitAtLastSeparator(const std::string& name, std::string& folder, std::string& file)
{
    std::size_t last = name.rfind(FileChooser::kSeparator);
    if (last == std::string::npos)
    {
        return false;
    }
    folder = name.substr(0, last + 1);
    file = name.substr(last + 1);
    return true;
}

} // namespace

SaveAsDialog* SetSaveAsDialog(SaveAsDialog* dialog)
{
    SaveAsDialog* previous = installedDialog;
    installedDialog = dialog;
    return previous;
}

int FileChooser::Choose(std::string& fileName, const std::string& filter, bool remember, bool skipDialog)
{
    std::string path = kDefaultPath;
    std::string file = kDefaultFile;
    std::string usedFilter = kDefaultFilter;
    if (remember)
    {
        std::string currentFolder;
        std::string currentFile;
        if (!fileName.empty())
        {
            // A bare name lives in the working folder: joined to the placeholders it became
            // "DefaultDefault".
            std::error_code error;
            const std::filesystem::path whole = std::filesystem::absolute(fileName, error);
            if (SplitAtLastSeparator(error ? fileName : whole.string(), currentFolder, currentFile))
            {
                path = currentFolder;
                file = currentFile;
            }
        }
        if (!filter.empty())
        {
            usedFilter = filter;
        }
        path = Settings::GetString(settings::kSaveFileDialog, settings::kPath, path, true, true);
        file = Settings::GetString(settings::kSaveFileDialog, settings::kFile, file, true, true);
        usedFilter = Settings::GetString(settings::kSaveFileDialog, settings::kFilter, usedFilter, true, true);
        if (path == kDefaultPath && file == kDefaultFile && !currentFile.empty())
        {
            // The placeholders an earlier run stored name no file: offer the current one.
            path = currentFolder;
            file = currentFile;
        }
        fileName = path + file;
    }
    if (skipDialog)
    {
        return kConfirmed;
    }

    std::optional<std::string> chosen;
    if (installedDialog)
    {
        chosen = installedDialog->Run(fileName, usedFilter);
    }
    if (!chosen)
    {
        return kCancelled;
    }
    fileName = *chosen;
    if (remember)
    {
        std::string folder;
        std::string rest;
        if (SplitAtLastSeparator(fileName, folder, rest))
        {
            Settings::SetString(settings::kSaveFileDialog, settings::kPath, folder, true);
            Settings::SetString(settings::kSaveFileDialog, settings::kFile, rest, true);
        }
        if (!usedFilter.empty())
        {
            Settings::SetString(settings::kSaveFileDialog, settings::kFilter, usedFilter, true);
        }
    }
    return kConfirmed;
}

} // namespace kavelmark

#pragma once

#include <optional>
#include <string>

namespace kavelmark
{

// The platform's save-as dialog. Texts are UTF-8; the filter has the remembered form
// "Description|pattern|...|" ended by a further "|".
class SaveAsDialog
{
public:
    virtual ~SaveAsDialog() = default;
    // The chosen full path, or nothing when the user cancelled or the dialog could not open.
    virtual std::optional<std::string> Run(const std::string& initialName, const std::string& filter) = 0;
};

// Installs the dialog that FileChooser shows and returns the previous one. Without one,
// every choice counts as cancelled.
SaveAsDialog* SetSaveAsDialog(SaveAsDialog* dialog);

// Picks a password file name in the save-as dialog and remembers folder, file and filter
// of the last confirmed choice in section SaveFileDialog.
class FileChooser
{
public:
    static constexpr int kConfirmed = 1;
    static constexpr int kCancelled = 2;

    static constexpr char kSeparator = '/';
    static constexpr const char* kDefaultPath = "Default";
    static constexpr const char* kDefaultFile = "Default";
    static constexpr const char* kDefaultFilter = "All Files|*.*||";

    // fileName is updated in place: the chosen full path on kConfirmed; otherwise what the
    // remembered values made of it.
    static int Choose(std::string& fileName, const std::string& filter, bool remember, bool skipDialog);
};

} // namespace kavelmark

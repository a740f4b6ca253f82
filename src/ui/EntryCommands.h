#pragma once

namespace kavelmark
{

class MainWindow;

// The main window's commands that change the store: add an entry (in " Hmm?", with
// placeholder texts), delete the selected one after a question that shows its masked texts,
// and change the selected one in the edit dialog. The list follows each change.
class EntryCommands
{
public:
    explicit EntryCommands(MainWindow& window) : window_(window)
    {
    }

    void Add();
    void Delete();
    void Change();

private:
    MainWindow& window_;
};

} // namespace kavelmark

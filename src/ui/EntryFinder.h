#pragma once

#include <QObject>
#include <QString>

class QAction;

namespace kavelmark
{

class MainWindow;

// The main window's find commands: "&Suchen..." in menu "Extras" and Ctrl+F open the find
// dialog, F3 finds the next match of the last text. A match is selected in the list, which
// shows all categories when the filter hides it.
class EntryFinder : public QObject
{
    Q_OBJECT

public:
    explicit EntryFinder(MainWindow& window);

    // Runs the find dialog modally.
    void OpenFindDialog();
    // Selects the next entry after the selected one that matches text; false (and a message)
    // when none does.
    bool FindNext(const QString& text);
    // F3: the last text again, or the dialog when there is none yet.
    void RepeatFind();

    QAction* FindAction() const
    {
        return find_;
    }
    QAction* FindNextAction() const
    {
        return findNext_;
    }

private:
    MainWindow& window_;
    QAction* find_;
    QAction* findNext_;
    QString lastText_;
};

// Gives the window its copy and find commands, replacing those of an earlier run of the
// window (whose widgets are gone).
void AttachCopyAndFind(MainWindow& window);

} // namespace kavelmark

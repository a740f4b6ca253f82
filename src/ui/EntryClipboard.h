#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

#include "store/PasswordStore.h"
#include "ui/ClipboardGuard.h"

class QLineEdit;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace kavelmark
{

class MainWindow;

// The main window's copy commands: Ctrl+C (the selected entry's first secret value, value 1
// when it has none) and Ctrl+B (value 1) in the entry list, a row's context menu with one
// item per value, and the detail fields' own Copy, all through one ClipboardGuard. The
// window title tells while a copied secret waits to be cleared.
class EntryClipboard : public QObject
{
    Q_OBJECT

public:
    explicit EntryClipboard(MainWindow& window);

    ClipboardGuard& Guard()
    {
        return guard_;
    }
    // Copies value i (1..3) of an entry.
    void CopyValue(PasswordStore::Position entry, int i);
    // The value Ctrl+C copies: the first whose label marks it secret, else 1.
    int FirstSecretValue(PasswordStore::Position entry) const;
    // The context menu of a row (its owner deletes it).
    std::unique_ptr<QMenu> RowMenu(QTreeWidgetItem* row);
    // The context menu of detail field i, its Copy going through the guard.
    std::unique_ptr<QMenu> DetailFieldMenu(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PasswordStore::Position SelectedEntry() const;
    bool IsSecret(PasswordStore::Position entry, int i) const;
    QString ValueName(PasswordStore::Position entry, int i) const;
    void CopyDetailSelection(int i);
    void ShowStatus(const QString& status);

    MainWindow& window_;
    // The window's controls of this run, so that events never need the window's lookup.
    QTreeWidget* list_;
    std::array<QLineEdit*, 3> fields_{};
    ClipboardGuard guard_;
    QString plainTitle_;
};

} // namespace kavelmark

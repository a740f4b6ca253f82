#include "ui/EntryCommands.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <string>

#include "platform/Messages.h"
#include "platform/qt/QtText.h"
#include "ui/EditEntryDialog.h"
#include "ui/EntryListView.h"
#include "ui/MainWindow.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

QTreeWidgetItem* SelectedRow(const QTreeWidget& list)
{
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

} // namespace

void EntryCommands::Add()
{
    PasswordStore& store = window_.Store();
    store.AddEntry(" Hmm?", "$1", "$3", "new key", "new password", "new details");

    QComboBox* filter = window_.CategoryFilter();
    {
        // Switched silently: the fill below is the only one.
        const QSignalBlocker blocker(filter);
        int index = filter->findText(QStringLiteral(" Hmm?"), Qt::MatchFixedString);
        // Should the category be missing from the filter, all categories show the new entry.
        filter->setCurrentIndex(index >= 0 ? index : 0);
    }
    window_.FillEntryList();
}

void EntryCommands::Delete()
{
    PasswordStore& store = window_.Store();
    QTreeWidget* list = window_.EntryList();
    QTreeWidgetItem* row = SelectedRow(*list);
    if (!row)
    {
        return;
    }
    const PasswordStore::Position entry = MainWindow::RowEntry(row);
    if (!entry)
    {
        return;
    }
    const SecureString asked = store.GetAt(entry);
    // The texts as shown, masks included: the question never reveals a secret.
    std::string question = std::string(kDeleteQuestion) + "\n\nName: " + row->text(1).toStdString() +
                           "\nBeschreibung: " + row->text(2).toStdString();
    const MessageAnswer answer = ShowMessage(question, kDeleteCaption, MessageIcon::Question, MessageButtons::OkCancel);
    WipeString(question);
    if (answer != MessageAnswer::Ok)
    {
        return;
    }
    // The list may have been rebuilt while the question was open (an unlock, a reload): the
    // row of before is gone. Only the very entry asked about goes, where it is listed now.
    row = EntryListView::RowOf(*list, entry);
    if (!row || store.GetAt(entry) != asked)
    {
        return;
    }
    store.RemoveAt(entry);

    int index = list->indexOfTopLevelItem(row);
    {
        // The row goes without a rebuild; its neighbour is selected below.
        const QSignalBlocker blocker(list);
        delete list->takeTopLevelItem(index);
    }
    index = std::min(index, list->topLevelItemCount() - 1);
    if (index < 0)
    {
        // Nothing left to select: the deleted entry's values must not stay on screen.
        window_.ClearEntryDetails();
        return;
    }
    QTreeWidgetItem* next = list->topLevelItem(index);
    {
        const QSignalBlocker blocker(list);
        list->setCurrentItem(next);
    }
    list->scrollToItem(next);
    window_.ShowEntryDetails();
}

void EntryCommands::Change()
{
    PasswordStore& store = window_.Store();
    PasswordStore::Position entry = MainWindow::RowEntry(SelectedRow(*window_.EntryList()));
    if (!entry)
    {
        return;
    }
    const SecureString category = store.GetEntryCategory(entry);
    const PasswordStore::Position record = store.FindCategory(category);

    EditEntryDialog dialog(&window_);
    dialog.category = category;
    dialog.name = store.GetEntryName(entry);
    dialog.description = store.GetEntryDescription(entry);
    for (int i = 1; i <= 3; ++i)
    {
        const auto k = static_cast<std::size_t>(i - 1);
        dialog.values[k] = store.GetEntryValue(entry, i);
        dialog.labels[k] = QStringLiteral("$&%1: ").arg(i) + FromCp1252(store.GetCategoryLabel(record, i));
    }
    dialog.store = &store;
    dialog.sourceFilter = window_.CategoryFilter();

    if (window_.RunEditEntryDialog(dialog) != IDOK)
    {
        return;
    }
    if (store.ReplaceEntry(entry, dialog.category, dialog.name, dialog.description, dialog.values[0], dialog.values[1],
                           dialog.values[2]))
    {
        window_.FillEntryList();
        // The next command must act on the entry just changed, not on the list's last row.
        window_.SelectEntry(entry);
    }
}

} // namespace kavelmark

#include "ui/EntryFinder.h"

#include <QAction>
#include <QComboBox>
#include <QTreeWidget>

#include "app/EntrySearch.h"
#include "platform/CommandIds.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"
#include "ui/EntryClipboard.h"
#include "ui/FindDialog.h"
#include "ui/MainWindow.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

QTreeWidgetItem* RowOf(const MainWindow& window, PasswordStore::Position entry)
{
    QTreeWidget* list = window.EntryList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
    {
        if (window.RowEntry(list->topLevelItem(i)) == entry)
        {
            return list->topLevelItem(i);
        }
    }
    return nullptr;
}

} // namespace

EntryFinder::EntryFinder(MainWindow& window)
    : QObject(&window), window_(window), find_(window.MenuAction(command::kFind)),
      findNext_(new QAction(QStringLiteral("Weitersuchen"), this))
{
    // The menu's item reaches OpenFindDialog through the window's command dispatch; a window
    // without the menu gets an action of its own, for the key.
    if (!find_)
    {
        find_ = new QAction(QStringLiteral("Suchen"), this);
        connect(find_, &QAction::triggered, this, &EntryFinder::OpenFindDialog);
        window_.addAction(find_);
    }
    find_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    findNext_->setShortcut(QKeySequence(Qt::Key_F3));
    connect(findNext_, &QAction::triggered, this, &EntryFinder::RepeatFind);
    // A window action, so that the key works wherever the focus is in the window.
    window_.addAction(findNext_);
}

void EntryFinder::OpenFindDialog()
{
    FindDialog dialog(&window_, lastText_, [this](const QString& text) { FindNext(text); });
    dialog.exec();
}

void EntryFinder::RepeatFind()
{
    if (lastText_.isEmpty())
    {
        OpenFindDialog();
        return;
    }
    FindNext(lastText_);
}

bool EntryFinder::FindNext(const QString& text)
{
    lastText_ = text;
    QTreeWidget* list = window_.EntryList();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    const PasswordStore::Position after =
        selected.isEmpty() ? PasswordStore::Position() : window_.RowEntry(selected.front());
    // A text that code page 1252 cannot hold is in no entry.
    const std::optional<SecureString> bytes = ToCp1252(text);
    const PasswordStore::Position found =
        bytes ? EntrySearch(window_.Store()).FindNext(*bytes, after) : PasswordStore::Position();
    if (!found)
    {
        ShowMessage(QString::fromUtf8(kNotFoundText).arg(text).toStdString(), kFindCaption, MessageIcon::Information);
        return false;
    }
    QTreeWidgetItem* row = RowOf(window_, found);
    if (!row)
    {
        // The filter hides it: all categories then (the change refills the list).
        window_.CategoryFilter()->setCurrentIndex(0);
        row = RowOf(window_, found);
    }
    if (!row)
    {
        return false;
    }
    list->setCurrentItem(row);
    list->scrollToItem(row);
    window_.ShowEntryDetails();
    return true;
}

void AttachCopyAndFind(MainWindow& window)
{
    delete window.findChild<EntryClipboard*>(QString(), Qt::FindDirectChildrenOnly);
    delete window.findChild<EntryFinder*>(QString(), Qt::FindDirectChildrenOnly);
    new EntryClipboard(window);
    new EntryFinder(window);
}

} // namespace kavelmark

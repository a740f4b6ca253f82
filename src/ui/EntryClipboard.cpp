#include "ui/EntryClipboard.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <array>

#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"
#include "ui/Announcement.h"
#include "ui/MainWindow.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

bool IsCopyKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Copy);
}

bool IsCopyFirstValueKey(const QKeyEvent& key)
{
    return key.key() == Qt::Key_B && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// The field's own Copy item, told by the key it names (its text depends on the language).
QAction* CopyAction(const QMenu& menu)
{
    const QString key = QLatin1Char('\t') + QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText);
    for (QAction* action : menu.actions())
    {
        if (action->text().endsWith(key))
        {
            return action;
        }
    }
    return nullptr;
}

} // namespace

EntryClipboard::EntryClipboard(MainWindow& window) : QObject(&window), window_(window), list_(window.EntryList())
{
    for (int i = 1; i <= 3; ++i)
    {
        fields_[static_cast<std::size_t>(i - 1)] = window.DetailField(i);
    }
    connect(&guard_, &ClipboardGuard::StatusChanged, this, &EntryClipboard::ShowStatus);
    connect(&guard_, &ClipboardGuard::Cleared, this,
            [this] { Announce(window_, QString::fromUtf8(kClipboardClearedNotice)); });

    QTreeWidget* list = list_;
    list->installEventFilter(this);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& at)
            {
                if (std::unique_ptr<QMenu> menu = RowMenu(list->itemAt(at)))
                {
                    menu->exec(list->viewport()->mapToGlobal(at));
                }
            });
    for (int i = 1; i <= 3; ++i)
    {
        QLineEdit* field = window_.DetailField(i);
        field->installEventFilter(this);
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this,
                [this, field, i](const QPoint& at) { DetailFieldMenu(i)->exec(field->mapToGlobal(at)); });
    }
}

PasswordStore::Position EntryClipboard::SelectedEntry() const
{
    const QList<QTreeWidgetItem*> selected = window_.EntryList()->selectedItems();
    return selected.isEmpty() ? PasswordStore::Position() : window_.RowEntry(selected.front());
}

namespace
{

// The label of value i (1 to 3) of the entry's category, as a view into the category record:
// empty without such a category.
std::string_view CategoryLabel(const PasswordStore& store, PasswordStore::Position entry, int i)
{
    std::array<std::string_view, 1> category;
    PasswordStore::ViewFields(store.GetAt(entry), category);
    const PasswordStore::Position record = store.FindCategory(category[0]);
    if (!record || i < 1 || i > 3)
    {
        return {};
    }
    std::array<std::string_view, 4> labels;
    PasswordStore::ViewFields(store.GetAt(record), labels);
    return labels[static_cast<std::size_t>(i)];
}

} // namespace

bool EntryClipboard::IsSecret(PasswordStore::Position entry, int i) const
{
    return PasswordStore::IsSecretLabel(CategoryLabel(window_.Store(), entry, i));
}

QString EntryClipboard::ValueName(PasswordStore::Position entry, int i) const
{
    // The secret mark is not part of the name; what the store does not take for a mark stays.
    std::string_view text = CategoryLabel(window_.Store(), entry, i);
    if (PasswordStore::IsSecretLabel(text))
    {
        text.remove_suffix(std::string_view("(*)").size());
    }
    const QString label = FromCp1252(text).trimmed();
    return label.isEmpty() ? QString::fromUtf8(kUnnamedValueText).arg(i) : label;
}

int EntryClipboard::FirstSecretValue(PasswordStore::Position entry) const
{
    for (int i = 1; i <= 3; ++i)
    {
        if (IsSecret(entry, i))
        {
            return i;
        }
    }
    return 1;
}

void EntryClipboard::CopyValue(PasswordStore::Position entry, int i)
{
    if (!entry)
    {
        return;
    }
    const QString value = FromCp1252(window_.Store().GetEntryValue(entry, i));
    guard_.Copy(value, IsSecret(entry, i), ValueName(entry, i));
    WipeText(value);
}

std::unique_ptr<QMenu> EntryClipboard::RowMenu(QTreeWidgetItem* row)
{
    PasswordStore::Position entry = window_.RowEntry(row);
    if (!entry)
    {
        return nullptr;
    }
    window_.EntryList()->setCurrentItem(row);
    auto menu = std::make_unique<QMenu>(window_.EntryList());
    const int first = FirstSecretValue(entry);
    for (int i = 1; i <= 3; ++i)
    {
        QString text = ValueName(entry, i) + QStringLiteral(" kopieren");
        if (i == first)
        {
            text += QStringLiteral("\tStrg+C");
        }
        else if (i == 1)
        {
            text += QStringLiteral("\tStrg+B");
        }
        // The entry is looked up again when the item is chosen: the menu does not keep it alive.
        connect(menu->addAction(text), &QAction::triggered, this, [this, i] { CopyValue(SelectedEntry(), i); });
    }
    return menu;
}

std::unique_ptr<QMenu> EntryClipboard::DetailFieldMenu(int i)
{
    std::unique_ptr<QMenu> menu(window_.DetailField(i)->createStandardContextMenu());
    if (QAction* copy = CopyAction(*menu))
    {
        disconnect(copy, &QAction::triggered, nullptr, nullptr);
        connect(copy, &QAction::triggered, this, [this, i] { CopyDetailSelection(i); });
    }
    return menu;
}

void EntryClipboard::CopyDetailSelection(int i)
{
    QLineEdit* field = window_.DetailField(i);
    PasswordStore::Position entry = SelectedEntry();
    // Like the field's own Copy: a masked value is never copied.
    if (!field->hasSelectedText() || field->echoMode() != QLineEdit::Normal)
    {
        return;
    }
    const bool secret = entry && IsSecret(entry, i);
    // A copy of its own, which may be wiped: the whole selection may share the field's text.
    QString selected = field->selectedText();
    selected.detach();
    guard_.Copy(selected, secret, entry ? ValueName(entry, i) : QString::fromUtf8(kUnnamedValueText).arg(i));
    WipeText(selected);
}

bool EntryClipboard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
    {
        return QObject::eventFilter(watched, event);
    }
    const auto& key = *static_cast<QKeyEvent*>(event);
    const bool list = watched == list_;
    const bool copy = IsCopyKey(key);
    if (!copy && !(list && IsCopyFirstValueKey(key)))
    {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride)
    {
        // Ours, not a window shortcut's.
        event->accept();
        return true;
    }
    if (list)
    {
        PasswordStore::Position entry = SelectedEntry();
        CopyValue(entry, copy ? (entry ? FirstSecretValue(entry) : 1) : 1);
        return true;
    }
    for (int i = 1; i <= 3; ++i)
    {
        if (watched == fields_[static_cast<std::size_t>(i - 1)])
        {
            CopyDetailSelection(i);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void EntryClipboard::ShowStatus(const QString& status)
{
    if (status.isEmpty())
    {
        if (!plainTitle_.isEmpty())
        {
            window_.setWindowTitle(plainTitle_);
            plainTitle_.clear();
            TellTitle(window_, TitleChange::StatusGone);
        }
        return;
    }
    if (plainTitle_.isEmpty())
    {
        plainTitle_ = window_.windowTitle();
    }
    window_.setWindowTitle(plainTitle_ + QStringLiteral(" – ") + status);
    TellTitle(window_, TitleChange::NewStatus);
}

} // namespace kavelmark

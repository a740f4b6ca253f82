#include "ui/SecretAccessibility.h"

#include <QAccessible>
#include <QLineEdit>
#include <QWidget>

#include "ui/SecretSelection.h"

namespace kavelmark
{
namespace
{

QAccessible::UpdateHandler previousHandler = nullptr;
bool filtering = false;

// True when an update would tell the text of a secret field.
bool CarriesSecretText(const QAccessibleEvent& event)
{
    switch (event.type())
    {
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        break;
    default:
        return false;
    }
    const auto* edit = qobject_cast<const QLineEdit*>(event.object());
    if (edit && edit->echoMode() != QLineEdit::Normal)
    {
        return true;
    }
    // A multi-line field tells its changes from itself or from its viewport.
    const auto* widget = qobject_cast<const QWidget*>(event.object());
    return widget && (IsMarkedSecretField(widget) || IsMarkedSecretField(widget->parentWidget()));
}

void FilterUpdate(QAccessibleEvent* event);

void Forward(QAccessibleEvent* event)
{
    if (previousHandler)
    {
        previousHandler(event);
        return;
    }
    // Qt hands an update to the platform's bridge only while no handler is installed.
    // A table model change is not sent again: Qt has told the table already, and telling it
    // twice would shift its cells twice; the bridge sends nothing for it.
    if (event->type() == QAccessible::TableModelChanged)
    {
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&FilterUpdate);
}

QString Masked(const QString& text)
{
    return QString(text.size(), QLatin1Char('*'));
}

template <typename Event> void ForwardMasked(Event& masked, const QAccessibleTextCursorEvent& original)
{
    masked.setCursorPosition(original.cursorPosition());
    Forward(&masked);
}

void FilterUpdate(QAccessibleEvent* event)
{
    if (!CarriesSecretText(*event))
    {
        Forward(event);
        return;
    }
    QObject* field = event->object();
    switch (event->type())
    {
    case QAccessible::TextInserted:
    {
        const auto& inserted = static_cast<const QAccessibleTextInsertEvent&>(*event);
        QAccessibleTextInsertEvent masked(field, inserted.changePosition(), Masked(inserted.textInserted()));
        ForwardMasked(masked, inserted);
        break;
    }
    case QAccessible::TextRemoved:
    {
        const auto& removed = static_cast<const QAccessibleTextRemoveEvent&>(*event);
        QAccessibleTextRemoveEvent masked(field, removed.changePosition(), Masked(removed.textRemoved()));
        ForwardMasked(masked, removed);
        break;
    }
    default:
    {
        const auto& updated = static_cast<const QAccessibleTextUpdateEvent&>(*event);
        QAccessibleTextUpdateEvent masked(field, updated.changePosition(), Masked(updated.textRemoved()),
                                          Masked(updated.textInserted()));
        ForwardMasked(masked, updated);
        break;
    }
    }
}

} // namespace

void FilterSecretAccessibilityUpdates()
{
    if (filtering)
    {
        return;
    }
    filtering = true;
    previousHandler = QAccessible::installUpdateHandler(&FilterUpdate);
}

} // namespace kavelmark

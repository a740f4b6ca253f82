#include "ui/SecretSelection.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QWidget>

#include "platform/qt/SecretText.h"

namespace kavelmark
{
namespace
{

constexpr const char* kSecretProperty = "kavelmarkShowsSecret";

} // namespace

void MarkSecretField(QWidget& field, bool showsSecret)
{
    field.setProperty(kSecretProperty, showsSecret);
}

bool IsMarkedSecretField(const QWidget* field)
{
    return field && field->property(kSecretProperty).toBool();
}

void GuardPrimarySelection()
{
    static bool installed = false;
    QClipboard* clipboard = QApplication::clipboard();
    if (installed || !clipboard)
    {
        return;
    }
    installed = true;
    QObject::connect(clipboard, &QClipboard::selectionChanged, qApp,
                     [clipboard]
                     {
                         // The field that set the selection has the focus: a mouse or a key
                         // selected in it.
                         if (!clipboard->ownsSelection() || !IsMarkedSecretField(QApplication::focusWidget()))
                         {
                             return;
                         }
                         if (const QMimeData* data = clipboard->mimeData(QClipboard::Selection))
                         {
                             WipeText(data->text());
                         }
                         clipboard->clear(QClipboard::Selection);
                     });
}

} // namespace kavelmark

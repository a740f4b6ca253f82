#include "platform/qt/SecretText.h"

#include <QLineEdit>
#include <QString>
#include <limits>

#include "platform/SecureMemory.h"

namespace kavelmark
{
// Writes through a shared copy on purpose: that reaches every holder of the secret at once.
void WipeText(const QString& text)
{
    // A text from a literal lies in read-only memory and was never a typed secret.
    if (!text.isEmpty() && text.data_ptr().isMutable())
    {
        WipeBytes(const_cast<QChar*>(text.constData()), sizeof(QChar) * static_cast<std::size_t>(text.size()));
    }
}

void WipeLineEdit(QLineEdit& edit)
{
    const bool blocked = edit.blockSignals(true);
    WipeText(edit.text());
    // Each typed character is a command of the undo history, and setText only forgets them:
    // inserting filler into the emptied history writes over their slots first.
    const auto filler = static_cast<qsizetype>(4 * edit.text().size() + 64);
    const int maxLength = edit.maxLength();
    edit.setText(QString());
    edit.setMaxLength(std::numeric_limits<int>::max());
    edit.insert(QString(filler, QLatin1Char(' ')));
    edit.setText(QString());
    edit.setMaxLength(maxLength);
    edit.blockSignals(blocked);
}

} // namespace kavelmark

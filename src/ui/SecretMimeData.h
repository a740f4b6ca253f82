#pragma once

#include <QMimeData>
#include <QString>
#include <QStringList>

#include "platform/SecureString.h"

namespace kavelmark
{

// Clipboard data whose text lives in wiped memory: Qt's own QMimeData keeps a copy in the
// ordinary heap that outlives the clearing of the clipboard. The text is handed out only when
// another program asks for it, and wiped when the clipboard lets go of the data.
class SecretMimeData final : public QMimeData
{
    Q_OBJECT

public:
    // The MIME type by which clipboard managers recognise a secret and keep no history of it.
    static constexpr const char* kPasswordManagerHint = "x-kde-passwordManagerHint";

    SecretMimeData(const QString& text, bool secret);
    ~SecretMimeData() override;

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // Whether this data holds text, compared without a copy in the ordinary heap.
    bool Holds(const QString& text) const;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    SecureString utf8_;
    bool secret_;
};

} // namespace kavelmark

#include "ui/SecretMimeData.h"

#include <QByteArray>
#include <QVariant>

namespace kavelmark
{
namespace
{

const QString kPlainText = QStringLiteral("text/plain");
const QString kPlainUtf8 = QStringLiteral("text/plain;charset=utf-8");

} // namespace

SecretMimeData::SecretMimeData(const QString& text, bool secret) : secret_(secret)
{
    QByteArray utf8 = text.toUtf8();
    utf8_.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    utf8.fill('\0');
}

SecretMimeData::~SecretMimeData() = default;

QStringList SecretMimeData::formats() const
{
    QStringList list = {kPlainText, kPlainUtf8};
    if (secret_)
    {
        list << QString::fromLatin1(kPasswordManagerHint);
    }
    return list;
}

bool SecretMimeData::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

bool SecretMimeData::Holds(const QString& text) const
{
    QByteArray utf8 = text.toUtf8();
    const bool same =
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())) == std::string_view(utf8_);
    utf8.fill('\0');
    return same;
}

QVariant SecretMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    // What Qt makes of the answer on its way to the other program is Qt's copy.
    if (mimeType == QString::fromLatin1(kPasswordManagerHint))
    {
        return secret_ ? QVariant(QByteArrayLiteral("secret")) : QVariant();
    }
    if (mimeType != kPlainText && mimeType != kPlainUtf8)
    {
        return {};
    }
    if (type.id() == QMetaType::QByteArray)
    {
        return QByteArray(utf8_.data(), static_cast<qsizetype>(utf8_.size()));
    }
    return QString::fromUtf8(utf8_.data(), static_cast<qsizetype>(utf8_.size()));
}

} // namespace kavelmark

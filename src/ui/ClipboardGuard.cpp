#include "ui/ClipboardGuard.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalBlocker>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

QByteArray Digest(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    QByteArray digest = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256);
    utf8.fill('\0');
    return digest;
}

} // namespace

ClipboardGuard::ClipboardGuard(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ClipboardGuard::ClearIfOurs);
}

ClipboardGuard::~ClipboardGuard()
{
    // The program ends: the secret must not outlive it on the clipboard. No status any more,
    // the window that showed it is going too.
    const QSignalBlocker blocker(this);
    ClearIfOurs();
}

int ClipboardGuard::ClearDelaySeconds()
{
    const int seconds = Settings::GetIntAllowingZero(settings::kConfig, settings::kClipboardClear,
                                                     settings::kDefaultClipboardClear, true);
    // A negative delay has no meaning: it is read as the default, and left stored as it is.
    return seconds >= 0 ? seconds : settings::kDefaultClipboardClear;
}

void ClipboardGuard::Copy(const QString& text, bool secret, const QString& what)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
    {
        return;
    }
    auto* data = new QMimeData;
    data->setText(text);
    if (secret)
    {
        data->setData(QString::fromLatin1(kPasswordManagerHint), QByteArrayLiteral("secret"));
    }
    clipboard->setMimeData(data);
    Forget();
    if (!secret)
    {
        emit StatusChanged(QString());
        return;
    }
    digest_ = Digest(text);
    const int seconds = ClearDelaySeconds();
    if (seconds > 0)
    {
        timer_.start(seconds * 1000);
        emit StatusChanged(QStringLiteral("%1 in der Zwischenablage (wird nach %2 s gelöscht)").arg(what).arg(seconds));
    }
    else
    {
        emit StatusChanged(QStringLiteral("%1 in der Zwischenablage").arg(what));
    }
}

void ClipboardGuard::ClearIfOurs()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!digest_.isEmpty() && clipboard)
    {
        const QMimeData* data = clipboard->mimeData();
        if (data && data->hasText() && Digest(data->text()) == digest_)
        {
            clipboard->clear();
        }
    }
    Forget();
    emit StatusChanged(QString());
}

void ClipboardGuard::Forget()
{
    timer_.stop();
    digest_.clear();
}

} // namespace kavelmark

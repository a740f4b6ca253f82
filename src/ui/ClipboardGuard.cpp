#include "ui/ClipboardGuard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalBlocker>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
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
    const int seconds = Settings::Get(settings::kClipboardClearSetting);
    // A negative delay has no meaning: it is read as the default, and left stored as it is.
    return seconds >= 0 ? seconds : settings::kClipboardClearSetting.defaultValue;
}

void ClipboardGuard::Copy(const QString& text, bool secret, const QString& what)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
    {
        return;
    }
    auto* data = new SecretMimeData(text, secret);
    clipboard->setMimeData(data);
    Forget();
    if (!secret)
    {
        emit StatusChanged(QString());
        return;
    }
    secret_ = data;
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
    // Still ours while the clipboard hands out our own data; clearing it wipes the secret.
    if (secret_ && clipboard && clipboard->mimeData() == secret_)
    {
        clipboard->clear();
        emit Cleared();
    }
    Forget();
    emit StatusChanged(QString());
}

void ClipboardGuard::Forget()
{
    timer_.stop();
    secret_.clear();
}

} // namespace kavelmark

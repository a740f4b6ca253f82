#include "ui/Announcement.h"

#include <QAccessible>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace kavelmark
{
namespace
{

constexpr int kShownMs = 5000;
constexpr const char* kTimerName = "kavelmarkAnnouncement";

} // namespace

void TellTitle(QWidget& window, TitleChange change)
{
    auto* timer = window.findChild<QTimer*>(QLatin1String(kTimerName), Qt::FindDirectChildrenOnly);
    const bool announcing = timer && timer->isActive() && !window.accessibleName().isEmpty();
    if (announcing && change == TitleChange::StatusGone)
    {
        return;
    }
    if (announcing)
    {
        timer->stop();
        window.setAccessibleName(QString());
        return;
    }
    QAccessibleEvent nameChanged(&window, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

void Announce(QWidget& window, const QString& text)
{
    auto* timer = window.findChild<QTimer*>(QLatin1String(kTimerName), Qt::FindDirectChildrenOnly);
    if (!timer)
    {
        timer = new QTimer(&window);
        timer->setObjectName(QLatin1String(kTimerName));
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, &window, [&window] { window.setAccessibleName(QString()); });
    }
    // Changes told one right after the other are said together: a reader asks for the name
    // only when the change reaches it.
    if (timer->isActive() && !window.accessibleName().isEmpty())
    {
        window.setAccessibleName(window.accessibleName() + QStringLiteral(", ") + text);
    }
    else
    {
        // The "[*]" placeholder of a modified window is not part of what it reads.
        QString title = window.windowTitle();
        title.replace(QLatin1String("[*]"), window.isWindowModified() ? QLatin1String("*") : QLatin1String(""));
        window.setAccessibleName(title + QStringLiteral(" – ") + text);
    }
    timer->start(kShownMs);
}

} // namespace kavelmark

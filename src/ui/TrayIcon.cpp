#include "ui/TrayIcon.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QWidget>
#include <utility>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

TrayIcon::AreaProbe& AreaProbeSlot()
{
    static TrayIcon::AreaProbe probe;
    return probe;
}

} // namespace

TrayIcon::TrayIcon(const QIcon& icon, std::function<void()> restore, QObject* parent)
    : QObject(parent), icon_(icon), restore_(std::move(restore))
{
    icon_.setToolTip(QStringLiteral("Kavelmark"));
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::OnTrayNotify);
    icon_.show();
    WatchX11IconWidget();
}

void TrayIcon::WatchX11IconWidget()
{
    // On X11 the icon is a widget of Qt's own: the second press of a double click reaches
    // it as a double-click event, which Qt reports for the left button only.
    for (QWidget* widget : QApplication::topLevelWidgets())
    {
        if (widget->objectName() == QLatin1String(kX11IconWidgetName))
        {
            widget->installEventFilter(this);
        }
    }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
    {
        lastMiddleClick_.invalidate();
        restore_();
    }
    return QObject::eventFilter(watched, event);
}

TrayIcon::~TrayIcon()
{
    icon_.hide();
}

bool TrayIcon::IsReachable() const
{
    return icon_.isVisible() && NotificationAreaAvailable();
}

void TrayIcon::OnTrayNotify(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason)
    {
    case QSystemTrayIcon::Trigger:
        restore_();
        break;
    case QSystemTrayIcon::MiddleClick:
        // Where the platform reports each middle click on its own, two within the
        // double-click interval make the double click that restores.
        if (lastMiddleClick_.isValid() && lastMiddleClick_.elapsed() <= QApplication::doubleClickInterval())
        {
            lastMiddleClick_.invalidate();
            restore_();
        }
        else
        {
            lastMiddleClick_.start();
        }
        break;
    default:
        // There is no icon menu: a right click, and a left double click (whose first click
        // has already restored), do nothing.
        break;
    }
}

bool TrayIcon::NotificationAreaAvailable()
{
    const AreaProbe& probe = AreaProbeSlot();
    return probe ? probe() : QSystemTrayIcon::isSystemTrayAvailable();
}

TrayIcon::AreaProbe TrayIcon::SetAreaProbe(AreaProbe probe)
{
    return std::exchange(AreaProbeSlot(), std::move(probe));
}

} // namespace kavelmark

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

// The main window's side of the icon.

void MainWindow::AddTrayIcon()
{
    trayIcon_ = std::make_unique<TrayIcon>(programIcon_, [this] { BringToFront(); });
}

void MainWindow::BringToFront()
{
    pendingLock_.stop();
    if (Session().Locked())
    {
        UnlockSession();
        return;
    }
    // A window that was never shown has nothing to show yet (the login runs). One that was
    // hidden into the icon or minimized, also for want of an icon, comes back with the focus.
    if (trayIcon_ || isVisible())
    {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    }
    // A dialog that waits for an answer stays in front of the window it belongs to.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
    {
        modal->raise();
        modal->activateWindow();
    }
}

void MainWindow::RemoveTrayIcon()
{
    trayIcon_.reset();
}

void MainWindow::HideMainWindow()
{
    if (!Session().Locked() &&
        Settings::GetInt(settings::kConfig, settings::kLockOnHide, settings::kDefaultLockOnHide, true) != 0)
    {
        LockSession();
        return;
    }
    HideOrMinimize();
}

void MainWindow::HideOrMinimize()
{
    if (trayIcon_ && trayIcon_->IsReachable())
    {
        // QDialog's own hiding would end the modal run, and with it the program.
        QWidget::setVisible(false);
    }
    else if (!isMinimized())
    {
        // Without an icon to click a hidden window could not come back: the task bar keeps it.
        showMinimized();
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    CDialogLayout::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
    {
        // The minimize box hides instead; queued, since the platform is still busy with the
        // state change.
        QMetaObject::invokeMethod(
            this,
            [this]
            {
                if (isMinimized() && isVisible())
                {
                    HideMainWindow();
                }
            },
            Qt::QueuedConnection);
    }
    else if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible() && Session().Locked())
    {
        // Un-minimized while locked: the window shows nothing until the password is given.
        QMetaObject::invokeMethod(
            this,
            [this]
            {
                if (Session().Locked() && !isMinimized() && isVisible())
                {
                    UnlockSession();
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace kavelmark

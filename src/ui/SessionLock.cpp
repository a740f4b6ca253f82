#include "ui/SessionLock.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalBlocker>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>
#include <climits>
#include <utility>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "ui/Announcement.h"
#include "ui/EntryClipboard.h"
#include "ui/MainWindow.h"
#include "ui/TrayIcon.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

// How often a waiting lock looks whether the dialog it waits for has closed.
constexpr int kDialogPollMs = 200;

// Tells of every key and mouse input anywhere in the program.
class InputWatch final : public QObject
{
public:
    explicit InputWatch(std::function<void()> onInput) : onInput_(std::move(onInput))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            onInput_();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onInput_;
};

} // namespace

SessionLock::SessionLock(MainWindow& window) : window_(window)
{
    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, &SessionLock::OnIdleTimeout);
    pendingLock_.setSingleShot(true);
    pendingLock_.setInterval(kDialogPollMs);
    connect(&pendingLock_, &QTimer::timeout, this, &SessionLock::Lock);
}

SessionLock::~SessionLock() = default;

void SessionLock::Start()
{
    inputWatch_ = std::make_unique<InputWatch>([this] { lastInput_.start(); });
    ArmIdleLock();
}

bool SessionLock::DialogOpen() const
{
    QWidget* modal = QApplication::activeModalWidget();
    // The loop level also covers a dialog that has closed while its run still unwinds: the
    // code behind that run may yet use what the lock would wipe.
    return (modal && modal != &window_) || QApplication::activePopupWidget() ||
           QThread::currentThread()->loopLevel() > window_.runLoopLevel_;
}

int SessionLock::LockAfterSeconds()
{
    return Settings::Get(settings::kLockAfterSetting);
}

void SessionLock::ArmIdleLock()
{
    const int seconds = LockAfterSeconds();
    waitedForDialog_ = false;
    if (seconds <= 0 || window_.session_.Locked())
    {
        idleTimer_.stop();
        return;
    }
    lastInput_.start();
    idleTimer_.start(static_cast<int>(std::min<qint64>(qint64{seconds} * 1000, INT_MAX)));
}

void SessionLock::OnIdleTimeout()
{
    // Read again: the user may have changed it meanwhile.
    const int seconds = LockAfterSeconds();
    if (seconds <= 0 || window_.session_.Locked())
    {
        return;
    }
    if (DialogOpen())
    {
        // The idle time starts again once the dialog has closed.
        waitedForDialog_ = true;
        idleTimer_.start(kDialogPollMs);
        return;
    }
    if (std::exchange(waitedForDialog_, false))
    {
        lastInput_.start();
    }
    const qint64 period = qint64{seconds} * 1000;
    const qint64 idle = lastInput_.isValid() ? lastInput_.elapsed() : period;
    if (idle < period)
    {
        idleTimer_.start(static_cast<int>(std::min<qint64>(period - idle, INT_MAX)));
        return;
    }
    if (!Lock())
    {
        ArmIdleLock();
    }
}

bool SessionLock::Lock()
{
    pendingLock_.stop();
    QTreeWidget* list = window_.EntryList();
    if (!list)
    {
        return false;
    }
    if (window_.session_.Locked())
    {
        HideOrMinimize();
        return true;
    }
    if (DialogOpen())
    {
        pendingLock_.start();
        return false;
    }
    RememberSelection();
    if (!window_.session_.Lock())
    {
        ForgetSelection();
        return false;
    }
    idleTimer_.stop();
    window_.details_.StopHideTimer();
    if (auto* clipboard = window_.findChild<EntryClipboard*>(QString(), Qt::FindDirectChildrenOnly))
    {
        clipboard->Guard().ClearIfOurs();
    }
    window_.entryList_.Clear(*list);
    window_.ClearEntryDetails();
    window_.FillCategoryFilter();
    Announce(window_, QString::fromUtf8(kLockedNotice));
    HideOrMinimize();
    return true;
}

bool SessionLock::Unlock()
{
    if (!window_.session_.Locked())
    {
        return true;
    }
    if (unlocking_)
    {
        // The login already asks; it is brought to the front rather than asked twice.
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &window_)
        {
            modal->raise();
            modal->activateWindow();
        }
        return false;
    }
    unlocking_ = true;
    const bool unlocked = window_.session_.Unlock();
    unlocking_ = false;
    if (!unlocked)
    {
        HideOrMinimize();
        return false;
    }
    RestoreSelection();
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
    ArmIdleLock();
    return true;
}

void SessionLock::RememberSelection()
{
    ForgetSelection();
    lockedFilter_ = window_.CategoryFilter()->currentText();
    const QList<QTreeWidgetItem*> selected = window_.EntryList()->selectedItems();
    if (PasswordStore::Position entry =
            selected.isEmpty() ? PasswordStore::Position() : EntryListView::RowEntry(selected.front()))
    {
        lockedName_ = window_.store_.GetEntryName(entry);
        lockedCategory_ = window_.store_.GetEntryCategory(entry);
        lockedSelection_ = true;
    }
}

void SessionLock::RestoreSelection()
{
    window_.FillCategoryFilter();
    QComboBox* filter = window_.CategoryFilter();
    const int keep = filter->findText(lockedFilter_, Qt::MatchExactly | Qt::MatchCaseSensitive);
    {
        const QSignalBlocker blocker(filter);
        filter->setCurrentIndex(keep > 0 ? keep : 0);
    }
    window_.FillEntryList();
    QTreeWidget* list = window_.EntryList();
    for (int i = 0; lockedSelection_ && i < list->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* row = list->topLevelItem(i);
        const PasswordStore::Position entry = EntryListView::RowEntry(row);
        if (entry && window_.store_.GetEntryCategory(entry) == lockedCategory_ &&
            window_.store_.GetEntryName(entry) == lockedName_)
        {
            list->setCurrentItem(row);
            list->scrollToItem(row);
            window_.ShowEntryDetails();
            break;
        }
    }
    ForgetSelection();
}

void SessionLock::ForgetSelection()
{
    lockedFilter_.clear();
    WipeString(lockedName_);
    WipeString(lockedCategory_);
    lockedSelection_ = false;
}

void SessionLock::BringToFront()
{
    pendingLock_.stop();
    if (window_.session_.Locked())
    {
        Unlock();
        return;
    }
    // A window that was never shown has nothing to show yet (the login runs). One that was
    // hidden into the icon or minimized, also for want of an icon, comes back with the focus.
    if (window_.trayIcon_ || window_.isVisible())
    {
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
        window_.show();
        window_.raise();
        window_.activateWindow();
    }
    // A dialog that waits for an answer stays in front of the window it belongs to.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &window_)
    {
        modal->raise();
        modal->activateWindow();
    }
}

void SessionLock::Hide()
{
    if (!window_.session_.Locked() && Settings::Get(settings::kLockOnHideSetting) != 0)
    {
        Lock();
        return;
    }
    HideOrMinimize();
}

void SessionLock::HideOrMinimize()
{
    if (window_.trayIcon_ && window_.trayIcon_->IsReachable())
    {
        // QDialog's own hiding would end the modal run, and with it the program.
        window_.QWidget::setVisible(false);
    }
    else if (!window_.isMinimized())
    {
        // Without an icon to click a hidden window could not come back: the task bar keeps it.
        window_.showMinimized();
    }
}

} // namespace kavelmark

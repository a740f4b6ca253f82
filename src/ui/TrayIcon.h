#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

class QIcon;

namespace kavelmark
{

// The program's icon in the desktop's notification area, the way back to a hidden main
// window: a left click, or a middle double click, restores it; other clicks do nothing.
// The icon is shown from construction and taken away on destruction.
class TrayIcon final : public QObject
{
    Q_OBJECT

public:
    TrayIcon(const QIcon& icon, std::function<void()> restore, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the icon stands in a notification area now, so that a hidden window can be
    // brought back through it.
    bool IsReachable() const;

    // One click on the icon, as the platform reports it.
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);

    // The widget that stands for the icon in an X11 notification area, found by the name
    // Qt gives it.
    static constexpr const char* kX11IconWidgetName = "QSystemTrayIconSys";

    const QSystemTrayIcon& Icon() const
    {
        return icon_;
    }

    // Whether the desktop has a notification area. Tests replace the probe; the previous
    // one is returned, and an empty probe restores the platform's answer.
    using AreaProbe = std::function<bool()>;
    static bool NotificationAreaAvailable();
    static AreaProbe SetAreaProbe(AreaProbe probe);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WatchX11IconWidget();

    QSystemTrayIcon icon_;
    std::function<void()> restore_;
    QElapsedTimer lastMiddleClick_;
};

} // namespace kavelmark

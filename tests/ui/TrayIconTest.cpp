#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "settings/Settings.h"
#include "support/FakeLogin.h"
#include "support/MainWindowRun.h"
#include "support/MessageRecorder.h"
#include "ui/MainWindow.h"
#include "ui/TrayIcon.h"

namespace kavelmark
{
namespace
{

using testing::FakeLoginDialog;
using testing::LoginScript;
using testing::MessageRecorder;

class FakeFile final : public SessionFile
{
public:
    LoadResult Load(PasswordStore&, const SecureString&, std::uint64_t) override
    {
        return loadResult;
    }
    SaveResult Save(const PasswordStore&, const SecureString&) override
    {
        ++saves;
        return SaveResult::Saved;
    }
    LoadResult loadResult = LoadResult::Loaded;
    int saves = 0;
};

using testing::ScopedNotificationArea;

// Stands in for the widget that Qt puts into an X11 notification area: like Qt's, it reports
// a press of the middle button as a middle click and has nothing to report for the
// double-click event that takes the place of a double click's second press.
class X11IconWidget final : public QWidget
{
public:
    X11IconWidget()
    {
        setObjectName(QStringLiteral("QSystemTrayIconSys"));
        resize(22, 22);
    }

    QSystemTrayIcon* icon = nullptr;
    std::vector<QEvent::Type> received;

protected:
    bool event(QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            received.push_back(event->type());
            break;
        default:
            break;
        }
        return QWidget::event(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::MiddleButton && icon)
        {
            emit icon->activated(QSystemTrayIcon::MiddleClick);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && icon)
        {
            emit icon->activated(QSystemTrayIcon::DoubleClick);
        }
    }
};

class TrayIconTest : public ::testing::Test
{
protected:
    // A window whose session has started: with the icon after a login, without it after a
    // cancelled one.
    std::unique_ptr<MainWindow> StartedWindow(bool login)
    {
        auto window = std::make_unique<MainWindow>(nullptr, file);
        window->SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(script); });
        if (login)
        {
            script.Ok("geheim");
        }
        else
        {
            script.Cancel();
        }
        EXPECT_TRUE(window->Session().StartSession());
        return window;
    }

    static void ClickHide(MainWindow& window)
    {
        window.ControlAs<QPushButton>(IDOK)->click();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    LoginScript script;
    FakeFile file;
};

TEST_F(TrayIconTest, HidingNeedsAReachableIconAndMinimizesOtherwise)
{
    struct Case
    {
        const char* name;
        bool login;
        bool area;
        bool hidden;
    };
    const Case cases[] = {
        {"icon in a notification area", true, true, true},
        {"no notification area", true, false, false},
        {"login cancelled, so no icon", false, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScopedNotificationArea area(c.area);
        std::unique_ptr<MainWindow> window = StartedWindow(c.login);
        EXPECT_EQ(window->HasTrayIcon(), c.login);
        window->Create();
        window->show();

        ClickHide(*window);
        EXPECT_EQ(window->isVisible(), !c.hidden);
        EXPECT_EQ(window->isMinimized(), !c.hidden);

        // Enter in the entry list presses the default button "&Verbergen".
        window->showNormal();
        QTest::keyClick(window->EntryList(), Qt::Key_Return);
        EXPECT_EQ(window->isVisible(), !c.hidden);
        EXPECT_EQ(window->isMinimized(), !c.hidden);

        // The minimize box asks for the same.
        window->showNormal();
        window->setWindowState(Qt::WindowMinimized);
        QApplication::processEvents();
        EXPECT_EQ(window->isVisible(), !c.hidden);
        EXPECT_TRUE(window->isMinimized());
        window->Session().EndSession();
    }
}

TEST_F(TrayIconTest, OnlyALeftClickOrAMiddleDoubleClickRestores)
{
    ScopedNotificationArea area(true);
    std::unique_ptr<MainWindow> window = StartedWindow(true);
    window->Create();
    window->show();
    TrayIcon* tray = window->Tray();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->Icon().toolTip(), "Kavelmark");
    EXPECT_TRUE(tray->Icon().isVisible());

    struct Case
    {
        const char* name;
        std::vector<QSystemTrayIcon::ActivationReason> clicks;
        bool restores;
    };
    const Case cases[] = {
        {"left click", {QSystemTrayIcon::Trigger}, true},
        {"right click", {QSystemTrayIcon::Context}, false},
        {"middle double click", {QSystemTrayIcon::MiddleClick, QSystemTrayIcon::MiddleClick}, true},
        {"unknown", {QSystemTrayIcon::Unknown}, false},
        {"middle click", {QSystemTrayIcon::MiddleClick}, false}, // last: no click left to pair with
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        window->setWindowState(Qt::WindowMinimized);
        QApplication::processEvents();
        ASSERT_FALSE(window->isVisible());
        for (QSystemTrayIcon::ActivationReason click : c.clicks)
        {
            tray->OnTrayNotify(click);
        }
        EXPECT_EQ(window->isVisible(), c.restores);
        EXPECT_EQ(window->isMinimized(), !c.restores);
        window->showNormal();
    }
    window->Session().EndSession();
    EXPECT_FALSE(window->HasTrayIcon());
}

TEST_F(TrayIconTest, AMiddleDoubleClickOnAnX11IconRestoresAsTheWindowSystemReportsIt)
{
    ScopedNotificationArea area(true);
    X11IconWidget iconWidget;
    iconWidget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&iconWidget));
    std::unique_ptr<MainWindow> window = StartedWindow(true);
    window->Create();
    window->show();
    ASSERT_NE(window->Tray(), nullptr);
    iconWidget.icon = const_cast<QSystemTrayIcon*>(&window->Tray()->Icon());

    window->setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    ASSERT_FALSE(window->isVisible());

    // A double click through the window system: press, release, then a double-click event
    // instead of the second press, and the release.
    iconWidget.received.clear();
    QTest::mouseDClick(iconWidget.windowHandle(), Qt::MiddleButton);
    EXPECT_EQ(iconWidget.received,
              (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                         QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());

    // A single middle click afterwards does not pair with the double click's first press.
    window->setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    ASSERT_FALSE(window->isVisible());
    QTest::mouseClick(iconWidget.windowHandle(), Qt::MiddleButton);
    EXPECT_FALSE(window->isVisible());
    window->Session().EndSession();
}

TEST_F(TrayIconTest, HiddenWindowKeepsTheRunAndNoIconOutlivesIt)
{
    ScopedNotificationArea area(true);
    auto window = std::make_unique<MainWindow>(nullptr, file);
    window->SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(script); });
    script.Ok("geheim");
    bool hidden = false;
    bool restored = false;
    QTimer::singleShot(0, window.get(),
                       [&]
                       {
                           ClickHide(*window);
                           hidden = !window->isVisible();
                       });
    // Runs only while the modal run goes on after the hiding.
    QTimer::singleShot(50, window.get(),
                       [&]
                       {
                           window->Tray()->OnTrayNotify(QSystemTrayIcon::Trigger);
                           restored = window->isVisible() && !window->isMinimized();
                           window->ControlAs<QPushButton>(IDCANCEL)->click();
                       });
    const int result = window->Run();
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(restored);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(file.saves, 1);
    EXPECT_FALSE(window->HasTrayIcon());
}

TEST_F(TrayIconTest, ASecondStartBringsTheWindowBackWithTheFocusAlsoWithoutAnIcon)
{
    struct Case
    {
        const char* name;
        bool login;
        bool area;
    };
    const Case cases[] = {
        {"hidden into the icon", true, true},
        {"minimized: no notification area", true, false},
        {"minimized: login cancelled, so no icon", false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScopedNotificationArea area(c.area);
        std::unique_ptr<MainWindow> window = StartedWindow(c.login);
        window->Create();
        window->show();
        ClickHide(*window);
        ASSERT_TRUE(!window->isVisible() || window->isMinimized());

        window->BringToFront();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isMinimized());
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, 2000));
        window->Session().EndSession();
    }
    // While the login of the start still runs, there is no window to show yet.
    std::unique_ptr<MainWindow> starting = std::make_unique<MainWindow>(nullptr, file);
    starting->BringToFront();
    EXPECT_FALSE(starting->isVisible());
}

TEST_F(TrayIconTest, AFailedStartAddsNoIcon)
{
    file.loadResult = LoadResult::Refused;
    MainWindow window(nullptr, file);
    window.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(script); });
    script.Ok("falsch");
    EXPECT_EQ(window.Run(), MainWindow::kStartFailed);
    EXPECT_FALSE(window.HasTrayIcon());
}

} // namespace
} // namespace kavelmark

// Locking the session by key, on hiding and after idle time, in whole runs of the main window
// against real password files.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "app/qt/ConfigDialog.h"
#include "platform/CommandIds.h"
#include "support/FakeSaveAsDialog.h"
#include "support/MainWindowRun.h"
#include "support/QtPrinters.h"
#include "support/WaitFor.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::FakeLoginDialog;
using testing::MessageRecorder;
using testing::RunWindow;
using testing::ScopedNotificationArea;
using testing::TriggerMenu;
using testing::WhenOpen;

const std::vector<std::string> kFileNames = {"Bank", "server", "backup"};

class LockTest : public testing::MainWindowRun
{
protected:
    LockTest()
    {
        WriteFile(file, "pw",
                  [](PasswordStore& store)
                  {
                      store.AddEntry("PIN/TAN", "Bank", "Girokonto", "4711", "1234", "TAN-Liste");
                      store.AddEntry("FTP", "server", "Dateien", "anna", "topsecret", "ftp.example.org");
                      store.AddEntry("FTP", "backup", "Sicherung", "bert", "geheim", "backup.example.org");
                  });
    }

    bool Locked()
    {
        return window.Session().Locked();
    }

    static void Activate(MainWindow& w)
    {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    static void Select(MainWindow& w, const QString& category, const QString& name)
    {
        w.CategoryFilter()->setCurrentIndex(w.CategoryFilter()->findText(category));
        const QList<QTreeWidgetItem*> rows = w.EntryList()->findItems(name, Qt::MatchExactly, 1);
        ASSERT_EQ(rows.size(), 1);
        w.EntryList()->setCurrentItem(rows.front());
    }

    static QString SelectedName(const MainWindow& w)
    {
        const QList<QTreeWidgetItem*> selected = w.EntryList()->selectedItems();
        return selected.isEmpty() ? QString() : selected.front()->text(1);
    }

    // Nothing of the file is left in the window or the session.
    static void ExpectWiped(MainWindow& w)
    {
        EXPECT_TRUE(w.Session().Locked());
        EXPECT_EQ(w.Store().GetCount(), 0u);
        EXPECT_EQ(w.EntryList()->topLevelItemCount(), 0);
        for (int i = 1; i <= 3; ++i)
        {
            EXPECT_TRUE(w.DetailField(i)->text().isEmpty()) << i;
            EXPECT_TRUE(w.DetailValue(i).empty()) << i;
            EXPECT_TRUE(w.DetailLabel(i)->text().isEmpty()) << i;
        }
        EXPECT_TRUE(w.Session().CurrentPassword().empty());
    }

    ScopedNotificationArea area{true};
};

TEST_F(LockTest, CtrlLSavesAndWipesAndOnlyTheRightPasswordBringsTheListBack)
{
    login.Ok("pw");
    Run(
        [&]
        {
            Activate(window);
            // Not the row a fill selects by itself (the last of the category in the file).
            Select(window, QStringLiteral("FTP"), QStringLiteral("server"));
            ASSERT_EQ(window.DetailValue(2), "topsecret");
            QTest::keyClick(window.EntryList(), Qt::Key_C, Qt::ControlModifier);
            ASSERT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("topsecret"));
            window.Store().AddEntry("FTP", "ungespeichert", "", "", "", "");

            QTest::keyClick(window.EntryList(), Qt::Key_L, Qt::ControlModifier);
            ExpectWiped(window);
            EXPECT_FALSE(window.isVisible());
            EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
            EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"Bank", "server", "backup", "ungespeichert"}))
                << "the lock saved first";
            const std::string locked = Bytes(file);

            login.Ok("falsch");
            window.Tray()->OnTrayNotify(QSystemTrayIcon::Trigger);
            EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Das Passwort ist falsch!"});
            ExpectWiped(window);
            EXPECT_FALSE(window.isVisible());
            EXPECT_EQ(Bytes(file), locked);

            login.Cancel();
            window.Tray()->OnTrayNotify(QSystemTrayIcon::Trigger);
            ExpectWiped(window);
            EXPECT_FALSE(window.isVisible());

            login.Ok("pw");
            window.Tray()->OnTrayNotify(QSystemTrayIcon::Trigger);
            EXPECT_FALSE(Locked());
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(window.Session().CurrentPassword(), "pw");
            EXPECT_EQ(window.CategoryFilter()->currentText(), QStringLiteral("FTP"));
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 3);
            EXPECT_EQ(SelectedName(window), QStringLiteral("server"));
            EXPECT_EQ(window.DetailValue(2), "topsecret");
            window.Store().AddEntry("FTP", "danach", "", "", "", "");
            ClickQuit();
        });
    EXPECT_EQ(login.prompts, std::vector<std::string>(4, LoginDialogBase::kDefaultPrompt));
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"Bank", "server", "backup", "ungespeichert", "danach"}));
}

TEST_F(LockTest, AFailedSaveShowsItsMessageAndDoesNotLock)
{
    login.Ok("pw");
    Run(
        [&]
        {
            settings.Write(settings::kConfig, settings::kMainEntryFile, (folder / "gone" / "pw.Kavelmark").string());
            Trigger(command::kLock);
            EXPECT_FALSE(Locked());
            EXPECT_EQ(messages.messages.size(), 1u) << "the save's own message";
            EXPECT_TRUE(window.isVisible());
            EXPECT_EQ(window.Store().GetCount(), PasswordStore().GetCount() + kFileNames.size());
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 3);
            EXPECT_EQ(window.Session().CurrentPassword(), "pw");
            settings.Write(settings::kConfig, settings::kMainEntryFile, file.string());
            ClickQuit();
        });
    EXPECT_EQ(Names(file, "pw"), kFileNames);
}

TEST_F(LockTest, WhileLockedNoWayOfEndingOrSavingWritesTheFile)
{
    const fs::path elsewhere = folder / "elsewhere.Kavelmark";
    const std::pair<const char*, std::function<void(MainWindow&)>> ways[] = {
        {"button Be&enden", [](MainWindow& w) { testing::ClickQuit(w); }},
        {"close box", [](MainWindow& w) { w.close(); }},
        {"menu &Beenden", [](MainWindow& w) { TriggerMenu(w, command::kExit); }},
        {"Datei speichern",
         [](MainWindow& w)
         {
             TriggerMenu(w, command::kFileSave);
             testing::ClickQuit(w);
         }},
        {"Datei speichern unter",
         [](MainWindow& w)
         {
             TriggerMenu(w, command::kFileSaveAs);
             testing::ClickQuit(w);
         }},
        {"Passwort ändern",
         [](MainWindow& w)
         {
             TriggerMenu(w, command::kChangePassword);
             testing::ClickQuit(w);
         }},
        {"Datei öffnen",
         [](MainWindow& w)
         {
             TriggerMenu(w, command::kFileOpen);
             testing::ClickQuit(w);
         }},
    };
    // Minimized rather than hidden, so that the window can still be closed.
    ScopedNotificationArea none(false);
    for (const auto& [name, quit] : ways)
    {
        SCOPED_TRACE(name);
        MessageRecorder local;
        testing::FakeSaveAsDialog saveAs;
        saveAs.answer = elsewhere.string();
        MainWindow run;
        run.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(login); });
        login.Ok("pw");
        std::string locked;
        EXPECT_EQ(RunWindow(run,
                            [&]
                            {
                                TriggerMenu(run, command::kLock);
                                ASSERT_TRUE(run.Session().Locked());
                                locked = Bytes(file);
                                login.Ok("neu"); // should a password change ask
                                login.Ok("neu");
                                login.Ok("neu");
                                quit(run);
                            }),
                  IDCANCEL);
        login.answers.clear();
        EXPECT_EQ(Bytes(file), locked);
        EXPECT_EQ(Names(file, "pw"), kFileNames);
        EXPECT_FALSE(fs::exists(elsewhere));
        EXPECT_EQ(settings.Read(settings::kConfig, settings::kMainEntryFile), file.string());
        EXPECT_TRUE(local.messages.empty());
    }
}

TEST_F(LockTest, LockOnHideDecidesWhetherHidingLocks)
{
    for (const char* lockOnHide : {"", "0", "1"})
    {
        SCOPED_TRACE(lockOnHide);
        if (*lockOnHide)
        {
            settings.Write(settings::kConfig, settings::kLockOnHide, lockOnHide);
        }
        MainWindow run;
        run.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(login); });
        login.Ok("pw");
        const bool locks = std::string(lockOnHide) == "1";
        RunWindow(run,
                  [&]
                  {
                      run.ControlAs<QPushButton>(IDOK)->click(); // "&Verbergen"
                      EXPECT_FALSE(run.isVisible());
                      EXPECT_EQ(run.Session().Locked(), locks);
                      EXPECT_EQ(run.Store().GetCount() == 0, locks);

                      // The hand-over of a second program restores like the icon does.
                      login.Ok("pw");
                      run.BringToFront();
                      EXPECT_TRUE(run.isVisible());
                      EXPECT_FALSE(run.Session().Locked());
                      EXPECT_EQ(run.EntryList()->topLevelItemCount(), 3);
                      testing::ClickQuit(run);
                  });
        EXPECT_EQ(login.answers.size(), locks ? 0u : 1u) << "the password is asked only to unlock";
        login.answers.clear();
        EXPECT_EQ(settings.Read(settings::kConfig, settings::kLockOnHide), *lockOnHide ? lockOnHide : "0")
            << "the default is written back";
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LockTest, WithoutANotificationAreaTheLockMinimizesAndUnminimizingAsks)
{
    ScopedNotificationArea none(false);
    login.Ok("pw");
    Run(
        [&]
        {
            Trigger(command::kLock);
            ExpectWiped(window);
            EXPECT_TRUE(window.isMinimized());

            login.Cancel();
            window.showNormal();
            EXPECT_SOON(login.prompts.size() == 2u, 5000);
            EXPECT_SOON(window.isMinimized(), 5000);
            ExpectWiped(window);

            login.Ok("pw");
            window.showNormal();
            EXPECT_SOON(!Locked(), 5000);
            EXPECT_FALSE(window.isMinimized());
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 3);
            ClickQuit();
        });
    EXPECT_EQ(login.prompts.size(), 3u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LockTest, ARestoreWhileTheLoginAsksOpensNoSecondLogin)
{
    login.Ok("pw");
    Run(
        [&]
        {
            Trigger(command::kLock);
            ASSERT_TRUE(Locked());
            login.whileOpen = [&]
            {
                window.BringToFront();
                window.Tray()->OnTrayNotify(QSystemTrayIcon::Trigger);
            };
            login.Ok("pw");
            window.BringToFront();
            login.whileOpen = nullptr;
            EXPECT_FALSE(Locked());
            EXPECT_EQ(login.prompts.size(), 2u);
            EXPECT_TRUE(login.answers.empty());
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LockTest, IdleTimeLocksButInputKeepsTheSessionOpen)
{
    settings.Write(settings::kConfig, settings::kLockAfter, "1");
    login.Ok("pw");
    Run(
        [&]
        {
            Activate(window);
            ASSERT_TRUE(window.IdleLockActive());
            // Twice the delay, with a key now and then.
            for (int i = 0; i < 10; ++i)
            {
                QTest::keyClick(window.EntryList(), Qt::Key_Up);
                QTest::qWait(200);
            }
            EXPECT_FALSE(Locked());
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 3);

            EXPECT_SOON(Locked(), 5000);
            ExpectWiped(window);
            EXPECT_FALSE(window.IdleLockActive()) << "nothing runs while locked";

            login.Ok("pw");
            window.BringToFront();
            EXPECT_FALSE(Locked());
            EXPECT_TRUE(window.IdleLockActive()) << "the idle time counts again";
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Names(file, "pw"), kFileNames);
}

TEST_F(LockTest, TheIdleLockWaitsForAnOpenDialogAndCountsAgainFromItsEnd)
{
    settings.Write(settings::kConfig, settings::kLockAfter, "2");
    login.Ok("pw");
    bool seen = false;
    Run(
        [&]
        {
            WhenOpen<ConfigDialog>(
                [&](ConfigDialog& dialog)
                {
                    QTest::qWait(3000);
                    EXPECT_FALSE(Locked()) << "the dialog may hold an edit";
                    EXPECT_EQ(window.EntryList()->topLevelItemCount(), 3);
                    dialog.ControlAs<QPushButton>(IDCANCEL)->click();
                },
                &seen);
            Trigger(command::kConfig);
            ASSERT_TRUE(seen);
            // Well within the delay from the dialog's end, long past it from the last input.
            QTest::qWait(500);
            EXPECT_FALSE(Locked()) << "the idle time starts again once the dialog is closed";
            EXPECT_SOON(Locked(), 5000);

            login.Ok("pw");
            window.BringToFront();
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
} // namespace kavelmark

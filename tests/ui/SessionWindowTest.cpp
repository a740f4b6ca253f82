// Whole runs of the main window against real password files in a temporary folder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include "platform/CommandIds.h"
#include "support/MainWindowRun.h"
#include "support/QtPrinters.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::FakeLoginDialog;
using testing::MessageRecorder;
using testing::RunWindow;
using testing::TriggerMenu;

constexpr const char* kNotOk = "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!";

class SessionWindowTest : public testing::MainWindowRun
{
};

TEST_F(SessionWindowTest, FirstStartWritesTheFileBeforeTheWindowShows)
{
    login.Ok("geheim");
    login.Ok("geheim"); // a new file's password is typed twice
    int result = Run(
        [&]
        {
            EXPECT_EQ(Bytes(file).size(), 440u);
            EXPECT_TRUE(window.Session().FileOk());
            EXPECT_TRUE(window.HasTrayIcon());
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 0);
            EXPECT_EQ(window.CategoryFilter()->count(), 8);
            ClickQuit();
        });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Die Passwortdatei konnte nicht geladen werden,\nes wird eine leere angelegt!"});
    EXPECT_EQ(messages.messages[0].caption, "Ladefehler");
    EXPECT_TRUE(Names(file, "geheim"));
    EXPECT_FALSE(window.HasTrayIcon());
}

TEST_F(SessionWindowTest, WrongPasswordEndsWithoutEverShowingTheWindow)
{
    WriteFile(file, "richtig", [](PasswordStore& store) { store.AddEntry("FTP", "server", "", "", "", ""); });
    const std::string before = Bytes(file);
    login.Ok("falsch");
    EXPECT_EQ(window.Run(), MainWindow::kStartFailed);
    EXPECT_EQ(window.EntryList(), nullptr) << "the controls were never made";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Das Passwort ist falsch!", kNotOk}));
    EXPECT_EQ(Bytes(file), before);
}

TEST_F(SessionWindowTest, CancelledLoginOpensAnEmptyWindowThatNeverSaves)
{
    login.Cancel();
    Run(
        [&]
        {
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 0);
            EXPECT_FALSE(window.HasTrayIcon());
            Trigger(command::kFileSave);
            EXPECT_EQ(messages.Texts(), std::vector<std::string>{kNotOk});
            Trigger(command::kExit);
        });
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kNotOk, kNotOk}));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SessionWindowTest, EveryWayOfQuittingSavesOnce)
{
    const std::pair<const char*, std::function<void(MainWindow&)>> ways[] = {
        {"button Be&enden", [](MainWindow& w) { testing::ClickQuit(w); }},
        {"menu &Beenden", [](MainWindow& w) { TriggerMenu(w, command::kExit); }},
        {"Escape", [](MainWindow& w) { QTest::keyClick(w.EntryList(), Qt::Key_Escape); }},
        {"close box", [](MainWindow& w) { w.close(); }},
    };
    for (const auto& [name, quit] : ways)
    {
        SCOPED_TRACE(name);
        WriteFile(file, "pw");
        MessageRecorder local;
        MainWindow run;
        run.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(login); });
        login.Ok("pw");
        EXPECT_EQ(RunWindow(run,
                            [&]
                            {
                                run.Store().AddEntry("FTP", name, "", "", "", "");
                                quit(run);
                            }),
                  IDCANCEL);
        EXPECT_EQ(Names(file, "pw"), std::vector<std::string>{name});
        EXPECT_TRUE(local.messages.empty());
    }
}

// The title as the window system shows it: "*" while a save would change the file.
TEST_F(SessionWindowTest, TheTitleMarksUnsavedChangesAndCtrlSSavesThem)
{
    WriteFile(file, "pw", [](PasswordStore& store) { store.AddEntry("FTP", "alt", "", "", "", ""); });
    login.Ok("pw");
    Run(
        [&]
        {
            QWindow* shown = window.windowHandle();
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->title(), "Kavelmark");
            window.ControlAs<QPushButton>(MainWindow::kAddId)->click();
            EXPECT_EQ(shown->title(), "Kavelmark*");

            window.activateWindow();
            QTest::keyClick(shown, Qt::Key_S, Qt::ControlModifier);
            EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"alt", "$1"}));
            EXPECT_EQ(shown->title(), "Kavelmark");

            // Deleting the new entry again leaves nothing to save.
            window.ControlAs<QPushButton>(MainWindow::kAddId)->click();
            EXPECT_EQ(shown->title(), "Kavelmark*");
            messages.AnswerNext(MessageAnswer::Ok);
            window.ControlAs<QPushButton>(MainWindow::kDeleteId)->click();
            EXPECT_EQ(shown->title(), "Kavelmark");
            ClickQuit();
        });
}

TEST_F(SessionWindowTest, ReloadShowsTheNewFileInFilterAndList)
{
    WriteFile(file, "pw", [](PasswordStore& store) { store.AddEntry("FTP", "alt", "", "", "", ""); });
    const fs::path other = folder / "other.Kavelmark";
    WriteFile(other, "pw",
              [](PasswordStore& store)
              {
                  store.AddCategory("Neu", "A", "B (*)", "C");
                  store.AddEntry("Neu", "neu", "", "eins", "zwei", "drei");
              });
    login.Ok("pw");
    Run(
        [&]
        {
            ASSERT_EQ(window.EntryList()->topLevelItemCount(), 1);
            EXPECT_EQ(window.DetailField(1)->text(), "");
            settings.Write("Config", "MainEntryFile", other.string());
            Trigger(command::kFileOpen);
            ASSERT_EQ(window.EntryList()->topLevelItemCount(), 1);
            EXPECT_EQ(window.EntryList()->topLevelItem(0)->text(1), "neu");
            EXPECT_EQ(window.DetailValue(2), "zwei");
            EXPECT_GE(window.CategoryFilter()->findText("Neu"), 1);
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SessionWindowTest, FailedReloadLeavesNoRowOfTheEmptiedStore)
{
    WriteFile(file, "pw", [](PasswordStore& store) { store.AddEntry("PIN/TAN", "Bank", "", "k", "1234", "5"); });
    const fs::path foreign = folder / "foreign.Kavelmark";
    WriteFile(foreign, "anderes");
    login.Ok("pw");
    Run(
        [&]
        {
            ASSERT_EQ(window.EntryList()->topLevelItemCount(), 1);
            EXPECT_EQ(window.DetailValue(2), "1234");
            settings.Write("Config", "MainEntryFile", foreign.string());
            Trigger(command::kFileOpen);
            EXPECT_FALSE(window.Session().FileOk());
            EXPECT_EQ(window.EntryList()->topLevelItemCount(), 0);
            EXPECT_TRUE(window.DetailField(2)->text().isEmpty()) << "no secret of the old file stays on screen";
            ClickQuit();
        });
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"Das Passwort ist falsch!",
                                        "Beim Laden der Passwortdatei ist ein Fehler aufgetreten!", kNotOk}));
    EXPECT_EQ(Names(file, "pw"), std::vector<std::string>{"Bank"});
}

TEST_F(SessionWindowTest, FailedSaveAtTheEndKeepsTheWindowOpen)
{
    WriteFile(file, "pw");
    login.Ok("pw");
    const fs::path elsewhere = folder / "elsewhere.Kavelmark";
    Run(
        [&]
        {
            window.Store().AddEntry("FTP", "wichtig", "", "", "", "");
            settings.Write("Config", "MainEntryFile", (folder / "gone" / "pw.Kavelmark").string());
            messages.AnswerNext(MessageAnswer::Ok);     // the save's own message
            messages.AnswerNext(MessageAnswer::Cancel); // do not end without saving
            ClickQuit();
            EXPECT_TRUE(window.isVisible());
            ASSERT_EQ(messages.messages.size(), 2u);
            EXPECT_EQ(messages.messages[1].buttons, MessageButtons::OkCancelDefaultCancel);

            settings.Write("Config", "MainEntryFile", elsewhere.string());
            ClickQuit();
        });
    EXPECT_EQ(Names(elsewhere, "pw"), std::vector<std::string>{"wichtig"});
}

} // namespace
} // namespace kavelmark

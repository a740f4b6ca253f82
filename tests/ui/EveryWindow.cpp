#include "ui/EveryWindow.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/qt/ConfigDialog.h"
#include "app/qt/LoginDialog.h"
#include "file/FileTestSupport.h"
#include "platform/CommandIds.h"
#include "platform/qt/GermanQtTexts.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/MainWindowRun.h"
#include "support/MessageRecorder.h"
#include "ui/AboutDialog.h"
#include "ui/EditEntryDialog.h"
#include "ui/FindDialog.h"
#include "ui/GeneratorDialog.h"
#include "ui/MainWindow.h"

namespace kavelmark::testing
{
namespace
{

namespace fs = std::filesystem;

constexpr const char* kPassword = "pw";

bool WaitFor(const bool& seen)
{
    return QTest::qWaitFor([&seen] { return seen; }, 5000);
}

// Runs `act` on the first popup menu that opens, from inside its own run.
void WhenMenuOpen(std::function<void(QMenu&)> act, bool* seen)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, act, seen]
                     {
                         if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                             menu && menu->isVisible())
                         {
                             poll->deleteLater();
                             poll->stop();
                             *seen = true;
                             act(*menu);
                         }
                     });
    poll->start();
}

// Qt's own texts (the fields' context menus) in German, as the program has them from its
// start, for as long as a row runs.
class GermanQtTexts
{
public:
    GermanQtTexts()
    {
        EXPECT_TRUE(InstallGermanQtTexts()) << "Qt's German translations are missing";
    }
    ~GermanQtTexts()
    {
        for (QTranslator* translator :
             QCoreApplication::instance()->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly))
        {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(previous_);
    }
    GermanQtTexts(const GermanQtTexts&) = delete;
    GermanQtTexts& operator=(const GermanQtTexts&) = delete;

private:
    QLocale previous_;
};

// What the window system sends on a right click at `at` (in the widget's coordinates).
void RightClick(QWidget& widget, QPoint at)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget.mapToGlobal(at));
    QApplication::sendEvent(&widget, &event);
}

// Looks at the menu that a right click on `widget` opens, then closes it with Escape.
bool LookAtContextMenu(QWidget& widget, QPoint at, const LookAtWindow& look)
{
    bool seen = false;
    WhenMenuOpen(
        [&look](QMenu& menu)
        {
            look(menu);
            QTest::keyClick(&menu, Qt::Key_Escape);
        },
        &seen);
    RightClick(widget, at);
    return WaitFor(seen);
}

// Looks at the modal dialog of type T that `open` opens, then ends it with Cancel (or with OK
// where it has no Cancel).
template <typename T> bool LookAtDialog(const std::function<void()>& open, const LookAtWindow& look)
{
    bool seen = false;
    WhenOpen<T>(
        [&look](T& dialog)
        {
            look(dialog);
            auto* close = dialog.template ControlAs<QPushButton>(IDCANCEL);
            (close ? close : dialog.template ControlAs<QPushButton>(IDOK))->click();
        },
        &seen);
    open();
    // A dialog may open only once the control that asked for it is done with the click.
    return WaitFor(seen);
}

// The program from its start: the password file of a temporary folder, with an entry in each
// of two categories, and the real login window, which is answered by typing.
class Program
{
public:
    Program()
    {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("kavelmark-every-window-" + std::to_string(random()));
        fs::create_directories(folder_);
        file_ = folder_ / "pw.Kavelmark";
        settings_.Write(settings::kConfig, settings::kMainEntryFile, file_.string());
        WriteFile(file_, kPassword);
    }
    ~Program()
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const fs::path& File() const
    {
        return file_;
    }

    // A password file with the two entries, as another program (a sync engine) brings it.
    static void WriteFile(const fs::path& path, const std::string& password)
    {
        PasswordStore store;
        store.AddEntry("PIN/TAN", "Girokonto", "Sparkasse", "1234567", "4711", "");
        store.AddEntry("Web-Site", "Versandhandel", "Einkauf", "kunde", "geheim", "www.example.org");
        EXPECT_TRUE(WriteAsAnotherProgram(path.string(), password, store));
    }

    // The login window's runs (from 0) take these passwords in turn, and Escape once they are
    // used up; run `lookAt` is shown to `look` first.
    void AnswerLogins(std::deque<std::string> passwords, int lookAt, LookAtWindow look)
    {
        passwords_ = std::move(passwords);
        lookAt_ = lookAt;
        lookAtLogin_ = std::move(look);
    }

    // Starts the program; `script` runs once the main window is on screen, then the program
    // is ended with "Beenden".
    void Run(const std::function<void(MainWindow&)>& script)
    {
        QTimer answer;
        answer.setInterval(5);
        int run = 0;
        QObject::connect(&answer, &QTimer::timeout,
                         [&]
                         {
                             auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
                             if (!login || !login->isVisible())
                             {
                                 return;
                             }
                             if (run++ == lookAt_)
                             {
                                 lookAtLogin_(*login);
                             }
                             if (passwords_.empty())
                             {
                                 QTest::keyClick(login->PasswordEdit(), Qt::Key_Escape);
                                 return;
                             }
                             QTest::keyClicks(login->PasswordEdit(), QString::fromStdString(passwords_.front()));
                             passwords_.pop_front();
                             QTest::keyClick(login->PasswordEdit(), Qt::Key_Return);
                         });
        answer.start();
        MainWindow window;
        RunWindow(window,
                  [&]
                  {
                      script(window);
                      ClickQuit(window);
                  });
    }

private:
    fs::path folder_;
    fs::path file_;
    InMemorySettingsBackend settings_;
    ScopedSettingsBackend scopedSettings_{settings_};
    MessageRecorder messages_;
    std::deque<std::string> passwords_{kPassword};
    int lookAt_ = -1;
    LookAtWindow lookAtLogin_;
};

// A row that looks at run `lookAt` of the login window; `prepare` readies the folder and
// answers, `script` runs in the main window.
ShownWindow LoginRun(const char* name, std::deque<std::string> passwords, int lookAt,
                     std::function<void(Program&)> prepare,
                     std::function<void(Program&, MainWindow&, const bool& shown)> script)
{
    return {QString::fromUtf8(name), [=](const LookAtWindow& look)
            {
                Program program;
                bool shown = false;
                program.AnswerLogins(passwords, lookAt,
                                     [&](QWidget& login)
                                     {
                                         shown = true;
                                         look(login);
                                     });
                if (prepare)
                {
                    prepare(program);
                }
                program.Run([&](MainWindow& window) { script(program, window, shown); });
                return shown;
            }};
}

// A row that looks at the main window or at something opened from it.
ShownWindow FromMainWindow(const char* name, std::function<bool(MainWindow&, const LookAtWindow&)> open)
{
    return {QString::fromUtf8(name), [open](const LookAtWindow& look)
            {
                Program program;
                bool shown = false;
                program.Run([&](MainWindow& window) { shown = open(window, look); });
                return shown;
            }};
}

// A menu of the menu bar, opened by a click on its title.
ShownWindow MenuBarMenu(const char* name, int index)
{
    return FromMainWindow(name,
                          [index](MainWindow& window, const LookAtWindow& look)
                          {
                              QMenuBar* bar = window.MenuBar();
                              const QList<QAction*> titles = bar->actions();
                              if (index >= titles.size())
                              {
                                  return false;
                              }
                              bool seen = false;
                              WhenMenuOpen(
                                  [&look](QMenu& menu)
                                  {
                                      look(menu);
                                      QTest::keyClick(&menu, Qt::Key_Escape);
                                  },
                                  &seen);
                              QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(titles[index]).center());
                              return WaitFor(seen);
                          });
}

// The edit dialog of the selected entry, opened with "Ändern"; `inside` runs in it.
bool InEditDialog(MainWindow& window, const std::function<void(EditEntryDialog&)>& inside)
{
    bool seen = false;
    WhenOpen<EditEntryDialog>(
        [&inside](EditEntryDialog& dialog)
        {
            inside(dialog);
            dialog.ControlAs<QPushButton>(IDCANCEL)->click();
        },
        &seen);
    window.ControlAs<QPushButton>(MainWindow::kChangeId)->click();
    return seen;
}

std::vector<ShownWindow> MakeEveryWindow()
{
    std::vector<ShownWindow> rows;
    rows.push_back(FromMainWindow("Hauptfenster",
                                  [](MainWindow& window, const LookAtWindow& look)
                                  {
                                      look(window);
                                      return true;
                                  }));
    rows.push_back(MenuBarMenu("Menü Datei", 0));
    rows.push_back(MenuBarMenu("Menü Extras", 1));
    rows.push_back(FromMainWindow("Kontextmenü der Eintragsliste",
                                  [](MainWindow& window, const LookAtWindow& look)
                                  {
                                      QTreeWidget* list = window.EntryList();
                                      QTreeWidgetItem* row = list->topLevelItem(0);
                                      return row && LookAtContextMenu(*list->viewport(),
                                                                      list->visualItemRect(row).center(), look);
                                  }));
    rows.push_back(FromMainWindow("Kontextmenü eines Detailfelds",
                                  [](MainWindow& window, const LookAtWindow& look)
                                  {
                                      QLineEdit* field = window.DetailField(1);
                                      return LookAtContextMenu(*field, field->rect().center(), look);
                                  }));
    rows.push_back(
        FromMainWindow("Eintrag bearbeiten", [](MainWindow& window, const LookAtWindow& look)
                       { return InEditDialog(window, [&look](EditEntryDialog& dialog) { look(dialog); }); }));
    rows.push_back(FromMainWindow("Kontextmenü eines Wertfelds",
                                  [](MainWindow& window, const LookAtWindow& look)
                                  {
                                      bool shown = false;
                                      InEditDialog(window,
                                                   [&](EditEntryDialog& dialog)
                                                   {
                                                       QWidget* value = dialog.ValueEdit(1)->viewport();
                                                       shown = LookAtContextMenu(*value, value->rect().center(), look);
                                                   });
                                      return shown;
                                  }));
    rows.push_back(FromMainWindow(
        "Kennwort erzeugen",
        [](MainWindow& window, const LookAtWindow& look)
        {
            bool shown = false;
            InEditDialog(window,
                         [&](EditEntryDialog& dialog)
                         {
                             bool menuSeen = false;
                             WhenMenuOpen(
                                 [&](QMenu& menu)
                                 {
                                     for (QAction* action : menu.actions())
                                     {
                                         if (action->text() == QString::fromUtf8(GeneratorDialog::kMenuText))
                                         {
                                             shown = LookAtDialog<GeneratorDialog>(
                                                 [&] {
                                                     QTest::mouseClick(&menu, Qt::LeftButton, {},
                                                                       menu.actionGeometry(action).center());
                                                 },
                                                 look);
                                             return;
                                         }
                                     }
                                     QTest::keyClick(&menu, Qt::Key_Escape);
                                 },
                                 &menuSeen);
                             QWidget* value = dialog.ValueEdit(1)->viewport();
                             RightClick(*value, value->rect().center());
                             WaitFor(menuSeen);
                         });
            return shown;
        }));
    rows.push_back(
        FromMainWindow("Suchen", [](MainWindow& window, const LookAtWindow& look)
                       { return LookAtDialog<FindDialog>([&] { TriggerMenu(window, command::kFind); }, look); }));
    rows.push_back(
        FromMainWindow("Config", [](MainWindow& window, const LookAtWindow& look)
                       { return LookAtDialog<ConfigDialog>([&] { TriggerMenu(window, command::kConfig); }, look); }));
    rows.push_back(
        FromMainWindow("Info über Kavelmark", [](MainWindow& window, const LookAtWindow& look)
                       { return LookAtDialog<AboutDialog>([&] { TriggerMenu(window, command::kAbout); }, look); }));
    const auto nothing = [](Program&, MainWindow&, const bool&) {};
    rows.push_back(LoginRun("Login", {kPassword}, 0, {}, nothing));
    // The steps of "Extras", "Passwort ändern" after the start's login: the old password, the
    // new one, its repetition.
    const char* const steps[] = {"Passwort ändern: altes Kennwort", "Passwort ändern: neues Kennwort",
                                 "Passwort ändern: Wiederholung"};
    const std::deque<std::string> answers = {kPassword, kPassword, "neu"};
    for (int step = 0; step < 3; ++step)
    {
        rows.push_back(LoginRun(steps[step], {answers.begin(), answers.begin() + 1 + step}, 1 + step, {},
                                [](Program&, MainWindow& window, const bool&)
                                { TriggerMenu(window, command::kChangePassword); }));
    }
    // A conflict copy under another password, offered at the start.
    rows.push_back(LoginRun(
        "Login: Kennwort der Konfliktkopie", {kPassword}, 1,
        [](Program& program)
        {
            fs::path copy = program.File();
            copy.replace_filename("pw.sync-conflict-20261211-093000-ABCDEFG.Kavelmark");
            program.WriteFile(copy, "anders");
        },
        nothing));
    // The file saved elsewhere under another password while the program runs.
    rows.push_back(LoginRun("Login: Kennwort der geänderten Datei", {kPassword}, 1, {},
                            [](Program& program, MainWindow&, const bool& shown)
                            {
                                program.WriteFile(program.File(), "anders");
                                WaitFor(shown);
                            }));
    // A file of the oldest format, which the start converts after asking for the password again.
    rows.push_back(LoginRun(
        "Login: Bestätigung beim Umwandeln einer V0.2-Datei", {kPassword, kPassword}, 1,
        [](Program& program)
        {
            std::ofstream(program.File(), std::ios::binary | std::ios::trunc)
                << V02File(kPassword, {"_E__|_FTP_|_server_|__|_anna_|_x_|_ftp.example_|_"});
        },
        nothing));
    for (ShownWindow& row : rows)
    {
        row.open = [open = std::move(row.open)](const LookAtWindow& look)
        {
            GermanQtTexts german;
            return open(look);
        };
    }
    return rows;
}

} // namespace

const std::vector<ShownWindow>& EveryWindow()
{
    static const std::vector<ShownWindow> rows = MakeEveryWindow();
    return rows;
}

} // namespace kavelmark::testing

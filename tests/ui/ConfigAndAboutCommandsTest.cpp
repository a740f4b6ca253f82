// The menu commands "&Config" and "&Über" in whole runs of the main window, against real
// password files in a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "app/qt/ConfigDialog.h"
#include "file/LoadSave.h"
#include "platform/CommandIds.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/FakeLogin.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::FakeLoginDialog;
using testing::LoginScript;
using testing::MessageRecorder;

// Runs `act` on the first modal dialog of type T that opens, from inside its own run.
template <typename T> void WhenOpen(std::function<void(T&)> act, bool* seen)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, act, seen]
                     {
                         if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
                             dialog && dialog->isVisible())
                         {
                             poll->deleteLater();
                             poll->stop();
                             *seen = true;
                             act(*dialog);
                         }
                     });
    poll->start();
}

class ConfigAndAboutCommandsTest : public ::testing::Test
{
protected:
    ConfigAndAboutCommandsTest()
    {
        std::random_device random;
        folder = fs::temp_directory_path() / ("kavelmark-commands-" + std::to_string(random()));
        fs::create_directories(folder);
        first = folder / "pw.Kavelmark";
        second = folder / "other.Kavelmark";
        settings.Write(settings::kConfig, settings::kMainEntryFile, first.string());
        window.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(login); });
    }
    ~ConfigAndAboutCommandsTest() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Runs the main window; `script` runs once it is on screen and must end the run.
    void Run(const std::function<void()>& script)
    {
        bool ran = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, &window,
                         [&]
                         {
                             if (!window.isVisible())
                             {
                                 return;
                             }
                             poll.stop();
                             ran = true;
                             script();
                             if (window.isVisible())
                             {
                                 ADD_FAILURE() << "the script left the window open";
                                 window.done(IDCANCEL);
                             }
                         });
        poll.start();
        window.Run();
        EXPECT_TRUE(ran);
    }

    void Trigger(int command)
    {
        for (QAction* action : window.MenuBar()->findChildren<QAction*>())
        {
            if (!action->menu() && action->data().toInt() == command)
            {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << command;
    }

    void WriteFile(const fs::path& path, const char* name)
    {
        PasswordStore store;
        store.AddEntry("FTP", name, "", "", "", "");
        MessageRecorder quiet;
        settings.Write(settings::kConfig, settings::kMainEntryFile, path.string());
        ASSERT_EQ(Save(store, ToSecure("pw")), 0);
        settings.Write(settings::kConfig, settings::kMainEntryFile, first.string());
    }

    std::vector<std::string> Names(const fs::path& path)
    {
        MessageRecorder quiet;
        const std::string previous = settings.Read(settings::kConfig, settings::kMainEntryFile).value_or("");
        settings.Write(settings::kConfig, settings::kMainEntryFile, path.string());
        PasswordStore store;
        std::vector<std::string> names;
        if (Load(store, ToSecure("pw"), 0) == 0)
        {
            for (auto pos = store.FindNextEntry({}); pos; pos = store.FindNextEntry(pos))
            {
                SecureString name = store.GetEntryName(pos);
                names.emplace_back(name.begin(), name.end());
            }
        }
        settings.Write(settings::kConfig, settings::kMainEntryFile, previous);
        return names;
    }

    static std::string Bytes(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    LoginScript login;
    fs::path folder;
    fs::path first;
    fs::path second;
    MainWindow window;
};

TEST_F(ConfigAndAboutCommandsTest, MenuCommandsOpenConfigAndAbout)
{
    WriteFile(first, "alt");
    login.Ok("pw");
    bool configSeen = false;
    bool aboutSeen = false;
    Run(
        [&]
        {
            WhenOpen<ConfigDialog>(
                [](ConfigDialog& dialog)
                {
                    EXPECT_EQ(dialog.windowTitle(), "Config");
                    dialog.ControlAs<QPushButton>(IDCANCEL)->click();
                },
                &configSeen);
            Trigger(command::kConfig);
            EXPECT_TRUE(configSeen);

            WhenOpen<AboutDialog>(
                [](AboutDialog& dialog)
                {
                    EXPECT_EQ(dialog.windowTitle(), "Info über Kavelmark");
                    dialog.ControlAs<QPushButton>(IDOK)->click();
                },
                &aboutSeen);
            Trigger(command::kAbout);
            EXPECT_TRUE(aboutSeen);
            window.ControlAs<QPushButton>(IDCANCEL)->click();
        });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ConfigAndAboutCommandsTest, AfterANewFileNameReloadReadsItAndEverySaveGoesThere)
{
    WriteFile(first, "alt");
    WriteFile(second, "neu");
    const std::string firstBytes = Bytes(first);
    login.Ok("pw");
    bool seen = false;
    Run(
        [&]
        {
            ASSERT_EQ(window.EntryList()->topLevelItemCount(), 1);
            EXPECT_EQ(window.EntryList()->topLevelItem(0)->text(1), "alt");
            WhenOpen<ConfigDialog>(
                [&](ConfigDialog& dialog)
                {
                    dialog.ControlAs<QLineEdit>(ConfigDialog::kFileNameId)->setText(QString::fromStdString(second));
                    dialog.ControlAs<QPushButton>(IDOK)->click();
                },
                &seen);
            Trigger(command::kConfig);
            ASSERT_TRUE(seen);

            Trigger(command::kFileOpen);
            ASSERT_EQ(window.EntryList()->topLevelItemCount(), 1);
            EXPECT_EQ(window.EntryList()->topLevelItem(0)->text(1), "neu");

            window.Store().AddEntry("FTP", "gespeichert", "", "", "", "");
            Trigger(command::kFileSave);
            EXPECT_EQ(Names(second), (std::vector<std::string>{"neu", "gespeichert"}));
            window.Store().AddEntry("FTP", "am Ende", "", "", "", "");
            window.ControlAs<QPushButton>(IDCANCEL)->click();
        });
    EXPECT_EQ(Names(second), (std::vector<std::string>{"neu", "gespeichert", "am Ende"}));
    EXPECT_EQ(Bytes(first), firstBytes) << "the old file is left alone";
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
} // namespace kavelmark

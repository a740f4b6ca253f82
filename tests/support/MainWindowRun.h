#pragma once

// Whole runs of the main window against real password files in a temporary folder: the
// fixture, the scripted login and the helpers that the window tests share.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "file/LoadSave.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/FakeLogin.h"
#include "support/MessageRecorder.h"
#include "ui/MainWindow.h"
#include "ui/TrayIcon.h"

namespace kavelmark::testing
{

// Runs the window; `script` runs once it is on screen and must end the run.
inline int RunWindow(MainWindow& window, const std::function<void()>& script)
{
    // The start-up may spin the event loop (tray icon, messages), so wait for the window
    // itself rather than for the first turn of the loop.
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
    int result = window.Run();
    EXPECT_TRUE(ran);
    return result;
}

inline void TriggerMenu(MainWindow& window, int command)
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

inline void ClickQuit(MainWindow& window)
{
    window.ControlAs<QPushButton>(IDCANCEL)->click();
}

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

// Whether the desktop has a notification area, for the lifetime of the guard.
class ScopedNotificationArea
{
public:
    explicit ScopedNotificationArea(bool available)
        : previous_(TrayIcon::SetAreaProbe([available] { return available; }))
    {
    }
    ~ScopedNotificationArea()
    {
        TrayIcon::SetAreaProbe(std::move(previous_));
    }
    ScopedNotificationArea(const ScopedNotificationArea&) = delete;
    ScopedNotificationArea& operator=(const ScopedNotificationArea&) = delete;

private:
    TrayIcon::AreaProbe previous_;
};

// A temporary folder with the password file `file` named in the settings, a scripted login
// and the main window.
class MainWindowRun : public ::testing::Test
{
protected:
    MainWindowRun()
    {
        std::random_device random;
        folder = std::filesystem::temp_directory_path() / ("kavelmark-window-" + std::to_string(random()));
        std::filesystem::create_directories(folder);
        file = folder / "pw.Kavelmark";
        settings.Write(settings::kConfig, settings::kMainEntryFile, file.string());
        window.SetLoginFactory([this] { return std::make_unique<FakeLoginDialog>(login); });
    }
    ~MainWindowRun() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    int Run(const std::function<void()>& script)
    {
        return RunWindow(window, script);
    }

    void Trigger(int command)
    {
        TriggerMenu(window, command);
    }

    void ClickQuit()
    {
        testing::ClickQuit(window);
    }

    // Writes a password file with the given entries.
    void WriteFile(const std::filesystem::path& path, const std::string& password,
                   const std::function<void(PasswordStore&)>& fill = {})
    {
        PasswordStore store;
        if (fill)
        {
            fill(store);
        }
        const std::string previous = settings.Read(settings::kConfig, settings::kMainEntryFile).value_or("");
        settings.Write(settings::kConfig, settings::kMainEntryFile, path.string());
        MessageRecorder quiet;
        ASSERT_EQ(Save(store, ToSecure(password)), SaveResult::Saved);
        settings.Write(settings::kConfig, settings::kMainEntryFile, previous);
    }

    // The entry names the file holds under this password, or nothing when it does not open.
    std::optional<std::vector<std::string>> Names(const std::filesystem::path& path, const std::string& password)
    {
        MessageRecorder quiet;
        const std::string previous = settings.Read(settings::kConfig, settings::kMainEntryFile).value_or("");
        settings.Write(settings::kConfig, settings::kMainEntryFile, path.string());
        PasswordStore store;
        const LoadResult result = Load(store, ToSecure(password), 0);
        settings.Write(settings::kConfig, settings::kMainEntryFile, previous);
        if (result != LoadResult::Loaded)
        {
            return std::nullopt;
        }
        std::vector<std::string> names;
        for (auto pos = store.FindNextEntry({}); pos; pos = store.FindNextEntry(pos))
        {
            SecureString name = store.GetEntryName(pos);
            names.emplace_back(name.begin(), name.end());
        }
        return names;
    }

    static std::string Bytes(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    LoginScript login;
    std::filesystem::path folder;
    std::filesystem::path file;
    MainWindow window;
};

} // namespace kavelmark::testing

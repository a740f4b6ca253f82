// The menu commands "&Config" and "&Über" in whole runs of the main window, against real
// password files in a temporary folder.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/qt/ConfigDialog.h"
#include "platform/CommandIds.h"
#include "support/MainWindowRun.h"
#include "support/QtPrinters.h"
#include "ui/AboutDialog.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::WhenOpen;

class ConfigAndAboutCommandsTest : public testing::MainWindowRun
{
protected:
    void WriteFile(const fs::path& path, const char* name)
    {
        MainWindowRun::WriteFile(path, "pw",
                                 [name](PasswordStore& store) { store.AddEntry("FTP", name, "", "", "", ""); });
    }

    std::vector<std::string> Names(const fs::path& path)
    {
        return MainWindowRun::Names(path, "pw").value_or(std::vector<std::string>());
    }

    const fs::path& first = file;
    const fs::path second = folder / "other.Kavelmark";
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

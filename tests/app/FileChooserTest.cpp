#include <gtest/gtest.h>

#include <filesystem>

#include "app/FileChooser.h"
#include "settings/Settings.h"
#include "support/FakeSaveAsDialog.h"

namespace kavelmark
{
namespace
{

using testing::FakeSaveAsDialog;

class FileChooserTest : public ::testing::Test
{
protected:
    std::string Remembered(const char* key)
    {
        return backend.Read("SaveFileDialog", key).value_or("<unset>");
    }

    InMemorySettingsBackend backend;
    ScopedSettingsBackend scoped{backend};
    FakeSaveAsDialog dialog;
};

TEST_F(FileChooserTest, ABareNameIsOfferedInTheWorkingFolder)
{
    const std::string folder = std::filesystem::current_path().string() + "/";
    struct Case
    {
        const char* storedPath; // nullptr: nothing stored yet
        const char* storedFile;
    };
    // "Default"/"Default" is what an earlier run stored for a bare name: no file of the user's.
    const Case cases[] = {{nullptr, nullptr}, {"Default", "Default"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.storedPath ? c.storedPath : "nothing stored");
        backend.Erase("SaveFileDialog", "Path");
        backend.Erase("SaveFileDialog", "File");
        if (c.storedPath)
        {
            backend.Write("SaveFileDialog", "Path", c.storedPath);
            backend.Write("SaveFileDialog", "File", c.storedFile);
        }
        dialog.shownNames.clear();
        dialog.shownFilters.clear();
        std::string name = "default.Kavelmark";
        EXPECT_EQ(FileChooser::Choose(name, "", true, false), FileChooser::kCancelled);
        ASSERT_EQ(dialog.shownNames.size(), 1u);
        EXPECT_EQ(dialog.shownNames[0], folder + "default.Kavelmark");
        EXPECT_EQ(dialog.shownFilters[0], "All Files|*.*||");
        EXPECT_EQ(name, folder + "default.Kavelmark");
        EXPECT_EQ(Remembered("Filter"), "All Files|*.*||");
    }
}

TEST_F(FileChooserTest, FirstUseWithFullPathSplitsAtLastSeparator)
{
    std::string name = "/home/anna/safe/pw.Kavelmark";
    FileChooser::Choose(name, "", true, false);
    EXPECT_EQ(Remembered("Path"), "/home/anna/safe/");
    EXPECT_EQ(Remembered("File"), "pw.Kavelmark");
    EXPECT_EQ(dialog.shownNames.at(0), "/home/anna/safe/pw.Kavelmark");
}

TEST_F(FileChooserTest, CancelHandsBackTheRememberedFileNotTheCurrentOne)
{
    backend.Write("SaveFileDialog", "Path", "/data/old/");
    backend.Write("SaveFileDialog", "File", "old.Kavelmark");
    std::string name = "/home/anna/current.Kavelmark";
    EXPECT_EQ(FileChooser::Choose(name, "", true, false), FileChooser::kCancelled);
    EXPECT_EQ(name, "/data/old/old.Kavelmark");
    EXPECT_EQ(Remembered("Path"), "/data/old/");
    EXPECT_EQ(Remembered("File"), "old.Kavelmark");
}

TEST_F(FileChooserTest, ConfirmRemembersTheChoiceForTheNextUse)
{
    std::string name = "/home/anna/current.Kavelmark";
    dialog.answer = "/media/stick/backup.Kavelmark";
    EXPECT_EQ(FileChooser::Choose(name, "Kavelmark|*.Kavelmark||", true, false), FileChooser::kConfirmed);
    EXPECT_EQ(name, "/media/stick/backup.Kavelmark");
    EXPECT_EQ(Remembered("Path"), "/media/stick/");
    EXPECT_EQ(Remembered("File"), "backup.Kavelmark");
    EXPECT_EQ(Remembered("Filter"), "Kavelmark|*.Kavelmark||");

    std::string other = "/somewhere/else.Kavelmark";
    dialog.answer.reset();
    FileChooser::Choose(other, "", true, false);
    EXPECT_EQ(dialog.shownNames.at(1), "/media/stick/backup.Kavelmark");
    EXPECT_EQ(dialog.shownFilters.at(1), "Kavelmark|*.Kavelmark||");
}

TEST_F(FileChooserTest, RememberedPathWithoutSeparatorIsJoinedDirectly)
{
    backend.Write("SaveFileDialog", "Path", "/data");
    backend.Write("SaveFileDialog", "File", "pw");
    std::string name = "x";
    EXPECT_EQ(FileChooser::Choose(name, "", true, true), FileChooser::kConfirmed);
    EXPECT_EQ(name, "/datapw");
    EXPECT_TRUE(dialog.shownNames.empty());
}

TEST_F(FileChooserTest, WithoutRememberNothingIsReadOrWritten)
{
    std::string name = "/home/anna/pw.Kavelmark";
    dialog.answer = "/tmp/chosen";
    EXPECT_EQ(FileChooser::Choose(name, "", false, false), FileChooser::kConfirmed);
    EXPECT_EQ(dialog.shownNames.at(0), "/home/anna/pw.Kavelmark");
    EXPECT_EQ(name, "/tmp/chosen");
    EXPECT_TRUE(backend.Values().empty());
}

TEST(FileChooserWithoutDialogTest, MissingDialogCountsAsCancelled)
{
    InMemorySettingsBackend backend;
    ScopedSettingsBackend scoped{backend};
    std::string name = "pw";
    EXPECT_EQ(FileChooser::Choose(name, "", true, false), FileChooser::kCancelled);
}

} // namespace
} // namespace kavelmark

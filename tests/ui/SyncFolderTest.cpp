// The program with its password file in a sync folder: the file rewritten from outside while the
// window runs, seen through the real folder watch.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/AppTexts.h"
#include "file/FileTestSupport.h"
#include "file/FileTexts.h"
#include "platform/CommandIds.h"
#include "support/MainWindowRun.h"
#include "ui/EditEntryDialog.h"

namespace kavelmark
{
namespace
{

constexpr int kWatchBoundMs = 5000;

class SyncFolderTest : public testing::MainWindowRun
{
protected:
    static PasswordStore StoreOf(const std::vector<std::pair<std::string, std::string>>& entries)
    {
        PasswordStore store;
        for (const auto& [category, name] : entries)
        {
            store.AddEntry(category, name, "", "1", "", "");
        }
        return store;
    }

    QStringList Rows() const
    {
        QStringList names;
        QTreeWidget* list = window.EntryList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            names << list->topLevelItem(i)->text(1);
        }
        return names;
    }

    QString Selected() const
    {
        QTreeWidgetItem* row = window.EntryList()->currentItem();
        return row ? row->text(1) : QString();
    }

    void SelectName(const QString& name)
    {
        QTreeWidget* list = window.EntryList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            if (list->topLevelItem(i)->text(1) == name)
            {
                list->setCurrentItem(list->topLevelItem(i));
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
};

TEST_F(SyncFolderTest, WithoutUnsavedChangesANewVersionIsShownAtOnceKeepingFilterAndSelection)
{
    ASSERT_TRUE(
        testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}, {"Web-Site", "w"}})));
    login.Ok("pw");
    Run(
        [&]
        {
            QComboBox* filter = window.CategoryFilter();
            filter->setCurrentIndex(filter->findText("FTP"));
            SelectName("a");
            ASSERT_EQ(Rows(), (QStringList{"a", "b"}));
            ASSERT_TRUE(testing::WriteAsAnotherProgram(
                file.string(), "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}, {"Web-Site", "w"}, {"FTP", "c"}})));
            EXPECT_TRUE(QTest::qWaitFor([&] { return Rows().size() == 3; }, kWatchBoundMs));
            EXPECT_EQ(Rows(), (QStringList{"a", "b", "c"}));
            EXPECT_EQ(filter->currentText(), "FTP");
            EXPECT_EQ(Selected(), "a");
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SyncFolderTest, WithUnsavedChangesTheSaveAsksAndMerges)
{
    ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}})));
    login.Ok("pw");
    Run(
        [&]
        {
            window.ControlAs<QPushButton>(MainWindow::kAddId)->click();
            ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}})));
            // The watch sees the change and, with an entry not saved yet, leaves the store alone.
            QTest::qWait(3 * FileWatch::kSettleMilliseconds);
            EXPECT_TRUE(messages.messages.empty());
            EXPECT_FALSE(Rows().contains("b"));
            messages.AnswerNext(MessageAnswer::Merge);
            Trigger(command::kFileSave);
            ASSERT_EQ(messages.messages.size(), 2u);
            EXPECT_EQ(messages.messages[0].caption, kChangedFileCaption);
            EXPECT_EQ(messages.messages[0].buttons, MessageButtons::MergeOverwriteCancel);
            EXPECT_EQ(messages.messages[1].caption, kMergedCaption);
            // The list shows the merged store.
            window.CategoryFilter()->setCurrentIndex(0);
            QStringList rows = Rows();
            rows.sort();
            EXPECT_EQ(rows, (QStringList{"a", "b", "new key"}));
            ClickQuit();
        });
    // A new entry's name is "$1" until edited: its first value stands in for it.
    EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"a", "$1", "b"}));
}

TEST_F(SyncFolderTest, AChangeWhileTheEditDialogIsOpenWaitsAndTheTypingIsKept)
{
    ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}})));
    login.Ok("pw");
    bool edited = false;
    Run(
        [&]
        {
            SelectName("a");
            testing::WhenOpen<EditEntryDialog>(
                [&](EditEntryDialog& dialog)
                {
                    QLineEdit* name = dialog.ControlAs<QLineEdit>(EditEntryDialog::kNameId);
                    QTest::keyClicks(name, "x");
                    EXPECT_TRUE(
                        testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}})));
                    QTest::qWait(3 * FileWatch::kSettleMilliseconds);
                    EXPECT_TRUE(dialog.isVisible());
                    EXPECT_EQ(name->text(), "ax");
                    dialog.ControlAs<QPushButton>(IDOK)->click();
                },
                &edited);
            window.ControlAs<QPushButton>(MainWindow::kChangeId)->click();
            // Once the dialog is gone the change is looked at: the edit is unsaved, so no reload.
            QTest::qWait(3 * FileWatch::kSettleMilliseconds);
            EXPECT_EQ(Rows(), QStringList{"ax"});
            messages.AnswerNext(MessageAnswer::Merge);
            ClickQuit();
        });
    EXPECT_TRUE(edited);
    EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"ax", "b"}));
}

// A peer's link in place of the file names a file this session never read: it is not loaded. Once
// the file is back, the watch still sees the folder and the next version is shown.
TEST_F(SyncFolderTest, AFileThatWasALinkForAWhileIsWatchedAgainOnceItIsBack)
{
    ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}})));
    const std::filesystem::path elsewhere = folder / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    ASSERT_TRUE(testing::WriteAsAnotherProgram((elsewhere / "private.Kavelmark").string(), "pw",
                                               StoreOf({{"FTP", "private"}})));
    login.Ok("pw");
    Run(
        [&]
        {
            const std::filesystem::path link = folder / "pw.Kavelmark.link";
            std::filesystem::create_symlink(elsewhere / "private.Kavelmark", link);
            std::filesystem::rename(link, file);
            QTest::qWait(3 * FileWatch::kSettleMilliseconds);
            EXPECT_EQ(Rows(), QStringList{"a"});
            ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}})));
            EXPECT_TRUE(QTest::qWaitFor([&] { return Rows().size() == 2; }, kWatchBoundMs));
            EXPECT_EQ(Rows(), (QStringList{"a", "b"}));
            ClickQuit();
        });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SyncFolderTest, AConflictCopyFoundAtStartIsOfferedAndFoldedIn)
{
    ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", StoreOf({{"FTP", "a"}})));
    const std::string copy = (folder / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark").string();
    ASSERT_TRUE(testing::WriteAsAnotherProgram(copy, "pw", StoreOf({{"FTP", "a"}, {"FTP", "b"}})));
    login.Ok("pw");
    Run(
        [&]
        {
            window.CategoryFilter()->setCurrentIndex(0);
            EXPECT_EQ(Rows(), (QStringList{"a", "b"}));
            ClickQuit();
        });
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, kConflictCopyQuestion + copy);
    EXPECT_EQ(messages.messages[1].caption, kMergedCaption);
    EXPECT_EQ(Names(file, "pw"), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

// Both versions of an entry that two sides changed stand together, the first one selected, so that
// the user sees at once which to keep.
TEST_F(SyncFolderTest, AnEntryKeptTwiceByAMergeIsShownWithBothVersionsTogether)
{
    PasswordStore here = StoreOf({{"FTP", "a"}, {"FTP", "b"}, {"Web-Site", "w"}});
    PasswordStore there;
    there.AddEntry("FTP", "a", "", "2", "", "");
    there.AddEntry("FTP", "b", "", "1", "", "");
    there.AddEntry("Web-Site", "w", "", "1", "", "");
    ASSERT_TRUE(testing::WriteAsAnotherProgram(file.string(), "pw", here));
    const std::string copy = (folder / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark").string();
    ASSERT_TRUE(testing::WriteAsAnotherProgram(copy, "pw", there));
    login.Ok("pw");
    Run(
        [&]
        {
            EXPECT_EQ(window.CategoryFilter()->currentText(), "FTP");
            EXPECT_EQ(Rows(), (QStringList{"a", "a", "b"}));
            QTreeWidget* list = window.EntryList();
            EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 0);

            // The same for a copy that arrives while the window shows another category.
            QComboBox* filter = window.CategoryFilter();
            filter->setCurrentIndex(filter->findText("Web-Site"));
            PasswordStore later;
            later.AddEntry("FTP", "b", "", "3", "", "");
            later.AddEntry("Web-Site", "w", "", "1", "", "");
            ASSERT_TRUE(testing::WriteAsAnotherProgram(
                (folder / "pw.sync-conflict-20261211-111500-ABCDEFG.Kavelmark").string(), "pw", later));
            EXPECT_TRUE(QTest::qWaitFor([&] { return filter->currentText() == "FTP"; }, kWatchBoundMs));
            EXPECT_EQ(Rows(), (QStringList{"a", "a", "b", "b"}));
            EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), 2);
            ClickQuit();
        });
}

} // namespace
} // namespace kavelmark

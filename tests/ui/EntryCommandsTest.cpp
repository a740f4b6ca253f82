#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "ui/EditEntryDialog.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

// Runs the edit dialog without a modal loop: the script works the open dialog, and a
// dialog it leaves open counts as cancelled. Without a script the real modal run happens.
class EditingMainWindow final : public MainWindow
{
public:
    std::function<void(EditEntryDialog&)> edit;
    int editRuns = 0;

protected:
    int RunEditEntryDialog(EditEntryDialog& dialog) override
    {
        ++editRuns;
        if (!edit)
        {
            return MainWindow::RunEditEntryDialog(dialog);
        }
        dialog.show();
        edit(dialog);
        if (dialog.isVisible())
        {
            dialog.done(IDCANCEL);
        }
        return dialog.result();
    }
};

void ClickOk(EditEntryDialog& dialog)
{
    dialog.ControlAs<QPushButton>(IDOK)->click();
}

class EntryCommandsTest : public ::testing::Test
{
protected:
    void Open()
    {
        window.Create();
        window.show();
    }

    QStringList Column(int column) const
    {
        QStringList texts;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
        {
            texts << List()->topLevelItem(i)->text(column);
        }
        return texts;
    }

    QTreeWidget* List() const
    {
        return window.EntryList();
    }

    int CurrentRow() const
    {
        return List()->indexOfTopLevelItem(List()->currentItem());
    }

    void SelectRow(int row)
    {
        List()->setCurrentItem(List()->topLevelItem(row));
    }

    void SelectFilter(const QString& text)
    {
        int index = window.CategoryFilter()->findText(text);
        ASSERT_GE(index, 0);
        window.CategoryFilter()->setCurrentIndex(index);
    }

    void Click(int id)
    {
        window.ControlAs<QPushButton>(id)->click();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    EditingMainWindow window;
};

TEST_F(EntryCommandsTest, AddingTwiceGivesTwoNewKeyRowsEachActingOnItsOwnEntry)
{
    PasswordStore& store = window.Store();
    store.AddEntry("FTP", "ftp", "", "u", "p", "h");
    Open();

    Click(MainWindow::kAddId);
    EXPECT_EQ(window.CategoryFilter()->currentText(), " Hmm?");
    EXPECT_EQ(Column(0), QStringList{"  Hmm?"});
    EXPECT_EQ(Column(1), QStringList{"new key"});
    EXPECT_EQ(Column(2), QStringList{"new details"});
    EXPECT_EQ(window.DetailValue(2), "new password");
    EXPECT_EQ(window.DetailField(2)->echoMode(), QLineEdit::Password);

    QTest::keyClick(List(), Qt::Key_Insert);
    ASSERT_EQ(Column(1), (QStringList{"new key", "new key"}));
    const PasswordStore::Position first = window.RowEntry(List()->topLevelItem(0));
    const PasswordStore::Position second = window.RowEntry(List()->topLevelItem(1));
    ASSERT_TRUE(first && second && !(first == second));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(store.GetEntryName(first), "$1");

    // Changing the first row renames the first entry only.
    SelectRow(0);
    window.edit = [](EditEntryDialog& dialog)
    {
        dialog.ValueEdit(1)->setPlainText(QStringLiteral("erster"));
        ClickOk(dialog);
    };
    Click(MainWindow::kChangeId);
    EXPECT_EQ(store.GetEntryValue(first, 1), "erster");
    EXPECT_EQ(store.GetEntryValue(second, 1), "new key");
    EXPECT_EQ(Column(1), (QStringList{"erster", "new key"}));

    // Deleting the second row removes the second entry only.
    SelectRow(1);
    Click(MainWindow::kDeleteId);
    EXPECT_EQ(Column(1), QStringList{"erster"});
    EXPECT_EQ(store.GetEntryValue(store.FindNextEntry(store.FindNextEntry({})), 1), "erster");
    EXPECT_FALSE(store.FindNextEntry(store.FindNextEntry(store.FindNextEntry({}))));
}

TEST_F(EntryCommandsTest, DeletingSelectsTheRowThatTookThePlaceOrTheNewLastRow)
{
    struct Case
    {
        const char* name;
        int rows;
        int deleted;
        QStringList left;
        int selected; // -1: none
    };
    const Case cases[] = {
        {"only row", 1, 0, {}, -1},
        {"last row", 3, 2, {"e0", "e1"}, 1},
        {"middle row", 3, 1, {"e0", "e2"}, 1},
        {"first row", 3, 0, {"e1", "e2"}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EditingMainWindow fresh;
        for (int i = 0; i < c.rows; ++i)
        {
            const std::string name = "e" + std::to_string(i);
            fresh.Store().AddEntry("FTP", name, "", name + "-user", "", "");
        }
        fresh.Create();
        fresh.show();
        QTreeWidget* list = fresh.EntryList();
        list->setCurrentItem(list->topLevelItem(c.deleted));

        fresh.ControlAs<QPushButton>(MainWindow::kDeleteId)->click();

        QStringList left;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            left << list->topLevelItem(i)->text(1);
        }
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(list->selectedItems().size(), c.selected < 0 ? 0 : 1);
        if (c.selected >= 0)
        {
            EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), c.selected);
            EXPECT_EQ(fresh.DetailField(1)->text(), c.left[c.selected] + "-user");
        }
        else
        {
            EXPECT_TRUE(fresh.DetailField(1)->text().isEmpty());
            EXPECT_TRUE(fresh.DetailLabel(1)->text().isEmpty());
        }
        EXPECT_FALSE(fresh.Store().FindEntryByDisplayName("e" + std::to_string(c.deleted)));
    }
}

TEST_F(EntryCommandsTest, ConfirmationShowsTheMaskedTextsAndCancelChangesNothing)
{
    PasswordStore& store = window.Store();
    store.AddEntry("PIN/TAN", "Konto $2", "$1 / $3", "DE12", "1234", "5678");
    store.AddEntry("FTP", "ftp", "", "u", "p", "h");
    Open();
    SelectRow(1);
    ASSERT_EQ(List()->currentItem()->text(1), "Konto **");
    const QString shownBefore = window.DetailField(1)->text();
    const std::size_t countBefore = store.GetCount();

    messages.AnswerNext(MessageAnswer::Cancel);
    QTest::keyClick(List(), Qt::Key_Delete);

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Wollen Sie diesen Eintrag wirklich löschen?\n\nName: Konto **\nBeschreibung: DE12 / ***");
    EXPECT_EQ(messages.messages[0].caption, "Eintrag löschen");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(store.GetCount(), countBefore);
    EXPECT_EQ(Column(1), (QStringList{"ftp", "Konto **"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(window.DetailField(1)->text(), shownBefore);
}

TEST_F(EntryCommandsTest, CommandsWithoutASelectionDoNothing)
{
    window.Store().AddEntry("FTP", "ftp", "", "u", "p", "h");
    Open();
    List()->clearSelection();
    ASSERT_TRUE(List()->selectedItems().isEmpty());

    const QPoint belowRows(10, List()->viewport()->height() - 5);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, belowRows);
    Click(MainWindow::kChangeId);
    Click(MainWindow::kDeleteId);

    EXPECT_EQ(window.editRuns, 0);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Column(1), QStringList{"ftp"});
}

TEST_F(EntryCommandsTest, ChangeOffersTheStoredTextsAndCancelKeepsTheEntry)
{
    PasswordStore& store = window.Store();
    const PasswordStore::Position entry = store.AddEntry("FTP", "Login $1", "$3", "anna", "zeile1\r\nzeile2", "h");
    Open();

    window.edit = [](EditEntryDialog& dialog)
    {
        EXPECT_EQ(dialog.NameEdit()->text(), "Login $1");
        EXPECT_EQ(dialog.DescriptionEdit()->text(), "$3");
        EXPECT_EQ(dialog.ValueEdit(2)->toPlainText(), "zeile1\nzeile2");
        EXPECT_EQ(dialog.Label(1)->text(), "$&1: User");
        EXPECT_EQ(dialog.Label(2)->text(), "$&2: Password (*)");
        EXPECT_EQ(dialog.Label(3)->text(), "$&3: Host");
        EXPECT_EQ(dialog.CategoryList()->currentText(), "FTP");
        dialog.NameEdit()->setText(QStringLiteral("geändert"));
        dialog.ControlAs<QPushButton>(IDCANCEL)->click();
    };
    const QPoint row = List()->visualItemRect(List()->topLevelItem(0)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row);
    EXPECT_EQ(window.editRuns, 1);
    EXPECT_EQ(std::string_view(store.GetAt(entry)), "_E__|_FTP_|_Login $1_|_$3_|_anna_|_zeile1\r\nzeile2_|_h_|_");

    // OK keeps a line break typed into a value as "\r\n" and rebuilds the list.
    window.edit = [](EditEntryDialog& dialog)
    {
        dialog.ValueEdit(1)->setFocus();
        dialog.ValueEdit(1)->moveCursor(QTextCursor::End);
        QTest::keyClick(dialog.ValueEdit(1), Qt::Key_Return);
        QTest::keyClicks(dialog.ValueEdit(1), "b");
        ClickOk(dialog);
    };
    Click(MainWindow::kChangeId);
    EXPECT_EQ(store.GetEntryValue(entry, 1), "anna\r\nb");
    EXPECT_EQ(Column(1), QStringList{"Login anna\r\nb"});
}

TEST_F(EntryCommandsTest, ANewCategoryLeavesAFilteredListAndStaysUnderAllCategories)
{
    PasswordStore& store = window.Store();
    const PasswordStore::Position moved = store.AddEntry("FTP", "a", "", "", "", "");
    store.AddEntry("FTP", "b", "", "", "", "");
    Open();
    auto chooseCategory = [](const char* category)
    {
        return [category](EditEntryDialog& dialog)
        {
            dialog.CategoryList()->setCurrentIndex(dialog.CategoryList()->findText(QString::fromUtf8(category)));
            ClickOk(dialog);
        };
    };

    // All categories: the entry stays, with its new category text and image.
    SelectRow(0);
    window.edit = chooseCategory("PIN/TAN");
    Click(MainWindow::kChangeId);
    EXPECT_EQ(store.GetEntryCategory(moved), "PIN/TAN");
    ASSERT_EQ(Column(0), (QStringList{" FTP", " PIN/TAN"}));
    EXPECT_EQ(Column(1), (QStringList{"b", "a"}));
    EXPECT_EQ(List()->topLevelItem(1)->icon(0).cacheKey(), window.CategoryImage(6).cacheKey());

    // Filtered: the entry leaves the list at once.
    SelectFilter("PIN/TAN");
    ASSERT_EQ(Column(1), QStringList{"a"});
    SelectRow(0);
    window.edit = chooseCategory("DFÜ");
    Click(MainWindow::kChangeId);
    EXPECT_EQ(store.GetEntryCategory(moved), "DF\xDC");
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_EQ(window.CategoryFilter()->currentText(), "PIN/TAN");
}

// While the question is open the list can be rebuilt (an unlock, a reload of a file changed
// elsewhere): the answer acts on the entry asked about, found anew, never on a row of before.
TEST_F(EntryCommandsTest, TheDeleteQuestionsAnswerSurvivesAListRebuiltMeanwhile)
{
    PasswordStore& store = window.Store();
    store.AddEntry("FTP", "eins", "", "", "", "");
    store.AddEntry("FTP", "zwei", "", "", "", "");
    store.AddEntry("FTP", "drei", "", "", "", "");
    Open();
    const struct
    {
        const char* name;
        QString selected;
        std::function<void()> meanwhile;
        QStringList left;
    } cases[] = {
        {"list rebuilt", "zwei", [this] { window.FillEntryList(); }, {"eins", "drei"}},
        // The user agreed to delete "eins", not what it became.
        {"entry changed elsewhere",
         "eins",
         [this, &store]
         {
             store.ReplaceEntry(window.RowEntry(List()->topLevelItem(Column(1).indexOf("eins"))), "FTP", "neu", "", "",
                                "", "");
             window.FillEntryList();
         },
         {"neu", "drei"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_GE(Column(1).indexOf(c.selected), 0);
        SelectRow(Column(1).indexOf(c.selected));
        messages.whileShown = c.meanwhile;
        messages.AnswerNext(MessageAnswer::Ok);
        Click(MainWindow::kDeleteId);
        EXPECT_EQ(Column(1), c.left);
    }
}

TEST_F(EntryCommandsTest, AfterAChangeTheChangedEntryStaysSelectedUnlessItLeftTheList)
{
    PasswordStore& store = window.Store();
    const PasswordStore::Position router = store.AddEntry("TELNET", "Router", "", "admin", "geheim", "192.168.0.1");
    store.AddEntry("FTP", "Archiv", "", "anna", "pw", "ftp.example.org");
    const PasswordStore::Position shop = store.AddEntry("FTP", "Shop", "", "kunde", "pw2", "shop.example.org");
    Open();
    auto setUser = [](const char* user)
    {
        return [user](EditEntryDialog& dialog)
        {
            dialog.ValueEdit(1)->setPlainText(QString::fromUtf8(user));
            ClickOk(dialog);
        };
    };

    // All categories: the list is rebuilt, and the entry just changed is still the one acted on.
    const int routerRow = Column(1).indexOf("Router");
    ASSERT_GE(routerRow, 0);
    SelectRow(routerRow);
    window.edit = setUser("root");
    Click(MainWindow::kChangeId);
    EXPECT_EQ(window.RowEntry(List()->currentItem()), router);
    EXPECT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(window.DetailValue(1), "root");

    // Moved out of the category shown: the last row listed is selected, with its values.
    SelectFilter("FTP");
    SelectRow(Column(1).indexOf("Archiv"));
    window.edit = [](EditEntryDialog& dialog)
    {
        dialog.CategoryList()->setCurrentIndex(dialog.CategoryList()->findText(QStringLiteral("TELNET")));
        ClickOk(dialog);
    };
    Click(MainWindow::kChangeId);
    EXPECT_EQ(Column(1), QStringList{"Shop"});
    EXPECT_EQ(window.RowEntry(List()->currentItem()), shop);
    EXPECT_EQ(window.DetailValue(1), "kunde");
}

TEST_F(EntryCommandsTest, TheRealModalRunEndsWithOk)
{
    PasswordStore& store = window.Store();
    const PasswordStore::Position entry = store.AddEntry("FTP", "alt", "", "", "", "");
    Open();
    QTimer::singleShot(0,
                       []
                       {
                           auto* dialog = qobject_cast<EditEntryDialog*>(QApplication::activeModalWidget());
                           ASSERT_NE(dialog, nullptr);
                           dialog->NameEdit()->setText(QStringLiteral("neu"));
                           QTest::keyClick(dialog->NameEdit(), Qt::Key_Return);
                       });
    Click(MainWindow::kChangeId);
    EXPECT_EQ(store.GetEntryName(entry), "neu");
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "ui/EntryFinder.h"
#include "ui/FindDialog.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

class EntryFinderTest : public ::testing::Test
{
protected:
    EntryFinderTest()
    {
        PasswordStore& store = window.Store();
        // Texts in code page 1252: \xFC is "ü", \xDC is "Ü".
        store.AddEntry("FTP", "M\xFCller GmbH", "Dateien", "anna", "geheimwort", "ftp.example.org");
        store.AddEntry("Web-Site", "Shop", "Einkauf bei M\xDCLLER", "kunde", "x", "shop.example.com");
        store.AddEntry("FTP", "Zugang $2", "Server", "bert", "topsecret", "intern");
        store.AddEntry("Web-Site", "Blog", "Notizen", "carla", "y", "blog.example.net");
        window.Create();
        window.show();
        SelectFilter(QStringLiteral("Web-Site"));
        const QList<QTreeWidgetItem*> blog = window.EntryList()->findItems(QStringLiteral("Blog"), Qt::MatchExactly, 1);
        window.EntryList()->setCurrentItem(blog.value(0));
    }

    void Activate()
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void SelectFilter(const QString& text)
    {
        const int index = window.CategoryFilter()->findText(text);
        ASSERT_GE(index, 0);
        window.CategoryFilter()->setCurrentIndex(index);
    }

    QString SelectedName() const
    {
        const QList<QTreeWidgetItem*> selected = window.EntryList()->selectedItems();
        return selected.isEmpty() ? QString() : selected.front()->text(1);
    }

    EntryFinder& Finder()
    {
        return *window.findChild<EntryFinder*>();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
    MainWindow window;
};

TEST_F(EntryFinderTest, FindsAcrossCategoriesIgnoringCaseOfUmlautsAndSwitchesTheFilter)
{
    ASSERT_EQ(window.CategoryFilter()->currentText(), QStringLiteral("Web-Site"));
    ASSERT_EQ(SelectedName(), QStringLiteral("Blog"));
    Activate();

    // From "Blog", store order goes round to the head: the FTP entry, hidden by the filter.
    ASSERT_TRUE(Finder().FindNext(QStringLiteral("müller")));
    EXPECT_EQ(SelectedName(), QStringLiteral("Müller GmbH"));
    EXPECT_EQ(window.CategoryFilter()->currentText(), QString::fromUtf8(MainWindow::kAllCategories));
    EXPECT_EQ(window.DetailField(1)->text(), QStringLiteral("anna"));

    // F3: the next one, found by its description in capitals, then round again.
    QTest::keyClick(window.EntryList(), Qt::Key_F3);
    EXPECT_EQ(SelectedName(), QStringLiteral("Shop"));
    EXPECT_EQ(window.DetailField(1)->text(), QStringLiteral("kunde"));
    QTest::keyClick(window.EntryList(), Qt::Key_F3);
    EXPECT_EQ(SelectedName(), QStringLiteral("Müller GmbH"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(EntryFinderTest, SearchesValuesThatAreNotSecretOnly)
{
    struct Case
    {
        const char* text;
        const char* found; // nullptr: no match
    };
    const Case cases[] = {
        {"EXAMPLE.NET", "Blog"}, // a host value
        {"bert", "Zugang **"},   // a user value; the name shows the secret as a mask
        {"geheimwort", nullptr}, // a password value
        {"topsecret", nullptr},  // the same, even where the name shows it in place of "$2"
        {"**", "Zugang **"},     // what the list shows is searched
        {"nirgends", nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        messages.messages.clear();
        const QString before = SelectedName();
        const bool found = Finder().FindNext(QString::fromUtf8(c.text));
        if (c.found)
        {
            EXPECT_TRUE(found);
            EXPECT_EQ(SelectedName(), QString::fromUtf8(c.found));
            EXPECT_TRUE(messages.messages.empty());
        }
        else
        {
            EXPECT_FALSE(found);
            EXPECT_EQ(SelectedName(), before);
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].text, "„" + std::string(c.text) + "“ wurde nicht gefunden.");
        }
    }
}

TEST_F(EntryFinderTest, CtrlFAndTheExtrasMenuOpenTheFindDialogWhoseButtonFindsNext)
{
    QAction* item = nullptr;
    for (QAction* menu : window.MenuBar()->actions())
    {
        if (menu->text() == QStringLiteral("E&xtras"))
        {
            const QList<QAction*> items = menu->menu()->actions();
            // The menu's own items stay, the new one comes behind them.
            ASSERT_GE(items.size(), 3);
            EXPECT_EQ(items[0]->text(), QStringLiteral("&Passwort ändern"));
            EXPECT_EQ(items[1]->text(), QStringLiteral("&Config"));
            item = items.back();
        }
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Suchen..."));
    EXPECT_EQ(item, Finder().FindAction()) << "the menu item is the command that finds, not a text beside it";

    Activate();
    QString selectedWhileOpen;
    QTimer::singleShot(0,
                       [&]
                       {
                           auto* dialog = qobject_cast<FindDialog*>(QApplication::activeModalWidget());
                           ASSERT_NE(dialog, nullptr);
                           dialog->TextEdit()->setText(QStringLiteral("KUNDE"));
                           QTest::mouseClick(dialog->ControlAs<QPushButton>(IDOK), Qt::LeftButton);
                           selectedWhileOpen = SelectedName();
                           QTest::mouseClick(dialog->ControlAs<QPushButton>(IDCANCEL), Qt::LeftButton);
                       });
    QTest::keyClick(window.EntryList(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(selectedWhileOpen, QStringLiteral("Shop"));
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "platform/CommandIds.h"
#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "support/WaitFor.h"
#include "ui/MainWindow.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

// Counts the entry commands that the keyboard rule and the buttons start.
class CountingMainWindow final : public MainWindow
{
public:
    void OnAddEntry() override
    {
        ++adds;
    }
    void OnDeleteEntry() override
    {
        ++deletes;
    }
    void OnChangeEntry() override
    {
        ++changes;
    }
    int adds = 0;
    int deletes = 0;
    int changes = 0;
};

class MainWindowTest : public ::testing::Test
{
protected:
    // Creates the window's controls for the store as the test prepared it.
    void Open()
    {
        window.Create();
        window.show();
    }

    QStringList FilterItems() const
    {
        QStringList items;
        for (int i = 0; i < window.CategoryFilter()->count(); ++i)
        {
            items << window.CategoryFilter()->itemText(i);
        }
        return items;
    }

    QStringList Column(int column) const
    {
        QStringList texts;
        QTreeWidget* list = window.EntryList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
        {
            texts << list->topLevelItem(i)->text(column);
        }
        return texts;
    }

    void SelectFilter(const QString& text)
    {
        int index = window.CategoryFilter()->findText(text);
        ASSERT_GE(index, 0);
        window.CategoryFilter()->setCurrentIndex(index);
    }

    void SelectRow(int row)
    {
        QTreeWidget* list = window.EntryList();
        list->setCurrentItem(list->topLevelItem(row));
    }

    void Activate()
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    CountingMainWindow window;
};

TEST_F(MainWindowTest, FilterListsTheCategoriesInReverseStoreOrder)
{
    Open();
    EXPECT_EQ(FilterItems(), (QStringList{"alle Kategorien anzeigen", " Hmm?", "Datenbank", "PIN/TAN", "Web-Site",
                                          "TELNET", "DFÜ", "FTP"}));
    EXPECT_EQ(window.CategoryFilter()->currentIndex(), 0);
    EXPECT_EQ(window.EntryList()->topLevelItemCount(), 0);
    QTreeWidgetItem* header = window.EntryList()->headerItem();
    EXPECT_EQ(header->text(0), "Kategorie");
    EXPECT_EQ(header->text(1), "Name");
    EXPECT_EQ(header->text(2), "Beschreibung");
    EXPECT_EQ(window.EntryList()->columnWidth(0), 120);
    EXPECT_EQ(window.EntryList()->columnWidth(1), 180);
    EXPECT_EQ(window.EntryList()->columnWidth(2), 290);
}

TEST_F(MainWindowTest, RowsShowCategoryImageAndExpandedTextsSortedByCategory)
{
    PasswordStore& store = window.Store();
    store.AddCategory("Bank", "User", "PIN (*)", "Note");
    store.AddEntry("FTP", "Login $1", "$3 / $2", "anna", "pw", "ftp.example");
    store.AddEntry(" Hmm?", "$1", "$3", "new key", "new password", "new details");
    store.AddEntry("Bank", "Konto $2", "$1$2$3", "k", "1234", "x");
    store.AddEntry("Unbekannt", "$1 $2 $3", "ohne Kategorie", "a", "b", "c");
    store.AddEntry("DF\xDC", "Einwahl $2", "$1 $2$3", "$2", "1x", "9");
    Open();

    EXPECT_EQ(Column(0), (QStringList{"  Hmm?", " Bank", " DFÜ", " FTP", " Unbekannt"}));
    EXPECT_EQ(Column(1), (QStringList{"new key", "Konto **", "Einwahl **", "Login anna", "a b c"}));
    // A value holding "$2" is expanded in turn, since the replacements run $1, $2, $3.
    EXPECT_EQ(Column(2), (QStringList{"new details", "k**x", "** **9", "ftp.example / **", "ohne Kategorie"}));

    const int expectedImages[] = {7, 0, 3, 4, 0};
    for (int row = 0; row < 5; ++row)
    {
        SCOPED_TRACE(row);
        EXPECT_EQ(window.EntryList()->topLevelItem(row)->icon(0).cacheKey(),
                  window.CategoryImage(expectedImages[row]).cacheKey());
    }
    // The last entry in store order is selected and shown.
    EXPECT_EQ(window.EntryList()->currentItem()->text(1), "Einwahl **");
    EXPECT_EQ(window.DetailField(1)->text(), "$2");
}

TEST_F(MainWindowTest, CategoryRecordBehindItsEntriesStillDecidesTheMasks)
{
    PasswordStore& store = window.Store();
    store.AddEntry("Spaet", "$1", "$2", "vorn", "x", "");
    store.AddCategory("Spaet", "Code (*)", "Klar", "");
    store.AddCategory("Spaet", "Klar", "Code (*)", ""); // a second record of the name counts for nothing
    store.AddEntry("Spaet", "$1", "$2", "hinten", "y", "");
    Open();
    EXPECT_EQ(Column(1), (QStringList{"*", "*"}));
    EXPECT_EQ(Column(2), (QStringList{"x", "y"}));
}

TEST_F(MainWindowTest, CategoryImageTableMatchesExactNames)
{
    const std::pair<const char*, int> cases[] = {
        {"TELNET", 0},  {"Datenbank", 1}, {"DF\xDC", 3}, {"FTP", 4}, {"Web-Site", 5},
        {"PIN/TAN", 6}, {" Hmm?", 7},     {"Hmm?", 0},   {"ftp", 0}, {"", 0},
    };
    for (const auto& [name, index] : cases)
    {
        EXPECT_EQ(MainWindow::CategoryImageIndex(name), index) << name;
    }
    Open();
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(window.CategoryImage(i).availableSizes().value(0), QSize(32, 32));
        for (int j = 0; j < i; ++j)
        {
            EXPECT_NE(window.CategoryImage(i).pixmap(32).toImage(), window.CategoryImage(j).pixmap(32).toImage());
        }
    }
    EXPECT_FALSE(window.ProgramIcon().isNull());
}

TEST_F(MainWindowTest, RowsOfEqualNamesEachShowTheirOwnEntry)
{
    PasswordStore& store = window.Store();
    PasswordStore::Position first = store.AddEntry("FTP", "Server", "erster", "anna", "eins", "a.example");
    PasswordStore::Position second = store.AddEntry("FTP", "Server", "zweiter", "bert", "zwei", "b.example");
    Open();

    ASSERT_EQ(Column(1), (QStringList{"Server", "Server"}));
    EXPECT_EQ(window.RowEntry(window.EntryList()->topLevelItem(0)), first);
    EXPECT_EQ(window.RowEntry(window.EntryList()->topLevelItem(1)), second);
    EXPECT_EQ(window.DetailField(1)->text(), "bert");
    SelectRow(0);
    EXPECT_EQ(window.DetailField(1)->text(), "anna");
    EXPECT_EQ(window.DetailField(3)->text(), "a.example");
    SelectRow(1);
    EXPECT_EQ(window.DetailField(1)->text(), "bert");
}

TEST_F(MainWindowTest, FilterRestrictsTheListAndAnEmptyListClearsTheDetails)
{
    PasswordStore& store = window.Store();
    store.AddEntry("FTP", "ftp1", "", "u1", "geheim", "h1");
    store.AddEntry("TELNET", "tel", "", "u2", "p2", "h2");
    store.AddEntry("FTP", "ftp2", "", "u3", "p3", "h3");
    Open();
    EXPECT_EQ(Column(1), (QStringList{"ftp1", "ftp2", "tel"}));

    SelectFilter("FTP");
    EXPECT_EQ(Column(1), (QStringList{"ftp1", "ftp2"}));
    EXPECT_EQ(window.EntryList()->currentItem()->text(1), "ftp2");
    EXPECT_EQ(window.DetailValue(2), "p3");

    SelectFilter("Datenbank");
    EXPECT_EQ(window.EntryList()->topLevelItemCount(), 0);
    for (int i = 1; i <= 3; ++i)
    {
        EXPECT_TRUE(window.DetailField(i)->text().isEmpty());
        EXPECT_TRUE(window.DetailLabel(i)->text().isEmpty());
    }
}

TEST_F(MainWindowTest, DetailFieldsShowLabelsLineBreaksAndMasks)
{
    window.Store().AddEntry("PIN/TAN", "Bank", "", "DE12", "12\r\n34", "x");
    window.Store().AddCategory("Fast", "PIN (*) ", "PIN(*)x", "");
    window.Store().AddEntry("Fast", "Fast", "", "v1", "v2", "zeile1\r\nzeile2");
    Open();

    EXPECT_EQ(window.DetailLabel(1)->text(), "&1: PIN (*) ");
    EXPECT_EQ(window.DetailLabel(2)->text(), "&2: PIN(*)x");
    EXPECT_EQ(window.DetailLabel(3)->text(), "&3: ");
    EXPECT_EQ(window.DetailField(3)->text(), "zeile1 <> zeile2");
    for (int i = 1; i <= 3; ++i)
    {
        EXPECT_EQ(window.DetailField(i)->echoMode(), QLineEdit::Normal) << i;
    }

    ASSERT_EQ(Column(0), (QStringList{" Fast", " PIN/TAN"}));
    SelectRow(1);
    EXPECT_EQ(window.DetailLabel(1)->text(), "&1: Konto");
    EXPECT_EQ(window.DetailLabel(2)->text(), "&2: PIN (*)");
    EXPECT_EQ(window.DetailValue(2), "12 <> 34");
    EXPECT_EQ(window.DetailField(1)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(window.DetailField(2)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window.DetailField(3)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window.DetailField(2)->displayText(), QString(8, QLatin1Char('*')));
    EXPECT_EQ(window.DetailLabel(2)->buddy(), window.DetailField(2));
}

TEST_F(MainWindowTest, EveryBuiltInLabelShowsWholeOnOneLineAtTheMinimumSize)
{
    PasswordStore& store = window.Store();
    std::vector<std::string> categories;
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store.GetAt(pos)))
        {
            categories.emplace_back(std::string_view(store.GetEntryField(pos, 1)));
        }
    }
    for (const std::string& category : categories)
    {
        store.AddEntry(category, category, "", "", "", "");
    }
    Open();
    ASSERT_EQ(window.size(), window.minimumSize());
    ASSERT_EQ(window.EntryList()->topLevelItemCount(), static_cast<int>(categories.size()));

    bool passwordSeen = false;
    for (int row = 0; row < window.EntryList()->topLevelItemCount(); ++row)
    {
        SelectRow(row);
        for (int i = 1; i <= 3; ++i)
        {
            const QLabel* label = window.DetailLabel(i);
            QString shown = label->text();
            shown.remove(QLatin1Char('&'));
            SCOPED_TRACE(shown.toStdString());
            passwordSeen = passwordSeen || shown == "2: Password (*)";
            EXPECT_FALSE(label->wordWrap());
            EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(shown));
            EXPECT_GE(label->height(), QFontMetrics(label->font()).height());
            EXPECT_LE(label->x() + label->width(), window.DetailField(i)->x());
        }
    }
    EXPECT_TRUE(passwordSeen);
}

TEST_F(MainWindowTest, TheRealTreePlacesTheControlsAtTheirWorkedOutPositions)
{
    Open();
    ASSERT_EQ(window.size(), window.minimumSize());
    // Template sizes in pixels: x * base x / 4, y * base y / 8.
    const DialogUnits units(window.font());
    const auto px = [&](int x) { return x * units.BaseX() / 4; };
    const auto py = [&](int y) { return y * units.BaseY() / 8; };
    const int menu = window.MenuBar()->sizeHint().height();
    const int combo = window.CategoryFilter()->sizeHint().height();
    // The label column is as wide as the widest label text (see the test above).
    const int labelCell = window.DetailLabel(1)->width() + 1;
    ASSERT_GE(labelCell, px(40));

    // Root left and top borders (2, 3) twice, then the 5-pixel margins.
    EXPECT_EQ(window.Control(MainWindow::kFilterLabelId)->pos(), QPoint(9, menu + 11));

    // The main column is as wide as its widest child: the list (304), the filter row
    // (52 + 248) or the bottom row: three buttons of 50 with two gaps of 10, the button
    // block's 1-pixel right border, the gap of 10, the label column and an edit of 92.
    const int column = std::max({px(304), px(52) + px(248), 3 * px(50) + 20 + 1 + 10 + labelCell + px(92)});
    // The list starts under the filter row (label 8 high or the combo box) and a gap of 10.
    const int listTop = 11 + std::max(py(8), combo) + 10;
    EXPECT_EQ(window.EntryList()->geometry(), QRect(9, menu + listTop, column, py(124)));

    // The bottom row starts under the list and a gap of 10; "Hilfe" is the third button of
    // the second button row, each button 50 wide with gaps of 10.
    const int bottomTop = listTop + py(124) + 10;
    EXPECT_EQ(window.Control(command::kHelp)->geometry(),
              QRect(9 + 2 * (px(50) + 10), menu + bottomTop + py(14) + 10, px(50), py(14)));
    // A button but the last of its row leaves its row's 1-pixel gap.
    EXPECT_EQ(window.Control(IDOK)->width(), px(50) - 1);

    // Detail field 1 follows the label column and takes the rest of the width; the row is
    // as high as the taller of label (8) and field (12), each centred on it.
    const int detailLeft = 9 + 3 * px(50) + 20 + 1 + 10;
    const int row = std::max(py(8), py(12));
    EXPECT_EQ(window.DetailField(1)->geometry(), QRect(detailLeft + labelCell, menu + bottomTop + (row - py(12)) / 2,
                                                       9 + column - detailLeft - labelCell, py(12)));
    EXPECT_EQ(window.DetailLabel(1)->pos(), QPoint(detailLeft, menu + bottomTop + (row - py(8)) / 2));

    // The minimum height: margins 5 + 5, the filter row, two gaps of 10, the list, the
    // bottom row (two button rows and a gap, or three detail rows and two gaps), the root's
    // top and bottom borders (3 + 6) and the menu bar.
    const int bottomRow = std::max(2 * py(14) + 10, 3 * row + 20);
    EXPECT_EQ(window.minimumHeight(), 5 + std::max(py(8), combo) + 10 + py(124) + 10 + bottomRow + 5 + 9 + menu);

    // Extra room goes to the list, in both directions, and to the detail fields' width.
    const QRect list = window.EntryList()->geometry();
    const QRect field = window.DetailField(3)->geometry();
    window.resize(window.width() + 100, window.height() + 50);
    EXPECT_EQ(window.EntryList()->geometry(), list.adjusted(0, 0, 100, 50));
    EXPECT_EQ(window.DetailField(3)->geometry(), field.adjusted(0, 50, 100, 50));
}

TEST_F(MainWindowTest, FocusRevealsAndLeavingMasksAgain)
{
    settings.Write("Config", "HideTimer (mSec)", "60000");
    window.Store().AddEntry("PIN/TAN", "Bank", "", "DE12", "1234", "5678");
    Open();
    Activate();

    window.DetailField(2)->setFocus();
    EXPECT_EQ(window.DetailField(2)->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(window.HideTimerActive());

    window.DetailField(3)->setFocus();
    EXPECT_EQ(window.DetailField(2)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window.DetailField(3)->echoMode(), QLineEdit::Normal);

    window.DetailField(1)->setFocus(); // not secret: stays clear, nothing to reveal
    EXPECT_EQ(window.DetailField(1)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(window.DetailField(3)->echoMode(), QLineEdit::Password);

    window.DetailField(2)->setFocus();
    window.ShowEntryDetails(); // every refresh masks, also the focused field
    EXPECT_EQ(window.DetailField(2)->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(window.DetailField(2)->hasFocus());
}

TEST_F(MainWindowTest, HideTimerMasksTheFocusedFieldWithTheDelayReadAtReveal)
{
    window.Store().AddEntry("PIN/TAN", "Bank", "", "DE12", "1234", "5678");
    Open();
    Activate();
    settings.Write("Config", "HideTimer (mSec)", "50");
    window.DetailField(3)->setFocus();
    EXPECT_EQ(window.DetailField(3)->echoMode(), QLineEdit::Normal);
    EXPECT_SOON(window.DetailField(3)->echoMode() == QLineEdit::Password, 2000);
    EXPECT_TRUE(window.DetailField(3)->hasFocus());
    EXPECT_FALSE(window.HideTimerActive());
}

TEST_F(MainWindowTest, UnsetOrZeroHideDelayIsStoredBackAsDefault)
{
    window.Store().AddEntry("PIN/TAN", "Bank", "", "DE12", "1234", "5678");
    Open();
    Activate();
    for (const char* stored : {"", "0"})
    {
        SCOPED_TRACE(stored);
        if (*stored)
        {
            settings.Write("Config", "HideTimer (mSec)", stored);
        }
        else
        {
            settings.Erase("Config", "HideTimer (mSec)");
        }
        window.DetailField(1)->setFocus();
        window.DetailField(2)->setFocus();
        EXPECT_EQ(settings.Read("Config", "HideTimer (mSec)"), "2000");
    }
}

TEST(MainWindowKeyRuleTest, OnlyFirstPressOfNavigationInsertAndDeleteAct)
{
    using Key = MainWindow::EntryKey;
    struct Case
    {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        bool autoRepeat;
        Key expected;
    };
    const Case cases[] = {
        {"Insert", Qt::Key_Insert, Qt::NoModifier, false, Key::Add},
        {"Delete", Qt::Key_Delete, Qt::NoModifier, false, Key::Delete},
        {"keypad Insert", Qt::Key_Insert, Qt::KeypadModifier, false, Key::None},
        {"keypad Delete", Qt::Key_Delete, Qt::KeypadModifier, false, Key::None},
        {"auto-repeated Insert", Qt::Key_Insert, Qt::NoModifier, true, Key::None},
        {"auto-repeated Delete", Qt::Key_Delete, Qt::NoModifier, true, Key::None},
        {"Alt+Insert", Qt::Key_Insert, Qt::AltModifier, false, Key::None},
        {"Alt+Delete", Qt::Key_Delete, Qt::AltModifier, false, Key::None},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, false, Key::None},
        {"Down", Qt::Key_Down, Qt::NoModifier, false, Key::None},
    };
    for (const Case& c : cases)
    {
        QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, QString(), c.autoRepeat);
        EXPECT_EQ(MainWindow::EntryKeyCommand(event), c.expected) << c.name;
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Insert, Qt::NoModifier);
    EXPECT_EQ(MainWindow::EntryKeyCommand(release), Key::None);
}

TEST_F(MainWindowTest, KeysInTheListAndButtonsStartTheEntryCommands)
{
    window.Store().AddEntry("FTP", "a", "", "", "", "");
    Open();
    QTreeWidget* list = window.EntryList();
    QTest::keyClick(list, Qt::Key_Insert);
    QTest::keyClick(list, Qt::Key_Insert, Qt::KeypadModifier);
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(list, &repeated);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(window.adds, 1);
    EXPECT_EQ(window.deletes, 1);

    window.ControlAs<QPushButton>(MainWindow::kAddId)->click();
    window.ControlAs<QPushButton>(MainWindow::kDeleteId)->click();
    window.ControlAs<QPushButton>(MainWindow::kChangeId)->click();
    const QPoint row = list->visualItemRect(list->topLevelItem(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_EQ(window.adds, 2);
    EXPECT_EQ(window.deletes, 2);
    EXPECT_EQ(window.changes, 2);
}

TEST_F(MainWindowTest, EnterOnAFocusedButtonPressesThatButtonAndNotTheDefault)
{
    window.Store().AddEntry("FTP", "a", "", "", "", "");
    Open();
    Activate();
    const std::pair<int, int CountingMainWindow::*> cases[] = {
        {1, &CountingMainWindow::adds},    // "&Hinzufügen"
        {2, &CountingMainWindow::deletes}, // "&Löschen"
        {3, &CountingMainWindow::changes}, // "&Ändern"
    };
    for (const auto& [tabs, counter] : cases)
    {
        SCOPED_TRACE(tabs);
        window.EntryList()->setFocus();
        for (int i = 0; i < tabs; ++i)
        {
            QTest::keyClick(window.windowHandle(), Qt::Key_Tab);
        }
        ASSERT_NE(qobject_cast<QPushButton*>(QApplication::focusWidget()), nullptr);
        const int before = window.*counter;
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        EXPECT_EQ(window.*counter, before + 1);
        EXPECT_TRUE(window.isVisible()) << "Enter on a button must not hide the window";
    }
    EXPECT_EQ(window.adds + window.deletes + window.changes, 3);

    // Where no button has the focus, Enter is "&Verbergen".
    window.EntryList()->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible() && !window.isMinimized());
}

TEST_F(MainWindowTest, HeadingClicksShowANoticeAndSortNothing)
{
    window.Store().AddEntry("TELNET", "b", "", "", "", "");
    window.Store().AddEntry("FTP", "z", "", "", "", "");
    window.Store().AddEntry("FTP", "a", "", "", "", "");
    Open();
    const QStringList before = Column(1);
    QHeaderView* header = window.EntryList()->header();
    for (int column : {1, 0, 2})
    {
        QPoint inside(header->sectionViewportPosition(column) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, inside);
    }
    ASSERT_EQ(messages.messages.size(), 3u);
    EXPECT_EQ(messages.messages[0].text, "Spaltensortierung nach Name ist noch nicht implementiert!");
    EXPECT_EQ(messages.messages[1].text, "Spaltensortierung ist noch nicht implementiert!");
    EXPECT_EQ(messages.messages[2].text, "Spaltensortierung ist noch nicht implementiert!");
    EXPECT_EQ(messages.messages[0].caption, "Beta-Version");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(Column(1), before);
    EXPECT_EQ(before, (QStringList{"z", "a", "b"}));
}

TEST_F(MainWindowTest, HelpOpensTheShippedGermanPage)
{
    QStandardPaths::setTestModeEnabled(true);
    QUrl opened;
    window.SetUrlOpener(
        [&](const QUrl& url)
        {
            opened = url;
            return true;
        });
    Open();
    window.ControlAs<QPushButton>(57670)->click();
    ASSERT_TRUE(opened.isLocalFile());
    QFile page(opened.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("lang=\"de\"")));
    for (const char* topic : {"Datei speichern unter", "Passwort ändern", "Hinzufügen", "Ausblendzeit"})
    {
        EXPECT_TRUE(html.contains(QString::fromUtf8(topic))) << topic;
    }
    EXPECT_TRUE(messages.messages.empty());

    window.SetUrlOpener([](const QUrl&) { return false; });
    window.ControlAs<QPushButton>(57670)->click();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind("Die Hilfeseite konnte nicht geöffnet werden", 0), 0u);
}

// Without a browser the desktop's handler starts, finds none and ends with an error code: the
// user learns where the page is. A handler that shows the page says nothing.
TEST_F(MainWindowTest, HelpWithoutABrowserSaysWhereThePageIs)
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString ran = bin.filePath(QStringLiteral("ran"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ":" + path);
    struct Case
    {
        const char* name;
        int exitCode; // xdg-open's: 3 when no tool to open the file was found
        bool told;
    };
    const Case cases[] = {{"no browser", 3, true}, {"browser shown", 0, false}};
    Open();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        messages.messages.clear();
        QFile::remove(ran);
        QFile handler(bin.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(handler.open(QIODevice::WriteOnly | QIODevice::Truncate));
        handler.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\nexit %2\n").arg(ran).arg(c.exitCode).toUtf8());
        handler.close();
        handler.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        window.ControlAs<QPushButton>(57670)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(ran); }, 5000)) << "the handler never ran";
        QFile asked(ran);
        ASSERT_TRUE(asked.open(QIODevice::ReadOnly));
        const QUrl page(QString::fromUtf8(asked.readAll().trimmed()));
        ASSERT_TRUE(page.isLocalFile());
        if (c.told)
        {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.empty(); }, 5000)) << "nothing said";
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].text,
                      "Die Hilfeseite konnte nicht geöffnet werden:\n" + page.toLocalFile().toStdString());
            EXPECT_EQ(messages.messages[0].caption, "Hilfe");
        }
        else
        {
            QTest::qWait(300);
            EXPECT_TRUE(messages.messages.empty());
        }
    }
    qputenv("PATH", path);
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "settings/Settings.h"
#include "store/PasswordStore.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "ui/EditEntryDialog.h"
#include "ui/SecretSelection.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

class EditEntryDialogTest : public ::testing::Test
{
protected:
    EditEntryDialogTest()
    {
        // The main window's filter: its first item, then the categories in reverse store order.
        filter.addItem(QStringLiteral("alle Kategorien anzeigen"));
        for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
        {
            if (std::string_view(store.GetAt(pos)).starts_with("_C_"))
            {
                filter.insertItem(1, QString::fromLatin1(std::string_view(store.GetEntryField(pos, 1))));
            }
        }
    }

    // Prepares the dialog as the change command does and opens it.
    void Open(EditEntryDialog& dialog, std::string_view category, std::string_view name = "Name",
              std::string_view description = "Beschreibung")
    {
        dialog.category = ToSecure(category);
        dialog.name = ToSecure(name);
        dialog.description = ToSecure(description);
        PasswordStore::Position record = store.FindCategory(category);
        for (int i = 1; i <= 3; ++i)
        {
            dialog.values[static_cast<std::size_t>(i - 1)] = ToSecure("wert" + std::to_string(i));
            dialog.labels[static_cast<std::size_t>(i - 1)] =
                QStringLiteral("$&%1: ").arg(i) +
                QString::fromLatin1(std::string_view(store.GetCategoryLabel(record, i)));
        }
        dialog.store = &store;
        dialog.sourceFilter = &filter;
        dialog.show();
    }

    static void Activate(QWidget& window)
    {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    static QStringList Labels(const EditEntryDialog& dialog)
    {
        return {dialog.Label(1)->text(), dialog.Label(2)->text(), dialog.Label(3)->text()};
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    PasswordStore store;
    QComboBox filter;
};

TEST_F(EditEntryDialogTest, OpensWithTheEntrysCategoryLabelsAndTexts)
{
    EditEntryDialog dialog;
    Open(dialog, "PIN/TAN");

    EXPECT_EQ(dialog.windowTitle(), "Eintrag Hinzufügen");
    QStringList items;
    for (int i = 0; i < dialog.CategoryList()->count(); ++i)
    {
        items << dialog.CategoryList()->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{" Hmm?", "Datenbank", "PIN/TAN", "Web-Site", "TELNET", "DFÜ", "FTP"}));
    EXPECT_EQ(dialog.CategoryList()->currentText(), "PIN/TAN");
    EXPECT_EQ(Labels(dialog), (QStringList{"$&1: Konto", "$&2: PIN (*)", "$&3: TAN (*)"}));
    EXPECT_EQ(dialog.NameEdit()->text(), "Name");
    EXPECT_EQ(dialog.DescriptionEdit()->text(), "Beschreibung");
    EXPECT_EQ(dialog.ValueEdit(3)->toPlainText(), "wert3");

    Activate(dialog);
    EXPECT_TRUE(dialog.CategoryList()->hasFocus());
    // The labels' digits lead into their value fields.
    EXPECT_EQ(dialog.Label(2)->buddy(), dialog.ValueEdit(2));
    dialog.done(IDCANCEL);
}

TEST_F(EditEntryDialogTest, ChoosingACategoryRelabelsAndKeepsWhatWasTyped)
{
    filter.addItem(QStringLiteral("Ohne Datensatz"));
    EditEntryDialog dialog;
    Open(dialog, "PIN/TAN");
    dialog.NameEdit()->setText(QStringLiteral("getippt"));
    dialog.ValueEdit(2)->setPlainText(QStringLiteral("a\nΩ")); // not storable, yet kept while relabelling

    // Values under a secret label stand in clear here: they are kept from the primary selection.
    auto marked = [&dialog]
    {
        return std::vector<bool>{IsMarkedSecretField(dialog.ValueEdit(1)), IsMarkedSecretField(dialog.ValueEdit(2)),
                                 IsMarkedSecretField(dialog.ValueEdit(3))};
    };
    EXPECT_EQ(marked(), (std::vector<bool>{false, true, true}));
    dialog.CategoryList()->setCurrentIndex(dialog.CategoryList()->findText(QStringLiteral("FTP")));
    EXPECT_EQ(Labels(dialog), (QStringList{"$&1: User", "$&2: Password (*)", "$&3: Host"}));
    EXPECT_EQ(marked(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(dialog.NameEdit()->text(), "getippt");
    EXPECT_EQ(dialog.ValueEdit(2)->toPlainText(), "a\nΩ");
    EXPECT_EQ(dialog.ValueEdit(1)->toPlainText(), "wert1");

    // A category without a record leaves the labels as they are.
    dialog.CategoryList()->setCurrentIndex(dialog.CategoryList()->findText(QStringLiteral("Ohne Datensatz")));
    EXPECT_EQ(Labels(dialog), (QStringList{"$&1: User", "$&2: Password (*)", "$&3: Host"}));
    EXPECT_TRUE(messages.messages.empty());
    dialog.done(IDCANCEL);
}

TEST_F(EditEntryDialogTest, EnterBreaksALineInAValueAndConfirmsInTheName)
{
    EditEntryDialog dialog;
    Open(dialog, "FTP");
    Activate(dialog);

    QPlainTextEdit* value = dialog.ValueEdit(3);
    value->setFocus();
    value->moveCursor(QTextCursor::End);
    QTest::keyClick(value, Qt::Key_Return);
    QTest::keyClicks(value, QStringLiteral("zeile 2"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(value->toPlainText(), "wert3\nzeile 2");

    dialog.NameEdit()->setFocus();
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.values[2], "wert3\r\nzeile 2");
    EXPECT_EQ(dialog.category, "FTP");
}

TEST_F(EditEntryDialogTest, EnterOnTheFocusedCancelButtonCancelsAndKeepsNothing)
{
    EditEntryDialog dialog;
    Open(dialog, "FTP");
    Activate(dialog);
    dialog.NameEdit()->setText(QStringLiteral("getippt"));

    // Tab from the category list to "Cancel", as the user does.
    auto* cancel = dialog.ControlAs<QPushButton>(IDCANCEL);
    for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != cancel; ++tabs)
    {
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), cancel);
    QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.name, "Name");
}

TEST_F(EditEntryDialogTest, LongLabelsShowWholeOnOneLineAndTheColumnStaysAligned)
{
    store.AddCategory("Lang", "Kundennummer beim Anbieter", "Password (*)", "");
    filter.insertItem(1, QStringLiteral("Lang"));
    EditEntryDialog dialog;
    Open(dialog, "FTP");
    // Choosing the category shows its long label in the row of value 1.
    dialog.CategoryList()->setCurrentIndex(dialog.CategoryList()->findText(QStringLiteral("Lang")));
    const QLabel* label = dialog.Label(1);
    ASSERT_EQ(label->text(), "$&1: Kundennummer beim Anbieter");
    EXPECT_FALSE(label->wordWrap());
    EXPECT_GE(label->width(),
              QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("$1: Kundennummer beim Anbieter")));
    EXPECT_LE(label->x() + label->width(), dialog.ValueEdit(1)->x());
    // The rows above keep their fields in line with it.
    EXPECT_EQ(dialog.NameEdit()->x(), dialog.ValueEdit(1)->x());
    dialog.done(IDCANCEL);
}

TEST_F(EditEntryDialogTest, TextsTheRecordCannotHoldAreRefusedAndTheDialogStaysOpen)
{
    struct Case
    {
        const char* name;
        int control; // 0: name, 1 .. 3: value
        QString text;
        const char* expectedPart;
    };
    const Case cases[] = {
        {"separator in the name", 0, QStringLiteral("a_|_b"), "„_|_“ trennt"},
        {"name ending in _|", 0, QStringLiteral("ende_|"), "nicht auf „_|“ enden"},
        {"separator over a line break", 3, QStringLiteral("zeile\n_|_"), "Das Feld „$3: TAN (*)“"},
        {"character outside cp1252", 2, QStringLiteral("Ω"), "Windows-1252"},
        {"character outside the basic plane", 1, QStringLiteral("x😀"), "Das Feld „$1: Konto“"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        messages.messages.clear();
        EditEntryDialog dialog;
        Open(dialog, "PIN/TAN");
        Activate(dialog);
        QWidget* control = c.control == 0 ? static_cast<QWidget*>(dialog.NameEdit()) : dialog.ValueEdit(c.control);
        if (c.control == 0)
        {
            dialog.NameEdit()->setText(c.text);
        }
        else
        {
            dialog.ValueEdit(c.control)->setPlainText(c.text);
        }

        dialog.ControlAs<QPushButton>(IDOK)->click();

        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_NE(messages.messages[0].text.find(c.expectedPart), std::string::npos) << messages.messages[0].text;
        EXPECT_EQ(messages.messages[0].caption, "Information");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_TRUE(control->hasFocus());
        EXPECT_EQ(dialog.name, "Name"); // nothing taken over

        // Mended, the same dialog confirms.
        if (c.control == 0)
        {
            dialog.NameEdit()->setText(QStringLiteral("gut"));
        }
        else
        {
            dialog.ValueEdit(c.control)->setPlainText(QStringLiteral("gut"));
        }
        dialog.ControlAs<QPushButton>(IDOK)->click();
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_EQ(c.control == 0 ? dialog.name : dialog.values[static_cast<std::size_t>(c.control - 1)], "gut");
    }
}

TEST_F(EditEntryDialogTest, WesternCharactersAreStoredAsCp1252)
{
    EditEntryDialog dialog;
    Open(dialog, "FTP");
    dialog.DescriptionEdit()->setText(QStringLiteral("Müller – 5 € „x“"));
    dialog.ValueEdit(1)->setPlainText(QStringLiteral("a\u00A0b")); // no-break space stays one
    dialog.ControlAs<QPushButton>(IDOK)->click();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.description, "M\xFCller \x96 5 \x80 \x84x\x93");
    EXPECT_EQ(dialog.values[0], "a\xA0"
                                "b");
}

TEST_F(EditEntryDialogTest, OkKeepsACategoryTheListLacksAndPrefersTheExactCase)
{
    {
        EditEntryDialog dialog;
        Open(dialog, "Unbekannt");
        EXPECT_EQ(dialog.CategoryList()->currentIndex(), -1);
        dialog.ControlAs<QPushButton>(IDOK)->click();
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_EQ(dialog.category, "Unbekannt");
    }
    {
        EditEntryDialog dialog;
        Open(dialog, "ftp"); // only "FTP" is listed
        EXPECT_EQ(dialog.CategoryList()->currentText(), "FTP");
        dialog.done(IDCANCEL);
    }
    filter.insertItem(1, QStringLiteral("ftp"));
    EditEntryDialog dialog;
    Open(dialog, "ftp");
    EXPECT_EQ(dialog.CategoryList()->currentText(), "ftp");
    dialog.ControlAs<QPushButton>(IDOK)->click();
    EXPECT_EQ(dialog.category, "ftp");
}

TEST_F(EditEntryDialogTest, ButtonsStandUnderTheLastLabelAndValueThreeTakesTheRoom)
{
    EditEntryDialog dialog;
    Open(dialog, "FTP");
    dialog.resize(dialog.width() + 200, dialog.height() + 150);
    QApplication::processEvents();

    const QRect label3 = dialog.Label(3)->geometry();
    const QRect ok = dialog.Control(IDOK)->geometry();
    const QRect cancel = dialog.Control(IDCANCEL)->geometry();
    const QRect value3 = dialog.ValueEdit(3)->geometry();
    EXPECT_GT(ok.top(), label3.bottom());
    EXPECT_GT(cancel.top(), ok.bottom());
    EXPECT_LT(ok.right(), value3.left());
    EXPECT_EQ(cancel.bottom(), value3.bottom());
    EXPECT_GT(value3.height(), dialog.ValueEdit(2)->height());
    // The fields reach the right edge and value 3 the bottom, less the margins.
    EXPECT_GT(value3.right(), dialog.width() - 20);
    EXPECT_GT(value3.bottom(), dialog.height() - 20);
    EXPECT_EQ(dialog.NameEdit()->geometry().right(), value3.right());
    dialog.done(IDCANCEL);
}

TEST_F(EditEntryDialogTest, PlacementIsRestoredOnTheNextOpening)
{
    QRect closedAt;
    {
        EditEntryDialog dialog;
        Open(dialog, "FTP");
        closedAt = QRect(dialog.x() + 30, dialog.y() + 20, dialog.width() + 80, dialog.height() + 60);
        dialog.setGeometry(closedAt);
        QApplication::processEvents();
        dialog.ControlAs<QPushButton>(IDCANCEL)->click();
    }
    EXPECT_EQ(settings.Read("DlgPos_EditEntry", "Left"), std::to_string(closedAt.left()));

    EditEntryDialog again;
    Open(again, "FTP");
    EXPECT_EQ(again.geometry(), closedAt);
    again.done(IDCANCEL);
}

} // namespace
} // namespace kavelmark

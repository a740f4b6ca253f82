#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/QtText.h"
#include "settings/Settings.h"
#include "store/PasswordStore.h"
#include "support/MessageRecorder.h"
#include "ui/EditEntryDialog.h"
#include "ui/GeneratorDialog.h"

namespace kavelmark
{
namespace
{

class GeneratorDialogTest : public ::testing::Test
{
protected:
    QString Candidate(const GeneratorDialog& dialog) const
    {
        return dialog.ControlAs<QLineEdit>(GeneratorDialog::kCandidateId)->text();
    }
    QString Strength(const GeneratorDialog& dialog) const
    {
        return dialog.ControlAs<QLabel>(GeneratorDialog::kStrengthId)->text();
    }
    static void Check(GeneratorDialog& dialog, int id, bool on)
    {
        dialog.ControlAs<QCheckBox>(id)->setChecked(on);
    }

    // Answers the generator the field's menu opens, once it runs: OK or Abbrechen.
    static void AnswerGenerator(int button, QString& shown)
    {
        QTimer::singleShot(0,
                           [button, &shown]
                           {
                               auto* dialog = qobject_cast<GeneratorDialog*>(QApplication::activeModalWidget());
                               ASSERT_NE(dialog, nullptr);
                               shown = dialog->ControlAs<QLineEdit>(GeneratorDialog::kCandidateId)->text();
                               QTest::mouseClick(dialog->ControlAs<QPushButton>(button), Qt::LeftButton);
                           });
    }

    // An FTP entry with "alt" in its second value.
    void ShowEditDialog(EditEntryDialog& edit)
    {
        filter.addItem(QStringLiteral("alle Kategorien anzeigen"));
        filter.addItem(QStringLiteral("FTP"));
        edit.category = ToSecure("FTP");
        edit.values = {ToSecure("anna"), ToSecure("alt"), ToSecure("host")};
        edit.store = &store;
        edit.sourceFilter = &filter;
        edit.show();
    }

    PasswordStore store;
    QComboBox filter;
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
};

TEST_F(GeneratorDialogTest, ShowsACandidateAndItsStrengthForTheRulesChosen)
{
    GeneratorDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.ControlAs<QLineEdit>(GeneratorDialog::kLengthId)->text(), QStringLiteral("20"));
    EXPECT_EQ(Candidate(dialog).size(), 20);
    // 20 characters of 94 printable ASCII: 20 * log2(94) = 131.09.
    EXPECT_EQ(Strength(dialog), QStringLiteral("Stärke: 131 Bit"));
    EXPECT_EQ(FromCp1252(dialog.Password()), Candidate(dialog));

    dialog.ControlAs<QLineEdit>(GeneratorDialog::kLengthId)->setText(QStringLiteral("8"));
    Check(dialog, GeneratorDialog::kUpperId, false);
    Check(dialog, GeneratorDialog::kLowerId, false);
    Check(dialog, GeneratorDialog::kSpecialId, false);
    ASSERT_EQ(Candidate(dialog).size(), 8);
    for (QChar c : Candidate(dialog))
    {
        EXPECT_TRUE(c >= QLatin1Char('0') && c <= QLatin1Char('9')) << Candidate(dialog).toStdString();
    }
    // 8 * log2(10) = 26.58.
    EXPECT_EQ(Strength(dialog), QStringLiteral("Stärke: 26 Bit"));
    EXPECT_TRUE(dialog.ControlAs<QPushButton>(IDOK)->isEnabled());

    // Nothing to draw from: no candidate, and OK cannot take one.
    Check(dialog, GeneratorDialog::kDigitsId, false);
    EXPECT_TRUE(Candidate(dialog).isEmpty());
    EXPECT_FALSE(dialog.ControlAs<QPushButton>(IDOK)->isEnabled());
}

TEST_F(GeneratorDialogTest, EditDialogValueFieldMenuPutsTheGeneratedPasswordIntoTheField)
{
    EditEntryDialog edit;
    ShowEditDialog(edit);

    QPlainTextEdit* field = edit.ValueEdit(2);
    emit field->customContextMenuRequested(QPoint(2, 2));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* generate = menu->actions().back();
    ASSERT_EQ(generate->text(), QString::fromUtf8(GeneratorDialog::kMenuText));
    menu->hide();

    QString shown;
    AnswerGenerator(IDCANCEL, shown);
    generate->trigger();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("alt"));

    AnswerGenerator(IDOK, shown);
    generate->trigger();
    EXPECT_EQ(shown.size(), 20);
    EXPECT_EQ(field->toPlainText(), shown);
    // Replaced as by typing: undo brings the old value back.
    field->undo();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("alt"));
}

// The field's menu is open and its own key or mouse handler runs the generator, as when a
// user picks the entry: closing the generator must leave the menu's handler a live menu to
// return to (a sanitizer build reports any use after free).
TEST_F(GeneratorDialogTest, GeneratorPickedFromTheShownFieldMenuLeavesTheMenuWhole)
{
    enum class Pick
    {
        Key,
        Mouse
    };
    enum class Leave
    {
        Ok,
        NewThenOk,
        Cancel,
        Escape
    };
    const struct
    {
        const char* name;
        Pick pick;
        Leave leave;
        bool replaced;
    } cases[] = {
        {"key, OK", Pick::Key, Leave::Ok, true},
        {"key, Neu then OK", Pick::Key, Leave::NewThenOk, true},
        {"key, Abbrechen", Pick::Key, Leave::Cancel, false},
        {"key, Escape", Pick::Key, Leave::Escape, false},
        {"mouse, OK", Pick::Mouse, Leave::Ok, true},
        {"mouse, Neu then OK", Pick::Mouse, Leave::NewThenOk, true},
        {"mouse, Abbrechen", Pick::Mouse, Leave::Cancel, false},
        {"mouse, Escape", Pick::Mouse, Leave::Escape, false},
    };
    EditEntryDialog edit;
    ShowEditDialog(edit);
    QPlainTextEdit* field = edit.ValueEdit(2);

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        field->setPlainText(QStringLiteral("alt"));
        field->setFocus();
        // What the window system makes of the menu key (the offscreen platform makes nothing).
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2), field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(field, &menuKey);
        QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_FALSE(menu.isNull());
        QAction* generate = menu->actions().back();
        ASSERT_EQ(generate->text(), QString::fromUtf8(GeneratorDialog::kMenuText));

        QString shown;
        QTimer::singleShot(
            0,
            [&c, &shown]
            {
                auto* dialog = qobject_cast<GeneratorDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr);
                if (c.leave == Leave::NewThenOk)
                {
                    const QString first = dialog->ControlAs<QLineEdit>(GeneratorDialog::kCandidateId)->text();
                    QTest::mouseClick(dialog->ControlAs<QPushButton>(GeneratorDialog::kNewId), Qt::LeftButton);
                    EXPECT_NE(dialog->ControlAs<QLineEdit>(GeneratorDialog::kCandidateId)->text(), first);
                }
                shown = dialog->ControlAs<QLineEdit>(GeneratorDialog::kCandidateId)->text();
                switch (c.leave)
                {
                case Leave::Ok:
                case Leave::NewThenOk:
                    QTest::mouseClick(dialog->ControlAs<QPushButton>(IDOK), Qt::LeftButton);
                    break;
                case Leave::Cancel:
                    QTest::mouseClick(dialog->ControlAs<QPushButton>(IDCANCEL), Qt::LeftButton);
                    break;
                case Leave::Escape:
                    QTest::keyClick(dialog, Qt::Key_Escape);
                    break;
                }
            });
        if (c.pick == Pick::Key)
        {
            // Up from no choice lands on the last entry, the generator.
            QTest::keyClick(menu, Qt::Key_Up);
            ASSERT_EQ(menu->activeAction(), generate);
            QTest::keyClick(menu, Qt::Key_Return);
        }
        else
        {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(generate).center());
        }
        // The closed menu goes once control is back in the event loop, not before.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(menu.isNull());
        EXPECT_EQ(field->toPlainText(), c.replaced ? shown : QStringLiteral("alt"));
    }
}

} // namespace
} // namespace kavelmark

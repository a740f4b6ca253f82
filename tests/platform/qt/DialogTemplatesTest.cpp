#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "platform/qt/DialogTemplates.h"

namespace kavelmark
{
namespace
{

TEST(DialogTemplatesTest, EveryControlIsBuiltAtItsDialogUnitPosition)
{
    for (const DialogTemplate* tmpl :
         {&MainWindowTemplate(), &EditEntryTemplate(), &LoginTemplate(), &ConfigTemplate()})
    {
        SCOPED_TRACE(tmpl->id);
        QDialog dialog;
        DialogControls controls;
        controls.Build(*tmpl, dialog);
        EXPECT_EQ(dialog.windowTitle().toStdString(), tmpl->caption);
        ASSERT_EQ(controls.Ids().size(), tmpl->controls.size());
        const DialogUnits units(dialog.font());
        for (const ControlTemplate& control : tmpl->controls)
        {
            QWidget* widget = controls.Control(control.id);
            ASSERT_NE(widget, nullptr) << control.id;
            EXPECT_EQ(widget->x(), control.x * units.BaseX() / 4) << control.id;
            EXPECT_EQ(widget->y(), control.y * units.BaseY() / 8 + controls.MenuBarHeight()) << control.id;
            if (control.style & ControlStyle::TabStop)
            {
                EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus) << control.id;
            }
        }
    }
}

TEST(DialogTemplatesTest, ControlDetailsThatTheDialogsRelyOn)
{
    QDialog login;
    DialogControls loginControls;
    loginControls.Build(LoginTemplate(), login);
    auto* password = qobject_cast<QLineEdit*>(loginControls.Control(1021));
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(qobject_cast<QPushButton*>(loginControls.Control(1))->isDefault());
    EXPECT_FALSE(login.windowFlags() & Qt::WindowCloseButtonHint);

    QDialog config;
    DialogControls configControls;
    configControls.Build(ConfigTemplate(), config);
    auto* cipher = qobject_cast<QComboBox*>(configControls.Control(1048));
    ASSERT_NE(cipher, nullptr);
    EXPECT_EQ(cipher->count(), 1);
    EXPECT_EQ(cipher->itemText(0), "TwoFish");
    EXPECT_EQ(qobject_cast<QComboBox*>(configControls.Control(1049))->itemText(0), "CBC - Cipher Block Chaining");

    QDialog edit;
    DialogControls editControls;
    editControls.Build(EditEntryTemplate(), edit);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(editControls.Control(1015)), nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(editControls.Control(1019)), nullptr);
    EXPECT_EQ(qobject_cast<QLabel*>(editControls.Control(1029))->buddy(), editControls.Control(1019));

    QDialog main;
    DialogControls mainControls;
    mainControls.Build(MainWindowTemplate(), main);
    EXPECT_NE(qobject_cast<QTreeWidget*>(mainControls.Control(1003)), nullptr);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(mainControls.Control(1013))->isReadOnly());
    EXPECT_EQ(qobject_cast<QPushButton*>(mainControls.Control(57670))->text(), "Hilfe");
}

// What the dialogs' tables say of some of their controls, written out here so that a moved
// control or a changed caption shows; x, y, w, h in dialog units (all -1: not given).
struct ExpectedControl
{
    int id;
    const char* widgetClass;
    const char* caption;
    int x, y, w, h;
};

QString Caption(const QWidget* widget)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
    {
        return button->text();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget))
    {
        return label->text();
    }
    return {};
}

TEST(DialogTemplatesTest, ControlsStandWhereTheDialogTablesPutThem)
{
    struct Case
    {
        const DialogTemplate* tmpl;
        std::vector<ExpectedControl> controls;
    };
    const Case cases[] = {
        {&MainWindowTemplate(),
         {
             {1003, "QTreeWidget", "", 8, 28, 304, 124},
             {1006, "QPushButton", "&Hinzufügen", 8, 160, 50, 14},
             {1013, "QLineEdit", "", 220, 158, 92, 12},
             {1, "QPushButton", "&Verbergen", 8, 180, 50, 14},
             {2, "QPushButton", "Be&enden", 64, 180, 50, 14},
             {57670, "QPushButton", "Hilfe", 120, 180, 50, 14},
             {1025, "QLabel", "&Kategorie", 8, 12, 52, 8},
         }},
        {&EditEntryTemplate(),
         {
             {1029, "QLabel", "&Name", 4, 24, 60, 8},
             {1019, "QLineEdit", "", 64, 22, 220, 12},
             {1015, "QPlainTextEdit", "", 64, 128, 220, 84},
             {1, "QPushButton", "OK", 292, 4, 50, 14},
             {2, "QPushButton", "Cancel", 292, 24, 50, 14},
         }},
        {&LoginTemplate(),
         {
             {1022, "QLabel", "Bitte geben Sie Ihr Kennwort ein.", -1, -1, -1, -1},
             {1021, "QLineEdit", "", -1, -1, -1, -1},
             {1, "QPushButton", "OK", -1, -1, -1, -1},
             {2, "QPushButton", "Cancel", -1, -1, -1, -1},
         }},
        {&ConfigTemplate(),
         {
             {1030, "QLabel", "Filename:", -1, -1, -1, -1},
             {1032, "QPushButton", "?", -1, -1, -1, -1},
             {1033, "QLabel", "Ausblenzeit (mSec):", -1, -1, -1, -1},
             {1048, "QComboBox", "", -1, -1, -1, -1},
             {1036, "QLabel", "Block-Mode:", -1, -1, -1, -1},
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tmpl->caption);
        QDialog dialog;
        DialogControls controls;
        controls.Build(*c.tmpl, dialog);
        const DialogUnits units(dialog.font());
        for (const ExpectedControl& e : c.controls)
        {
            SCOPED_TRACE(e.id);
            QWidget* widget = controls.Control(e.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_STREQ(widget->metaObject()->className(), e.widgetClass);
            EXPECT_EQ(Caption(widget), QString::fromUtf8(e.caption));
            if (e.x >= 0)
            {
                const QRect expected(e.x * units.BaseX() / 4, e.y * units.BaseY() / 8 + controls.MenuBarHeight(),
                                     e.w * units.BaseX() / 4, e.h * units.BaseY() / 8);
                EXPECT_EQ(widget->geometry(), expected);
            }
        }
    }
}

TEST(DialogTemplatesTest, TabVisitsTheControlsInTheOrderOfTheTables)
{
    const std::pair<const DialogTemplate*, std::vector<int>> cases[] = {
        {&MainWindowTemplate(), {1003, 1006, 1007, 1008, 1013, 1014, 1015, 1, 2, 57670, 1005}},
        {&EditEntryTemplate(), {1017, 1019, 1020, 1013, 1014, 1015, 1, 2}},
        {&LoginTemplate(), {1021, 1, 2}},
        {&ConfigTemplate(), {1, 2, 1031, 1032, 1034, 1048, 1049, 1050}},
    };
    for (const auto& [tmpl, expected] : cases)
    {
        SCOPED_TRACE(tmpl->caption);
        QDialog dialog;
        DialogControls controls;
        controls.Build(*tmpl, dialog);
        dialog.show();
        QWidget* first = controls.Control(expected.front());
        ASSERT_NE(first, nullptr);
        std::vector<int> visited;
        QWidget* widget = first;
        do
        {
            const int id = controls.IdOf(widget);
            if (id != 0 && (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisible())
            {
                visited.push_back(id);
            }
            widget = widget->nextInFocusChain();
        } while (widget != first && visited.size() < 50);
        EXPECT_EQ(visited, expected);
    }
}

TEST(DialogTemplatesTest, MainMenuCarriesItsCommands)
{
    QDialog dialog;
    DialogControls controls;
    controls.Build(MainWindowTemplate(), dialog);
    ASSERT_NE(controls.MenuBar(), nullptr);
    EXPECT_GT(controls.MenuBarHeight(), 0);
    const std::pair<int, const char*> items[] = {
        {ID_FILE_OPEN, "Datei &öffnen"},
        {ID_FILE_SAVE, "Datei &speichern"},
        {ID_FILE_SAVE_AS, "Datei speichern &unter"},
        {IDM_ABOUTBOX, "&Über"},
        {ID_APP_EXIT, "&Beenden"},
        {ID_CHANGE_PASSWORD, "&Passwort ändern"},
        {ID_CONFIG, "&Config"},
        {ID_LOCK, "Sp&erren"},
    };
    for (const auto& [command, text] : items)
    {
        QAction* action = controls.MenuAction(command);
        ASSERT_NE(action, nullptr) << command;
        EXPECT_EQ(action->text(), QString::fromUtf8(text));
        EXPECT_TRUE(action->isEnabled());
    }
    EXPECT_EQ(controls.MenuAction(4711), nullptr);
}

} // namespace
} // namespace kavelmark

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

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/qt/LoginDialog.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

// Runs `script` inside the dialog's modal run, once it is on screen.
void WhileShown(LoginDialog& dialog, std::function<void()> script)
{
    QTimer::singleShot(0, &dialog,
                       [&dialog, script]
                       {
                           ASSERT_TRUE(dialog.isVisible());
                           script();
                       });
}

// Types text as a keyboard layout would deliver it, umlauts and all.
void Type(LoginDialog& dialog, const QString& text, Qt::Key confirm = Qt::Key_Return)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(dialog.PasswordEdit(), &press);
    QTest::keyClick(dialog.PasswordEdit(), confirm);
}

TEST(LoginDialogTest, ShowsTheMaskedPromptWithoutCloseBox)
{
    LoginDialog dialog;
    WhileShown(dialog,
               [&]
               {
                   EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Kavelmark Login"));
                   EXPECT_EQ(dialog.Prompt()->text(), QStringLiteral("Bitte geben Sie Ihr Kennwort ein."));
                   EXPECT_EQ(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
                   EXPECT_TRUE(
                       dialog.PasswordEdit()->styleSheet().contains(QStringLiteral("lineedit-password-character: 42")));
                   EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
                   EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
                   Type(dialog, QStringLiteral("x"));
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
}

// The prompt for another device's password says why in more than the login's two lines: the
// field and the buttons move down, and the window has a title of its own.
TEST(LoginDialogTest, ALongPromptGrowsTheWindowUnderItsOwnTitle)
{
    LoginDialog login;
    int loginHeight = 0;
    WhileShown(login,
               [&]
               {
                   loginHeight = login.height();
                   Type(login, QStringLiteral("x"));
               });
    ASSERT_EQ(login.Run(), LoginDialogBase::kOk);

    LoginDialog dialog;
    dialog.promptText = "Die Datei wurde auf einem anderen Gerät mit einem anderen Kennwort gespeichert.";
    dialog.titleText = "Kennwort vom anderen Gerät";
    WhileShown(dialog,
               [&]
               {
                   EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Kennwort vom anderen Gerät"));
                   QLabel* prompt = dialog.Prompt();
                   EXPECT_GE(prompt->height(), prompt->heightForWidth(prompt->width()));
                   EXPECT_GT(dialog.height(), loginHeight);
                   EXPECT_GE(dialog.PasswordEdit()->y(), prompt->y() + prompt->height());
                   EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
                   Type(dialog, QStringLiteral("x"));
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
}

TEST(LoginDialogTest, ConfirmTakesTheTypedBytesAndComputesTheSeed)
{
    LoginDialog dialog;
    WhileShown(dialog, [&] { Type(dialog, QStringLiteral("Grüße€")); });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("Gr\xfc\xdf"
                                               "e\x80"));
    std::uint64_t seed = 42;
    const unsigned char bytes[] = {'G', 'r', 0xfc, 0xdf, 'e', 0x80};
    for (std::uint32_t i = 0; i < 6; ++i)
    {
        seed += static_cast<std::uint32_t>((i + 1) * static_cast<std::uint32_t>(static_cast<signed char>(bytes[i])));
    }
    EXPECT_EQ(dialog.legacySeed, seed);
}

TEST(LoginDialogTest, EscapeCancelsAndKeepsTheFields)
{
    LoginDialog dialog;
    dialog.enteredPassword = ToSecure("vorher");
    WhileShown(dialog, [&] { Type(dialog, QStringLiteral("neu"), Qt::Key_Escape); });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kCancel);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("vorher"));
}

TEST(LoginDialogTest, EnterOnTheFocusedCancelButtonCancels)
{
    LoginDialog dialog;
    dialog.enteredPassword = ToSecure("vorher");
    WhileShown(dialog,
               [&]
               {
                   dialog.activateWindow();
                   EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
                   QTest::keyClicks(dialog.PasswordEdit(), QStringLiteral("neu"));
                   // Tab from the password past "OK" to "Cancel", as the user does.
                   QTest::keyClick(dialog.windowHandle(), Qt::Key_Tab);
                   QTest::keyClick(dialog.windowHandle(), Qt::Key_Tab);
                   auto* cancel = qobject_cast<QPushButton*>(QApplication::focusWidget());
                   EXPECT_EQ(cancel ? cancel->text() : QString(), QStringLiteral("Cancel"));
                   QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
                   if (dialog.isVisible())
                   {
                       dialog.reject(); // the run must end either way
                   }
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kCancel);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("vorher"));
}

TEST(LoginDialogTest, CharacterOutsideCp1252IsRefusedAndTheDialogStaysOpen)
{
    MessageRecorder messages;
    LoginDialog dialog;
    bool stayedOpen = false;
    WhileShown(dialog,
               [&]
               {
                   Type(dialog, QStringLiteral("Schnee☃"));
                   stayedOpen = dialog.isVisible();
                   EXPECT_EQ(dialog.PasswordEdit()->text(), QStringLiteral("Schnee☃"))
                       << "never changed behind the user's back";
                   dialog.PasswordEdit()->setText(QStringLiteral("Schnee"));
                   QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("Windows-1252"), std::string::npos);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("Schnee"));
}

TEST(LoginDialogTest, StepsShowTheirPromptsInTheWindow)
{
    MessageRecorder messages;
    LoginDialog dialog;
    dialog.SetExpectedPassword(ToSecure("alt"));
    QStringList prompts;
    const QString typed[] = {QStringLiteral("alt"), QStringLiteral("neu"), QStringLiteral("neu")};
    for (int step = 0; step < 3; ++step)
    {
        WhileShown(dialog,
                   [&, step]
                   {
                       prompts << dialog.Prompt()->text();
                       EXPECT_TRUE(dialog.PasswordEdit()->text().isEmpty());
                       Type(dialog, typed[step]);
                   });
        ASSERT_EQ(dialog.RunStep(step), LoginDialogBase::kOk);
    }
    EXPECT_EQ(prompts, (QStringList{QStringLiteral("Bitte geben Sie Ihr altes Kennwort ein."),
                                    QStringLiteral("Bitte geben Sie Ihr neues Kennwort ein."),
                                    QStringLiteral("Bitte wiederholen Sie Ihr Kennwort.")}));
    EXPECT_EQ(dialog.enteredPassword, ToSecure("neu"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(LoginDialogTest, BusyAfterOkItStaysOnScreenWithNothingToTypeUntilTheWorkEnds)
{
    LoginDialog dialog;
    WhileShown(dialog, [&] { Type(dialog, QStringLiteral("geheim")); });
    ASSERT_EQ(dialog.Run(), LoginDialogBase::kOk);
    EXPECT_FALSE(dialog.isVisible());

    dialog.ShowBusy();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isEnabled());
    EXPECT_EQ(dialog.Prompt()->text(), QStringLiteral("Bitte geben Sie Ihr Kennwort ein."));
    EXPECT_TRUE(dialog.PasswordEdit()->text().isEmpty()) << "the password is not shown again";
    dialog.EndBusy();
    EXPECT_FALSE(dialog.isVisible());

    // The same window can ask again afterwards.
    WhileShown(dialog,
               [&]
               {
                   EXPECT_TRUE(dialog.isEnabled());
                   Type(dialog, QStringLiteral("x"));
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
}

TEST(LoginDialogTest, OkButtonConfirmsLikeEnter)
{
    LoginDialog dialog;
    WhileShown(dialog,
               [&]
               {
                   QTest::keyClicks(dialog.PasswordEdit(), QStringLiteral("pw"));
                   for (QPushButton* button : dialog.findChildren<QPushButton*>())
                   {
                       if (button->text() == QStringLiteral("OK"))
                       {
                           button->click();
                       }
                   }
               });
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kOk);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("pw"));
}

} // namespace
} // namespace kavelmark

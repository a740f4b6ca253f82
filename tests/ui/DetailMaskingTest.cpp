#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <cstring>

#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "support/WaitFor.h"
#include "ui/MainWindow.h"
#include "ui/SecretSelection.h"

namespace kavelmark
{
namespace
{

// A masked field must not hold its secret anywhere the widget can give it back: its text,
// its display text or its undo and redo history.
class DetailMaskingTest : public ::testing::Test
{
protected:
    static constexpr const char* kSecret = "Geheim-4711";

    void SetUp() override
    {
        window.Store().AddEntry("PIN/TAN", "Bank", "", "DE12", kSecret, "TAN-99");
        window.Create();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Everything the field can show or give back.
    static QStringList Reachable(QLineEdit& field)
    {
        QStringList texts{field.text(), field.displayText()};
        for (int i = 0; i < 3 && field.isUndoAvailable(); ++i)
        {
            field.undo();
            texts << field.text();
        }
        for (int i = 0; i < 3 && field.isRedoAvailable(); ++i)
        {
            field.redo();
            texts << field.text();
        }
        return texts;
    }

    static bool HoldsSecret(QLineEdit& field, const char* secret)
    {
        return Reachable(field).join(QChar(u'|')).contains(QString::fromLatin1(secret));
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
    MainWindow window;
};

TEST_F(DetailMaskingTest, TheSecretIsInTheFieldOnlyWhileItIsShown)
{
    settings.Write("Config", "HideTimer (mSec)", "60000");
    QLineEdit& field = *window.DetailField(2);
    EXPECT_EQ(window.DetailValue(2), kSecret);
    EXPECT_FALSE(HoldsSecret(field, kSecret));
    EXPECT_EQ(field.displayText(), QString(static_cast<qsizetype>(std::strlen(kSecret)), QLatin1Char('*')));

    field.setFocus();
    EXPECT_EQ(field.text(), QString::fromLatin1(kSecret));
    EXPECT_EQ(field.echoMode(), QLineEdit::Normal);

    window.DetailField(1)->setFocus(); // focus leaves
    EXPECT_FALSE(HoldsSecret(field, kSecret));
    EXPECT_EQ(field.echoMode(), QLineEdit::Password);

    window.DetailField(3)->setFocus();
    EXPECT_EQ(window.DetailField(3)->text(), "TAN-99");
    window.ShowEntryDetails(); // a refresh masks the focused field too
    EXPECT_FALSE(HoldsSecret(*window.DetailField(3), "TAN-99"));
    EXPECT_EQ(window.DetailField(1)->text(), "DE12"); // not secret: always in clear
}

TEST_F(DetailMaskingTest, OnlyASecretShownInClearIsKeptFromThePrimarySelection)
{
    settings.Write("Config", "HideTimer (mSec)", "60000");
    auto marked = [this]
    {
        return std::vector<bool>{IsMarkedSecretField(window.DetailField(1)), IsMarkedSecretField(window.DetailField(2)),
                                 IsMarkedSecretField(window.DetailField(3))};
    };
    EXPECT_EQ(marked(), (std::vector<bool>{false, false, false}));
    window.DetailField(2)->setFocus();
    EXPECT_EQ(marked(), (std::vector<bool>{false, true, false}));
    window.DetailField(1)->setFocus(); // not secret: never marked, and field 2 is masked again
    EXPECT_EQ(marked(), (std::vector<bool>{false, false, false}));
    window.DetailField(3)->setFocus();
    EXPECT_EQ(marked(), (std::vector<bool>{false, false, true}));
}

TEST_F(DetailMaskingTest, TheHideTimerTakesTheSecretOutOfTheFocusedField)
{
    settings.Write("Config", "HideTimer (mSec)", "50");
    QLineEdit& field = *window.DetailField(2);
    field.setFocus();
    ASSERT_EQ(field.text(), QString::fromLatin1(kSecret));
    EXPECT_SOON(field.echoMode() == QLineEdit::Password, 2000);
    EXPECT_TRUE(field.hasFocus());
    EXPECT_FALSE(HoldsSecret(field, kSecret));
}

} // namespace
} // namespace kavelmark

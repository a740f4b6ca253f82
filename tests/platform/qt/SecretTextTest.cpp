#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "platform/qt/SecretText.h"
#include "support/QtPrinters.h"

namespace kavelmark
{
namespace
{

TEST(SecretTextTest, AWipedLineEditCannotGiveTheTypedSecretBack)
{
    for (QLineEdit::EchoMode mode : {QLineEdit::Password, QLineEdit::Normal})
    {
        QLineEdit edit;
        edit.setEchoMode(mode);
        edit.setMaxLength(8);
        QTest::keyClicks(&edit, QStringLiteral("geheimes"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, QStringLiteral("s"));
        ASSERT_EQ(edit.text(), QStringLiteral("geheimes"));

        WipeLineEdit(edit);
        EXPECT_TRUE(edit.text().isEmpty());
        EXPECT_TRUE(edit.displayText().isEmpty());
        EXPECT_FALSE(edit.isUndoAvailable());
        EXPECT_FALSE(edit.isRedoAvailable());
        edit.undo();
        EXPECT_TRUE(edit.text().isEmpty()) << "undo brought back " << edit.text().toStdString();
        EXPECT_EQ(edit.maxLength(), 8);
    }
}

} // namespace
} // namespace kavelmark

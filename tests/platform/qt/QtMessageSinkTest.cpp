#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/qt/QtMessageSink.h"

namespace kavelmark
{
namespace
{

// Presses a key in the message box once it is up, as a user at the keyboard would.
MessageAnswer AnswerWithKey(MessageButtons buttons, Qt::Key key)
{
    QTimer::singleShot(0,
                       [key]
                       {
                           QWidget* box = QApplication::activeModalWidget();
                           ASSERT_NE(box, nullptr);
                           QTest::keyClick(box, key);
                       });
    QtMessageSink sink;
    return sink.Show("Text", "Caption", MessageIcon::Question, buttons);
}

struct KeyCase
{
    MessageButtons buttons;
    Qt::Key key;
    MessageAnswer expected;
};

TEST(QtMessageSinkTest, EnterAndEscapeGiveTheAnswersOfTheButtons)
{
    const KeyCase cases[] = {
        {MessageButtons::Ok, Qt::Key_Return, MessageAnswer::Ok},
        {MessageButtons::Ok, Qt::Key_Escape, MessageAnswer::Ok},
        {MessageButtons::OkCancel, Qt::Key_Return, MessageAnswer::Ok},
        {MessageButtons::OkCancel, Qt::Key_Escape, MessageAnswer::Cancel},
        {MessageButtons::OkCancelDefaultCancel, Qt::Key_Return, MessageAnswer::Cancel},
        {MessageButtons::OkCancelDefaultCancel, Qt::Key_Escape, MessageAnswer::Cancel},
    };
    for (const KeyCase& c : cases)
    {
        EXPECT_EQ(AnswerWithKey(c.buttons, c.key), c.expected)
            << "buttons " << static_cast<int>(c.buttons) << ", key " << c.key;
    }
}

} // namespace
} // namespace kavelmark

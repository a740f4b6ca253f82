#include <gtest/gtest.h>

#include <QAbstractButton>
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
MessageAnswer AnswerWithKey(MessageButtons buttons, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTimer::singleShot(0,
                       [key, modifiers]
                       {
                           QWidget* box = QApplication::activeModalWidget();
                           ASSERT_NE(box, nullptr);
                           QTest::keyClick(box, key, modifiers);
                       });
    QtMessageSink sink;
    return sink.Show("Text", "Caption", MessageIcon::Question, buttons);
}

struct KeyCase
{
    MessageButtons buttons;
    Qt::Key key;
    MessageAnswer expected;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
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
        {MessageButtons::MergeOverwriteCancel, Qt::Key_Return, MessageAnswer::Merge},
        {MessageButtons::MergeOverwriteCancel, Qt::Key_Escape, MessageAnswer::Cancel},
        {MessageButtons::UseV04OrKeep, Qt::Key_Return, MessageAnswer::Cancel},
        {MessageButtons::UseV04OrKeep, Qt::Key_Escape, MessageAnswer::Cancel},
        {MessageButtons::UseV03OrKeep, Qt::Key_Return, MessageAnswer::Cancel},
        {MessageButtons::UseV03OrKeep, Qt::Key_Escape, MessageAnswer::Cancel},
    };
    for (const KeyCase& c : cases)
    {
        EXPECT_EQ(AnswerWithKey(c.buttons, c.key, c.modifiers), c.expected)
            << "buttons " << static_cast<int>(c.buttons) << ", key " << c.key;
    }
}

// Clicks the button of that text with the mouse once the box is up.
MessageAnswer AnswerWithClick(MessageButtons buttons, const QString& buttonText)
{
    QTimer::singleShot(0,
                       [buttonText]
                       {
                           QWidget* box = QApplication::activeModalWidget();
                           ASSERT_NE(box, nullptr);
                           for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
                           {
                               if (button->text() == buttonText)
                               {
                                   QTest::mouseClick(button, Qt::LeftButton);
                                   return;
                               }
                           }
                           ADD_FAILURE() << "no button " << buttonText.toStdString();
                           static_cast<QMessageBox*>(box)->reject();
                       });
    QtMessageSink sink;
    return sink.Show("Text", "Caption", MessageIcon::Question, buttons);
}

TEST(QtMessageSinkTest, TheMergeQuestionAnswersByItsThreeButtons)
{
    EXPECT_EQ(AnswerWithClick(MessageButtons::MergeOverwriteCancel, QStringLiteral("&Zusammenführen")),
              MessageAnswer::Merge);
    EXPECT_EQ(AnswerWithClick(MessageButtons::MergeOverwriteCancel, QStringLiteral("&Überschreiben")),
              MessageAnswer::Overwrite);
    EXPECT_EQ(AnswerWithClick(MessageButtons::MergeOverwriteCancel, QStringLiteral("Abbrechen")),
              MessageAnswer::Cancel);
    // The format question's buttons say what each does.
    EXPECT_EQ(AnswerWithClick(MessageButtons::UseV04OrKeep, QStringLiteral("V0.&4 verwenden")), MessageAnswer::Ok);
    EXPECT_EQ(AnswerWithClick(MessageButtons::UseV03OrKeep, QStringLiteral("V0.&3 verwenden")), MessageAnswer::Ok);
    EXPECT_EQ(AnswerWithClick(MessageButtons::UseV04OrKeep, QStringLiteral("Beim &bisherigen Format bleiben")),
              MessageAnswer::Cancel);
}

} // namespace
} // namespace kavelmark

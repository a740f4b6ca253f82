#include <gtest/gtest.h>

#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

TEST(Messages, RecorderKeepsOrderAndAnswersScriptedButtons)
{
    testing::MessageRecorder recorder;
    recorder.AnswerNext(MessageAnswer::Cancel);
    EXPECT_EQ(ShowMessage("Wirklich?", "Frage", MessageIcon::Question, MessageButtons::OkCancel),
              MessageAnswer::Cancel);
    EXPECT_EQ(ShowMessage("Fertig", "Info", MessageIcon::Information), MessageAnswer::Ok);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].caption, "Frage");
    EXPECT_EQ(recorder.messages[1].text, "Fertig");
}

TEST(Messages, FallbackNeverConfirmsAQuestion)
{
    {
        testing::MessageRecorder recorder; // installed and removed again
    }
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessage("Löschen?", "Eintrag löschen", MessageIcon::Question, MessageButtons::OkCancel),
              MessageAnswer::Cancel);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Eintrag löschen: Löschen?\n");
}

} // namespace
} // namespace kavelmark

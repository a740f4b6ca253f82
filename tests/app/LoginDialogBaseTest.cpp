#include <gtest/gtest.h>

#include "support/FakeLogin.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using testing::FakeLoginDialog;
using testing::LoginScript;
using testing::MessageRecorder;

struct SeedCase
{
    std::string password;
    std::uint64_t seed;
};

class LegacySeedTest : public ::testing::TestWithParam<SeedCase>
{
};

TEST_P(LegacySeedTest, ConfirmComputesSeedOfTypedPassword)
{
    LoginScript script;
    script.Ok(GetParam().password);
    FakeLoginDialog dialog(script);
    ASSERT_EQ(dialog.Run(), LoginDialogBase::kOk);
    EXPECT_EQ(dialog.enteredPassword, ToSecure(GetParam().password));
    EXPECT_EQ(dialog.legacySeed, GetParam().seed);
}

INSTANTIATE_TEST_SUITE_P(Passwords, LegacySeedTest,
                         ::testing::Values(SeedCase{"", 42}, SeedCase{"A", 42 + 65}, SeedCase{"\x7f", 42 + 127},
                                           // A byte of 128 or more adds the 32-bit pattern of a negative product.
                                           SeedCase{"\xe4", 42 + 4294967296ULL - (256 - 0xe4)},
                                           SeedCase{"\x80\x80", 42 + (4294967296ULL - 128) + (4294967296ULL - 256)},
                                           // Position weights: the same bytes in another order give another seed.
                                           SeedCase{"ab", 42 + 97 + 2 * 98}, SeedCase{"ba", 42 + 98 + 2 * 97}),
                         [](const ::testing::TestParamInfo<SeedCase>& info)
                         { return "Case" + std::to_string(info.index); });

TEST(LoginDialogBaseTest, CancelKeepsEveryField)
{
    LoginScript script;
    script.Cancel();
    FakeLoginDialog dialog(script);
    dialog.enteredPassword = ToSecure("before");
    dialog.legacySeed = 7;
    EXPECT_EQ(dialog.Run(), LoginDialogBase::kCancel);
    EXPECT_EQ(dialog.enteredPassword, ToSecure("before"));
    EXPECT_EQ(dialog.legacySeed, 7u);
    EXPECT_EQ(script.prompts, std::vector<std::string>{"Bitte geben Sie Ihr Kennwort ein."});
}

TEST(LoginDialogBaseTest, StepsShowTheirPromptsAndEndWithTheNewPassword)
{
    MessageRecorder messages;
    LoginScript script;
    script.Ok("alt");
    script.Ok("neu");
    script.Ok("neu");
    FakeLoginDialog dialog(script);
    dialog.SetExpectedPassword(ToSecure("alt"));
    EXPECT_EQ(dialog.RunStep(0), LoginDialogBase::kOk);
    EXPECT_EQ(dialog.RunStep(1), LoginDialogBase::kOk);
    EXPECT_EQ(dialog.RunStep(2), LoginDialogBase::kOk);
    EXPECT_EQ(script.prompts, (std::vector<std::string>{"Bitte geben Sie Ihr altes Kennwort ein.",
                                                        "Bitte geben Sie Ihr neues Kennwort ein.",
                                                        "Bitte wiederholen Sie Ihr Kennwort."}));
    EXPECT_EQ(dialog.enteredPassword, ToSecure("neu"));
    EXPECT_EQ(dialog.legacySeed, 42u + 'n' + 2 * 'e' + 3 * 'u');
    EXPECT_TRUE(messages.messages.empty());
}

TEST(LoginDialogBaseTest, RefusedStepsTellWhyAndAnswerCancel)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> typed; // old, new, repeated
        int failingStep;
        const char* message;
    };
    const Case cases[] = {
        {"wrong old password", {"Alt"}, 0, "Das Kennwort ist falsch!"},
        {"old password with trailing blank", {"alt "}, 0, "Das Kennwort ist falsch!"},
        {"repetition differs", {"alt", "neu", "Neu"}, 2, "Die neuen Kennwörter stimmt nicht überein!"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MessageRecorder messages;
        LoginScript script;
        for (const std::string& typed : c.typed)
        {
            script.Ok(typed);
        }
        FakeLoginDialog dialog(script);
        dialog.SetExpectedPassword(ToSecure("alt"));
        int result = LoginDialogBase::kOk;
        int step = 0;
        for (; step <= 2 && result == LoginDialogBase::kOk; ++step)
        {
            result = dialog.RunStep(step);
        }
        EXPECT_EQ(result, LoginDialogBase::kCancel);
        EXPECT_EQ(step - 1, c.failingStep);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, c.message);
        EXPECT_EQ(messages.messages[0].caption, "Information");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Information);
    }
}

TEST(LoginDialogBaseTest, EachStepStartsWithAnEmptyEdit)
{
    LoginScript script;
    script.Cancel();
    FakeLoginDialog dialog(script);
    dialog.enteredPassword = ToSecure("left over");
    EXPECT_EQ(dialog.RunStep(1), LoginDialogBase::kCancel);
    EXPECT_TRUE(dialog.enteredPassword.empty());
}

} // namespace
} // namespace kavelmark

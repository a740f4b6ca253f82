#include <gtest/gtest.h>

#include <set>
#include <string>

#include "crypto/PasswordGenerator.h"

namespace kavelmark
{
namespace
{

// The groups written out independently of the generator's own tables.
const std::string kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kLower = "abcdefghijklmnopqrstuvwxyz";
const std::string kDigits = "0123456789";

bool IsUpper(char c)
{
    return kUpper.find(c) != std::string::npos;
}
bool IsLower(char c)
{
    return kLower.find(c) != std::string::npos;
}
bool IsDigit(char c)
{
    return kDigits.find(c) != std::string::npos;
}
// Printable ASCII other than letters, digits and the blank.
bool IsSpecial(char c)
{
    return c > ' ' && c < 0x7F && !IsUpper(c) && !IsLower(c) && !IsDigit(c);
}

TEST(PasswordGeneratorTest, EveryDrawHasTheLengthAndEachChosenGroupAndNeverTheSeparatorStart)
{
    struct Case
    {
        PasswordRules rules;
        const char* name;
    };
    const Case cases[] = {
        {{}, "default: 20, all groups"},
        {{8, true, true, true, true}, "shortest with all four groups"},
        {{64, false, false, false, true}, "longest, special only: '_' and '|' meet often"},
        {{12, false, false, true, false}, "digits only"},
        {{8, true, false, false, true}, "upper and special"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (int draw = 0; draw < 3000; ++draw)
        {
            const SecureString password = PasswordGenerator::Generate(c.rules);
            ASSERT_EQ(password.size(), static_cast<std::size_t>(c.rules.length));
            bool upper = false, lower = false, digit = false, special = false;
            for (char ch : password)
            {
                upper = upper || IsUpper(ch);
                lower = lower || IsLower(ch);
                digit = digit || IsDigit(ch);
                special = special || IsSpecial(ch);
                ASSERT_TRUE(IsUpper(ch) || IsLower(ch) || IsDigit(ch) || IsSpecial(ch)) << int(ch);
            }
            ASSERT_EQ(upper, c.rules.upper) << std::string_view(password);
            ASSERT_EQ(lower, c.rules.lower) << std::string_view(password);
            ASSERT_EQ(digit, c.rules.digits) << std::string_view(password);
            ASSERT_EQ(special, c.rules.special) << std::string_view(password);
            ASSERT_EQ(password.find("_|"), SecureString::npos) << std::string_view(password);
        }
    }
}

TEST(PasswordGeneratorTest, DrawsDoNotRepeat)
{
    std::set<std::string> seen;
    for (int draw = 0; draw < 500; ++draw)
    {
        const SecureString password = PasswordGenerator::Generate({8, false, false, true, false});
        seen.insert(std::string(password.begin(), password.end()));
    }
    // 10^8 possible passwords: 500 draws of a working generator all differ but for a rare pair.
    EXPECT_GE(seen.size(), 498u);
}

TEST(PasswordGeneratorTest, RulesThatCannotBeMetGiveNothing)
{
    const PasswordRules impossible[] = {
        {7, true, true, true, true},
        {65, true, true, true, true},
        {20, false, false, false, false},
    };
    for (const PasswordRules& rules : impossible)
    {
        EXPECT_TRUE(PasswordGenerator::Generate(rules).empty()) << rules.length;
        EXPECT_EQ(PasswordGenerator::StrengthBits(rules), 0.0) << rules.length;
    }
}

TEST(PasswordGeneratorTest, StrengthIsLengthTimesTheBitsOfTheAlphabet)
{
    // 94 printable ASCII characters without the blank: log2(94) = 6.5546.
    EXPECT_NEAR(PasswordGenerator::StrengthBits({}), 131.09, 0.01);
    // Ten digits: log2(10) = 3.3219.
    EXPECT_NEAR(PasswordGenerator::StrengthBits({8, false, false, true, false}), 26.58, 0.01);
    // 26 + 26 letters: log2(52) = 5.7004.
    EXPECT_NEAR(PasswordGenerator::StrengthBits({64, true, true, false, false}), 364.83, 0.01);
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include <string>

#include "store/DelimitedString.h"

namespace kavelmark
{
namespace
{

std::string Str(const DelimitedString& s)
{
    return std::string(s.View());
}

TEST(DelimitedString, LeftAndRightOfNth)
{
    struct Case
    {
        const char* text;
        const char* separator;
        int n;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"a_|_b", "_|_", 1, "a", "b"},
        {"a_|_b", "_|_", 2, "", ""}, // fewer occurrences: empty, not the whole text
        {"a_|_b_|_", "_|_", 1, "a", "b_|_"},
        {"a_|_b_|_", "_|_", 2, "a_|_b", ""}, // occurrence at the very end
        {"a_|_b_|_", "_|_", 3, "", ""},
        {"_|_x", "_|_", 1, "", "x"},
        {"abc", "_|_", 1, "", ""},
        {"", "_|_", 1, "", ""},
        {"a_|_b", "_|_", 0, "", ""},
        {"a_|_b", "_|_", -1, "", ""},
        {"a_|_b", "", 1, "", ""},
        // A mismatch restarts one character after the previous start.
        {"__|_x", "_|_", 1, "_", "x"},
        {"aab", "ab", 1, "a", ""},
        // Occurrences never overlap.
        {"aaaa", "aa", 1, "", "aa"},
        {"aaaa", "aa", 2, "aa", ""},
        {"aaa", "aa", 2, "", ""},
        {"_|_|_|_", "_|_", 2, "_|_|", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.text) + " / " + c.separator + " n=" + std::to_string(c.n));
        const DelimitedString text(c.text);
        EXPECT_EQ(Str(text.LeftOfNth(c.separator, c.n, 0)), c.left);
        EXPECT_EQ(Str(text.RightOfNth(c.separator, c.n, 0)), c.right);
    }
}

TEST(DelimitedString, ReservedFlagOtherThanZeroGivesEmpty)
{
    const DelimitedString text("a_|_b_|_");
    EXPECT_TRUE(text.LeftOfNth("_|_", 1, 1).IsEmpty());
    EXPECT_TRUE(text.RightOfNth("_|_", 1, -1).IsEmpty());
}

TEST(DelimitedString, FieldOfARecordIsRightThenLeft)
{
    const DelimitedString record("_E__|_FTP_|_name_|__|_v1_|_");
    const char* expected[] = {"FTP", "name", "", "v1", ""};
    for (int n = 1; n <= 5; ++n)
    {
        SCOPED_TRACE(n);
        EXPECT_EQ(Str(record.RightOfNth("_|_", n, 0).LeftOfNth("_|_", 1, 0)), expected[n - 1]);
    }
}

} // namespace
} // namespace kavelmark

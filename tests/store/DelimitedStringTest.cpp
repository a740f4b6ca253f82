#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "store/DelimitedString.h"

namespace kavelmark
{
namespace
{

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::string Str(const DelimitedString& s)
{
    return std::string(s.View());
}

TEST(DelimitedString, ToNumber)
{
    struct Case
    {
        const char* text;
        int radix;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"42", 10, 42},
        {"  \t\n-17abc", 10, -17},
        {"+8", 10, 8},
        {"", 10, 0},
        {"abc", 10, 0},
        {"-", 10, 0},
        {"   ", 10, 0},
        {"2147483647", 10, kMax},
        {"2147483648", 10, kMax},
        {"99999999999999999999", 10, kMax},
        {"-2147483648", 10, kMin},
        {"-2147483649", 10, kMin},
        {"-99999999999999999999", 10, kMin},
        {"0x1A", 16, 26},
        {"0X1a", 16, 26},
        {"1A", 16, 26},
        {"-0x10", 16, -16},
        {"0x", 16, 0},
        {"0xg", 16, 0},
        {"ff", 16, 255},
        {"7fffffff", 16, kMax},
        {"80000000", 16, kMax},
        {"101102", 2, 22},
        {"zZ", 36, 35 * 36 + 35},
        {"777", 8, 511},
        {"89", 8, 0},
        // Radix 0: sixteen only for text that itself starts with 0x or 0X.
        {"0x1A", 0, 26},
        {"0XfF", 0, 255},
        {"0x", 0, 0},
        {"017", 0, 17},
        {"12", 0, 12},
        {"0", 0, 0},
        {"-0x10", 0, 0},
        {" 0x10", 0, 0},
        {"0x7fffffffff", 0, kMax},
        // Radices that do not exist.
        {"11", 1, 0},
        {"11", 37, 0},
        {"11", -2, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.text) + " radix " + std::to_string(c.radix));
        EXPECT_EQ(DelimitedString(c.text).ToNumber(c.radix), c.expected);
    }
}

TEST(DelimitedString, NumberToText)
{
    EXPECT_EQ(Str(DelimitedString(std::int32_t{0})), "0");
    EXPECT_EQ(Str(DelimitedString(std::int32_t{-305})), "-305");
    EXPECT_EQ(Str(DelimitedString(kMax)), "2147483647");
    EXPECT_EQ(Str(DelimitedString(kMin)), "-2147483648");

    struct Case
    {
        std::uint32_t value;
        int radix;
        const char* expected;
    };
    const Case cases[] = {
        {0, 10, "0"},    {7, 10, "7"},   {4294967295u, 10, "4294967295"},
        {255, 16, "ff"}, {5, 2, "101"},  {4294967295u, 2, "11111111111111111111111111111111"},
        {35, 36, "z"},   {36, 36, "10"}, {8, 8, "10"},
        {12, 1, ""},     {12, 37, ""},   {12, 0, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.value) + " radix " + std::to_string(c.radix));
        const DelimitedString text(c.value, c.radix);
        EXPECT_EQ(Str(text), c.expected);
        if (c.radix >= 2 && c.radix <= 36 && c.value <= static_cast<std::uint32_t>(kMax))
        {
            EXPECT_EQ(text.ToNumber(c.radix), static_cast<std::int32_t>(c.value));
        }
    }
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

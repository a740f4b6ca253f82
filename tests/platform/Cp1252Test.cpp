#include <gtest/gtest.h>

#include <string>

#include "platform/Cp1252.h"

namespace kavelmark
{
namespace
{

TEST(Cp1252, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
    {
        all.push_back(static_cast<char>(b));
    }
    const auto back = Utf8ToCp1252(Cp1252ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, MapsTheSpecialBytes)
{
    struct Case
    {
        unsigned char byte;
        char32_t codePoint;
        const char* utf8;
    };
    const Case cases[] = {
        {0x80, U'\u20AC', "\xE2\x82\xAC"}, // euro sign
        {0x81, 0x0081, "\xC2\x81"},        // undefined: same code point
        {0x8D, 0x008D, "\xC2\x8D"},
        {0x9F, U'\u0178', "\xC5\xB8"},
        {0xDC, U'\u00DC', "\xC3\x9C"}, // Latin-1 range is identity
        {0xE4, U'\u00E4', "\xC3\xA4"},
        {'A', U'A', "A"},
        {0x7F, 0x007F, "\x7F"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(Cp1252ToCodePoint(c.byte), c.codePoint);
        EXPECT_EQ(CodePointToCp1252(c.codePoint), c.byte);
        EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8);
        const Utf8OfByte& entry = Cp1252Utf8Table()[c.byte];
        EXPECT_EQ(std::string(entry.bytes.data(), entry.size), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), std::string(1, static_cast<char>(c.byte)));
    }
}

TEST(Cp1252, TableAgreesWithTheCodePointOfEveryByte)
{
    std::string all;
    std::string expected;
    for (int b = 0; b < 256; ++b)
    {
        SCOPED_TRACE(b);
        std::string utf8;
        AppendUtf8(utf8, Cp1252ToCodePoint(static_cast<unsigned char>(b)));
        const Utf8OfByte& entry = Cp1252Utf8Table()[static_cast<std::size_t>(b)];
        EXPECT_EQ(std::string(entry.bytes.data(), entry.size), utf8);
        all.push_back(static_cast<char>(b));
        expected += utf8;
    }
    EXPECT_EQ(Cp1252ToUtf8(all), expected);
}

TEST(Cp1252, RefusesWhatItCannotHoldInsteadOfReplacing)
{
    const char* refused[] = {
        "\xC4\x80",         // U+0100, not in cp1252
        "a\xE2\x82\xAD",    // U+20AD next to the euro sign
        "\xC2\x80",         // U+0080: its byte means the euro sign
        "\xF0\x9F\x94\x91", // outside the Basic Multilingual Plane
        "\xC3",             // truncated sequence
        "\x9C",             // stray continuation byte
        "\xC3\x28",         // lead byte without continuation
        "\xC0\xAF",         // overlong '/'
        "\xE0\x80\xAF",     // overlong '/'
        "\xED\xA0\x80",     // surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xFF",
    };
    for (const char* text : refused)
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(Utf8ToCp1252(text), std::nullopt);
    }
    EXPECT_EQ(CodePointToCp1252(0x0100), -1);
    EXPECT_EQ(CodePointToCp1252(0x0080), -1);
}

TEST(Cp1252, EmptyAndPlainText)
{
    EXPECT_EQ(Utf8ToCp1252(""), std::string());
    EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xBC\xC3\x9F"
                           "e \xE2\x82\xAC"),
              std::string("Gr\xFC\xDF"
                          "e \x80"));
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include "platform/TerminalText.h"

namespace kavelmark
{
namespace
{

TEST(TerminalTextTest, ControlCharactersAndBrokenUtf8AreEscapedAndPrintableTextStays)
{
    struct Case
    {
        const char* name;
        std::string text;
        bool keepLineBreaks;
        std::string expected;
    };
    const Case cases[] = {
        {"a title and a screen clear", "\x1b]2;pwned\x07\x1b[2J", false, "\\x1b]2;pwned\\x07\\x1b[2J"},
        {"line break dropped", "a\nb\r\tc", false, "a\\x0ab\\x0d\\x09c"},
        {"line break kept", "a\nb\rc", true, "a\nb\\x0dc"},
        {"nul and delete", std::string("a\0b\x7f", 4), false, "a\\x00b\\x7f"},
        {"C1 control sequence introducer in UTF-8",
         "x\xc2\x9b"
         "31m",
         false, "x\\u009b31m"},
        {"last C1 and first printable after it", "\xc2\x9f\xc2\xa0", false, "\\u009f\xc2\xa0"},
        {"a lone cp1252 byte",
         "Gr\xfc\xdf"
         "e \x9b",
         false, "Gr\\xfc\\xdfe \\x9b"},
        {"overlong and surrogate forms", "\xc0\x80\xed\xa0\x80", false, "\\xc0\\x80\\xed\\xa0\\x80"},
        {"a sequence cut at the end", "ok\xe2\x82", false, "ok\\xe2\\x82"},
        {"German, the euro sign and a four-byte character", "Grüße € 😀", false, "Grüße € 😀"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(TerminalSafe(c.text, c.keepLineBreaks), c.expected) << c.name;
    }
}

} // namespace
} // namespace kavelmark

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "platform/qt/DataExchange.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

TEST(DataExchangeTest, UnsignedNumberWithRangeCheck)
{
    struct Case
    {
        const char* input;
        const char* message; // empty: accepted
        std::uint32_t value; // the member afterwards (starts at 7)
    };
    const Case cases[] = {
        {"360000", "", 360000},
        {"0", "", 0},
        {" \t42 ", "", 42},
        {"360001", "Geben Sie bitte eine ganze Zahl zwischen 0 und 360000 ein.", 360001},
        {"-1", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
        {"", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
        {"+5", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
        {"4 2", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
        {"12ms", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
        {"4294967295", "Geben Sie bitte eine ganze Zahl zwischen 0 und 360000 ein.", 4294967295u},
        {"4294967296", "Geben Sie bitte eine ganze Zahl zwischen 0 und 360000 ein.", 4294967295u},
        {"99999999999999999999999", "Geben Sie bitte eine ganze Zahl zwischen 0 und 360000 ein.", 4294967295u},
        {"99999999999x", "Geben Sie bitte eine positive ganze Zahl ein.", 7},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.input);
        testing::MessageRecorder messages;
        QLineEdit edit(c.input);
        std::uint32_t value = 7;
        DataExchange dx(true);
        dx.UInt(&edit, value);
        dx.MinMaxUInt(value, 0, 360000);

        EXPECT_EQ(value, c.value);
        EXPECT_EQ(dx.Failed(), *c.message != '\0');
        if (*c.message == '\0')
        {
            EXPECT_TRUE(messages.messages.empty());
            continue;
        }
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, c.message);
        EXPECT_EQ(messages.messages[0].caption, "Kavelmark");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(edit.selectedText(), edit.text());
    }
}

TEST(DataExchangeTest, FirstFailureStopsTheRun)
{
    testing::MessageRecorder messages;
    QLineEdit number("abc");
    QLineEdit name("neu");
    std::uint32_t value = 1;
    std::string text = "alt";
    DataExchange dx(true);
    dx.UInt(&number, value);
    dx.MinMaxUInt(value, 5, 10);
    dx.Text(&name, text);
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(text, "alt");
}

TEST(DataExchangeTest, MembersToControlsAndBack)
{
    QLineEdit line;
    QPlainTextEdit lines;
    QLabel label;
    QComboBox combo;
    combo.addItems({"TwoFish"});
    std::string lineText = "Schlüssellämge";
    std::string multi = "eins\r\nzwei";
    std::string labelText = "$&1: User";
    std::uint32_t number = 2000;
    int index = 3; // beyond the list: nothing selected

    DataExchange show(false);
    show.Text(&line, lineText);
    show.Text(&lines, multi);
    show.Text(&label, labelText);
    show.UInt(&line, number);
    show.ComboIndex(&combo, index);
    EXPECT_EQ(line.text(), "2000");
    EXPECT_EQ(lines.toPlainText(), "eins\nzwei");
    EXPECT_EQ(label.text(), "$&1: User");
    EXPECT_EQ(combo.currentIndex(), -1);

    line.setText(QString::fromUtf8("Ausblenzeit"));
    combo.setCurrentIndex(0);
    DataExchange read(true);
    read.Text(&line, lineText);
    read.Text(&lines, multi);
    read.ComboIndex(&combo, index);
    EXPECT_FALSE(read.Failed());
    EXPECT_EQ(lineText, "Ausblenzeit");
    EXPECT_EQ(multi, "eins\r\nzwei");
    EXPECT_EQ(index, 0);
}

} // namespace
} // namespace kavelmark

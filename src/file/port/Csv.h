#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SecureString.h"

namespace kavelmark
{

// CSV as RFC 4180 has it: fields separated by commas, records ended by CRLF (LF alone is read
// too), a field in double quotes may hold commas, line breaks and doubled quotes. The texts
// pass byte for byte, so UTF-8 stays UTF-8. Fields live in wiping buffers: a table of entries
// holds every password of a file in plain text.
using CsvRow = std::vector<SecureString, WipingAllocator<SecureString>>;
using CsvTable = std::vector<CsvRow, WipingAllocator<CsvRow>>;

struct CsvReadResult
{
    CsvTable rows;
    std::vector<std::size_t> firstLines; // the line each row begins on, from 1
    std::string error;                   // empty when the whole text was read
    std::size_t errorLine = 0;
};

// Reads every record of the text; a line end after the last record is optional and a UTF-8
// byte order mark at the start is skipped. An empty line is a record of one empty field.
// Malformed quoting stops the reading with an error that names its line, because guessing
// would shift values into the wrong columns.
CsvReadResult ReadCsv(std::string_view text);

// What a cell that a spreadsheet would take for a formula (one beginning with "=", "+", "-",
// "@", a tab or a carriage return) becomes: kept as it is, which other password managers need,
// or defused with a leading "'", so that opening the file cannot run it.
enum class CsvFormulas
{
    Kept,
    Defused,
};

// Appends one record, ended by CRLF. A field is quoted when it holds a quote, a comma or a
// line break, or begins or ends with a blank or tab (which spreadsheets would trim).
void AppendCsvRow(SecureString& out, std::span<const std::string_view> fields,
                  CsvFormulas formulas = CsvFormulas::Kept);

} // namespace kavelmark

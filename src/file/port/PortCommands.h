#pragma once

#include <string>
#include <string_view>

namespace kavelmark
{

// The import and export commands of kavelmark-file. Both find the password on the first
// line of standard input and the file through the setting Config/MainEntryFile, which the
// caller has set to path; they return the tool's exit status (0 done, 1 failed, 2 refused).

// Writes the file's entries in plain text to standard output, in format "csv" or
// "keepass-xml", and warns on standard error that the output is plaintext. spreadsheetSafe
// defuses the CSV cells that a spreadsheet would run as formulas.
int ExportCommand(std::string_view format, bool spreadsheetSafe, const std::string& path);

// Adds the entries of the CSV that follows the password line to the file (a missing file
// starts from the built-in categories) and saves it; any refused row leaves the file as it was.
int ImportCommand(std::string_view format, const std::string& path);

} // namespace kavelmark

#pragma once

#include <string>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

enum class ExportFormat
{
    Csv,                // the peers' columns, then Kavelmark's own (see Columns.h)
    CsvSpreadsheetSafe, // the same, with cells that a spreadsheet would run as formulas defused
    KeePassXml,         // a KeePass 2 XML file, one group per category
};

// Writes every entry of the store, in store order, as UTF-8 text in the given format to out.
// Names and descriptions stay unexpanded. False, with a message naming the entry, when an
// entry holds a text the format cannot carry (XML has no form for most control characters).
bool ExportEntries(const PasswordStore& store, ExportFormat format, SecureString& out, std::string& problem);

} // namespace kavelmark

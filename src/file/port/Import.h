#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// The category of a peer's row without a group, and the labels of a category that an
// import creates without labels of its own.
inline constexpr std::string_view kImportCategory = "Importiert";
inline constexpr std::array<std::string_view, 3> kImportLabels = {"User", "Password (*)", "Host"};

// One row of the CSV, its texts already in cp1252 and each one storable as a field.
struct ImportedEntry
{
    std::size_t row = 0; // as a spreadsheet numbers it: the header is row 1
    SecureString category;
    SecureString name;
    bool raw = false;                   // values and description from Kavelmark's own columns
    std::array<SecureString, 3> labels; // for a category the import creates, when raw
    std::array<SecureString, 3> values; // when raw
    SecureString description;           // when raw; otherwise the peers' notes
    SecureString username;              // when not raw: placed by the category's labels
    SecureString password;
    SecureString url;
};

struct ImportPlan
{
    std::vector<ImportedEntry, WipingAllocator<ImportedEntry>> entries;
    // One message per refused row, or for the header; nothing may be imported when any.
    std::vector<std::string> problems;
};

// Reads a CSV (UTF-8, a header row naming the columns first) as the entries to import. A
// row is refused when a field it uses cannot be stored in a record: a character outside
// cp1252, the separator "_|_" or a trailing "_|".
ImportPlan PlanImport(std::string_view csv);

struct ImportCount
{
    std::size_t entries = 0;
    std::size_t categories = 0;
};

// Appends the planned entries to the store, each after a category record of its category:
// an existing one is used with its labels, a missing one is appended first. False, with a
// message naming the row, when a row's values do not fit its category's fields.
bool AddImported(PasswordStore& store, const ImportPlan& plan, ImportCount& count, std::string& problem);

} // namespace kavelmark

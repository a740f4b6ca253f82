#include "file/port/Import.h"

#include <algorithm>
#include <optional>

#include "file/port/Columns.h"
#include "file/port/Csv.h"
#include "platform/Cp1252.h"

namespace kavelmark
{
namespace
{

constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

bool SameName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
    {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (lower(a[i]) != lower(b[i]))
        {
            return false;
        }
    }
    return true;
}

std::size_t FindColumn(const CsvRow& header, std::string_view name)
{
    for (std::size_t i = 0; i < header.size(); ++i)
    {
        if (SameName(header[i], name))
        {
            return i;
        }
    }
    return kNoColumn;
}

bool AllEmpty(const CsvRow& row)
{
    for (const SecureString& field : row)
    {
        if (!field.empty())
        {
            return false;
        }
    }
    return true;
}

std::string RowName(std::size_t row, std::size_t line, std::string_view title)
{
    std::string name = "row " + std::to_string(row);
    if (line != row)
    {
        name += " (line " + std::to_string(line) + ")";
    }
    if (!title.empty())
    {
        name += " \"" + std::string(title) + "\"";
    }
    return name;
}

// The cell of a column as a field text, or nothing with a problem that names the column.
std::optional<SecureString> Field(const CsvRow& row, const CsvRow& header, std::size_t column,
                                  const std::string& rowName, std::vector<std::string>& problems)
{
    if (column == kNoColumn)
    {
        return SecureString();
    }
    std::optional<std::string> bytes = Utf8ToCp1252(row[column]);
    const std::string where = rowName + ": the column \"" + std::string(std::string_view(header[column])) + "\"";
    if (!bytes)
    {
        problems.push_back(where + " holds a character that cp1252 cannot store");
        return std::nullopt;
    }
    SecureString field = ToSecure(*bytes);
    WipeString(*bytes);
    if (!PasswordStore::IsStorableField(field))
    {
        problems.push_back(where + " holds \"_|_\" or ends in \"_|\", which a record cannot hold");
        return std::nullopt;
    }
    return field;
}

// Peers write a group as its path from their root group, "Root/Mail"; when every row lies
// under one root and some below it, the root's name says nothing and is dropped. Entries
// without a group land in one category of their own.
void DropRootGroup(ImportPlan& plan)
{
    std::optional<SecureString> root;
    bool below = false;
    for (const ImportedEntry& entry : plan.entries)
    {
        const std::string_view group = entry.category;
        const std::string_view first = group.substr(0, group.find('/'));
        if (root && *root != first)
        {
            below = false;
            break;
        }
        root = ToSecure(first);
        below = below || first.size() < group.size();
    }
    for (ImportedEntry& entry : plan.entries)
    {
        if (below)
        {
            entry.category.erase(0, std::min(entry.category.size(), root->size() + 1));
        }
        if (entry.category.empty())
        {
            entry.category = ToSecure(kImportCategory);
        }
    }
}

} // namespace

ImportPlan PlanImport(std::string_view csv)
{
    ImportPlan plan;
    CsvReadResult table = ReadCsv(csv);
    if (!table.error.empty())
    {
        plan.problems.push_back("line " + std::to_string(table.errorLine) + ": " + table.error);
        return plan;
    }
    if (table.rows.empty())
    {
        plan.problems.push_back("no CSV on standard input after the password line");
        return plan;
    }
    const CsvRow& header = table.rows.front();
    const std::size_t group = FindColumn(header, kColumnGroup);
    const std::size_t title = FindColumn(header, kColumnTitle);
    const std::size_t username = FindColumn(header, kColumnUsername);
    const std::size_t password = FindColumn(header, kColumnPassword);
    const std::size_t url = FindColumn(header, kColumnUrl);
    const std::size_t notes = FindColumn(header, kColumnNotes);
    std::array<std::size_t, 3> labels{};
    std::array<std::size_t, 3> values{};
    std::size_t ownColumns = 0;
    for (std::size_t k = 0; k < 3; ++k)
    {
        labels[k] = FindColumn(header, kColumnLabels[k]);
        values[k] = FindColumn(header, kColumnValues[k]);
        ownColumns += (labels[k] != kNoColumn) + (values[k] != kNoColumn);
    }
    const std::size_t description = FindColumn(header, kColumnDescription);
    ownColumns += description != kNoColumn;
    if (title == kNoColumn)
    {
        plan.problems.push_back("row 1 must name the columns, and it names no \"Title\"");
        return plan;
    }
    const bool raw =
        values[0] != kNoColumn && values[1] != kNoColumn && values[2] != kNoColumn && description != kNoColumn;
    // All seven or none: with any of them, the labels are there exactly when the values are.
    if (ownColumns != 0 && !(raw && labels[0] != kNoColumn && labels[1] != kNoColumn && labels[2] != kNoColumn))
    {
        plan.problems.push_back("row 1 names only some of Kavelmark's own columns; give all seven or none");
        return plan;
    }

    for (std::size_t i = 1; i < table.rows.size(); ++i)
    {
        const CsvRow& row = table.rows[i];
        if (AllEmpty(row))
        {
            continue;
        }
        const std::size_t rowNumber = i + 1;
        const std::string rowName =
            RowName(rowNumber, table.firstLines[i], row.size() > title ? std::string_view(row[title]) : "");
        if (row.size() != header.size())
        {
            plan.problems.push_back(rowName + " has " + std::to_string(row.size()) + " fields, the header " +
                                    std::to_string(header.size()));
            continue;
        }
        const std::size_t problemsBefore = plan.problems.size();
        auto field = [&](std::size_t column)
        {
            std::optional<SecureString> text = Field(row, header, column, rowName, plan.problems);
            return text ? std::move(*text) : SecureString();
        };
        ImportedEntry entry;
        entry.row = rowNumber;
        entry.raw = raw;
        entry.category = field(group);
        entry.name = field(title);
        if (raw)
        {
            for (std::size_t k = 0; k < 3; ++k)
            {
                entry.labels[k] = field(labels[k]);
                entry.values[k] = field(values[k]);
            }
            entry.description = field(description);
        }
        else
        {
            entry.username = field(username);
            entry.password = field(password);
            entry.url = field(url);
            entry.description = field(notes);
        }
        if (plan.problems.size() == problemsBefore)
        {
            plan.entries.push_back(std::move(entry));
        }
    }
    if (!raw)
    {
        DropRootGroup(plan);
    }
    return plan;
}

bool AddImported(PasswordStore& store, const ImportPlan& plan, ImportCount& count, std::string& problem)
{
    for (const ImportedEntry& entry : plan.entries)
    {
        PasswordStore::Position category = store.FindCategory(entry.category);
        // An entry exported without a category record (all labels empty) comes back the same.
        const bool orphan = entry.raw && entry.labels[0].empty() && entry.labels[1].empty() && entry.labels[2].empty();
        if (!category && !orphan)
        {
            if (entry.raw)
            {
                category = store.AddCategory(entry.category, entry.labels[0], entry.labels[1], entry.labels[2]);
            }
            else
            {
                category = store.AddCategory(entry.category, kImportLabels[0], kImportLabels[1], kImportLabels[2]);
            }
            ++count.categories;
        }
        std::array<SecureString, 3> values = entry.values;
        SecureString description = entry.description;
        if (!entry.raw)
        {
            std::array<SecureString, 3> labels;
            for (int k = 1; k <= 3; ++k)
            {
                labels[k - 1] = store.GetCategoryLabel(category, k);
            }
            const FieldMapping mapping = MapLabels({labels[0], labels[1], labels[2]});
            if (!entry.password.empty() && mapping.password == 0)
            {
                problem = "row " + std::to_string(entry.row) +
                          ": its category has no secret field, and a password is never stored in clear";
                return false;
            }
            // What has no field of its own stays readable in the description.
            auto place = [&](int slot, std::string_view column, const SecureString& text)
            {
                if (slot != 0)
                {
                    values[slot - 1] = text;
                }
                else if (!text.empty())
                {
                    if (!description.empty())
                    {
                        description.push_back('\n');
                    }
                    description.append(column);
                    description.append(": ");
                    description.append(text);
                }
            };
            place(mapping.username, kColumnUsername, entry.username);
            place(mapping.password, kColumnPassword, entry.password);
            place(mapping.url, kColumnUrl, entry.url);
        }
        if (!store.AddEntry(entry.category, entry.name, description, values[0], values[1], values[2]))
        {
            problem = "row " + std::to_string(entry.row) + " cannot be stored as a record";
            return false;
        }
        ++count.entries;
    }
    return true;
}

} // namespace kavelmark

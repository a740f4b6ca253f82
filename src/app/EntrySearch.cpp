#include "app/EntrySearch.h"

#include <array>
#include <map>

namespace kavelmark
{
namespace
{

constexpr char FoldChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
    {
        return static_cast<char>(byte + 0x20);
    }
    switch (byte)
    {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<char>(byte + 0x10);
    case 0x9F: // Ÿ
        return static_cast<char>(0xFF);
    default:
        return c;
    }
}

// Looked up once per byte of every text a search passes.
constexpr std::array<char, 256> kFoldTable = []
{
    std::array<char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
    {
        table[byte] = FoldChar(static_cast<char>(byte));
    }
    return table;
}();

char Folded(char c)
{
    return kFoldTable[static_cast<unsigned char>(c)];
}

bool ContainsFolded(std::string_view haystack, std::string_view folded)
{
    if (folded.empty())
    {
        return true;
    }
    if (folded.size() > haystack.size())
    {
        return false;
    }
    for (std::size_t start = 0, last = haystack.size() - folded.size(); start <= last; ++start)
    {
        if (Folded(haystack[start]) != folded[0])
        {
            continue;
        }
        std::size_t i = 1;
        while (i < folded.size() && Folded(haystack[start + i]) == folded[i])
        {
            ++i;
        }
        if (i == folded.size())
        {
            return true;
        }
    }
    return false;
}

// Which of the three values are secret, from the labels of a category record (none for an
// empty text, as when an entry's category has no record).
using SecretValues = std::array<bool, 3>;

SecretValues SecretValuesOf(std::string_view categoryRecord)
{
    std::array<std::string_view, 4> fields;
    PasswordStore::ViewFields(categoryRecord, fields);
    return {PasswordStore::IsSecretLabel(fields[1]), PasswordStore::IsSecretLabel(fields[2]),
            PasswordStore::IsSecretLabel(fields[3])};
}

// Expanded texts show values, so they live in wiped blocks, reused from entry to entry.
struct ExpansionBuffers
{
    SecureString expanded;
    SecureString scratch;
};

using EntryFields = std::array<std::string_view, 6>;

bool FieldsMatch(const EntryFields& fields, const SecretValues& secret, std::string_view folded,
                 ExpansionBuffers& buffers)
{
    const std::array<std::string_view, 3> values = {fields[3], fields[4], fields[5]};
    for (const std::string_view shown : {fields[1], fields[2]})
    {
        // Most names hold no placeholder: those are searched where they are stored.
        if (shown.find('$') == std::string_view::npos)
        {
            if (ContainsFolded(shown, folded))
            {
                return true;
            }
            continue;
        }
        if (ContainsFolded(PasswordStore::ExpandPlaceholders(shown, values, secret, buffers.expanded, buffers.scratch),
                           folded))
        {
            return true;
        }
    }
    for (std::size_t k = 0; k < values.size(); ++k)
    {
        if (!secret[k] && ContainsFolded(values[k], folded))
        {
            return true;
        }
    }
    return false;
}

} // namespace

SecureString EntrySearch::Fold(std::string_view text)
{
    SecureString folded(text.data(), text.size());
    for (char& c : folded)
    {
        c = Folded(c);
    }
    return folded;
}

bool EntrySearch::Matches(PasswordStore::Position entry, std::string_view text) const
{
    const SecureString folded = Fold(text);
    const SecureString& record = store_.GetAt(entry);
    if (folded.empty() || !PasswordStore::IsEntryRecord(record))
    {
        return false;
    }
    EntryFields fields;
    PasswordStore::ViewFields(record, fields);
    ExpansionBuffers buffers;
    return FieldsMatch(fields, SecretValuesOf(store_.GetAt(store_.FindCategory(fields[0]))), folded, buffers);
}

PasswordStore::Position EntrySearch::FindNext(std::string_view text, PasswordStore::Position after) const
{
    const SecureString folded = Fold(text);
    if (folded.empty())
    {
        return {};
    }
    // The first record of each category name, as the list expands names with it; read once
    // rather than once per entry. The names are views into the records, which the search
    // does not change.
    std::map<std::string_view, SecretValues> categories;
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        const SecureString& record = store_.GetAt(pos);
        if (PasswordStore::IsCategoryRecord(record))
        {
            std::array<std::string_view, 1> name;
            PasswordStore::ViewFields(record, name);
            categories.try_emplace(name[0], SecretValuesOf(record));
        }
    }
    static constexpr SecretValues kNoCategory{};

    ExpansionBuffers buffers;
    EntryFields fields;
    PasswordStore::Position pos = after ? store_.GetNextPosition(after) : store_.GetHeadPosition();
    for (std::size_t visited = 0, count = store_.GetCount(); visited < count; ++visited)
    {
        if (!pos)
        {
            pos = store_.GetHeadPosition();
        }
        const SecureString& record = store_.GetAt(pos);
        if (PasswordStore::IsEntryRecord(record))
        {
            PasswordStore::ViewFields(record, fields);
            const auto category = categories.find(fields[0]);
            if (FieldsMatch(fields, category == categories.end() ? kNoCategory : category->second, folded, buffers))
            {
                return pos;
            }
        }
        pos = store_.GetNextPosition(pos);
    }
    return {};
}

} // namespace kavelmark

#include "app/EntrySearch.h"

#include <map>

namespace kavelmark
{
namespace
{

char FoldChar(char c)
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

bool ContainsFolded(std::string_view haystack, std::string_view folded)
{
    if (folded.size() > haystack.size())
    {
        return false;
    }
    for (std::size_t start = 0; start + folded.size() <= haystack.size(); ++start)
    {
        std::size_t i = 0;
        while (i < folded.size() && FoldChar(haystack[start + i]) == folded[i])
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

} // namespace

SecureString EntrySearch::Fold(std::string_view text)
{
    SecureString folded(text.data(), text.size());
    for (char& c : folded)
    {
        c = FoldChar(c);
    }
    return folded;
}

bool EntrySearch::MatchesFolded(PasswordStore::Position entry, PasswordStore::Position category,
                                std::string_view folded) const
{
    const SecureString shown[] = {store_.ExpandDisplayText(entry, store_.GetEntryName(entry), category),
                                  store_.ExpandDisplayText(entry, store_.GetEntryDescription(entry), category)};
    for (const SecureString& text : shown)
    {
        if (ContainsFolded(text, folded))
        {
            return true;
        }
    }
    for (int k = 1; k <= 3; ++k)
    {
        if (!PasswordStore::IsSecretLabel(store_.GetCategoryLabel(category, k)) &&
            ContainsFolded(store_.GetEntryValue(entry, k), folded))
        {
            return true;
        }
    }
    return false;
}

bool EntrySearch::Matches(PasswordStore::Position entry, std::string_view text) const
{
    const SecureString folded = Fold(text);
    return !folded.empty() && PasswordStore::IsEntryRecord(store_.GetAt(entry)) &&
           MatchesFolded(entry, store_.FindCategory(store_.GetEntryCategory(entry)), folded);
}

PasswordStore::Position EntrySearch::FindNext(std::string_view text, PasswordStore::Position after) const
{
    const SecureString folded = Fold(text);
    if (folded.empty())
    {
        return {};
    }
    // The first record of each category name, as the list expands names with it; looked up
    // once rather than once per entry.
    std::map<SecureString, PasswordStore::Position, std::less<>> categories;
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store_.GetAt(pos)))
        {
            categories.try_emplace(store_.GetEntryField(pos, 1), pos);
        }
    }
    auto categoryOf = [&](PasswordStore::Position entry)
    {
        auto found = categories.find(store_.GetEntryCategory(entry));
        return found == categories.end() ? PasswordStore::Position() : found->second;
    };

    PasswordStore::Position pos = after ? store_.GetNextPosition(after) : store_.GetHeadPosition();
    for (std::size_t visited = 0, count = store_.GetCount(); visited < count; ++visited)
    {
        if (!pos)
        {
            pos = store_.GetHeadPosition();
        }
        if (PasswordStore::IsEntryRecord(store_.GetAt(pos)) && MatchesFolded(pos, categoryOf(pos), folded))
        {
            return pos;
        }
        pos = store_.GetNextPosition(pos);
    }
    return {};
}

} // namespace kavelmark

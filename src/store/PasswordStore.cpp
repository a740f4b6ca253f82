#include "store/PasswordStore.h"

#include <initializer_list>

#include "store/BuiltInCategories.h"
#include "store/DelimitedString.h"

namespace kavelmark
{
namespace
{

constexpr std::string_view kSeparator = "_|_";
constexpr std::string_view kCategoryMarker = "_C_";
constexpr std::string_view kEntryMarker = "_E_";

bool HasMarker(std::string_view record, std::string_view marker)
{
    return !record.empty() && record.substr(0, marker.size()) == marker;
}

SecureString BuildRecord(std::string_view marker, std::initializer_list<std::string_view> fields)
{
    SecureString record;
    std::size_t size = marker.size() + kSeparator.size();
    for (const std::string_view field : fields)
    {
        size += field.size() + kSeparator.size();
    }
    // One allocation, so no partial copy of the record is left behind in freed memory.
    record.reserve(size);
    record.append(marker);
    record.append(kSeparator);
    for (const std::string_view field : fields)
    {
        record.append(field);
        record.append(kSeparator);
    }
    return record;
}

bool AllStorable(std::initializer_list<std::string_view> fields)
{
    for (const std::string_view field : fields)
    {
        if (!PasswordStore::IsStorableField(field))
        {
            return false;
        }
    }
    return true;
}

SecureString RecordField(const SecureString& record, int n)
{
    return DelimitedString(std::string_view(record)).RightOfNth(kSeparator, n, 0).LeftOfNth(kSeparator, 1, 0).Text();
}

// The first separator at or after `from`. A loop of its own: records are short, and a
// library search costs more in calls than the scan.
std::size_t FindSeparator(std::string_view record, std::size_t from)
{
    for (std::size_t i = from; i + kSeparator.size() <= record.size(); ++i)
    {
        if (record[i] == kSeparator[0] && record[i + 1] == kSeparator[1] && record[i + 2] == kSeparator[2])
        {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

PasswordStore::PasswordStore()
{
    for (const BuiltInCategory& row : BuiltInCategoryTable)
    {
        AddCategory(row.name, row.label1, row.label2, row.label3);
    }
}

PasswordStore::Position PasswordStore::GetHeadPosition() const
{
    return records_.empty() ? Position() : Position(records_.begin());
}

PasswordStore::Position PasswordStore::GetNextPosition(Position position) const
{
    if (!position)
    {
        return {};
    }
    auto next = std::next(position.it_);
    return next == records_.end() ? Position() : Position(next);
}

const SecureString& PasswordStore::GetAt(Position position) const
{
    static const SecureString kNone;
    return position ? *position.it_ : kNone;
}

std::size_t PasswordStore::GetCount() const
{
    return records_.size();
}

PasswordStore::Position PasswordStore::AddTail(std::string_view text)
{
    records_.emplace_back(text.data(), text.size());
    return Position(std::prev(records_.end()));
}

void PasswordStore::RemoveAt(Position position)
{
    if (position)
    {
        records_.erase(position.it_);
    }
}

void PasswordStore::RemoveAll()
{
    records_.clear();
}

void PasswordStore::TakeAll(PasswordStore& other)
{
    records_.splice(records_.end(), other.records_);
}

void PasswordStore::AddMissingBuiltInCategories()
{
    for (const BuiltInCategory& row : BuiltInCategoryTable)
    {
        if (!FindCategory(row.name))
        {
            AddCategory(row.name, row.label1, row.label2, row.label3);
        }
    }
}

bool PasswordStore::IsCategoryRecord(std::string_view record)
{
    return HasMarker(record, kCategoryMarker);
}

bool PasswordStore::IsEntryRecord(std::string_view record)
{
    return HasMarker(record, kEntryMarker);
}

bool PasswordStore::IsSecretLabel(std::string_view label)
{
    return label.ends_with("(*)");
}

bool PasswordStore::IsStorableField(std::string_view field)
{
    return field.find(kSeparator) == std::string_view::npos && !field.ends_with(kSeparator.substr(0, 2));
}

PasswordStore::Position PasswordStore::AddCategory(std::string_view name, std::string_view label1,
                                                   std::string_view label2, std::string_view label3)
{
    const auto fields = {name, label1, label2, label3};
    if (!AllStorable(fields))
    {
        return {};
    }
    records_.push_back(BuildRecord(kCategoryMarker, fields));
    return Position(std::prev(records_.end()));
}

PasswordStore::Position PasswordStore::FindCategory(std::string_view name, Position start) const
{
    for (Position pos = start ? start : GetHeadPosition(); pos; pos = GetNextPosition(pos))
    {
        const SecureString& record = *pos.it_;
        if (!HasMarker(record, kCategoryMarker))
        {
            continue;
        }
        // A view, not a copy: a lookup scans every category record.
        std::string_view categoryName;
        ViewFields(record, std::span<std::string_view>(&categoryName, 1));
        if (categoryName == name)
        {
            return pos;
        }
    }
    return {};
}

SecureString PasswordStore::GetCategoryLabel(Position category, int n) const
{
    if (!category || n < 1 || n > 3)
    {
        return {};
    }
    return RecordField(*category.it_, n + 1);
}

PasswordStore::Position PasswordStore::AddEntry(std::string_view category, std::string_view name,
                                                std::string_view description, std::string_view value1,
                                                std::string_view value2, std::string_view value3)
{
    const auto fields = {category, name, description, value1, value2, value3};
    if (!AllStorable(fields))
    {
        return {};
    }
    records_.push_back(BuildRecord(kEntryMarker, fields));
    return Position(std::prev(records_.end()));
}

bool PasswordStore::ReplaceEntry(Position position, std::string_view category, std::string_view name,
                                 std::string_view description, std::string_view value1, std::string_view value2,
                                 std::string_view value3)
{
    const auto fields = {category, name, description, value1, value2, value3};
    if (!position || !AllStorable(fields))
    {
        return false;
    }
    SecureString record = BuildRecord(kEntryMarker, fields);
    // Wipe first: a shorter new text would leave the old tail in the reused buffer.
    WipeString(*position.it_);
    position.it_->swap(record);
    return true;
}

PasswordStore::Position PasswordStore::FindNextEntry(Position position) const
{
    for (Position pos = position ? GetNextPosition(position) : GetHeadPosition(); pos; pos = GetNextPosition(pos))
    {
        if (HasMarker(*pos.it_, kEntryMarker))
        {
            return pos;
        }
    }
    return {};
}

SecureString PasswordStore::GetEntryField(Position entry, int n) const
{
    if (!entry || n < 1 || n > 6)
    {
        return {};
    }
    return RecordField(*entry.it_, n);
}

SecureString PasswordStore::GetEntryCategory(Position entry) const
{
    return GetEntryField(entry, 1);
}

SecureString PasswordStore::GetEntryName(Position entry) const
{
    return GetEntryField(entry, 2);
}

SecureString PasswordStore::GetEntryDescription(Position entry) const
{
    return GetEntryField(entry, 3);
}

SecureString PasswordStore::GetEntryValue(Position entry, int k) const
{
    if (k < 1 || k > 3)
    {
        return {};
    }
    return GetEntryField(entry, k + 3);
}

PasswordStore::Position PasswordStore::FindEntryByDisplayName(std::string_view displayText, Position start) const
{
    for (Position pos = start ? start : GetHeadPosition(); pos; pos = GetNextPosition(pos))
    {
        if (HasMarker(*pos.it_, kEntryMarker) &&
            std::string_view(ExpandDisplayText(pos, GetEntryName(pos))) == displayText)
        {
            return pos;
        }
    }
    return {};
}

SecureString PasswordStore::ExpandDisplayText(Position entry, std::string_view text) const
{
    return ExpandDisplayText(entry, text, FindCategory(GetEntryCategory(entry)));
}

SecureString PasswordStore::ExpandDisplayText(Position entry, std::string_view text, Position category) const
{
    if (text.find('$') == std::string_view::npos)
    {
        return SecureString(text);
    }
    std::array<std::string_view, 6> fields;
    ViewFields(GetAt(entry), fields);
    std::array<std::string_view, 4> labels;
    ViewFields(GetAt(category), labels);
    SecureString expanded;
    SecureString scratch;
    return SecureString(ExpandPlaceholders(
        text, {fields[3], fields[4], fields[5]},
        {IsSecretLabel(labels[1]), IsSecretLabel(labels[2]), IsSecretLabel(labels[3])}, expanded, scratch));
}

void PasswordStore::ViewFields(std::string_view record, std::span<std::string_view> fields)
{
    // Field n runs from behind the n-th separator to the next one; without that next one it
    // is empty, as in field access through DelimitedString.
    std::size_t separator = FindSeparator(record, 0);
    for (std::string_view& field : fields)
    {
        const std::size_t start = separator == std::string_view::npos ? separator : separator + kSeparator.size();
        separator = start == std::string_view::npos ? start : FindSeparator(record, start);
        field = separator == std::string_view::npos ? std::string_view() : record.substr(start, separator - start);
    }
}

std::string_view PasswordStore::ExpandPlaceholders(std::string_view text, const std::array<std::string_view, 3>& values,
                                                   const std::array<bool, 3>& secret, SecureString& expanded,
                                                   SecureString& scratch)
{
    static constexpr std::string_view kPlaceholders[] = {"$1", "$2", "$3"};
    static constexpr std::string_view kMasks[] = {"*", "**", "***"};
    std::string_view current = text;
    for (std::size_t k = 0; k < 3; ++k)
    {
        const std::string_view placeholder = kPlaceholders[k];
        std::size_t found = current.find(placeholder);
        if (found == std::string_view::npos)
        {
            continue;
        }
        const std::string_view replacement = secret[k] ? kMasks[k] : values[k];
        // Every non-overlapping occurrence, left to right, in the text of the step before: what
        // this step inserts is looked at by the later steps only.
        scratch.clear();
        std::size_t done = 0;
        for (; found != std::string_view::npos; found = current.find(placeholder, done))
        {
            scratch.append(current.substr(done, found - done));
            scratch.append(replacement);
            done = found + placeholder.size();
        }
        scratch.append(current.substr(done));
        expanded.swap(scratch);
        current = expanded;
    }
    return current;
}

} // namespace kavelmark

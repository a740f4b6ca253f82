#pragma once

#include <array>
#include <cstddef>
#include <list>
#include <span>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// All categories and entries of the open password file: one ordered list of record texts
// (code page 1252 bytes) with positions that stay valid across appends and across removal
// of other elements. Category and entry records are interleaved in file order.
class PasswordStore
{
    using List = std::list<SecureString, WipingAllocator<SecureString>>;

public:
    // Opaque handle of one element; the default value is the null position ("none").
    class Position
    {
    public:
        // User-provided (not defaulted with member initialisers) so that "Position start = {}"
        // can serve as a default argument inside the enclosing class.
        Position() : it_(), valid_(false)
        {
        }
        explicit operator bool() const
        {
            return valid_;
        }
        bool operator==(const Position& other) const
        {
            return valid_ == other.valid_ && (!valid_ || it_ == other.it_);
        }

    private:
        friend class PasswordStore;
        explicit Position(List::iterator it) : it_(it), valid_(true)
        {
        }
        List::iterator it_;
        bool valid_;
    };

    // A new store already holds the seven built-in categories.
    PasswordStore();

    // The ordinary operations of a string list.
    Position GetHeadPosition() const;
    Position GetNextPosition(Position position) const; // null after the tail
    const SecureString& GetAt(Position position) const;
    std::size_t GetCount() const;
    Position AddTail(std::string_view text);
    void RemoveAt(Position position);
    void RemoveAll();
    // Moves every record of other to the end of this store, without a copy; other is empty after.
    void TakeAll(PasswordStore& other);

    void AddMissingBuiltInCategories();
    static bool IsSecretLabel(std::string_view label);
    // The kind of a record text, told by its marker.
    static bool IsCategoryRecord(std::string_view record);
    static bool IsEntryRecord(std::string_view record);

    // Record operations. Building operations refuse a field that contains the separator
    // "_|_" (the record format cannot hold it): AddCategory and AddEntry then return the null
    // position and ReplaceEntry returns false, and the store is unchanged.
    Position AddCategory(std::string_view name, std::string_view label1, std::string_view label2,
                         std::string_view label3);
    Position FindCategory(std::string_view name, Position start = {}) const;
    SecureString GetCategoryLabel(Position category, int n) const;

    Position AddEntry(std::string_view category, std::string_view name, std::string_view description,
                      std::string_view value1, std::string_view value2, std::string_view value3);
    bool ReplaceEntry(Position position, std::string_view category, std::string_view name, std::string_view description,
                      std::string_view value1, std::string_view value2, std::string_view value3);
    Position FindNextEntry(Position position) const;

    SecureString GetEntryField(Position entry, int n) const;
    SecureString GetEntryCategory(Position entry) const;
    SecureString GetEntryName(Position entry) const;
    SecureString GetEntryDescription(Position entry) const;
    SecureString GetEntryValue(Position entry, int k) const;

    Position FindEntryByDisplayName(std::string_view displayText, Position start = {}) const;
    SecureString ExpandDisplayText(Position entry, std::string_view text) const;
    // The same with the entry's category record already looked up (null: no such category),
    // so that filling a list of all entries does not search the store once per row.
    SecureString ExpandDisplayText(Position entry, std::string_view text, Position category) const;

    // For a walk over many records, which should not copy every field it looks at: the fields
    // of a record text as views into it (fields[0] is field 1), cut as GetEntryField cuts them.
    static void ViewFields(std::string_view record, std::span<std::string_view> fields);
    // The expansion of ExpandDisplayText from an entry's three values and which of them are
    // secret: `text` itself when it holds no placeholder, else a view into `expanded`, with
    // `scratch` holding the steps in between. Both buffers are the caller's, so that a walk can
    // reuse their blocks; neither may hold `text` or a value.
    static std::string_view ExpandPlaceholders(std::string_view text, const std::array<std::string_view, 3>& values,
                                               const std::array<bool, 3>& secret, SecureString& expanded,
                                               SecureString& scratch);

    // Whether a text can be stored as a field: it must not contain the separator, nor end
    // in "_|" (which would form a separator with the one that follows the field).
    static bool IsStorableField(std::string_view field);

private:
    mutable List records_;
};

} // namespace kavelmark

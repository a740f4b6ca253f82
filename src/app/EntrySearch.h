#pragma once

#include <string_view>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Finds entries by a text in what the list shows of them (name and description, with
// placeholders expanded and secret ones masked) and in their values that are not secret.
// Secret values are never looked at. Case is ignored for every letter of code page 1252, so
// "müller" finds "Müller".
class EntrySearch
{
public:
    explicit EntrySearch(const PasswordStore& store) : store_(store)
    {
    }

    // The first match after `after` in store order, going round to the head and ending with
    // `after` itself; from the head when `after` is null. Null when nothing matches or the
    // text is empty. The text is cp1252.
    PasswordStore::Position FindNext(std::string_view text, PasswordStore::Position after) const;
    bool Matches(PasswordStore::Position entry, std::string_view text) const;

    // The text in lower case, letter by letter in code page 1252.
    static SecureString Fold(std::string_view text);

private:
    const PasswordStore& store_;
};

} // namespace kavelmark

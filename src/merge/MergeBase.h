#pragma once

#include <cstddef>
#include <string_view>

#include "merge/RecordKeys.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// What the password file held when the session last loaded or saved it: the common ancestor of
// a three-way merge with the file another computer wrote since. It keeps only keyed hashes of the
// records, so that no plaintext outlives the store.
class MergeBase
{
public:
    // Empty until captured: a merge without a base keeps whatever either side holds.
    bool Captured() const
    {
        return captured_;
    }
    void Capture(const PasswordStore& store);
    void Clear();

    // How often the record was in the store at the capture.
    std::size_t CountOf(const RecordKey& key) const;
    // Whether the store holds exactly what was captured, in any order: no unsaved changes.
    bool Matches(const PasswordStore& store) const;

private:
    RecordKeyList keys_;
    bool captured_ = false;
};

} // namespace kavelmark

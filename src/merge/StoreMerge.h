#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "merge/MergeBase.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// What a merge did to the entries (categories are not counted).
struct MergeCounts
{
    // Entries that only the other side held: added or changed there.
    std::size_t fromOther = 0;
    // Entries of ours that the other side deleted and did not replace by one of the same
    // category and name.
    std::size_t deletedThere = 0;
    // Entries from the other side beside one of ours of the same category and name that
    // ours changed or added too: both versions are kept.
    std::size_t twice = 0;
    // Those entries by category and name, once each, in the other side's order.
    std::vector<std::pair<std::string, std::string>> twiceEntries;

    bool operator==(const MergeCounts&) const = default;
};

// Merges two versions of the password file's records into merged (emptied first). Records are
// compared whole, as multisets: with a base each is kept max(0, ours + theirs - base) times,
// without one (a copy with no common ancestor) max(ours, theirs) times. Nothing either side
// changed is lost; an entry changed differently on both sides is there in both versions.
// merged holds ours' records in their order, each entry kept twice followed at once by the other
// side's version, so that the two stand together; then theirs' other additions in theirs' order,
// and also any category that a kept entry uses and the built-in categories.
MergeCounts MergeStores(const MergeBase& base, const PasswordStore& ours, const PasswordStore& theirs,
                        PasswordStore& merged);

} // namespace kavelmark

#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "crypto/SipHash.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// A record told apart by a keyed hash and its length: equal records give equal keys, and two
// different records give equal keys about once in 2^64 tries, without the key never on purpose.
struct RecordKey
{
    std::uint64_t hash = 0;
    std::uint64_t length = 0;

    auto operator<=>(const RecordKey&) const = default;
};

using RecordKeyList = std::vector<RecordKey, WipingAllocator<RecordKey>>;

// The hash key of one program run, drawn at random: keys of records are only ever compared
// within the run that made them.
class RecordKeyer
{
public:
    RecordKeyer();
    ~RecordKeyer();
    RecordKeyer(const RecordKeyer&) = delete;
    RecordKeyer& operator=(const RecordKeyer&) = delete;

    RecordKey KeyOf(std::string_view record) const;
    // The keys of every record of the store, sorted.
    RecordKeyList SortedKeysOf(const PasswordStore& store) const;

    // The one keyer of the process.
    static const RecordKeyer& OfThisRun();

private:
    SipHashKey key_{};
};

} // namespace kavelmark

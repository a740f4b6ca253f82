#include "merge/RecordKeys.h"

#include <algorithm>
#include <random>

#include "crypto/SystemRandom.h"
#include "platform/SecureMemory.h"

namespace kavelmark
{

RecordKeyer::RecordKeyer()
{
    if (!FillSystemRandom(key_))
    {
        // Never seen on a running system; a weaker key still beats ending the program with
        // unsaved entries in it.
        std::random_device device;
        for (std::uint8_t& byte : key_)
        {
            byte = static_cast<std::uint8_t>(device());
        }
    }
}

RecordKeyer::~RecordKeyer()
{
    WipeBytes(key_.data(), key_.size());
}

RecordKey RecordKeyer::KeyOf(std::string_view record) const
{
    return RecordKey{SipHash24(key_, record), record.size()};
}

RecordKeyList RecordKeyer::SortedKeysOf(const PasswordStore& store) const
{
    RecordKeyList keys;
    keys.reserve(store.GetCount());
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        keys.push_back(KeyOf(store.GetAt(pos)));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

const RecordKeyer& RecordKeyer::OfThisRun()
{
    static const RecordKeyer keyer;
    return keyer;
}

} // namespace kavelmark

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Takes the records out of a decrypted body as it arrives in pieces: the save timestamp, the
// record count, then each record as its length and text, then the padding. The records go into
// a store of the parser's own, so that a body found damaged at any point adds nothing; only
// TakeInto hands them on.
class BodyRecords
{
public:
    // The body is bodyLength bytes long and ends in padding of minPadding to maxPadding bytes.
    BodyRecords(std::uint64_t bodyLength, std::size_t minPadding, std::size_t maxPadding);

    // The next piece of the body; false once the body is found damaged.
    bool Feed(std::string_view piece);
    // Whether the whole body was fed and held what its count says; then moves the records to
    // the end of store.
    bool TakeInto(PasswordStore& store);

private:
    bool Gather(std::string_view& piece, std::string_view& field);
    void Complete(std::string_view field);
    void NextRecord();

    std::uint64_t bodyLength_;
    std::size_t minPadding_;
    std::size_t maxPadding_;
    std::uint64_t offset_ = 0; // bytes of the body fed so far
    std::uint64_t recordsEnd_ = 0;
    PasswordStore records_;
    std::uint32_t count_ = 0;
    std::uint32_t taken_ = 0;
    // What the next wanted_ bytes are; pending_ holds those that a piece's end cut off.
    enum class Step
    {
        Head, // timestamp and count
        Length,
        Text,
        Padding,
        Damaged,
    } step_ = Step::Head;
    std::size_t wanted_;
    SecureString pending_;
};

} // namespace kavelmark

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// A text (code page 1252 bytes) that can be cut at the n-th occurrence of a separator and
// converted from and to numbers. Record texts are taken apart with it, so the text lives in
// wiped memory.
class DelimitedString
{
public:
    DelimitedString() = default;
    DelimitedString(std::string_view text);
    DelimitedString(const char* chars);
    DelimitedString(const char* chars, std::size_t length);
    // Decimal text of a signed value.
    explicit DelimitedString(std::int32_t value);
    // Digit text of an unsigned value in the given radix (2 to 36, lower-case letters);
    // empty for any other radix.
    DelimitedString(std::uint32_t value, int radix);

    // Parses a signed 32-bit number: leading white space, a sign, then digits of the radix
    // (in radix 16 optionally after "0x"), up to the first other character. Radix 0 picks 16
    // for text that starts with "0x" or "0X" and 10 otherwise. Values beyond the range give
    // the nearest limit; no digits (or a radix outside 0 and 2 to 36) give 0.
    std::int32_t ToNumber(int radix) const;

    // The text before / after the n-th non-overlapping occurrence of the separator. Empty
    // when there are fewer than n occurrences, when n < 1 or when reserved is not 0.
    DelimitedString LeftOfNth(std::string_view separator, int n, int reserved) const;
    DelimitedString RightOfNth(std::string_view separator, int n, int reserved) const;

    const SecureString& Text() const
    {
        return text_;
    }
    std::string_view View() const
    {
        return text_;
    }
    bool IsEmpty() const
    {
        return text_.empty();
    }
    std::size_t Length() const
    {
        return text_.size();
    }
    bool operator==(const DelimitedString& other) const
    {
        return text_ == other.text_;
    }

private:
    // Start of the n-th occurrence, or npos.
    std::size_t FindNth(std::string_view separator, int n, int reserved) const;

    SecureString text_;
};

} // namespace kavelmark

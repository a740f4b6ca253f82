#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// A text (code page 1252 bytes) that can be cut at the n-th occurrence of a separator. Record
// texts are taken apart with it, so the text lives in
// wiped memory.
class DelimitedString
{
public:
    DelimitedString() = default;
    DelimitedString(std::string_view text);
    DelimitedString(const char* chars);
    DelimitedString(const char* chars, std::size_t length);
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

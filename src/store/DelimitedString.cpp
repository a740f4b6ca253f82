#include "store/DelimitedString.h"

#include <limits>

namespace kavelmark
{
namespace
{

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
    {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z')
    {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z')
    {
        return c - 'A' + 10;
    }
    return 99;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

DelimitedString::DelimitedString(std::string_view text) : text_(text.data(), text.size())
{
}

DelimitedString::DelimitedString(const char* chars) : DelimitedString(std::string_view(chars ? chars : ""))
{
}

DelimitedString::DelimitedString(const char* chars, std::size_t length)
    : DelimitedString(std::string_view(chars, length))
{
}

DelimitedString::DelimitedString(std::int32_t value)
{
    // Through 64 bits so that the smallest value has a magnitude.
    std::int64_t wide = value;
    const bool negative = wide < 0;
    *this = DelimitedString(static_cast<std::uint32_t>(negative ? -wide : wide), 10);
    if (negative)
    {
        text_.insert(text_.begin(), '-');
    }
}

DelimitedString::DelimitedString(std::uint32_t value, int radix)
{
    if (radix < 2 || radix > 36)
    {
        return;
    }
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const auto base = static_cast<std::uint32_t>(radix);
    do
    {
        text_.insert(text_.begin(), kDigits[value % base]);
        value /= base;
    } while (value != 0);
}

std::int32_t DelimitedString::ToNumber(int radix) const
{
    const std::string_view text = text_;
    if (radix == 0)
    {
        radix = (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ? 16 : 10;
    }
    if (radix < 2 || radix > 36)
    {
        return 0;
    }
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos]))
    {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
    {
        negative = text[pos] == '-';
        ++pos;
    }
    // The prefix counts only when a hex digit follows; otherwise the "0" alone is the number.
    if (radix == 16 && pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        DigitValue(text[pos + 2]) < 16)
    {
        pos += 2;
    }
    // Magnitude capped just past the range, so saturation needs no overflow.
    constexpr std::uint64_t kCap = std::uint64_t{1} << 32;
    std::uint64_t magnitude = 0;
    for (; pos < text.size(); ++pos)
    {
        const int digit = DigitValue(text[pos]);
        if (digit >= radix)
        {
            break;
        }
        magnitude = magnitude * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
        if (magnitude > kCap)
        {
            magnitude = kCap;
        }
    }
    if (negative)
    {
        constexpr std::uint64_t kMinMagnitude = std::uint64_t{1} << 31;
        return magnitude >= kMinMagnitude ? std::numeric_limits<std::int32_t>::min()
                                          : -static_cast<std::int32_t>(magnitude);
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
    return magnitude >= kMax ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

std::size_t DelimitedString::FindNth(std::string_view separator, int n, int reserved) const
{
    // An empty separator would match everywhere without ever advancing.
    if (reserved != 0 || n < 1 || separator.empty())
    {
        return std::string_view::npos;
    }
    const std::string_view text = text_;
    std::size_t pos = 0;
    for (int count = 1;; ++count)
    {
        pos = text.find(separator, pos);
        if (pos == std::string_view::npos || count == n)
        {
            return pos;
        }
        pos += separator.size();
    }
}

DelimitedString DelimitedString::LeftOfNth(std::string_view separator, int n, int reserved) const
{
    const std::size_t at = FindNth(separator, n, reserved);
    if (at == std::string_view::npos)
    {
        return {};
    }
    return DelimitedString(View().substr(0, at));
}

DelimitedString DelimitedString::RightOfNth(std::string_view separator, int n, int reserved) const
{
    const std::size_t at = FindNth(separator, n, reserved);
    if (at == std::string_view::npos)
    {
        return {};
    }
    return DelimitedString(View().substr(at + separator.size()));
}

} // namespace kavelmark

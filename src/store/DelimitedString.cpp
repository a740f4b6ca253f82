#include "store/DelimitedString.h"

namespace kavelmark
{

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

#include "platform/TerminalText.h"

#include <cstdio>

namespace kavelmark
{
namespace
{

void AppendEscape(std::string& out, const char* format, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

// The length of the valid UTF-8 sequence at the start of text (its code point in codePoint),
// or 0 when the first byte starts none.
std::size_t Utf8Sequence(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || length > text.size())
    {
        return 0;
    }
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((byte(i) & 0xC0) != 0x80)
        {
            return 0;
        }
        codePoint = codePoint << 6 | (byte(i) & 0x3F);
    }
    const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
    const bool valid = codePoint >= smallest && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
    return valid ? length : 0;
}

} // namespace

std::string TerminalSafe(std::string_view text, bool keepLineBreaks)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty())
    {
        const unsigned char first = static_cast<unsigned char>(text.front());
        if (first < 0x80)
        {
            if ((first < 0x20 && !(keepLineBreaks && first == '\n')) || first == 0x7F)
            {
                AppendEscape(out, "\\x%02x", first);
            }
            else
            {
                out += static_cast<char>(first);
            }
            text.remove_prefix(1);
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = Utf8Sequence(text, codePoint);
        if (length == 0)
        {
            AppendEscape(out, "\\x%02x", first);
            text.remove_prefix(1);
        }
        else if (codePoint <= 0x9F)
        {
            AppendEscape(out, "\\u%04x", static_cast<unsigned>(codePoint));
            text.remove_prefix(length);
        }
        else
        {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

} // namespace kavelmark

#include "platform/Cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace kavelmark
{
namespace
{

// Code points of the bytes 0x80 to 0x9F; the undefined bytes keep their own value.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80] : byte;
}

// Fills the fixed-size entries of the UTF-8 table through AppendUtf8.
struct TableEntryText
{
    constexpr void push_back(char c)
    {
        entry.bytes[entry.size++] = c;
    }
    Utf8OfByte& entry;
};

constexpr std::array<Utf8OfByte, 256> MakeUtf8Table()
{
    std::array<Utf8OfByte, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
    {
        TableEntryText text{table[byte]};
        AppendUtf8(text, CodePointOf(static_cast<unsigned char>(byte)));
    }
    return table;
}

// Built from the code point map at compile time, so that the two cannot disagree.
constexpr std::array<Utf8OfByte, 256> kUtf8Table = MakeUtf8Table();

// Decodes one code point at pos and advances pos; -1 on any malformed sequence
// (stray or missing continuation bytes, overlong forms, surrogates, beyond U+10FFFF).
std::int32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80)
    {
        ++pos;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    }
    else
    {
        return -1;
    }
    if (text.size() - pos < length)
    {
        return -1;
    }
    for (std::size_t i = 1; i < length; ++i)
    {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
        {
            return -1;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    {
        return -1;
    }
    pos += length;
    return static_cast<std::int32_t>(cp);
}

} // namespace

const std::array<Utf8OfByte, 256>& Cp1252Utf8Table()
{
    return kUtf8Table;
}

char32_t Cp1252ToCodePoint(unsigned char byte)
{
    return CodePointOf(byte);
}

int CodePointToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    {
        return static_cast<int>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i)
    {
        if (kHighControlRange[i] == codePoint)
        {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::size_t size = 0;
    for (const char c : bytes)
    {
        size += kUtf8Table[static_cast<unsigned char>(c)].size;
    }
    std::string out(size, '\0');
    char* next = out.data();
    for (const char c : bytes)
    {
        const Utf8OfByte& utf8 = kUtf8Table[static_cast<unsigned char>(c)];
        std::memcpy(next, utf8.bytes.data(), utf8.size);
        next += utf8.size;
    }
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size())
    {
        const std::int32_t cp = DecodeUtf8(utf8, pos);
        if (cp < 0)
        {
            return std::nullopt;
        }
        const int byte = CodePointToCp1252(static_cast<char32_t>(cp));
        if (byte < 0)
        {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

} // namespace kavelmark

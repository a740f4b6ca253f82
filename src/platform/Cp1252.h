#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavelmark
{

// Conversion between Windows code page 1252 bytes (the texts of records, passwords and the
// file) and Unicode. The map is one to one over all 256 byte values: the five bytes that
// cp1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same
// value, so no byte is ever lost on the way through the user interface.

// UTF-8 text of the given cp1252 bytes.
std::string Cp1252ToUtf8(std::string_view bytes);

// The cp1252 bytes of a UTF-8 text, or nothing when the text holds a character that cp1252
// cannot store (or is not valid UTF-8). Such a character is never replaced silently.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

// The UTF-8 form of one cp1252 byte: size (1 to 3) bytes from the start of bytes. Long texts
// are converted by looking each byte up here instead of encoding its code point anew.
struct Utf8OfByte
{
    std::array<char, 3> bytes;
    std::uint8_t size;
};
const std::array<Utf8OfByte, 256>& Cp1252Utf8Table();

// The Unicode code point of one cp1252 byte, and the byte of a code point (-1 when none).
char32_t Cp1252ToCodePoint(unsigned char byte);
int CodePointToCp1252(char32_t codePoint);

// Appends the UTF-8 bytes of a code point of cp1252 to any string type, so that a secret can be
// encoded straight into a wiping buffer.
template <typename Text> constexpr void AppendUtf8(Text& out, char32_t cp)
{
    if (cp < 0x80)
    {
        out.push_back(static_cast<char>(cp));
    }
    else if (cp < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        // Every cp1252 code point lies in the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace kavelmark

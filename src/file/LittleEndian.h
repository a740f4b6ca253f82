#pragma once

#include <array>
#include <cstdint>

#include "file/RetryingFile.h"

namespace kavelmark
{

// The unsigned 32-bit little-endian integers of every field of the password file.

inline bool ReadU32(ByteSource& file, std::uint32_t& value)
{
    std::array<unsigned char, 4> bytes{};
    if (file.Read(reinterpret_cast<char*>(bytes.data()), bytes.size()) != bytes.size())
    {
        return false;
    }
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

inline std::uint32_t U32At(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

template <class Text> void AppendU32(Text& text, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
    {
        text.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    }
}

} // namespace kavelmark

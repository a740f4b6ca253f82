#pragma once

#include <array>
#include <span>
#include <string_view>

namespace kavelmark
{

using Sha256Mac = std::array<unsigned char, 32>;

// HMAC-SHA-256 of data under key.
Sha256Mac HmacSha256(std::span<const unsigned char> key, std::string_view data);

// Whether two MACs are equal, in time that does not depend on where they differ.
bool SameMac(std::span<const unsigned char, 32> a, std::span<const unsigned char, 32> b);

} // namespace kavelmark

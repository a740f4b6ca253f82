#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kavelmark
{

// SipHash-2-4 (Aumasson and Bernstein): a short keyed hash. Its output tells nothing about the
// input to one who lacks the key, so hashes of secret texts may stay in memory after the texts
// are gone, and nobody can make its table of hashes collide without the key.
using SipHashKey = std::array<std::uint8_t, 16>;
std::uint64_t SipHash24(const SipHashKey& key, std::string_view data);

} // namespace kavelmark

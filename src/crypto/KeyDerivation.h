#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace kavelmark
{

// The cost of an Argon2id derivation: memory in KiB, passes over it and parallel lanes.
struct Argon2idCost
{
    std::uint32_t memoryKiB = 0;
    std::uint32_t passes = 0;
    std::uint32_t lanes = 0;

    bool operator==(const Argon2idCost&) const = default;
};

// What is derived from: the password bytes as they are (no cut, no message), the salt, and the
// optional secret and associated data of Argon2 (the password file uses neither).
struct Argon2idInput
{
    std::string_view password;
    std::span<const unsigned char> salt;
    std::span<const unsigned char> secret = {};
    std::span<const unsigned char> associatedData = {};
};

// Argon2id version 0x13 (the reference implementation) into out, as many bytes as out holds.
// The library's working memory is wiped before it is freed. False when the library refuses the
// input or cannot get the memory; out is wiped then.
bool DeriveArgon2id(const Argon2idInput& input, const Argon2idCost& cost, std::span<unsigned char> out);

// Where a derivation runs: on the calling thread unless a runner is installed. A program with a
// window installs one that keeps the window painting meanwhile; it calls work exactly once,
// from any thread, and returns its result. Installing an empty function restores the default;
// returns the runner it replaces.
using DerivationRunner = std::function<bool(const std::function<bool()>& work)>;
DerivationRunner SetDerivationRunner(DerivationRunner runner);

} // namespace kavelmark

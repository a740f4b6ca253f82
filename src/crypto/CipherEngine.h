#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// Twofish in cipher block chaining with an all-zero initial value and our own padding
// (first pad byte zero, a whole block when the data already fills its blocks). The data
// is encrypted and decrypted in place; every call sets up its own key schedule from the
// password and wipes it again. A password longer than 32 bytes is cut, with a message.
class CipherEngine
{
public:
    static constexpr std::size_t kBlockSize = 16;
    static constexpr std::size_t kMaxKeyLength = 32;

    CipherEngine() = default;
    explicit CipherEngine(SecureString data) : data_(std::move(data))
    {
    }

    const SecureString& Data() const
    {
        return data_;
    }
    SecureString& Data()
    {
        return data_;
    }
    void SetData(SecureString data)
    {
        data_ = std::move(data);
    }

    // Pads and encrypts the data; returns a copy of the ciphertext.
    SecureString Encrypt(std::string_view password);
    // Decrypts the data, padding included; returns a copy of the plaintext. Data shorter
    // than a block, or not made of whole blocks, stays unchanged.
    SecureString Decrypt(std::string_view password);

    // The same without the copy, for large bodies.
    void EncryptInPlace(std::string_view password);
    void DecryptInPlace(std::string_view password);

private:
    SecureString data_;
};

// Seed of the scrambling of V0.2 files; only its lowest 8 bits matter.
std::uint64_t ComputeLegacySeed(std::string_view password);

// The byte scrambling of V0.2 files: one key stream per file, running on across fields.
// Scrambling and unscrambling are the same operation.
class LegacyScramble
{
public:
    explicit LegacyScramble(std::uint64_t seed) : b_(seed)
    {
    }

    SecureString Apply(std::string_view bytes);
    void ApplyInPlace(char* bytes, std::size_t size);

private:
    std::uint64_t a_ = 1;
    std::uint64_t b_;
};

} // namespace kavelmark

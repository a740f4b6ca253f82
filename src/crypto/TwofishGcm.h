#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace kavelmark
{

// Twofish-256 in Galois/counter mode with a 12-byte nonce and a 16-byte tag, piece by piece,
// so that a body is encrypted or decrypted as it is written or read. The associated data are
// given first and whole. The key schedule and the mode's state are wiped when released.
class GcmEncryptor
{
public:
    static constexpr std::size_t kKeySize = 32;
    static constexpr std::size_t kNonceSize = 12;
    static constexpr std::size_t kTagSize = 16;
    using Tag = std::array<unsigned char, kTagSize>;

    GcmEncryptor(std::span<const unsigned char, kKeySize> key, std::span<const unsigned char, kNonceSize> nonce,
                 std::string_view associatedData);
    ~GcmEncryptor();
    GcmEncryptor(const GcmEncryptor&) = delete;
    GcmEncryptor& operator=(const GcmEncryptor&) = delete;

    // Encrypts in place; pieces of any length.
    void Encrypt(unsigned char* data, std::size_t length);
    // The tag over the associated data and everything encrypted; call once, at the end.
    Tag Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The other way. What Decrypt hands out is not yet authentic: nothing of it may be used before
// Verify said true.
class GcmDecryptor
{
public:
    GcmDecryptor(std::span<const unsigned char, GcmEncryptor::kKeySize> key,
                 std::span<const unsigned char, GcmEncryptor::kNonceSize> nonce, std::string_view associatedData);
    ~GcmDecryptor();
    GcmDecryptor(const GcmDecryptor&) = delete;
    GcmDecryptor& operator=(const GcmDecryptor&) = delete;

    // Decrypts length bytes from in to out, which are the same or do not overlap.
    void Decrypt(const unsigned char* in, unsigned char* out, std::size_t length);
    // Whether the tag is the one of the associated data and all that was decrypted (compared in
    // constant time); call once, at the end.
    bool Verify(std::span<const unsigned char, GcmEncryptor::kTagSize> tag);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kavelmark

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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

    // Pads and encrypts the data; returns a copy of the ciphertext.
    SecureString Encrypt(std::string_view password);
    // Decrypts the data, padding included; returns a copy of the plaintext. Data shorter
    // than a block, or not made of whole blocks, stays unchanged.
    SecureString Decrypt(std::string_view password);

    // The same without the copy, for large bodies. Data of kParallelFrom bytes and more is
    // decrypted on several threads: in cipher block chaining every block is decrypted on its
    // own, only encryption is bound to go block after block.
    void EncryptInPlace(std::string_view password);
    void DecryptInPlace(std::string_view password);

    // What every key set-up says of a password longer than kMaxKeyLength; for a caller that cuts
    // the password itself and must say so at a later moment.
    static void WarnOfCutKey();

    // The length that padding gives data of this length: one to sixteen bytes more.
    static constexpr std::size_t PaddedLength(std::size_t length)
    {
        return (length / kBlockSize + 1) * kBlockSize;
    }

    static constexpr std::size_t kParallelFrom = std::size_t{1} << 20;
    // At most this many threads decrypt large data; 0 (the default) takes the machine's cores,
    // at most 8.
    static void SetDecryptThreads(unsigned threads);
    // How many threads data of this length is decrypted on: one below kParallelFrom.
    static unsigned DecryptThreadsFor(std::size_t length);

private:
    SecureString data_;
};

// Decrypts whole blocks in place, cut into pieces at the given block indexes (ascending,
// each inside the data), every piece but the first on a thread of its own. What DecryptInPlace
// does with large data, open to tests that put the cuts anywhere. Data that is not made of
// whole blocks stays unchanged.
void DecryptPiecesInPlace(SecureString& data, std::string_view password, std::span<const std::size_t> cuts);

// Encrypts a body piece by piece, chaining on from one piece to the next, so that a writer can
// send each piece on while the next is made; the pieces together are what EncryptInPlace makes
// of the whole. The password is taken as EncryptInPlace takes it.
class CbcEncryptor
{
public:
    explicit CbcEncryptor(std::string_view password);
    ~CbcEncryptor();
    CbcEncryptor(const CbcEncryptor&) = delete;
    CbcEncryptor& operator=(const CbcEncryptor&) = delete;

    // Encrypts whole blocks in place; length is a multiple of the block size.
    void EncryptBlocks(unsigned char* data, std::size_t length);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Decrypts a body piece by piece out of one buffer into another, so that a reader can hand on
// each slice as it arrives. The key schedule is only read, so that several threads may decrypt
// pieces at once; each of them calls WipeThreadStack before it ends. The password is taken as
// DecryptInPlace takes it.
class CbcDecryptor
{
public:
    explicit CbcDecryptor(std::string_view password);
    ~CbcDecryptor();
    CbcDecryptor(const CbcDecryptor&) = delete;
    CbcDecryptor& operator=(const CbcDecryptor&) = delete;

    // Decrypts length bytes of whole blocks from in to out, which are the same or do not overlap;
    // previous is the ciphertext block in front of in, null at the start of the data.
    void DecryptBlocks(const unsigned char* in, unsigned char* out, std::size_t length,
                       const unsigned char* previous) const;

    // Wipes what the cipher left on this thread's stack below the caller.
    static void WipeThreadStack();

private:
    struct State;
    std::unique_ptr<State> state_;
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

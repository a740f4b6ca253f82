#include "crypto/CipherEngine.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include <crypto++/secblock.h>
#include <crypto++/twofish.h>

#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

// The password's bytes, cut to 32 with a message, zero-extended to the next key size
// Crypto++ accepts (16, 24 or 32); the block wipes itself when released.
CryptoPP::SecByteBlock MakeKey(std::string_view password)
{
    if (password.size() > CipherEngine::kMaxKeyLength)
    {
        CipherEngine::WarnOfCutKey();
        password = password.substr(0, CipherEngine::kMaxKeyLength);
    }
    std::size_t keyLength = password.size() <= 16 ? 16 : password.size() <= 24 ? 24 : 32;
    CryptoPP::SecByteBlock key;
    key.CleanNew(keyLength);
    std::memcpy(key.data(), password.data(), password.size());
    return key;
}

// Below the cipher's frames lie copies of key bytes that no destructor reaches: registers
// that the library's callees spill, and those that the loader's lazy binding or a signal
// frame saves on the stack. The depth covers the cipher's calls many times over.
constexpr std::size_t kStackWipeSize = 32 * 1024;

[[gnu::noinline]] void WipeStackBelow()
{
    volatile unsigned char area[kStackWipeSize];
    for (volatile unsigned char& byte : area)
    {
        byte = 0;
    }
}

void XorBlock(unsigned char* target, const unsigned char* other)
{
    for (std::size_t i = 0; i < CipherEngine::kBlockSize; ++i)
    {
        target[i] ^= other[i];
    }
}

// Chains each block to the one before it, the first to previous (zero before the first piece).
void EncryptChained(const CryptoPP::Twofish::Encryption& cipher, const unsigned char* previous, unsigned char* bytes,
                    std::size_t length)
{
    for (std::size_t offset = 0; offset < length; offset += CipherEngine::kBlockSize)
    {
        XorBlock(bytes + offset, previous);
        cipher.ProcessBlock(bytes + offset);
        previous = bytes + offset;
    }
}

// The work of the public calls, in a frame of its own, so that the stack it used lies below
// the caller's and can be wiped as a whole.
[[gnu::noinline]] void EncryptBlocks(SecureString& data, std::string_view password)
{
    CryptoPP::SecByteBlock key = MakeKey(password);
    CryptoPP::Twofish::Encryption cipher(key.data(), key.size());
    data.resize(CipherEngine::PaddedLength(data.size()), '\0');
    const std::array<unsigned char, CipherEngine::kBlockSize> zero{};
    EncryptChained(cipher, zero.data(), reinterpret_cast<unsigned char*>(data.data()), data.size());
}

// Decrypts the blocks from first up to end; before is the ciphertext block in front of first
// (null for the very first block, whose initial value is zero). Backwards, so that the still
// encrypted previous block is at hand for the XOR.
[[gnu::noinline]] void DecryptPiece(const CryptoPP::SecByteBlock& key, unsigned char* bytes, std::size_t first,
                                    std::size_t end, const unsigned char* before)
{
    CryptoPP::Twofish::Decryption cipher(key.data(), key.size());
    constexpr std::size_t block = CipherEngine::kBlockSize;
    for (std::size_t i = end - 1; i > first; --i)
    {
        cipher.ProcessAndXorBlock(bytes + i * block, bytes + (i - 1) * block, bytes + i * block);
    }
    if (before != nullptr)
    {
        cipher.ProcessAndXorBlock(bytes + first * block, before, bytes + first * block);
    }
    else
    {
        cipher.ProcessBlock(bytes + first * block);
    }
}

// A worker's whole job: its stack goes with the thread, but the C library keeps thread stacks
// for reuse, so what the cipher left there is wiped first.
void DecryptPieceAndWipe(const CryptoPP::SecByteBlock& key, unsigned char* bytes, std::size_t first, std::size_t end,
                         const unsigned char* before)
{
    DecryptPiece(key, bytes, first, end, before);
    WipeStackBelow();
}

[[gnu::noinline]] void DecryptBlocks(SecureString& data, std::string_view password, std::span<const std::size_t> cuts)
{
    CryptoPP::SecByteBlock key = MakeKey(password);
    constexpr std::size_t block = CipherEngine::kBlockSize;
    const std::size_t length = data.size();
    if (length < block || length % block != 0)
    {
        return;
    }
    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    const std::size_t blocks = length / block;
    // The ciphertext block in front of each piece, kept before any piece overwrites it.
    std::vector<unsigned char> before(cuts.size() * block);
    for (std::size_t k = 0; k < cuts.size(); ++k)
    {
        std::memcpy(before.data() + k * block, bytes + (cuts[k] - 1) * block, block);
    }
    std::vector<std::thread> workers;
    for (std::size_t k = 0; k < cuts.size(); ++k)
    {
        const std::size_t end = k + 1 < cuts.size() ? cuts[k + 1] : blocks;
        const unsigned char* previous = before.data() + k * block;
        try
        {
            workers.emplace_back(DecryptPieceAndWipe, std::cref(key), bytes, cuts[k], end, previous);
        }
        catch (const std::system_error&)
        {
            // No thread to be had: the piece is decrypted here, as any other piece would be.
            DecryptPiece(key, bytes, cuts[k], end, previous);
        }
    }
    DecryptPiece(key, bytes, 0, cuts.empty() ? blocks : cuts.front(), nullptr);
    for (std::thread& worker : workers)
    {
        worker.join();
    }
}

std::atomic<unsigned> decryptThreads{0};

// Equal pieces of whole blocks, one for each thread that large data gets.
std::vector<std::size_t> EvenCuts(std::size_t length)
{
    std::vector<std::size_t> cuts;
    if (length < CipherEngine::kParallelFrom)
    {
        return cuts;
    }
    const unsigned threads = CipherEngine::DecryptThreadsFor(length);
    const std::size_t blocks = length / CipherEngine::kBlockSize;
    for (unsigned k = 1; k < threads; ++k)
    {
        cuts.push_back(blocks * k / threads);
    }
    return cuts;
}

} // namespace

void CipherEngine::SetDecryptThreads(unsigned threads)
{
    decryptThreads.store(std::min(threads, 8u));
}

void CipherEngine::WarnOfCutKey()
{
    ShowMessage("Die maximale Schlüssellänge ist 32 Zeichen. Der Schlüssel wird gekürzt.", "Schlüssellämge",
                MessageIcon::Error);
}

unsigned CipherEngine::DecryptThreadsFor(std::size_t length)
{
    if (length < kParallelFrom)
    {
        return 1;
    }
    const unsigned threads = decryptThreads.load();
    return threads != 0 ? threads : std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

void CipherEngine::EncryptInPlace(std::string_view password)
{
    EncryptBlocks(data_, password);
    WipeStackBelow();
}

void CipherEngine::DecryptInPlace(std::string_view password)
{
    const std::vector<std::size_t> cuts = EvenCuts(data_.size());
    DecryptBlocks(data_, password, cuts);
    WipeStackBelow();
}

void DecryptPiecesInPlace(SecureString& data, std::string_view password, std::span<const std::size_t> cuts)
{
    DecryptBlocks(data, password, cuts);
    WipeStackBelow();
}

SecureString CipherEngine::Encrypt(std::string_view password)
{
    EncryptInPlace(password);
    return data_;
}

SecureString CipherEngine::Decrypt(std::string_view password)
{
    DecryptInPlace(password);
    return data_;
}

struct CbcEncryptor::State
{
    explicit State(std::string_view password) : key(MakeKey(password)), cipher(key.data(), key.size())
    {
    }
    CryptoPP::SecByteBlock key;
    CryptoPP::Twofish::Encryption cipher;
    std::array<unsigned char, CipherEngine::kBlockSize> previous{};
};

CbcEncryptor::CbcEncryptor(std::string_view password) : state_(std::make_unique<State>(password))
{
}

CbcEncryptor::~CbcEncryptor()
{
    state_.reset();
    // Every piece ran in the same place below the caller: one wipe covers them all.
    WipeStackBelow();
}

void CbcEncryptor::EncryptBlocks(unsigned char* data, std::size_t length)
{
    if (length == 0)
    {
        return;
    }
    EncryptChained(state_->cipher, state_->previous.data(), data, length);
    std::memcpy(state_->previous.data(), data + length - CipherEngine::kBlockSize, CipherEngine::kBlockSize);
}

struct CbcDecryptor::State
{
    explicit State(std::string_view password) : key(MakeKey(password)), cipher(key.data(), key.size())
    {
    }
    CryptoPP::SecByteBlock key;
    CryptoPP::Twofish::Decryption cipher;
};

CbcDecryptor::CbcDecryptor(std::string_view password) : state_(std::make_unique<State>(password))
{
}

CbcDecryptor::~CbcDecryptor()
{
    state_.reset();
    WipeStackBelow();
}

void CbcDecryptor::DecryptBlocks(const unsigned char* in, unsigned char* out, std::size_t length,
                                 const unsigned char* previous) const
{
    constexpr std::size_t block = CipherEngine::kBlockSize;
    if (length == 0)
    {
        return;
    }
    if (in == out)
    {
        // Backwards, so that the still encrypted block in front is at hand for the XOR.
        for (std::size_t offset = length - block; offset > 0; offset -= block)
        {
            state_->cipher.ProcessAndXorBlock(out + offset, out + offset - block, out + offset);
        }
        in = out;
        length = block;
    }
    if (previous != nullptr)
    {
        state_->cipher.ProcessAndXorBlock(in, previous, out);
    }
    else
    {
        state_->cipher.ProcessBlock(in, out);
    }
    for (std::size_t offset = block; offset < length; offset += block)
    {
        state_->cipher.ProcessAndXorBlock(in + offset, in + offset - block, out + offset);
    }
}

void CbcDecryptor::WipeThreadStack()
{
    WipeStackBelow();
}

std::uint64_t ComputeLegacySeed(std::string_view password)
{
    std::uint64_t seed = 42;
    for (std::size_t i = 1; i <= password.size(); ++i)
    {
        auto value = static_cast<std::int64_t>(static_cast<signed char>(password[i - 1]));
        // The 32-bit pattern of the product is added unsigned, its carry reaching the upper half.
        seed += static_cast<std::uint32_t>(static_cast<std::int64_t>(i) * value);
    }
    return seed;
}

void LegacyScramble::ApplyInPlace(char* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
    {
        auto stream = static_cast<unsigned char>((a_ % 256) * (b_ % 256) % 256);
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ stream);
        ++a_;
        ++b_;
    }
}

SecureString LegacyScramble::Apply(std::string_view bytes)
{
    SecureString result(bytes.data(), bytes.size());
    ApplyInPlace(result.data(), result.size());
    return result;
}

} // namespace kavelmark

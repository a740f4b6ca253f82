#include "crypto/CipherEngine.h"

#include <algorithm>
#include <cstring>

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
        ShowMessage("Die maximale Schlüssellänge ist 32 Zeichen. Der Schlüssel wird gekürzt.", "Schlüssellämge",
                    MessageIcon::Error);
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

// The work of the public calls, in a frame of its own, so that the stack it used lies below
// the caller's and can be wiped as a whole.
[[gnu::noinline]] void EncryptBlocks(SecureString& data, std::string_view password)
{
    CryptoPP::SecByteBlock key = MakeKey(password);
    CryptoPP::Twofish::Encryption cipher(key.data(), key.size());

    std::size_t length = data.size();
    std::size_t padded = length - length % CipherEngine::kBlockSize + CipherEngine::kBlockSize;
    data.resize(padded, '\0');

    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    for (std::size_t offset = 0; offset < padded; offset += CipherEngine::kBlockSize)
    {
        if (offset > 0)
        {
            XorBlock(bytes + offset, bytes + offset - CipherEngine::kBlockSize);
        }
        cipher.ProcessBlock(bytes + offset);
    }
}

[[gnu::noinline]] void DecryptBlocks(SecureString& data, std::string_view password)
{
    CryptoPP::SecByteBlock key = MakeKey(password);
    std::size_t length = data.size();
    if (length < CipherEngine::kBlockSize || length % CipherEngine::kBlockSize != 0)
    {
        return;
    }
    CryptoPP::Twofish::Decryption cipher(key.data(), key.size());

    // Backwards, so that the still encrypted previous block is at hand for the XOR.
    auto* bytes = reinterpret_cast<unsigned char*>(data.data());
    for (std::size_t offset = length - CipherEngine::kBlockSize;; offset -= CipherEngine::kBlockSize)
    {
        if (offset == 0)
        {
            cipher.ProcessBlock(bytes);
            break;
        }
        cipher.ProcessAndXorBlock(bytes + offset, bytes + offset - CipherEngine::kBlockSize, bytes + offset);
    }
}

} // namespace

void CipherEngine::EncryptInPlace(std::string_view password)
{
    EncryptBlocks(data_, password);
    WipeStackBelow();
}

void CipherEngine::DecryptInPlace(std::string_view password)
{
    DecryptBlocks(data_, password);
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

#pragma once

// V0.4 files made and taken apart from the format's table alone, with the libraries called
// directly (libargon2, Crypto++), not through the program's code: an independent writer and
// reader to hold the program's against.

#include <argon2.h>
#include <crypto++/gcm.h>
#include <crypto++/hmac.h>
#include <crypto++/sha.h>
#include <crypto++/twofish.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "file/FileTestSupport.h"

namespace kavelmark::testing
{

struct V04Head
{
    std::uint32_t parameterLength = 60;
    std::uint32_t function = 1;
    std::uint32_t memoryKiB = 64;
    std::uint32_t passes = 1;
    std::uint32_t lanes = 1;
    std::string salt = std::string(32, '\x5A');
    std::string nonce = std::string(12, '\xC3');
};

inline std::string V04Keys(std::string_view password, const V04Head& head)
{
    std::string keys(64, '\0');
    const int result = argon2id_hash_raw(head.passes, head.memoryKiB, head.lanes, password.data(), password.size(),
                                         head.salt.data(), head.salt.size(), keys.data(), keys.size());
    return result == ARGON2_OK ? keys : std::string();
}

inline std::string V04Check(std::string_view keys, std::string_view checked)
{
    CryptoPP::HMAC<CryptoPP::SHA256> mac(reinterpret_cast<const CryptoPP::byte*>(keys.data()) + 32, 32);
    std::string digest(32, '\0');
    mac.CalculateDigest(reinterpret_cast<CryptoPP::byte*>(digest.data()),
                        reinterpret_cast<const CryptoPP::byte*>(checked.data()), checked.size());
    return digest;
}

// A V0.4 file around a hand-made body plaintext.
inline std::string V04File(std::string_view password, std::string_view bodyPlain, const V04Head& head = {})
{
    std::string bytes = U32(16) + "Kavelmark V0.4  " + U32(head.parameterLength) + U32(head.function) +
                        U32(head.memoryKiB) + U32(head.passes) + U32(head.lanes) + head.salt + head.nonce;
    const std::string keys = V04Keys(password, head);
    bytes += V04Check(keys, bytes);
    CryptoPP::GCM<CryptoPP::Twofish>::Encryption gcm;
    gcm.SetKeyWithIV(reinterpret_cast<const CryptoPP::byte*>(keys.data()), 32,
                     reinterpret_cast<const CryptoPP::byte*>(head.nonce.data()), 12);
    gcm.Update(reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    std::string cipher(bodyPlain.size() + 16, '\0');
    auto* out = reinterpret_cast<CryptoPP::byte*>(cipher.data());
    gcm.ProcessData(out, reinterpret_cast<const CryptoPP::byte*>(bodyPlain.data()), bodyPlain.size());
    gcm.TruncatedFinal(out + bodyPlain.size(), 16);
    return bytes + cipher;
}

inline std::uint32_t U32Of(std::string_view bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
    {
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

// The head of a V0.4 file, read by offset.
inline V04Head HeadOf(std::string_view file)
{
    return {U32Of(file, 20),
            U32Of(file, 24),
            U32Of(file, 28),
            U32Of(file, 32),
            U32Of(file, 36),
            std::string(file.substr(40, 32)),
            std::string(file.substr(72, 12))};
}

// The body plaintext of a V0.4 file when its header check and tag hold under password.
inline std::optional<std::string> V04Plaintext(std::string_view file, std::string_view password)
{
    const V04Head head = HeadOf(file);
    const std::string keys = V04Keys(password, head);
    if (file.size() < 132 || keys.empty() || V04Check(keys, file.substr(0, 84)) != file.substr(84, 32))
    {
        return std::nullopt;
    }
    CryptoPP::GCM<CryptoPP::Twofish>::Decryption gcm;
    gcm.SetKeyWithIV(reinterpret_cast<const CryptoPP::byte*>(keys.data()), 32,
                     reinterpret_cast<const CryptoPP::byte*>(head.nonce.data()), 12);
    gcm.Update(reinterpret_cast<const CryptoPP::byte*>(file.data()), 116);
    const std::string_view cipher = file.substr(116, file.size() - 132);
    std::string plain(cipher.size(), '\0');
    gcm.ProcessData(reinterpret_cast<CryptoPP::byte*>(plain.data()),
                    reinterpret_cast<const CryptoPP::byte*>(cipher.data()), cipher.size());
    if (!gcm.TruncatedVerify(reinterpret_cast<const CryptoPP::byte*>(file.data()) + file.size() - 16, 16))
    {
        return std::nullopt;
    }
    return plain;
}

// A body plaintext: the save timestamp of FixedSaveTime in the body pattern, the count, then
// each record as its length and text.
inline std::string BodyPlain(const std::vector<std::string>& records, std::uint32_t count)
{
    std::string body = "09:05:14 - 2026.12.05" + U32(count);
    for (const std::string& record : records)
    {
        body += U32(static_cast<std::uint32_t>(record.size())) + record;
    }
    return body;
}

} // namespace kavelmark::testing

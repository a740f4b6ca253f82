#include "crypto/HeaderMac.h"

#include <crypto++/hmac.h>
#include <crypto++/misc.h>
#include <crypto++/sha.h>

namespace kavelmark
{

Sha256Mac HmacSha256(std::span<const unsigned char> key, std::string_view data)
{
    CryptoPP::HMAC<CryptoPP::SHA256> mac(key.data(), key.size());
    mac.Update(reinterpret_cast<const CryptoPP::byte*>(data.data()), data.size());
    Sha256Mac digest{};
    mac.Final(digest.data());
    return digest;
}

bool SameMac(std::span<const unsigned char, 32> a, std::span<const unsigned char, 32> b)
{
    return CryptoPP::VerifyBufsEqual(a.data(), b.data(), a.size());
}

} // namespace kavelmark

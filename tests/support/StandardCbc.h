#pragma once

#include <string>

#include <crypto++/modes.h>
#include <crypto++/twofish.h>

namespace kavelmark::testing
{

// Crypto++'s own CBC with a zero initial value, under a password of at most 16 bytes
// zero-extended to 16: the answer that the project's own chaining must give.
inline std::string StandardCbc(const std::string& plain, const std::string& password)
{
    const std::string key = password + std::string(16 - password.size(), '\0');
    const unsigned char zeroIv[16] = {};
    CryptoPP::CBC_Mode<CryptoPP::Twofish>::Encryption cipher(reinterpret_cast<const unsigned char*>(key.data()),
                                                             key.size(), zeroIv);
    std::string out(plain.size(), '\0');
    cipher.ProcessData(reinterpret_cast<unsigned char*>(out.data()),
                       reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
    return out;
}

} // namespace kavelmark::testing

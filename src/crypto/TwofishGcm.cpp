#include "crypto/TwofishGcm.h"

#include <crypto++/gcm.h>
#include <crypto++/twofish.h>

#include "crypto/CipherEngine.h"

namespace kavelmark
{
namespace
{

template <class Mode>
void Start(Mode& mode, std::span<const unsigned char, GcmEncryptor::kKeySize> key,
           std::span<const unsigned char, GcmEncryptor::kNonceSize> nonce, std::string_view associatedData)
{
    mode.SetKeyWithIV(key.data(), key.size(), nonce.data(), nonce.size());
    mode.Update(reinterpret_cast<const CryptoPP::byte*>(associatedData.data()), associatedData.size());
}

} // namespace

struct GcmEncryptor::State
{
    CryptoPP::GCM<CryptoPP::Twofish>::Encryption mode;
};

GcmEncryptor::GcmEncryptor(std::span<const unsigned char, kKeySize> key,
                           std::span<const unsigned char, kNonceSize> nonce, std::string_view associatedData)
    : state_(std::make_unique<State>())
{
    Start(state_->mode, key, nonce, associatedData);
}

GcmEncryptor::~GcmEncryptor()
{
    state_.reset();
    CbcDecryptor::WipeThreadStack();
}

void GcmEncryptor::Encrypt(unsigned char* data, std::size_t length)
{
    state_->mode.ProcessData(data, data, length);
}

GcmEncryptor::Tag GcmEncryptor::Finish()
{
    Tag tag{};
    state_->mode.TruncatedFinal(tag.data(), tag.size());
    return tag;
}

struct GcmDecryptor::State
{
    CryptoPP::GCM<CryptoPP::Twofish>::Decryption mode;
};

GcmDecryptor::GcmDecryptor(std::span<const unsigned char, GcmEncryptor::kKeySize> key,
                           std::span<const unsigned char, GcmEncryptor::kNonceSize> nonce,
                           std::string_view associatedData)
    : state_(std::make_unique<State>())
{
    Start(state_->mode, key, nonce, associatedData);
}

GcmDecryptor::~GcmDecryptor()
{
    state_.reset();
    CbcDecryptor::WipeThreadStack();
}

void GcmDecryptor::Decrypt(const unsigned char* in, unsigned char* out, std::size_t length)
{
    state_->mode.ProcessData(out, in, length);
}

bool GcmDecryptor::Verify(std::span<const unsigned char, GcmEncryptor::kTagSize> tag)
{
    return state_->mode.TruncatedVerify(tag.data(), tag.size());
}

} // namespace kavelmark

#include "file/FileDigest.h"

#include <crypto++/aes.h>
#include <crypto++/osrng.h>
#include <crypto++/vmac.h>

namespace kavelmark
{
namespace
{

struct ProcessKey
{
    ProcessKey()
    {
        CryptoPP::OS_GenerateRandomBlock(false, key.data(), key.size());
        CryptoPP::OS_GenerateRandomBlock(false, nonce.data(), nonce.size());
    }
    std::array<unsigned char, 16> key{};
    std::array<unsigned char, 16> nonce{};
};

const ProcessKey& TheKey()
{
    static const ProcessKey key;
    return key;
}

} // namespace

struct FileDigest::State
{
    CryptoPP::VMAC<CryptoPP::AES, 128> mac;
};

FileDigest::FileDigest() : state_(std::make_unique<State>())
{
    const ProcessKey& key = TheKey();
    state_->mac.SetKeyWithIV(key.key.data(), key.key.size(), key.nonce.data(), key.nonce.size());
}

FileDigest::~FileDigest() = default;

void FileDigest::Update(const void* data, std::size_t size)
{
    state_->mac.Update(static_cast<const unsigned char*>(data), size);
}

FileDigest::Value FileDigest::Final()
{
    Value value{};
    state_->mac.Final(value.data());
    return value;
}

} // namespace kavelmark

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/CipherEngine.h"
#include "support/StandardCbc.h"

namespace kavelmark
{
namespace
{

constexpr std::size_t kBlock = CipherEngine::kBlockSize;
const std::string kPassword = "Kennwort";

std::string Sample(std::size_t length)
{
    std::string data;
    for (std::size_t i = 0; i < length; ++i)
    {
        data.push_back(static_cast<char>(i * 131 + i / 7));
    }
    return data;
}

std::string StandardCbc(const std::string& plain)
{
    return testing::StandardCbc(plain, kPassword);
}

std::string Plain(const SecureString& text)
{
    return std::string(text.data(), text.size());
}

TEST(ParallelCbcTest, DecryptionCutAnywhereGivesBackThePlaintext)
{
    for (std::size_t blocks : {1u, 2u, 3u, 5u, 40u})
    {
        const std::string plain = Sample(blocks * kBlock);
        const std::string encrypted = StandardCbc(plain);
        std::vector<std::vector<std::size_t>> cutSets = {{}};
        for (std::size_t k = 1; k < blocks; ++k)
        {
            cutSets.push_back({k});
            if (k + 1 < blocks)
            {
                cutSets.push_back({k, k + 1});
            }
        }
        std::vector<std::size_t> everyBlock;
        for (std::size_t k = 1; k < blocks; ++k)
        {
            everyBlock.push_back(k);
        }
        cutSets.push_back(everyBlock);
        for (const std::vector<std::size_t>& cuts : cutSets)
        {
            SecureString data = ToSecure(encrypted);
            DecryptPiecesInPlace(data, kPassword, cuts);
            EXPECT_TRUE(Plain(data) == plain)
                << blocks << " blocks, " << cuts.size() << " cuts from " << (cuts.empty() ? 0 : cuts.front());
        }
    }
}

TEST(ParallelCbcTest, LargeDataDecryptsAlikeOnAnyNumberOfThreads)
{
    // Just below the size from which threads are used, at it, and an odd size above it, so that
    // the pieces do not fall on round numbers.
    for (std::size_t length :
         {CipherEngine::kParallelFrom - kBlock, CipherEngine::kParallelFrom, CipherEngine::kParallelFrom + 37 * kBlock})
    {
        const std::string plain = Sample(length);
        const std::string encrypted = StandardCbc(plain);
        for (unsigned threads : {1u, 2u, 3u, 8u, 0u})
        {
            CipherEngine::SetDecryptThreads(threads);
            CipherEngine engine(ToSecure(encrypted));
            engine.DecryptInPlace(kPassword);
            EXPECT_TRUE(Plain(engine.Data()) == plain) << length << " bytes on " << threads << " threads";
        }
    }
    CipherEngine::SetDecryptThreads(0);
}

TEST(ParallelCbcTest, EncryptionInPiecesChainsOnLikeOneCall)
{
    const std::string plain = Sample(10 * kBlock);
    const std::string expected = StandardCbc(plain);
    for (std::size_t first : {0u, 1u, 4u, 9u, 10u})
    {
        std::string data = plain;
        auto* bytes = reinterpret_cast<unsigned char*>(data.data());
        {
            CbcEncryptor encryptor(kPassword);
            encryptor.EncryptBlocks(bytes, first * kBlock);
            encryptor.EncryptBlocks(bytes + first * kBlock, (10 - first) * kBlock);
        }
        EXPECT_TRUE(data == expected) << "cut after block " << first;
    }
}

} // namespace
} // namespace kavelmark

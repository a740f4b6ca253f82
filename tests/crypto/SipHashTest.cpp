#include "crypto/SipHash.h"

#include <string>

#include <cryptopp/siphash.h>
#include <gtest/gtest.h>

namespace kavelmark
{
namespace
{

SipHashKey CountingKey()
{
    SipHashKey key{};
    for (std::size_t i = 0; i < key.size(); ++i)
    {
        key[i] = static_cast<std::uint8_t>(i);
    }
    return key;
}

// The first and the last vector of the reference implementation's table (key 00..0f, message
// 00..len-1), written out by hand.
TEST(SipHashTest, ReferenceVectors)
{
    std::string message;
    for (int i = 0; i < 63; ++i)
    {
        message += static_cast<char>(i);
    }
    EXPECT_EQ(SipHash24(CountingKey(), ""), 0x726fdb47dd0e0e31ULL);
    EXPECT_EQ(SipHash24(CountingKey(), std::string_view(message).substr(0, 15)), 0xa129ca6149be45e5ULL);
    EXPECT_EQ(SipHash24(CountingKey(), message), 0x958a324ceb064572ULL);
}

// Every length across two blocks, against Crypto++'s implementation.
TEST(SipHashTest, AgreesWithAnIndependentImplementationAtEveryTailLength)
{
    SipHashKey key{};
    for (std::size_t i = 0; i < key.size(); ++i)
    {
        key[i] = static_cast<std::uint8_t>(0xa5 ^ (i * 37));
    }
    std::string message;
    for (int length = 0; length <= 24; ++length)
    {
        CryptoPP::SipHash<2, 4, false> oracle(key.data(), key.size());
        std::uint8_t digest[8];
        oracle.CalculateDigest(digest, reinterpret_cast<const CryptoPP::byte*>(message.data()), message.size());
        std::uint64_t expected = 0;
        for (int i = 7; i >= 0; --i)
        {
            expected = (expected << 8) | digest[i];
        }
        EXPECT_EQ(SipHash24(key, message), expected) << "length " << length;
        message += static_cast<char>(0xf0 - length);
    }
}

} // namespace
} // namespace kavelmark

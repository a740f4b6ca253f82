#include <gtest/gtest.h>

#include <string_view>

#include "crypto/HeaderMac.h"

namespace kavelmark
{
namespace
{

// RFC 4231, test case 2: a key shorter than the block.
TEST(HeaderMacTest, GivesTheHmacSha256VectorOfRfc4231AndComparesWholeDigests)
{
    constexpr std::string_view key = "Jefe";
    const Sha256Mac expected = {0x5b, 0xdc, 0xc1, 0x46, 0xbf, 0x60, 0x75, 0x4e, 0x6a, 0x04, 0x24,
                                0x26, 0x08, 0x95, 0x75, 0xc7, 0x5a, 0x00, 0x3f, 0x08, 0x9d, 0x27,
                                0x39, 0x83, 0x9d, 0xec, 0x58, 0xb9, 0x64, 0xec, 0x38, 0x43};
    const Sha256Mac mac =
        HmacSha256(std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(key.data()), key.size()),
                   "what do ya want for nothing?");
    EXPECT_EQ(mac, expected);
    EXPECT_TRUE(SameMac(mac, expected));
    for (std::size_t i : {std::size_t{0}, std::size_t{31}})
    {
        Sha256Mac other = expected;
        other[i] ^= 0x01;
        EXPECT_FALSE(SameMac(mac, other)) << "byte " << i;
    }
}

} // namespace
} // namespace kavelmark

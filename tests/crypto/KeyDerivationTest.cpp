#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "crypto/KeyDerivation.h"

namespace kavelmark
{
namespace
{

std::vector<unsigned char> Filled(std::size_t size, unsigned char value)
{
    return std::vector<unsigned char>(size, value);
}

// RFC 9106, section 5.3: Argon2id version 0x13, 32 KiB, 3 passes, 4 lanes, 32-byte tag.
TEST(KeyDerivationTest, GivesTheArgon2idVectorOfRfc9106)
{
    const std::vector<unsigned char> password = Filled(32, 0x01);
    const std::vector<unsigned char> salt = Filled(16, 0x02);
    const std::vector<unsigned char> secret = Filled(8, 0x03);
    const std::vector<unsigned char> associated = Filled(12, 0x04);
    const std::array<unsigned char, 32> expected = {0x0d, 0x64, 0x0d, 0xf5, 0x8d, 0x78, 0x76, 0x6c, 0x08, 0xc0, 0x37,
                                                    0xa3, 0x4a, 0x8b, 0x53, 0xc9, 0xd0, 0x1e, 0xf0, 0x45, 0x2d, 0x75,
                                                    0xb6, 0x5e, 0xb5, 0x25, 0x20, 0xe9, 0x6b, 0x01, 0xe6, 0x59};
    std::array<unsigned char, 32> tag{};
    const Argon2idInput input{std::string_view(reinterpret_cast<const char*>(password.data()), password.size()), salt,
                              secret, associated};
    ASSERT_TRUE(DeriveArgon2id(input, {32, 3, 4}, tag));
    EXPECT_EQ(tag, expected);
}

TEST(KeyDerivationTest, RefusesACostTheAlgorithmCannotTakeAndLeavesNoOutput)
{
    const std::vector<unsigned char> salt = Filled(32, 0x02);
    std::array<unsigned char, 64> out{};
    out.fill(0xAA);
    // Less memory than eight blocks per lane, and no pass at all.
    EXPECT_FALSE(DeriveArgon2id({"Kennwort", salt}, {31, 1, 4}, out));
    EXPECT_EQ(out, (std::array<unsigned char, 64>{}));
    EXPECT_FALSE(DeriveArgon2id({"Kennwort", salt}, {64, 0, 1}, out));
}

} // namespace
} // namespace kavelmark

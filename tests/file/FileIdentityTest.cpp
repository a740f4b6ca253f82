#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "file/FileIdentity.h"
#include "file/FileTestSupport.h"
#include "file/PasswordFile.h"

namespace kavelmark
{
namespace
{

TEST(FileIdentityTest, TheDigestIsTheBytesSha256AndAFileBeyondTheSizeLimitIsNotRead)
{
    testing::TempDir dir;
    const std::string path = dir / "f";
    auto identity = [&]()
    {
        int fd = ::open(path.c_str(), O_RDONLY);
        FileIdentity result = IdentityOfOpenFile(fd);
        ::close(fd);
        return result;
    };
    testing::WriteBytes(path, "abc");
    FileIdentity small = identity();
    ASSERT_TRUE(small.hasDigest);
    // FIPS 180-2, appendix B.1.
    const std::array<unsigned char, 32> abc = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                                               0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                                               0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
    EXPECT_EQ(small.digest, abc);

    // A gigabyte hole would take seconds to hash, for a file the load refuses at once.
    ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 30), 0);
    FileIdentity huge = identity();
    EXPECT_TRUE(huge.exists);
    EXPECT_EQ(huge.size, off_t{1} << 30);
    EXPECT_FALSE(huge.hasDigest);
}

} // namespace
} // namespace kavelmark

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

TEST(FileIdentityTest, DigestsTellEveryChangedByteAndAFileBeyondTheSizeLimitIsNotRead)
{
    testing::TempDir dir;
    const std::string path = dir / "f";
    auto identityOf = [&](std::string_view bytes)
    {
        testing::WriteBytes(path, bytes);
        int fd = ::open(path.c_str(), O_RDONLY);
        FileIdentity result = IdentityOfOpenFile(fd);
        ::close(fd);
        return result;
    };
    const std::string bytes(300'000, 'k');
    const FileIdentity original = identityOf(bytes);
    ASSERT_TRUE(original.hasDigest);
    EXPECT_EQ(identityOf(bytes).digest, original.digest);
    for (std::size_t at : {std::size_t{0}, std::size_t{65'536}, bytes.size() - 1})
    {
        std::string changed = bytes;
        changed[at] ^= 1;
        EXPECT_NE(identityOf(changed).digest, original.digest) << at;
    }
    EXPECT_NE(identityOf("").digest, identityOf(std::string(1, '\0')).digest);

    // A gigabyte hole would take seconds to read, for a file the load refuses at once.
    ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 30), 0);
    int fd = ::open(path.c_str(), O_RDONLY);
    FileIdentity huge = IdentityOfOpenFile(fd);
    ::close(fd);
    EXPECT_TRUE(huge.exists);
    EXPECT_EQ(huge.size, off_t{1} << 30);
    EXPECT_FALSE(huge.hasDigest);
}

} // namespace
} // namespace kavelmark

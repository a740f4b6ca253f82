#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "file/BodyReader.h"
#include "support/StandardCbc.h"

namespace kavelmark
{
namespace
{

using testing::MemoryFile;

constexpr std::size_t kBlock = CipherEngine::kBlockSize;
const std::string kPassword = "Kennwort";

std::string Sample(std::size_t length)
{
    std::string data(length, '\0');
    std::uint32_t state = 2463534242u;
    for (char& byte : data)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return data;
}

std::string StandardCbc(const std::string& plain)
{
    return testing::StandardCbc(plain, kPassword);
}

std::function<bool(std::string_view)> Into(std::string& text)
{
    text.clear();
    return [&text](std::string_view piece)
    {
        text.append(piece);
        return true;
    };
}

class BodyReaderTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CipherEngine::SetDecryptThreads(0);
    }
};

TEST_F(BodyReaderTest, EveryLengthAroundTheSliceAndThreadBordersDecryptsAsStandardCbc)
{
    const std::size_t slice = kBodySliceSize;
    const std::size_t parallel = CipherEngine::kParallelFrom;
    const std::size_t lengths[] = {kBlock,
                                   2 * kBlock,
                                   3 * kBlock,
                                   slice - kBlock,
                                   slice,
                                   slice + kBlock,
                                   2 * slice,
                                   parallel - kBlock,
                                   parallel,
                                   parallel + kBlock,
                                   parallel + slice + 3 * kBlock,
                                   3 * parallel + 5 * kBlock};
    for (unsigned threads : {1u, 2u, 3u, 8u})
    {
        CipherEngine::SetDecryptThreads(threads);
        for (std::size_t length : lengths)
        {
            const std::string plain = Sample(length);
            MemoryFile file(StandardCbc(plain) + "tail");
            std::string decrypted;
            const CbcDecryptor cipher(kPassword);
            ASSERT_TRUE(ReadDecryptedBody(file, length, cipher, Into(decrypted))) << length << " on " << threads;
            EXPECT_TRUE(decrypted == plain) << length << " on " << threads;
            EXPECT_EQ(file.Remaining(), 4u) << "reads no further than the body";
        }
    }
}

TEST_F(BodyReaderTest, ASourceEndingEarlyOrABodyOfPartBlocksIsNotRead)
{
    for (unsigned threads : {1u, 2u})
    {
        CipherEngine::SetDecryptThreads(threads);
        const CbcDecryptor cipher(kPassword);
        const std::size_t length = 2 * CipherEngine::kParallelFrom;
        // Remaining() says more than Read() gives: a file that shrinks while it is read.
        class Shrinking final : public ByteSource
        {
        public:
            explicit Shrinking(std::size_t size) : size_(size)
            {
            }
            std::size_t Read(char* buffer, std::size_t size) override
            {
                const std::size_t count = std::min(size, given_ < kBodySliceSize * 3 ? size : std::size_t{7});
                std::fill_n(buffer, count, 'c');
                given_ += count;
                return count;
            }
            std::uint64_t Remaining() const override
            {
                return size_ - std::min(given_, size_);
            }

        private:
            std::size_t size_;
            std::size_t given_ = 0;
        } shrinking(length);
        std::string decrypted;
        EXPECT_FALSE(ReadDecryptedBody(shrinking, length, cipher, Into(decrypted))) << threads;

        MemoryFile shortFile(std::string(100, 'c'));
        EXPECT_FALSE(ReadDecryptedBody(shortFile, 112, cipher, Into(decrypted))) << "longer than the source";
        MemoryFile partBlock(std::string(100, 'c'));
        EXPECT_FALSE(ReadDecryptedBody(partBlock, 40, cipher, Into(decrypted))) << "not whole blocks";

        // A consumer that has seen enough stops the reading at that slice.
        MemoryFile large(std::string(length, 'c'));
        std::size_t slices = 0;
        EXPECT_FALSE(ReadDecryptedBody(large, length, cipher, [&](std::string_view) { return ++slices < 2; }));
        EXPECT_EQ(slices, 2u);
        EXPECT_GE(large.Remaining(), length - 2 * 2 * threads * kBodySliceSize) << "stops reading soon after";
    }
}

} // namespace
} // namespace kavelmark

#include <gtest/gtest.h>

#include <vector>

#include "crypto/CipherEngine.h"
#include "file/FileTestSupport.h"
#include "file/PasswordFile.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using testing::FixedSaveTime;
using testing::MemoryFile;
using testing::U32;

std::vector<std::string> Records(const PasswordStore& store)
{
    std::vector<std::string> texts;
    for (auto p = store.GetHeadPosition(); p; p = store.GetNextPosition(p))
    {
        texts.emplace_back(store.GetAt(p).data(), store.GetAt(p).size());
    }
    return texts;
}

PasswordStore EmptyStore()
{
    PasswordStore store;
    store.RemoveAll();
    return store;
}

std::uint32_t U32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
    {
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

TEST(PasswordFileTest, WritesTheExactV03LayoutAndReadsItBack)
{
    struct Case
    {
        PasswordStore store;
        std::size_t fileSize;
        std::vector<std::uint32_t> recordLengths;
    };
    Case cases[] = {{EmptyStore(), 104, {}}, {PasswordStore(), 440, {41, 45, 44, 46, 44, 47, 45}}};
    for (Case& c : cases)
    {
        MemoryFile file;
        auto written = PasswordFile::WriteV03(file, "Kennwort", c.store, FixedSaveTime());
        EXPECT_TRUE(written.listConsistent);
        EXPECT_EQ(written.fileError, 0);
        const std::string& bytes = file.Bytes();
        ASSERT_EQ(bytes.size(), c.fileSize);
        EXPECT_EQ(bytes.substr(0, 20), U32(16) + "Kavelmark V0.3  ");
        EXPECT_EQ(U32At(bytes, 20), 48u);

        CipherEngine body(ToSecure(std::string_view(bytes).substr(72)));
        SecureString plain = body.Decrypt("Kennwort");
        ASSERT_EQ(U32At(std::string(plain.data(), plain.size()), 21), c.recordLengths.size());
        std::size_t offset = 25;
        for (std::uint32_t length : c.recordLengths)
        {
            EXPECT_EQ(U32At(std::string(plain.data(), plain.size()), offset), length);
            offset += 4 + length;
        }
        EXPECT_EQ(plain[offset], '\0'); // first padding byte

        MemoryFile readBack(bytes);
        PasswordStore loaded = EmptyStore();
        ASSERT_EQ(PasswordFile::IdentifyVersion(readBack).version, FileVersion::V03);
        EXPECT_EQ(PasswordFile::ReadV03(readBack, "Kennwort", loaded), ReadResult::Done);
        EXPECT_EQ(Records(loaded), Records(c.store));
    }
}

TEST(PasswordFileTest, BothTimestampsComeFromTheOneSaveTime)
{
    MemoryFile file;
    PasswordFile::WriteV03(file, "pw", EmptyStore(), FixedSaveTime());
    CipherEngine header(ToSecure(file.Bytes().substr(24, 48)));
    EXPECT_EQ(std::string_view(header.Decrypt("pw")).substr(0, 37), "14:05:09 - 05.12.2026"
                                                                    "4t8x\xE4p.\xF6*k7(]%-?");
    CipherEngine body(ToSecure(file.Bytes().substr(72)));
    EXPECT_EQ(std::string_view(body.Decrypt("pw")).substr(0, 21), "09:05:14 - 2026.12.05");
}

TEST(PasswordFileTest, AWrongPasswordAddsNoRecord)
{
    MemoryFile file;
    PasswordFile::WriteV03(file, "richtig", PasswordStore(), FixedSaveTime());
    MemoryFile readBack(file.Bytes());
    PasswordFile::IdentifyVersion(readBack);
    PasswordStore store = EmptyStore();
    EXPECT_EQ(PasswordFile::ReadV03(readBack, "falsch", store), ReadResult::WrongPassword);
    EXPECT_EQ(store.GetCount(), 0u);
}

TEST(PasswordFileTest, IdentifiesTheMagicAsTextUpToItsFirstZeroByte)
{
    struct Case
    {
        std::string bytes;
        ReadResult result;
        FileVersion version;
    };
    const Case cases[] = {
        {U32(16) + "Kavelmark V0.1  rest", ReadResult::Done, FileVersion::V01},
        {U32(16) + "Kavelmark V0.2  ", ReadResult::Done, FileVersion::V02},
        {U32(16) + "Kavelmark V0.3  ", ReadResult::Done, FileVersion::V03},
        {U32(16) + "Kavelmark V0.4  ", ReadResult::Done, FileVersion::V04},
        {U32(16) + "Kavelmark V0.5  ", ReadResult::Done, FileVersion::Unknown},
        {U32(16) + std::string("Kavelmark V0.3\0\0", 16), ReadResult::Done, FileVersion::Unknown},
        {U32(15) + "Kavelmark V0.3 ", ReadResult::Damaged, FileVersion::Unknown},
        {U32(0xFFFFFFFF), ReadResult::Damaged, FileVersion::Unknown},
        {U32(16) + "Kavelmark", ReadResult::ShortRead, FileVersion::Unknown},
        {"\x10", ReadResult::ShortRead, FileVersion::Unknown},
    };
    for (const Case& c : cases)
    {
        MemoryFile file(c.bytes);
        auto identified = PasswordFile::IdentifyVersion(file);
        EXPECT_EQ(identified.result, c.result) << c.bytes;
        EXPECT_EQ(identified.version, c.version) << c.bytes;
    }
}

TEST(PasswordFileTest, V02NeedsTheRightTagEvenWithoutRecords)
{
    const std::uint64_t seed = ComputeLegacySeed("geheim");
    auto v02 = [](std::uint64_t scrambleSeed, std::string_view tag)
    {
        LegacyScramble scramble(scrambleSeed);
        SecureString scrambled = scramble.Apply(tag);
        return U32(static_cast<std::uint32_t>(tag.size())) + std::string(scrambled.data(), scrambled.size()) + U32(0);
    };
    const std::string tag(PasswordFile::kVerificationTag);
    struct Case
    {
        std::string afterMagic;
        ReadResult result;
    };
    const Case cases[] = {
        {v02(seed, tag), ReadResult::Done},
        {v02(seed, tag + std::string(1, '\0') + "Rest"), ReadResult::Done}, // compared up to the zero byte
        {v02(seed + 1, tag), ReadResult::WrongPassword},
        {v02(seed, tag.substr(0, 15)), ReadResult::WrongPassword},
        {v02(seed, tag).substr(0, 20), ReadResult::ShortRead}, // the count is missing
    };
    for (const Case& c : cases)
    {
        MemoryFile file(c.afterMagic);
        PasswordStore store = EmptyStore();
        EXPECT_EQ(PasswordFile::ReadV02(file, seed, store), c.result);
        EXPECT_EQ(store.GetCount(), 0u);
    }
}

} // namespace
} // namespace kavelmark

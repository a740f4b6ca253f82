// The hardened format V0.4 through Load and Save, held against a writer and a reader made
// from the format's table alone (V04Support.h).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/V04Support.h"
#include "support/PasswordFileFixture.h"

namespace kavelmark
{
namespace
{

using testing::BodyPlain;
using testing::BuiltIns;
using testing::FolderContents;
using testing::HeadOf;
using testing::ReadBytes;
using testing::Records;
using testing::U32;
using testing::V02File;
using testing::V03File;
using testing::V04File;
using testing::V04Head;
using testing::V04Plaintext;
using testing::WriteBytes;

constexpr const char* kWrongPassword = "Das Passwort ist falsch!";
constexpr const char* kDamaged = "Die Passwortdatei ist beschädigt und wird nicht gelesen:\n";
constexpr const char* kUnknownFormat =
    "Die Datei ist keine Passwortdatei in einem bekannten Format und wird nicht gelesen:\n";
const std::vector<std::string> kRecords = {"_C__|_Eigene_|_Kunde_|_Kennwort (*)_|_Ort_|_",
                                           std::string("_E__|_Eigene_|_mit\0Null_|_\x80\xE4\xFF_|_a_|_b_|_c_|_", 36),
                                           ""};

// Saves with a small derivation cost, so that a test spends milliseconds, not 64 MiB, on a key.
class V04Test : public testing::PasswordFileFixture
{
protected:
    void SetUp() override
    {
        PasswordFileFixture::SetUp();
        defaultCost = SetV04WriteCost({64, 1, 1});
        SetMainFileFormat(FileFormat::V03);
    }
    void TearDown() override
    {
        SetV04WriteCost(defaultCost);
        SetMainFileFormat(FileFormat::V03);
        PasswordFileFixture::TearDown();
    }

    std::vector<std::string> WithBuiltIns(std::vector<std::string> records)
    {
        for (const std::string& builtIn : BuiltIns())
        {
            records.push_back(builtIn);
        }
        return records;
    }

    Argon2idCost defaultCost;
};

TEST_F(V04Test, SavesThePinnedLayoutWithAFreshSaltAndNonceThatAnIndependentReaderOpens)
{
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(SaveRecords(kRecords, "Kennwort"), SaveResult::Saved);
    const std::string first = ReadBytes(path);
    ASSERT_EQ(SaveRecords(kRecords, "Kennwort"), SaveResult::Saved);
    const std::string second = ReadBytes(path);

    const std::string body = BodyPlain(kRecords, 3);
    for (const std::string& file : {first, second})
    {
        EXPECT_EQ(file.substr(0, 20), U32(16) + "Kavelmark V0.4  ");
        const V04Head head = HeadOf(file);
        EXPECT_EQ(head.parameterLength, 60u);
        EXPECT_EQ(head.function, 1u);
        EXPECT_EQ(head.memoryKiB, 64u);
        EXPECT_EQ(head.passes, 1u);
        EXPECT_EQ(head.lanes, 1u);
        EXPECT_EQ(file.size(), 116 + body.size() + 16);
        EXPECT_EQ(V04Plaintext(file, "Kennwort"), body);
    }
    EXPECT_NE(HeadOf(first).salt, HeadOf(second).salt);
    EXPECT_NE(HeadOf(first).nonce, HeadOf(second).nonce);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(V04Test, TheDefaultCostIsTheSecondSettingOfRfc9106)
{
    SetV04WriteCost(defaultCost);
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(SaveRecords(kRecords, "Kennwort"), SaveResult::Saved);
    const V04Head head = HeadOf(ReadBytes(path));
    EXPECT_EQ(head.memoryKiB, 65536u);
    EXPECT_EQ(head.passes, 3u);
    EXPECT_EQ(head.lanes, 4u);
    EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Loaded);
    EXPECT_EQ(Records(store), WithBuiltIns(kRecords));
}

TEST_F(V04Test, LoadsFilesOfAnIndependentWriterAtTheEdgesOfTheParameters)
{
    const V04Head edges[] = {
        {60, 1, 8, 1, 1},     // the least memory: eight blocks for the one lane
        {60, 1, 128, 64, 16}, // the most passes and lanes
        {60, 1, 64, 2, 4},
    };
    for (const V04Head& head : edges)
    {
        WriteBytes(path, V04File("Pässwort", BodyPlain(kRecords, 3), head));
        SetMainFileFormat(FileFormat::V03);
        EXPECT_EQ(LoadWith("Pässwort"), LoadResult::Loaded) << head.memoryKiB << "/" << head.passes;
        EXPECT_EQ(Records(store), WithBuiltIns(kRecords));
        EXPECT_EQ(MainFileFormat(), FileFormat::V04);
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(V04Test, EveryChangedOrCutFileIsRefusedWithItsMessageUnchangedAndNotMovedAside)
{
    const std::string good = V04File("Kennwort", BodyPlain(kRecords, 3));
    enum class Expect
    {
        Loaded,
        WrongPassword,
        Damaged,
        UnknownFormat,
    };
    auto flip = [&](std::size_t offset) { return [offset](std::string& b) { b[offset] ^= 0x01; }; };
    auto field = [&](std::size_t offset, std::uint32_t value)
    { return [offset, value](std::string& b) { b.replace(offset, 4, U32(value)); }; };
    auto cut = [&](std::size_t size) { return [size](std::string& b) { b.resize(size); }; };
    const std::size_t end = good.size();
    struct Case
    {
        const char* name;
        std::function<void(std::string&)> change;
        Expect expect;
        const char* password = "Kennwort";
    };
    const Case cases[] = {
        {"the right password", [](std::string&) {}, Expect::Loaded},
        {"a wrong password", [](std::string&) {}, Expect::WrongPassword, "Kennwort!"},
        {"magic length", flip(0), Expect::Damaged},
        {"magic", flip(17), Expect::UnknownFormat},
        {"parameter length", flip(20), Expect::Damaged},
        {"key derivation function", flip(24), Expect::Damaged},
        // Within their bounds the parameters derive other keys: the header check fails.
        {"memory", flip(29), Expect::WrongPassword},
        {"passes", field(32, 2), Expect::WrongPassword},
        {"lanes", field(36, 2), Expect::WrongPassword},
        {"salt", flip(40 + 31), Expect::WrongPassword},
        {"nonce", flip(72), Expect::WrongPassword},
        {"header check", flip(84 + 16), Expect::WrongPassword},
        {"first byte of the body", flip(116), Expect::Damaged},
        {"last byte of the body", flip(end - 17), Expect::Damaged},
        {"tag", flip(end - 1), Expect::Damaged},
        {"cut by one byte", cut(end - 1), Expect::Damaged},
        {"cut to the head and the tag less one byte", cut(131), Expect::Damaged},
        {"cut inside the head", cut(60), Expect::Damaged},
        {"one byte appended", [](std::string& b) { b += 'x'; }, Expect::Damaged},
        {"memory over 1 GiB", field(28, 1048577), Expect::Damaged},
        {"memory under 8 x lanes", [](std::string& b) { b.replace(28, 12, U32(31) + U32(1) + U32(4)); },
         Expect::Damaged},
        {"passes 0", field(32, 0), Expect::Damaged},
        {"passes 65", field(32, 65), Expect::Damaged},
        {"lanes 0", field(36, 0), Expect::Damaged},
        {"lanes 17", field(36, 17), Expect::Damaged},
        {"4 GiB of memory", field(28, 4194304), Expect::Damaged},
        {"2^32 - 1 passes", field(32, 0xFFFFFFFF), Expect::Damaged},
    };
    // A derivation at a hostile cost would run for hours: end the test program instead.
    ::alarm(120);
    for (const Case& c : cases)
    {
        std::string bytes = good;
        c.change(bytes);
        WriteBytes(path, bytes);
        recorder.messages.clear();
        const auto started = std::chrono::steady_clock::now();
        const LoadResult result = LoadWith(c.password);
        // A refusal of the parameters comes before any derivation: at once.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << c.name;
        switch (c.expect)
        {
        case Expect::Loaded:
            EXPECT_EQ(result, LoadResult::Loaded) << c.name;
            EXPECT_EQ(Records(store), WithBuiltIns(kRecords)) << c.name;
            EXPECT_TRUE(recorder.messages.empty()) << c.name;
            break;
        case Expect::WrongPassword:
            EXPECT_EQ(result, LoadResult::Refused) << c.name;
            EXPECT_EQ(store.GetCount(), 0u) << c.name;
            ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
            EXPECT_EQ(recorder.messages[0].caption, "ERROR") << c.name;
            EXPECT_EQ(recorder.messages[0].text, kWrongPassword) << c.name;
            break;
        case Expect::Damaged:
        case Expect::UnknownFormat:
            EXPECT_EQ(result, LoadResult::Damaged) << c.name;
            EXPECT_EQ(Records(store), BuiltIns()) << c.name;
            ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
            EXPECT_EQ(recorder.messages[0].caption, "Ladefehler") << c.name;
            EXPECT_EQ(recorder.messages[0].text, (c.expect == Expect::Damaged ? kDamaged : kUnknownFormat) + path)
                << c.name;
            break;
        }
        EXPECT_EQ(ReadBytes(path), bytes) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
    ::alarm(0);
}

TEST_F(V04Test, AnAuthenticBodyOutsideTheRecordBoundsIsDamagedAndAddsNothing)
{
    const std::string stamp = "09:05:14 - 2026.12.05";
    const struct
    {
        const char* name;
        std::string body;
    } cases[] = {
        {"a count above the records", BodyPlain({"a"}, 2)},
        {"a count below the records", BodyPlain({"a", "b"}, 1)},
        {"a length past the end", stamp + U32(1) + U32(5) + "abcd"},
        {"a byte after the last record", BodyPlain({"a"}, 1) + '\0'},
        {"a body shorter than its timestamp and count", stamp},
        {"1,000,001 empty records", stamp + U32(1'000'001) + std::string(std::size_t{4} * 1'000'001, '\0')},
    };
    for (const auto& c : cases)
    {
        WriteBytes(path, V04File("Kennwort", c.body));
        recorder.messages.clear();
        EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Damaged) << c.name;
        EXPECT_EQ(Records(store), BuiltIns()) << c.name;
        EXPECT_EQ(recorder.Texts(), std::vector<std::string>{kDamaged + path}) << c.name;
    }
}

TEST_F(V04Test, AllOfALongPasswordKeysTheFileAndNothingIsSaidOfItsLength)
{
    const std::string password = "ein Kennwort mit mehr als zweiunddrei\xDFig Zeichen";
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(SaveRecords(kRecords, password), SaveResult::Saved);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(LoadWith(password), LoadResult::Loaded);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(LoadWith(password.substr(0, 32)), LoadResult::Refused);
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{kWrongPassword});
    EXPECT_EQ(V04Plaintext(ReadBytes(path), password), BodyPlain(kRecords, 3));
}

TEST_F(V04Test, TheFormatBelongsToTheFileAndChangesOnlyWhenTheSessionSetsIt)
{
    auto magicOnDisk = [&] { return ReadBytes(path).substr(4, 16); };

    // A V0.3 file stays V0.3 and is converted both ways through the same save.
    WriteBytes(path, V03File("pw", BodyPlain(kRecords, 3)));
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(MainFileFormat(), FileFormat::V03);
    ASSERT_EQ(Save(store, ToSecure("pw")), SaveResult::Saved);
    EXPECT_EQ(magicOnDisk(), "Kavelmark V0.3  ");
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(Save(store, ToSecure("pw")), SaveResult::Saved);
    EXPECT_EQ(magicOnDisk(), "Kavelmark V0.4  ");
    SetMainFileFormat(FileFormat::V03);
    ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(MainFileFormat(), FileFormat::V04);
    EXPECT_EQ(Records(store), WithBuiltIns(kRecords));
    SetMainFileFormat(FileFormat::V03);
    ASSERT_EQ(Save(store, ToSecure("pw")), SaveResult::Saved);
    EXPECT_EQ(magicOnDisk(), "Kavelmark V0.3  ");
    ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(Records(store), WithBuiltIns(kRecords));

    // A failed load leaves the format; a missing file is a new one, V0.3.
    SetMainFileFormat(FileFormat::V04);
    EXPECT_EQ(LoadWith("falsch"), LoadResult::Refused);
    EXPECT_EQ(MainFileFormat(), FileFormat::V04);
    std::filesystem::remove(path);
    EXPECT_EQ(LoadWith("pw"), LoadResult::Missing);
    EXPECT_EQ(MainFileFormat(), FileFormat::V03);

    // A V0.2 file takes the format the caller converts to: V0.3 unless told.
    for (FileFormat convertTo : {FileFormat::V03, FileFormat::V04})
    {
        std::filesystem::remove_all(dir.Path());
        std::filesystem::create_directory(dir.Path());
        WriteBytes(path, V02File("pw", {"_C__|_Alt_|_1_|_2_|_3_|_"}));
        const LoadResult result = convertTo == FileFormat::V04
                                      ? Load(store, ToSecure("pw"), ComputeLegacySeed("pw"), FileFormat::V04)
                                      : LoadWith("pw");
        ASSERT_EQ(result, LoadResult::Loaded);
        EXPECT_EQ(MainFileFormat(), convertTo);
        ASSERT_EQ(Save(store, ToSecure("pw")), SaveResult::Saved);
        EXPECT_EQ(magicOnDisk(), convertTo == FileFormat::V04 ? "Kavelmark V0.4  " : "Kavelmark V0.3  ");
    }
}

TEST_F(V04Test, TheFuzzSeedOfTheFuzzBuildLoads)
{
    // Written by the fuzz build's own v04_seed at the least derivation cost.
    WriteBytes(path, ReadBytes(KAVELMARK_FUZZ_CORPUS "/reader/v04"));
    ASSERT_EQ(LoadWith("Kennwort"), LoadResult::Loaded);
    EXPECT_EQ(HeadOf(ReadBytes(path)).memoryKiB, 8u);
    // Its first record is the built-in FTP category, which is then not added again.
    std::vector<std::string> expected = {"_C__|_FTP_|_User_|_Password (*)_|_Host_|_",
                                         "_E__|_FTP_|_server_|_$1 $3_|_anna_|_s3cr\x80t_|_ftp.example.org_|_", ""};
    const std::vector<std::string> builtIns = BuiltIns();
    expected.insert(expected.end(), builtIns.begin() + 1, builtIns.end());
    EXPECT_EQ(Records(store), expected);
}

TEST_F(V04Test, TheSizeLimitsOfV03HoldForTheWholeV04File)
{
    // 67,108,864 bytes less the head (116), the tag (16), the timestamp and count (25) and
    // the record's length (4).
    constexpr std::size_t kLargestRecord = 67'108'703;
    SetMainFileFormat(FileFormat::V04);
    ASSERT_EQ(SaveRecords({std::string(kLargestRecord, 'x')}, "pw"), SaveResult::Saved);
    EXPECT_EQ(std::filesystem::file_size(path), PasswordFile::kMaxFileSize);
    ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(store.GetCount(), 1 + BuiltIns().size());

    const std::string before = ReadBytes(path);
    recorder.messages.clear();
    EXPECT_EQ(SaveRecords({std::string(kLargestRecord + 1, 'x')}, "pw"), SaveResult::TooLarge);
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(ReadBytes(path) == before);
}

} // namespace
} // namespace kavelmark

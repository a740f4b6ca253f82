// Load against files that are odd, hostile or in the way: what it refuses, when it lets go
// of the file, and what it asks before an old version is converted.
#include <gtest/gtest.h>

#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file/FailingAllocation.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "file/RetryingFile.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using testing::BuiltIns;
using testing::FolderContents;
using testing::ReadBytes;
using testing::Records;
using testing::U32;
using testing::V02File;
using testing::V03File;
using testing::WriteBytes;

const char* const kRenameFailed =
    "Fehler beim Umbenennen der Datendatei (alte Version der Datei vor Überschreiben mit der neuen schützen).";
const std::string kStamp = "09:05:14 - 2026.12.05";
const std::string kRecord = "_C__|_A_|_1_|_2_|_3_|_";

// Ends the test program if a load never returns, so that a hang fails instead of blocking.
class Deadline
{
public:
    Deadline()
    {
        ::alarm(60);
    }
    ~Deadline()
    {
        ::alarm(0);
    }
};

// A message sink that also notes, for every message, whether another program could take
// the file for writing at that moment.
class LockProbe final : public MessageSink
{
public:
    explicit LockProbe(std::string path) : path_(std::move(path)), previous_(SetMessageSink(this))
    {
    }
    ~LockProbe() override
    {
        SetMessageSink(previous_);
    }
    LockProbe(const LockProbe&) = delete;
    LockProbe& operator=(const LockProbe&) = delete;

    bool FileIsFree() const
    {
        int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
        {
            return true;
        }
        bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon, MessageButtons) override
    {
        shown.push_back(caption + ": " + text);
        freeAtEach.push_back(FileIsFree());
        return MessageAnswer::Ok;
    }

    std::vector<std::string> shown;
    std::vector<bool> freeAtEach;

private:
    std::string path_;
    MessageSink* previous_;
};

class LoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Use(path);
    }
    void TearDown() override
    {
        SetPasswordConfirmer(nullptr);
    }

    void Use(const std::string& file)
    {
        backend.Write(settings::kConfig, settings::kMainEntryFile, file);
    }
    LoadResult LoadWith(std::string_view password)
    {
        return Load(store, ToSecure(password), ComputeLegacySeed(password));
    }
    // The confirmer answers with typed (nothing: cancelled) and counts its runs.
    void ConfirmWith(std::optional<std::string> typed)
    {
        SetPasswordConfirmer(
            [this, typed]() -> std::optional<SecureString>
            {
                ++confirmations;
                if (!typed)
                {
                    return std::nullopt;
                }
                return ToSecure(*typed);
            });
    }

    testing::TempDir dir;
    std::string path = dir / "pw.Kavelmark";
    InMemorySettingsBackend backend;
    ScopedSettingsBackend install{backend};
    PasswordStore store;
    int confirmations = 0;
};

TEST_F(LoadTest, AnOldVersionThatCannotBeBackedUpLoadsWithTheRenameMessage)
{
    // Its backup names are one character too long for the file system.
    const std::string longPath = dir / (std::string(249, 'k') + ".K");
    Use(longPath);
    const std::string v01 = U32(16) + "Kavelmark V0.1  egal";
    const std::string v02 = V02File("pw", {kRecord});
    for (const std::string& bytes : {v01, v02})
    {
        WriteBytes(longPath, bytes);
        testing::MessageRecorder recorder;
        store = PasswordStore();
        LoadResult result = LoadResult::Refused;
        {
            Deadline deadline;
            result = LoadWith("pw");
        }
        EXPECT_EQ(result, LoadResult::Loaded);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text, kRenameFailed);
        EXPECT_EQ(recorder.messages[0].caption, longPath);
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(ReadBytes(longPath), bytes);
        EXPECT_EQ(store.GetCount(), bytes == v02 ? 8u : 7u);
    }
}

TEST_F(LoadTest, AV02FileIsConvertedOnlyWhenThePasswordIsConfirmed)
{
    const std::string password = "P\xE4sswort";
    // A slip of the shift key with the same seed modulo 256: it passes the V0.2 check.
    const std::string typo = "P\xE4ssworT";
    ASSERT_EQ(ComputeLegacySeed(typo) % 256, ComputeLegacySeed(password) % 256);
    const std::string original = V02File(password, {kRecord});
    struct Case
    {
        const char* name;
        std::string login;
        std::optional<std::string> again;
        LoadResult result;
    };
    const Case cases[] = {
        {"the same again", password, password, LoadResult::Loaded},
        {"typo, then the real one", typo, password, LoadResult::Refused},
        {"cancelled", password, std::nullopt, LoadResult::Refused},
    };
    for (const Case& c : cases)
    {
        WriteBytes(path, original);
        ConfirmWith(c.again);
        confirmations = 0;
        testing::MessageRecorder recorder;
        EXPECT_EQ(LoadWith(c.login), c.result) << c.name;
        EXPECT_EQ(confirmations, 1) << c.name;
        if (c.result == LoadResult::Loaded)
        {
            EXPECT_TRUE(recorder.messages.empty()) << c.name;
            EXPECT_EQ(Records(store).front(), kRecord) << c.name;
            EXPECT_EQ(ReadBytes(path + ".old_1"), original) << c.name;
            EXPECT_EQ(ReadBytes(path), original) << c.name;
            std::filesystem::remove(path + ".old_1");
            continue;
        }
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].text, "Das Passwort ist falsch!");
        EXPECT_EQ(recorder.messages[0].caption, "ERROR");
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(store.GetCount(), 0u) << c.name;
        EXPECT_EQ(ReadBytes(path), original) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
}

TEST_F(LoadTest, OnlyACompleteV02FileAsksForThePasswordAgain)
{
    ConfirmWith("pw");
    testing::MessageRecorder recorder;
    const std::pair<const char*, std::string> files[] = {
        {"V0.3", V03File("pw", kStamp + U32(1) + U32(22) + kRecord)},
        {"V0.1", U32(16) + "Kavelmark V0.1  egal"},
        {"truncated V0.2", V02File("pw", {kRecord, kRecord}).substr(0, 60)},
        {"V0.2 under another password", V02File("anders", {kRecord})},
    };
    for (const auto& [name, bytes] : files)
    {
        WriteBytes(path, bytes);
        LoadWith("pw");
        EXPECT_EQ(confirmations, 0) << name;
        std::filesystem::remove(path + ".old_1");
    }
}

TEST_F(LoadTest, TheFileIsLetGoBeforeEveryMessage)
{
    const std::string longPassword(40, 'p');
    struct Case
    {
        const char* name;
        std::string bytes;
        std::string password;
        std::size_t messages;
    };
    const Case cases[] = {
        {"wrong password V0.3", V03File("pw", kStamp + U32(0)), "falsch", 1},
        {"wrong password V0.2", V02File("pw", {kRecord}), "falsch", 1},
        {"damaged", V03File("pw", kStamp + U32(5)), "pw", 1},
        {"unknown format", U32(16) + "Kavelmark V9.9  ", "pw", 1},
        {"key length", V03File(longPassword, kStamp + U32(0)), longPassword, 2},
        {"confirmation refused", V02File("pw", {kRecord}), "pw", 1},
    };
    for (const Case& c : cases)
    {
        WriteBytes(path, c.bytes);
        LockProbe probe(path);
        bool freeWhenAsked = false;
        SetPasswordConfirmer(
            [&]() -> std::optional<SecureString>
            {
                freeWhenAsked = probe.FileIsFree();
                return ToSecure("nicht pw");
            });
        LoadWith(c.password);
        EXPECT_EQ(probe.shown.size(), c.messages) << c.name;
        EXPECT_EQ(probe.freeAtEach, std::vector<bool>(probe.shown.size(), true)) << c.name;
        if (std::string_view(c.name) == "confirmation refused")
        {
            EXPECT_TRUE(freeWhenAsked);
        }
    }
}

TEST_F(LoadTest, OnlyRegularFilesAreOpened)
{
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    testing::MessageRecorder recorder;
    const std::string folder = dir / "folder";
    std::filesystem::create_directory(folder);
    for (const std::string& name : {path, folder, std::string("/dev/zero")})
    {
        Use(name);
        store.RemoveAll();
        recorder.messages.clear();
        LoadResult result = LoadResult::Loaded;
        {
            Deadline deadline;
            result = LoadWith("pw");
        }
        EXPECT_EQ(result, LoadResult::Damaged) << name;
        ASSERT_EQ(recorder.messages.size(), 1u) << name;
        EXPECT_EQ(recorder.messages[0].caption, "Ladefehler");
        EXPECT_EQ(recorder.messages[0].text,
                  "Unter diesem Namen liegt keine gewöhnliche Datei; sie wird nicht gelesen:\n" + name);
        EXPECT_EQ(Records(store), BuiltIns()) << name;
    }
    // A link to a regular file is that file.
    const std::string real = dir / "real.Kavelmark";
    WriteBytes(real, V03File("pw", kStamp + U32(1) + U32(22) + kRecord));
    const std::string link = dir / "link.Kavelmark";
    std::filesystem::create_symlink(real, link);
    Use(link);
    EXPECT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(Records(store).front(), kRecord);
}

TEST_F(LoadTest, FilesTooLargeOrClaimingMoreThanTheyHoldAreRefusedAsDamaged)
{
    // A million records load whatever their size; one more is refused, even when each is
    // empty and the whole file is a few megabytes.
    constexpr std::uint32_t kOneTooMany = 1'000'001;
    auto emptyRecords = [](std::uint32_t count)
    { return V03File("pw", kStamp + U32(count) + std::string(std::size_t{4} * count, '\0')); };
    const std::string v02Head = V02File("pw", {}).substr(0, 40);
    struct Case
    {
        const char* name;
        std::string bytes;
        std::uint64_t length; // beyond the bytes: a hole of zeros
        const char* text;
    };
    const char* damaged = "Die Passwortdatei ist beschädigt und wird nicht gelesen:\n";
    const Case cases[] = {
        {"one byte over the limit", V03File("pw", kStamp + U32(0)), PasswordFile::kMaxFileSize + 1,
         "Die Datei ist zu groß für eine Passwortdatei und wird nicht gelesen:\n"},
        {"V0.2 claiming 2^31 records", v02Head + U32(0x80000000u), 1 << 20, damaged},
        {"V0.2 claiming one record more than its length bytes", v02Head + U32(3) + U32(0) + U32(0), 0, damaged},
        {"V0.3 of 1,000,001 empty records", emptyRecords(kOneTooMany), 0, damaged},
        {"V0.2 of 1,000,001 empty records", v02Head + U32(kOneTooMany) + std::string(4 * kOneTooMany, '\0'), 0,
         damaged},
    };
    testing::MessageRecorder recorder;
    for (const Case& c : cases)
    {
        WriteBytes(path, c.bytes);
        if (c.length > 0)
        {
            ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(c.length)), 0);
        }
        recorder.messages.clear();
        EXPECT_EQ(LoadWith("pw"), LoadResult::Damaged) << c.name;
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, "Ladefehler");
        EXPECT_EQ(recorder.messages[0].text, c.text + path) << c.name;
        EXPECT_EQ(Records(store), BuiltIns()) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
    WriteBytes(path, emptyRecords(kOneTooMany - 1));
    EXPECT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(store.GetCount(), kOneTooMany - 1 + BuiltIns().size());
}

TEST_F(LoadTest, RunningOutOfMemoryAnywhereInALoadRefusesTheFileAsDamaged)
{
    const std::string v03 = V03File("pw", kStamp + U32(2) + U32(22) + kRecord + U32(0));
    const std::string v02 = V02File("pw", {kRecord, ""});
    for (const std::string& bytes : {v03, v02})
    {
        for (long n = 1;; ++n)
        {
            WriteBytes(path, bytes);
            testing::MessageRecorder recorder;
            store = PasswordStore();
            testing::FailAllocation(n);
            const LoadResult result = LoadWith("pw");
            bool failed = testing::AllocationFailed();
            testing::FailAllocation(0);
            if (!failed)
            {
                EXPECT_EQ(result, LoadResult::Loaded);
                EXPECT_EQ(store.GetCount(), 9u);
                break;
            }
            EXPECT_EQ(result, LoadResult::Damaged) << n;
            ASSERT_EQ(recorder.messages.size(), 1u) << n;
            EXPECT_EQ(recorder.messages[0].caption, "Ladefehler") << n;
            EXPECT_EQ(Records(store), BuiltIns()) << n;
            EXPECT_EQ(ReadBytes(path), bytes) << n;
            EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << n;
        }
    }
}

// Another program that rewrites the file in place (no rename) while this one reads it: after each
// read, the file gets the next of the versions, for as many reads as rewritesLeft says.
std::string rewrittenPath;
std::vector<std::string> rewrittenVersions;
int rewritesLeft = 0;
std::size_t nextVersion = 0;
ssize_t ReadWithARewrite(int fd, void* buffer, std::size_t size)
{
    const ssize_t got = ::read(fd, buffer, size);
    if (rewritesLeft > 0)
    {
        --rewritesLeft;
        const std::string& version = rewrittenVersions[nextVersion++ % rewrittenVersions.size()];
        const int writer = ::open(rewrittenPath.c_str(), O_WRONLY | O_TRUNC);
        EXPECT_EQ(::write(writer, version.data(), version.size()), static_cast<ssize_t>(version.size()));
        ::close(writer);
    }
    return got;
}

TEST_F(LoadTest, AFileRewrittenInPlaceWhileReadIsReadAnewNeverAsAMix)
{
    Deadline deadline;
    const std::string recordA = "_C__|_alt_|_1_|_2_|_3_|_";
    const std::string recordB = "_C__|_neuer Eintrag_|_1_|_2_|_3_|_";
    const std::string a =
        V03File("pw", kStamp + U32(2) + U32(static_cast<std::uint32_t>(recordA.size())) + recordA + U32(0));
    const std::string b =
        V03File("pw", kStamp + U32(2) + U32(static_cast<std::uint32_t>(recordB.size())) + recordB + U32(0));
    struct Case
    {
        const char* name;
        bool otherFile; // read as a version another program left, not as the session's file
        int rewrites;
        LoadResult expected;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"the session's file, rewritten once", false, 1, LoadResult::Loaded, {recordB, ""}},
        {"another program's version, rewritten once", true, 1, LoadResult::Loaded, {recordB, ""}},
        {"the session's file, rewritten on every read", false, 1000, LoadResult::Damaged, {}},
        {"another program's version, rewritten on every read", true, 1000, LoadResult::Damaged, {}},
    };
    const FileSystemCalls saved = SystemCalls();
    for (const Case& c : cases)
    {
        WriteBytes(path, a);
        rewrittenPath = path;
        rewrittenVersions = {b, a};
        nextVersion = 0;
        rewritesLeft = c.rewrites;
        testing::MessageRecorder recorder;
        store = PasswordStore();
        SystemCalls().read = ReadWithARewrite;
        LoadResult result = LoadResult::Missing;
        if (c.otherFile)
        {
            OtherFileRead read;
            result = ReadOtherFile(path, ToSecure("pw"), store, read, true);
        }
        else
        {
            result = LoadWith("pw");
        }
        SystemCalls() = saved;
        rewritesLeft = 0;
        EXPECT_EQ(result, c.expected) << c.name;
        if (c.expected == LoadResult::Loaded)
        {
            EXPECT_TRUE(recorder.messages.empty()) << c.name;
            std::vector<std::string> expected = c.records;
            std::vector<std::string> builtIns = BuiltIns();
            expected.insert(expected.end(), builtIns.begin(), builtIns.end());
            EXPECT_EQ(Records(store), expected) << c.name;
        }
        else
        {
            ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
            EXPECT_EQ(recorder.messages[0].caption, "Ladefehler") << c.name;
            EXPECT_EQ(recorder.messages[0].text,
                      "Die Datei wurde während des Lesens immer wieder von einem anderen Programm geändert und wird "
                      "nicht gelesen. Bitte versuchen Sie es gleich noch einmal:\n" +
                          path)
                << c.name;
        }
    }
}

} // namespace
} // namespace kavelmark

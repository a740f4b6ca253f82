#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "crypto/CipherEngine.h"
#include "file/FileError.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/PasswordFile.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/PasswordFileFixture.h"

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

class LoadSaveTest : public testing::PasswordFileFixture
{
protected:
};

TEST_F(LoadSaveTest, V03RoundTripKeepsEveryByteAndTheOrder)
{
    const std::vector<std::string> records = {
        "_C__|_Eigene_|_Kunde_|_Kennwort (*)_|_Ort_|_",
        std::string("_E__|_Eigene_|_mit\0Null_|_\x80\xE4\xFF_|_a_|_b_|_c_|_", 36),
        "",
        "kein Datensatz",
    };
    ASSERT_EQ(SaveRecords(records, "Kennwort"), SaveResult::Saved);
    EXPECT_EQ(::access((path).c_str(), F_OK), 0);

    EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Loaded);
    std::vector<std::string> expected = records;
    for (const std::string& builtIn : BuiltIns())
    {
        expected.push_back(builtIn);
    }
    EXPECT_EQ(Records(store), expected);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});
}

TEST_F(LoadSaveTest, EveryStoreASaveWritesLoadsAgainAndOneBeyondTheLimitsIsRefusedUnwritten)
{
    // The largest file: 24 bytes of head, a 48-byte verification block and a body padded to
    // whole blocks with one to sixteen bytes. 67,108,864 - 72 leaves room for 4,194,299
    // blocks of body, so a body plaintext of at most 67,108,783 bytes, of which 25 are the
    // timestamp and the count and 4 the one record's length.
    constexpr std::size_t kLargestRecord = 67'108'754;
    auto sized = [](std::size_t count, auto lengthOf)
    {
        std::vector<std::string> records;
        records.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
        {
            records.push_back(std::string(lengthOf(i), static_cast<char>('a' + i % 26)));
        }
        return records;
    };
    struct Shape
    {
        const char* name;
        std::vector<std::string> records;
    };
    const Shape shapes[] = {
        {"a million empty records", sized(1'000'000, [](std::size_t) { return 0; })},
        {"300,000 one-line titles", sized(300'000, [](std::size_t) { return 24; })},
        {"240,000 records of about 40 bytes", sized(240'000, [](std::size_t i) { return 36 + i % 9; })},
        {"records of every length up to 3,000", sized(9'000, [](std::size_t i) { return i * 7919 % 3001; })},
        {"one record that fills the largest file", sized(1, [](std::size_t) { return kLargestRecord; })},
    };
    for (const Shape& shape : shapes)
    {
        ASSERT_EQ(SaveRecords(shape.records, "pw"), SaveResult::Saved) << shape.name;
        ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded) << shape.name;
        std::vector<std::string> loaded = Records(store);
        ASSERT_EQ(loaded.size(), shape.records.size() + BuiltIns().size()) << shape.name;
        loaded.resize(shape.records.size());
        EXPECT_TRUE(loaded == shape.records) << shape.name;
        EXPECT_TRUE(recorder.messages.empty()) << shape.name;
    }
    EXPECT_EQ(std::filesystem::file_size(path), 67'108'856u);

    // One record more, or one byte more: refused before anything is written, with the
    // numbers the user needs to decide what to delete.
    struct Beyond
    {
        const char* name;
        std::vector<std::string> records;
        const char* count;
        const char* megabytes;
    };
    const Beyond beyond[] = {
        {"1,000,001 empty records", sized(1'000'001, [](std::size_t) { return 0; }), "1.000.001", "3,9"},
        {"one byte too many", sized(1, [](std::size_t) { return kLargestRecord + 1; }), "1", "64,1"},
    };
    ASSERT_EQ(SaveRecords({"_C__|_A_|_1_|_2_|_3_|_"}, "pw"), SaveResult::Saved);
    const std::string before = ReadBytes(path);
    for (const Beyond& c : beyond)
    {
        recorder.messages.clear();
        EXPECT_EQ(SaveRecords(c.records, "pw"), SaveResult::TooLarge) << c.name;
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(recorder.messages[0].text,
                  std::string("Die Passwortdatei wird nicht gespeichert: Mit ") + c.count +
                      " Einträgen und Kategorien wäre sie " + c.megabytes +
                      " MB groß. Kavelmark kann nur Passwortdateien bis 64 MB mit höchstens 1.000.000 Einträgen und "
                      "Kategorien lesen.\nBitte löschen Sie Einträge und speichern Sie dann erneut. Die Datei auf dem "
                      "Datenträger bleibt unverändert.\n\n" +
                      path)
            << c.name;
        EXPECT_EQ(ReadBytes(path), before) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
}

TEST_F(LoadSaveTest, SaveStampsBothTimestampsFromTheInstalledClock)
{
    ASSERT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), testing::BuiltInStoreFileSize());
    CipherEngine header(ToSecure(bytes.substr(24, 48)));
    EXPECT_EQ(std::string_view(header.Decrypt("pw")).substr(0, 21), "14:05:09 - 05.12.2026");
    CipherEngine body(ToSecure(bytes.substr(72)));
    EXPECT_EQ(std::string_view(body.Decrypt("pw")).substr(0, 21), "09:05:14 - 2026.12.05");
}

// linkat fails with a given error while it lives: a file system without hard links, or a
// symbolic link to a file on another one.
class RefusedLinks
{
public:
    explicit RefusedLinks(int error) : saved_(SystemCalls())
    {
        error_ = error;
        if (error != 0)
        {
            SystemCalls().linkat = [](int, const char*, int, const char*, int) -> int
            {
                errno = error_;
                return -1;
            };
        }
    }
    ~RefusedLinks()
    {
        SystemCalls() = saved_;
    }
    RefusedLinks(const RefusedLinks&) = delete;
    RefusedLinks& operator=(const RefusedLinks&) = delete;

private:
    static inline int error_ = 0;
    FileSystemCalls saved_;
};

// Until the save that converts it, an old version stays at its path, with its backup beside it:
// a run that ends before that save loses nothing.
TEST_F(LoadSaveTest, AnOldVersionStaysAtItsPathUntilTheSaveReplacesItAndItsBackupKeepsIt)
{
    const std::string password = "P\xE4sswort"; // a byte above 127 makes the seed carry
    const std::vector<std::string> records = {"_C__|_FTP_|_User_|_Password (*)_|_Host_|_",
                                              "_E__|_FTP_|_Server_|_\xDF_|_anna_|_s3cr\xEBt_|_ftp.example.org_|_"};
    const std::string v02 = V02File(password, records);
    const std::string v01 = U32(16) + "Kavelmark V0.1  whatever followed";
    struct Case
    {
        const char* name;
        std::string bytes;
        std::vector<std::string> read; // the file's records; a V0.1 file is not read
        int linkError;                 // 0: the file system has hard links
        bool firstNameTaken;
        bool behindSymbolicLink; // the path names a link to the file
    };
    const Case cases[] = {
        {"V0.2", v02, records, 0, false, false},
        {"V0.2, .old_1 taken", v02, records, 0, true, false},
        {"V0.2 on a file system without links", v02, records, EPERM, false, false},
        {"V0.2 behind a symbolic link", v02, records, 0, false, true},
        {"V0.2 behind a symbolic link to another file system, .old_1 taken", v02, records, EXDEV, true, true},
        {"V0.1", v01, {}, 0, false, false},
        {"V0.1 on a file system without links", v01, {}, EPERM, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (const std::string& name : FolderContents(dir.Path()))
        {
            std::filesystem::remove(dir / name);
        }
        std::vector<std::string> folder = {"pw.Kavelmark", "pw.Kavelmark.old_1"};
        if (c.behindSymbolicLink)
        {
            WriteBytes(dir / "real.Kavelmark", c.bytes);
            std::filesystem::create_symlink("real.Kavelmark", path);
            folder.push_back("real.Kavelmark");
        }
        else
        {
            WriteBytes(path, c.bytes);
        }
        std::string backup = path + ".old_1";
        if (c.firstNameTaken)
        {
            WriteBytes(backup, "taken");
            backup = path + ".old_2";
            folder.push_back("pw.Kavelmark.old_2");
        }
        std::sort(folder.begin(), folder.end());
        std::vector<std::string> expected = c.read;
        for (const std::string& builtIn : BuiltIns())
        {
            if (std::find(c.read.begin(), c.read.end(), builtIn) == c.read.end())
            {
                expected.push_back(builtIn);
            }
        }
        store = PasswordStore();
        recorder.messages.clear();
        {
            RefusedLinks links(c.linkError);
            ASSERT_EQ(LoadWith(password), LoadResult::Loaded);
        }
        EXPECT_EQ(Records(store), expected);
        EXPECT_EQ(ReadBytes(path), c.bytes) << "the old file is still where the next start looks";
        EXPECT_EQ(ReadBytes(backup), c.bytes);
        EXPECT_EQ(FolderContents(dir.Path()), folder) << "no copy half-way left over";

        ASSERT_EQ(Save(store, ToSecure(password)), SaveResult::Saved);
        EXPECT_TRUE(recorder.messages.empty()) << "neither the backup nor the save asks anything";
        EXPECT_EQ(ReadBytes(path).substr(4, 16), "Kavelmark V0.3  ");
        EXPECT_EQ(std::filesystem::is_symlink(path), c.behindSymbolicLink);
        EXPECT_EQ(ReadBytes(backup), c.bytes);
        if (c.firstNameTaken)
        {
            EXPECT_EQ(ReadBytes(path + ".old_1"), "taken");
        }
        EXPECT_EQ(FolderContents(dir.Path()), folder);
        PasswordStore reloaded;
        EXPECT_EQ(Load(reloaded, ToSecure(password), 0), LoadResult::Loaded);
        EXPECT_EQ(Records(reloaded), expected);
    }
}

TEST_F(LoadSaveTest, AV02FileFromAnIndependentScramblerLoadsItsRecords)
{
    // fuzz/make_corpus.sh writes this file with a scrambler of its own, so that a change made to
    // the program's scrambling and to the fixtures that use it alike is still caught.
    const std::string original = ReadBytes(KAVELMARK_FUZZ_CORPUS "/reader/v02");
    ASSERT_FALSE(original.empty());
    WriteBytes(path, original);
    EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Loaded);
    std::vector<std::string> loaded = Records(store);
    ASSERT_EQ(loaded.size(), 2u + 6u); // FTP came from the file
    EXPECT_EQ(loaded[0], "_C__|_FTP_|_User_|_Password (*)_|_Host_|_");
    EXPECT_EQ(loaded[1], "_E__|_FTP_|_a_|__|_b_|_c_|_d_|_");
    EXPECT_EQ(ReadBytes(path + ".old_1"), original);

    WriteBytes(path, original);
    recorder.messages.clear();
    EXPECT_EQ(LoadWith("kennwort"), LoadResult::Refused);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Das Passwort ist falsch!");
}

TEST_F(LoadSaveTest, AWrongPasswordShowsOneMessageAndLeavesTheStoreEmpty)
{
    const std::pair<std::string, std::string> files[] = {
        {"V0.3", ""},
        {"V0.2", V02File("richtig", {"_C__|_x_|_a_|_b_|_c_|_"})},
    };
    for (const auto& [name, v02] : files)
    {
        if (v02.empty())
        {
            ASSERT_EQ(SaveRecords({"_C__|_x_|_a_|_b_|_c_|_"}, "richtig"), SaveResult::Saved);
        }
        else
        {
            WriteBytes(path, v02);
        }
        const std::string original = ReadBytes(path);
        recorder.messages.clear();

        EXPECT_EQ(LoadWith("falsch"), LoadResult::Refused) << name;
        EXPECT_EQ(store.GetCount(), 0u) << name;
        ASSERT_EQ(recorder.messages.size(), 1u) << name;
        EXPECT_EQ(recorder.messages[0].caption, "ERROR");
        EXPECT_EQ(recorder.messages[0].text, "Das Passwort ist falsch!");
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(ReadBytes(path), original) << name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << name;
    }
}

TEST_F(LoadSaveTest, AMissingFileGivesTwoSilentlyAndKeepsTheStore)
{
    store.AddEntry("FTP", "kept", "", "", "", "");
    const auto before = Records(store);
    EXPECT_EQ(LoadWith("pw"), LoadResult::Missing);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Records(store), before);
}

TEST_F(LoadSaveTest, OpenFailuresOtherThanAMissingFileAreShownWithTheirCause)
{
    std::filesystem::create_symlink(path, path); // a link to itself cannot be opened
    store.RemoveAll();
    EXPECT_EQ(LoadWith("pw"), OpenFailure(3));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
    EXPECT_EQ(recorder.messages[0].text, "All or part of the path is invalid.");
    EXPECT_EQ(Records(store), BuiltIns());
}

TEST_F(LoadSaveTest, TheMainEntryFileSettingIsReadAtEveryCall)
{
    backend.Erase(settings::kConfig, settings::kMainEntryFile);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    EXPECT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    EXPECT_EQ(backend.Read(settings::kConfig, settings::kMainEntryFile), "default.Kavelmark");
    EXPECT_EQ(ReadBytes(dir / "default.Kavelmark").size(), testing::BuiltInStoreFileSize());
    backend.Write(settings::kConfig, settings::kMainEntryFile, "  other.Kavelmark ");
    EXPECT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    std::filesystem::current_path(previous);
    // The trimmed read finds content, so the stored text (blanks and all) is the name.
    EXPECT_TRUE(std::filesystem::exists(dir / "  other.Kavelmark "));
}

TEST_F(LoadSaveTest, AFileLockedByAWriterForAboutAHundredMillisecondsLoadsOnARetry)
{
    ASSERT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    int holder = ::open(path.c_str(), O_RDWR);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    std::thread release(
        [holder]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ::close(holder);
        });
    auto start = std::chrono::steady_clock::now();
    const LoadResult result = LoadWith("pw");
    auto waited = std::chrono::steady_clock::now() - start;
    release.join();
    EXPECT_EQ(result, LoadResult::Loaded);
    EXPECT_EQ(Records(store), BuiltIns());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_GE(waited, std::chrono::milliseconds(100));
}

TEST_F(LoadSaveTest, SaveWaitsForReadersAndGivesUpWithASharingViolation)
{
    ASSERT_EQ(Save(PasswordStore(), ToSecure("old")), SaveResult::Saved);
    const std::string original = ReadBytes(path);
    int reader = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(reader, LOCK_SH), 0);

    EXPECT_EQ(Save(PasswordStore(), ToSecure("new")), WriteFailure(11));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
    EXPECT_EQ(recorder.messages[0].text, "SHARE.EXE was not loaded, or a shared region was locked.");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});

    std::thread release(
        [reader]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ::close(reader);
        });
    EXPECT_EQ(Save(PasswordStore(), ToSecure("new")), SaveResult::Saved);
    release.join();
    EXPECT_EQ(LoadWith("new"), LoadResult::Loaded);
}

TEST_F(LoadSaveTest, APasswordOverThirtyTwoBytesWarnsTwicePerSaveAndTwicePerLoad)
{
    const std::string password(40, 'p');
    ASSERT_EQ(Save(PasswordStore(), ToSecure(password)), SaveResult::Saved);
    EXPECT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(LoadWith(password), LoadResult::Loaded);
    ASSERT_EQ(recorder.messages.size(), 4u);
    for (const auto& message : recorder.messages)
    {
        EXPECT_EQ(message.caption, "Schlüssellämge");
    }
    // Keyed by the first 32 bytes only.
    recorder.messages.clear();
    EXPECT_EQ(LoadWith(password.substr(0, 32)), LoadResult::Loaded);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(LoadSaveTest, TruncatedFilesAreShortReadsWithoutAMessage)
{
    const std::string v03 = V03File("pw", std::string("09:05:14 - 2026.12.05") + U32(0));
    struct Case
    {
        const char* name;
        std::string bytes;
        std::size_t records; // read before the file ended
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"three bytes", "\x10\0\0", 0},
        {"inside the magic", U32(16) + "Kavelmark", 0},
        {"inside the block length", v03.substr(0, 22), 0},
        {"inside the verification block", v03.substr(0, 50), 0},
        // An old version is backed up only once it was read whole.
        {"inside a V0.2 record", V02File("pw", {"_C__|_A_|_1_|_2_|_3_|_", "_C__|_B_|_1_|_2_|_3_|_"}).substr(0, 80), 1},
    };
    for (const Case& c : cases)
    {
        WriteBytes(path, c.bytes);
        recorder.messages.clear();
        EXPECT_EQ(LoadWith("pw"), LoadResult::Refused) << c.name;
        EXPECT_TRUE(recorder.messages.empty()) << c.name;
        EXPECT_EQ(store.GetCount(), c.records + 7) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
}

TEST_F(LoadSaveTest, FilesTheFormatCannotDescribeAreRefusedAndLeftAlone)
{
    const std::string stamp = "09:05:14 - 2026.12.05";
    const std::string goodRecord = "_C__|_A_|_1_|_2_|_3_|_";
    const std::string good = V03File("pw", stamp + U32(1) + U32(22) + goodRecord);
    const std::string verificationOnly = good.substr(0, 72);
    struct Case
    {
        const char* name;
        std::string bytes;
        bool unknownFormat;
    };
    const Case cases[] = {
        {"magic length 15", U32(15) + "Kavelmark V0.3 " + good.substr(20), false},
        {"huge magic length", U32(0xFFFFFFF0) + good.substr(4), false},
        {"unknown magic", U32(16) + "Kavelmark V9.9  " + good.substr(20), true},
        {"block length not whole blocks", good.substr(0, 20) + U32(40) + good.substr(24), false},
        {"block too short for the tag", good.substr(0, 20) + U32(32) + good.substr(24, 32) + good.substr(72), false},
        {"body not whole blocks", good + "12345", false},
        {"no body", verificationOnly, false},
        {"count past the end", V03File("pw", stamp + U32(12) + U32(22) + goodRecord), false},
        {"data after the records", V03File("pw", stamp + U32(1) + U32(22) + goodRecord + std::string(17, 'x')), false},
        {"huge count", V03File("pw", stamp + U32(0xFFFFFFFF) + U32(22) + goodRecord), false},
        {"record length past the end", V03File("pw", stamp + U32(2) + U32(22) + goodRecord + U32(0xFFFFFF00)), false},
    };
    for (const Case& c : cases)
    {
        WriteBytes(path, c.bytes);
        recorder.messages.clear();
        EXPECT_EQ(LoadWith("pw"), LoadResult::Damaged) << c.name;
        EXPECT_EQ(Records(store), BuiltIns()) << c.name;
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, "Ladefehler");
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(recorder.messages[0].text,
                  (c.unknownFormat ? "Die Datei ist keine Passwortdatei in einem bekannten Format und wird nicht "
                                     "gelesen:\n"
                                   : "Die Passwortdatei ist beschädigt und wird nicht gelesen:\n") +
                      path)
            << c.name;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
    // The intact file of the same make loads.
    WriteBytes(path, good);
    EXPECT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(Records(store).front(), goodRecord);
}

TEST_F(LoadSaveTest, ASavedFileIsTheOwnersAloneWhateverModeItHadBefore)
{
    ASSERT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    struct stat info
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u) << "new";

    // As a sync engine or another program left it.
    for (const mode_t before : {0644u, 0640u, 0666u})
    {
        ASSERT_EQ(::chmod(path.c_str(), before), 0);
        ASSERT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved) << std::oct << before;
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u) << "was " << std::oct << before;
    }
}

TEST_F(LoadSaveTest, SavingThroughASymbolicLinkReplacesItsTarget)
{
    std::string real = dir / "real.Kavelmark";
    ASSERT_EQ(SaveRecords({"alt"}, "pw"), SaveResult::Saved);
    std::filesystem::rename(path, real);
    std::filesystem::create_symlink(real, path);
    ASSERT_EQ(SaveRecords({"neu"}, "pw"), SaveResult::Saved);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadBytes(real), ReadBytes(path));
    EXPECT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_EQ(Records(store).front(), "neu");
}

bool wroteHalf = false;

// Makes one system call of the save fail, in the middle of writing for write().
class FailingCalls
{
public:
    explicit FailingCalls(const std::string& which) : saved_(SystemCalls())
    {
        wroteHalf = false;
        if (which == "write")
        {
            SystemCalls().write = [](int fd, const void* data, std::size_t size) -> ssize_t
            {
                if (!wroteHalf)
                {
                    wroteHalf = true;
                    return ::write(fd, data, size / 2);
                }
                errno = ENOSPC;
                return -1;
            };
        }
        else if (which == "fsync")
        {
            SystemCalls().fsync = [](int) -> int
            {
                errno = EIO;
                return -1;
            };
        }
        else
        {
            SystemCalls().rename = [](const char*, const char*) -> int
            {
                errno = EACCES;
                return -1;
            };
        }
    }
    ~FailingCalls()
    {
        SystemCalls() = saved_;
    }

private:
    FileSystemCalls saved_;
};

TEST_F(LoadSaveTest, ASaveThatFailsHalfWayLeavesTheOldFileAsItWas)
{
    ASSERT_EQ(SaveRecords({"_C__|_Alt_|_a_|_b_|_c_|_"}, "pw"), SaveResult::Saved);
    const std::string original = ReadBytes(path);
    const std::tuple<const char*, int, const char*> cases[] = {
        {"write", 13, "The disk is full."},
        {"fsync", 10, "There was a hardware error."},
        {"rename", 5, "The file could not be accessed."},
    };
    for (const auto& [call, code, text] : cases)
    {
        recorder.messages.clear();
        {
            FailingCalls failing(call);
            EXPECT_EQ(SaveRecords({"_C__|_Neu_|_a_|_b_|_c_|_"}, "pw"), WriteFailure(code)) << call;
        }
        ASSERT_EQ(recorder.messages.size(), 1u) << call;
        EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
        EXPECT_EQ(recorder.messages[0].text, text);
        EXPECT_EQ(ReadBytes(path), original) << call;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << call;
    }
}

TEST_F(LoadSaveTest, ASaveIntoAFolderThatCannotBeWrittenFailsWithAMessage)
{
    ASSERT_EQ(Save(PasswordStore(), ToSecure("pw")), SaveResult::Saved);
    const std::string original = ReadBytes(path);
    // The file may be written, its folder not; root ignores modes, so act as nobody then.
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.Path().c_str(), 0555);
    bool asNobody = ::geteuid() == 0;
    if (asNobody && ::seteuid(65534) != 0)
    {
        GTEST_SKIP() << "cannot drop root privileges";
    }
    const SaveResult result = Save(PasswordStore(), ToSecure("pw"));
    if (asNobody)
    {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_EQ(result, WriteFailure(kFileAccessDenied));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
    EXPECT_EQ(recorder.messages[0].text, "The file could not be accessed.");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});
}

} // namespace
} // namespace kavelmark

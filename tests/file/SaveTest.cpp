#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "crypto/CipherEngine.h"
#include "crypto/KeyDerivation.h"
#include "file/FailingRandom.h"
#include "file/FileError.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/RetryingFile.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/PasswordFileFixture.h"

namespace kavelmark
{
namespace
{

using testing::FolderContents;
using testing::ReadBytes;
using testing::WriteBytes;

void SetAge(const std::string& path, int seconds)
{
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Replaces single system calls for the lifetime of the guard.
class ScopedCalls
{
public:
    ScopedCalls() : saved_(SystemCalls())
    {
    }
    ~ScopedCalls()
    {
        SystemCalls() = saved_;
    }
    ScopedCalls(const ScopedCalls&) = delete;
    ScopedCalls& operator=(const ScopedCalls&) = delete;

private:
    FileSystemCalls saved_;
};

bool IsFolder(int fd)
{
    struct stat info = {};
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

class SaveTest : public testing::PasswordFileFixture
{
protected:
    // The first record of the file at the path, "" when it does not load.
    std::string FirstRecord()
    {
        std::vector<testing::RecordedMessage> kept = recorder.messages;
        const LoadResult result = LoadWith("pw");
        recorder.messages = kept;
        if (result != LoadResult::Loaded || !store.GetHeadPosition())
        {
            return "";
        }
        const auto& first = store.GetAt(store.GetHeadPosition());
        return std::string(first.data(), first.size());
    }

    SaveResult SaveRecord(const std::string& record)
    {
        PasswordStore source;
        source.RemoveAll();
        source.AddTail(record);
        return Save(source, ToSecure("pw"));
    }
};

// The ways another program can have changed the file after this one loaded it.
enum class Change
{
    ReplacedBySave,
    RewrittenInPlaceWithItsTimeSetBack,
    CreatedWhereNoneWas,
};

TEST_F(SaveTest, AFileChangedSinceTheLoadIsOverwrittenOnlyAfterAYes)
{
    const std::pair<const char*, Change> cases[] = {
        {"replaced by another save", Change::ReplacedBySave},
        {"rewritten in place, time set back", Change::RewrittenInPlaceWithItsTimeSetBack},
        {"created after a load that found none", Change::CreatedWhereNoneWas},
    };
    for (const auto& [name, change] : cases)
    {
        std::filesystem::remove(path);
        if (change != Change::CreatedWhereNoneWas)
        {
            ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved) << name;
            ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded) << name;
        }
        else
        {
            ASSERT_EQ(LoadWith("pw"), LoadResult::Missing) << name;
        }
        std::string other;
        if (change == Change::ReplacedBySave)
        {
            other = ReadBytes(path);
            other.back() ^= 1;
            WriteBytes(dir / "other", other);
            std::filesystem::rename(dir / "other", path);
        }
        else if (change == Change::RewrittenInPlaceWithItsTimeSetBack)
        {
            struct stat before = {};
            ASSERT_EQ(::stat(path.c_str(), &before), 0);
            other = ReadBytes(path);
            other.back() ^= 1;
            int fd = ::open(path.c_str(), O_WRONLY);
            ASSERT_EQ(::pwrite(fd, other.data(), other.size(), 0), static_cast<ssize_t>(other.size()));
            ::close(fd);
            timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        else
        {
            other = "another program's file";
            WriteBytes(path, other);
        }
        recorder.messages.clear();

        recorder.AnswerNext(MessageAnswer::Cancel);
        EXPECT_EQ(SaveRecord("neu"), SaveResult::Kept) << name;
        ASSERT_EQ(recorder.messages.size(), 1u) << name;
        EXPECT_EQ(recorder.messages[0].caption, "Datei geändert");
        EXPECT_EQ(recorder.messages[0].text,
                  "Die Passwortdatei wurde seit dem Laden oder letzten Speichern an anderer Stelle (ein anderes "
                  "Programm oder ein anderes Gerät) geändert.\nSoll sie trotzdem überschrieben werden? Die "
                  "Änderungen von dort gehen dann verloren.\n\n" +
                      path);
        EXPECT_EQ(recorder.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);
        EXPECT_EQ(ReadBytes(path), other) << name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << name;

        recorder.AnswerNext(MessageAnswer::Ok);
        EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved) << name;
        EXPECT_EQ(recorder.messages.size(), 2u) << name;
        // Once saved, the saved file is the one this process knows.
        EXPECT_EQ(SaveRecord("neuer"), SaveResult::Saved) << name;
        EXPECT_EQ(recorder.messages.size(), 2u) << name;
        EXPECT_EQ(FirstRecord(), "neuer") << name;
    }
}

// A sync engine takes no lock: its version can arrive while the new file is being written,
// after the first look at the old one. The moment chosen here is the flush of the new file.
std::string arrivingVersion;
std::string arrivalTarget;
int FsyncWithAnArrival(int fd)
{
    if (!arrivingVersion.empty())
    {
        ::rename(arrivingVersion.c_str(), arrivalTarget.c_str());
        arrivingVersion.clear();
    }
    return ::fsync(fd);
}

TEST_F(SaveTest, AVersionArrivingWhileTheSaveWritesIsOverwrittenOnlyAfterAYes)
{
    const std::pair<const char*, MessageAnswer> cases[] = {
        {"kept", MessageAnswer::Cancel},
        {"overwritten", MessageAnswer::Ok},
    };
    for (const auto& [name, answer] : cases)
    {
        SCOPED_TRACE(name);
        ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
        ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
        std::string theirs = ReadBytes(path);
        theirs.back() ^= 1;
        WriteBytes(dir / "arriving", theirs);
        recorder.messages.clear();

        ScopedCalls calls;
        arrivingVersion = dir / "arriving";
        arrivalTarget = path;
        SystemCalls().fsync = FsyncWithAnArrival;
        recorder.AnswerNext(answer);
        const SaveResult result = SaveRecord("neu");
        ASSERT_TRUE(arrivingVersion.empty()) << "the save never flushed";
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].caption, "Datei geändert");
        if (answer == MessageAnswer::Cancel)
        {
            EXPECT_EQ(result, SaveResult::Kept);
            EXPECT_EQ(ReadBytes(path), theirs);
        }
        else
        {
            EXPECT_EQ(result, SaveResult::Saved);
            EXPECT_EQ(FirstRecord(), "neu");
        }
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});
    }
}

TEST_F(SaveTest, AFileOnlyThisProcessChangedIsSavedWithoutAQuestion)
{
    auto replaceByAnotherProgram = [this]
    {
        std::string other = ReadBytes(path);
        WriteBytes(dir / "other", other);
        std::filesystem::rename(dir / "other", path);
    };
    struct Case
    {
        const char* name;
        std::function<void()> beforeLoad;
        std::function<void()> afterLoad;
    };
    const Case cases[] = {
        {"unchanged since the load", [] {}, [] {}},
        {"replaced by another program before the load", replaceByAnotherProgram, [] {}},
        {"only its mode changed", [] {}, [this] { ::chmod(path.c_str(), 0640); }},
        {"removed since the load: nothing to lose", [] {}, [this] { std::filesystem::remove(path); }},
    };
    for (const Case& c : cases)
    {
        ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved) << c.name;
        c.beforeLoad();
        ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded) << c.name;
        c.afterLoad();
        recorder.messages.clear();
        EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved) << c.name;
        EXPECT_TRUE(recorder.messages.empty()) << c.name;
        EXPECT_EQ(FirstRecord(), "neu") << c.name;
    }
    // A load that found no file, and no file since.
    std::filesystem::remove(path);
    ASSERT_EQ(LoadWith("pw"), LoadResult::Missing);
    EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved);
    EXPECT_TRUE(recorder.messages.empty());
}

// Every close of a file fails whose inode is the one now at the path: after the rename,
// that is the new file.
std::string closeFailsFor;

TEST_F(SaveTest, ASaveWhoseFileIsInPlaceButNotConfirmedOnDiskCountsAsDone)
{
    ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
    struct Case
    {
        const char* name;
        int (*fsync)(int);
        int (*close)(int);
    };
    const Case cases[] = {
        {"the folder's sync is not supported",
         [](int fd) -> int
         {
             if (IsFolder(fd))
             {
                 errno = EINVAL;
                 return -1;
             }
             return ::fsync(fd);
         },
         nullptr},
        {"closing the folder fails", nullptr,
         [](int fd) -> int
         {
             bool folder = IsFolder(fd);
             ::close(fd);
             if (folder)
             {
                 errno = EIO;
                 return -1;
             }
             return 0;
         }},
        {"closing the new file fails", nullptr,
         [](int fd) -> int
         {
             struct stat opened = {};
             struct stat named = {};
             bool inPlace = ::fstat(fd, &opened) == 0 && ::stat(closeFailsFor.c_str(), &named) == 0 &&
                            opened.st_ino == named.st_ino;
             ::close(fd);
             if (inPlace)
             {
                 errno = ENOTSUP;
                 return -1;
             }
             return 0;
         }},
    };
    closeFailsFor = path;
    for (const auto& [name, fsync, close] : cases)
    {
        recorder.messages.clear();
        SaveResult result = SaveResult::Kept;
        {
            ScopedCalls scoped;
            if (fsync)
            {
                SystemCalls().fsync = fsync;
            }
            if (close)
            {
                SystemCalls().close = close;
            }
            result = SaveRecord(name);
        }
        EXPECT_EQ(result, SaveResult::Saved) << name;
        ASSERT_EQ(recorder.messages.size(), 1u) << name;
        EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
        EXPECT_EQ(recorder.messages[0].text, "Die Passwortdatei wurde gespeichert, aber das Schreiben auf den "
                                             "Datenträger konnte nicht bestätigt werden.\n\n" +
                                                 path);
        EXPECT_EQ(FirstRecord(), name);
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << name;
    }
}

TEST_F(SaveTest, FileSystemsWithoutLocksAreUsedUnlocked)
{
    ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
    ScopedCalls scoped;
    static int lockRequests;
    lockRequests = 0;
    SystemCalls().flock = [](int, int) -> int
    {
        ++lockRequests;
        errno = ENOLCK;
        return -1;
    };
    EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved);
    EXPECT_GT(lockRequests, 0) << "the save did ask for a lock";
    EXPECT_EQ(LoadWith("pw"), LoadResult::Loaded);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(FirstRecord(), "neu");
}

TEST_F(SaveTest, ASymbolicLinkStaysAndItsTargetIsWritten)
{
    std::filesystem::create_directory(dir / "elsewhere");
    struct Case
    {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link, what it points to
        std::string target;
        bool targetExists;
    };
    const Case cases[] = {
        {"into another folder", {{path, dir / "elsewhere/real"}}, dir / "elsewhere/real", true},
        {"dangling, relative", {{path, "elsewhere/new"}}, dir / "elsewhere/new", false},
        {"a chain ending nowhere yet",
         {{path, "chain"}, {dir / "chain", "elsewhere/end"}},
         dir / "elsewhere/end",
         false},
    };
    for (const Case& c : cases)
    {
        if (c.targetExists)
        {
            backend.Write(settings::kConfig, settings::kMainEntryFile, c.target);
            ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved) << c.name;
            backend.Write(settings::kConfig, settings::kMainEntryFile, path);
        }
        for (const auto& [link, to] : c.links)
        {
            std::filesystem::create_symlink(to, link);
        }
        ASSERT_EQ(LoadWith("pw"), c.targetExists ? LoadResult::Loaded : LoadResult::Missing) << c.name;

        EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved) << c.name;
        EXPECT_TRUE(recorder.messages.empty()) << c.name;
        for (const auto& [link, to] : c.links)
        {
            ASSERT_TRUE(std::filesystem::is_symlink(link)) << c.name;
            EXPECT_EQ(std::filesystem::read_symlink(link), to) << c.name;
        }
        EXPECT_EQ(FirstRecord(), "neu") << c.name;
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(c.target))) << c.name;
        EXPECT_EQ(FolderContents(dir / "elsewhere"), std::vector<std::string>{c.target.substr(c.target.rfind('/') + 1)})
            << c.name;

        for (const auto& [link, to] : c.links)
        {
            std::filesystem::remove(link);
        }
        std::filesystem::remove(c.target);
    }
}

// A sync engine carries links as links: a peer can put one where the file was, or turn one.
TEST_F(SaveTest, ALinkThatAppearedOrTurnedSinceTheLoadIsNotFollowedUnasked)
{
    const std::filesystem::path elsewhere = dir / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    struct Case
    {
        const char* name;
        std::string usersOwnLinkTo; // what the name led to when loaded; "" for a plain file
        std::string peersLinkTo;    // what the name leads to at the save
        bool aPasswordFile;         // whether what it leads to is one (with the same password)
        bool followedAfterAYes;     // only a link that stays within the folder
    };
    const Case cases[] = {
        {"a plain file became a link out of the folder", "", elsewhere / "victim.txt", false, false},
        {"a plain file became a link to another password file", "", elsewhere / "private.Kavelmark", true, false},
        {"the user's link was turned to another file", elsewhere / "mine.Kavelmark", elsewhere / "victim.txt", false,
         false},
        {"a plain file became a link within the folder", "", "other.Kavelmark", true, true},
    };
    for (const Case& c : cases)
    {
        const std::string victim = c.peersLinkTo.front() == '/' ? c.peersLinkTo : std::string(dir / c.peersLinkTo);
        if (c.aPasswordFile)
        {
            backend.Write(settings::kConfig, settings::kMainEntryFile, victim);
            ASSERT_EQ(SaveRecord("privat"), SaveResult::Saved) << c.name;
            backend.Write(settings::kConfig, settings::kMainEntryFile, path);
        }
        else
        {
            WriteBytes(victim, "the user's own text");
        }
        if (!c.usersOwnLinkTo.empty())
        {
            std::filesystem::create_symlink(c.usersOwnLinkTo, path);
        }
        ASSERT_EQ(LoadWith("pw"), LoadResult::Missing) << c.name;
        ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved) << c.name;
        ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded) << c.name;
        std::filesystem::remove(path);
        std::filesystem::create_symlink(c.peersLinkTo, path);
        const std::string victimBytes = ReadBytes(victim);
        recorder.messages.clear();

        recorder.AnswerNext(MessageAnswer::Cancel);
        EXPECT_EQ(SaveRecord("neu"), SaveResult::Kept) << c.name;
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, "Datei geändert") << c.name;
        EXPECT_EQ(recorder.messages[0].buttons, MessageButtons::OkCancelDefaultCancel) << c.name;
        EXPECT_EQ(ReadBytes(victim), victimBytes) << c.name;
        EXPECT_EQ(std::filesystem::read_symlink(path), c.peersLinkTo) << c.name;

        recorder.AnswerNext(MessageAnswer::Ok);
        EXPECT_EQ(SaveRecord("neu"), SaveResult::Saved) << c.name;
        EXPECT_EQ(recorder.messages.size(), 2u) << c.name;
        EXPECT_EQ(FirstRecord(), "neu") << c.name;
        if (c.followedAfterAYes)
        {
            EXPECT_TRUE(std::filesystem::is_symlink(path)) << c.name;
            EXPECT_NE(ReadBytes(victim), victimBytes) << c.name;
        }
        else
        {
            // The link gave way to the file; what it named is as it was.
            EXPECT_FALSE(std::filesystem::is_symlink(path)) << c.name;
            EXPECT_EQ(ReadBytes(victim), victimBytes) << c.name;
        }
        // What was saved is the session's file now: the next save asks nothing.
        EXPECT_EQ(SaveRecord("neuer"), SaveResult::Saved) << c.name;
        EXPECT_EQ(recorder.messages.size(), 2u) << c.name;

        std::filesystem::remove(path);
        std::filesystem::remove(victim);
        if (!c.usersOwnLinkTo.empty())
        {
            std::filesystem::remove(c.usersOwnLinkTo);
        }
    }
}

TEST_F(SaveTest, AV04SaveWithoutRandomBytesOrMemoryForItsKeySaysWhichAndLeavesTheFile)
{
    const Argon2idCost previousCost = SetV04WriteCost({64, 1, 1});
    ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
    ASSERT_EQ(LoadWith("pw"), LoadResult::Loaded);
    SetMainFileFormat(FileFormat::V04);
    const std::string before = ReadBytes(path);
    struct Case
    {
        const char* name;
        bool noRandom;
        int cause;
        const char* text;
    };
    const Case cases[] = {
        {"no random bytes", true, kFileNoRandomBytes,
         "Das System lieferte keine Zufallszahlen für den Schlüssel der Datei. Die Passwortdatei wurde nicht "
         "gespeichert; die Datei auf dem Datenträger bleibt unverändert."},
        {"no memory for the key", false, kFileNoKeyMemory,
         "Für die Berechnung des Schlüssels der Datei war nicht genug Speicher frei. Die Passwortdatei wurde nicht "
         "gespeichert; die Datei auf dem Datenträger bleibt unverändert."},
    };
    for (const Case& c : cases)
    {
        recorder.messages.clear();
        testing::FailRandom(c.noRandom);
        // A derivation that cannot get its memory fails as the library reports it: without a key.
        const DerivationRunner previousRunner =
            SetDerivationRunner(c.noRandom ? DerivationRunner() : [](const std::function<bool()>&) { return false; });
        const SaveResult result = SaveRecord("neu");
        SetDerivationRunner(previousRunner);
        testing::FailRandom(false);
        EXPECT_EQ(result, WriteFailure(c.cause)) << c.name;
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler") << c.name;
        EXPECT_EQ(recorder.messages[0].text, c.text) << c.name;
        EXPECT_EQ(ReadBytes(path), before) << c.name;
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"}) << c.name;
    }
    SetMainFileFormat(FileFormat::V03);
    SetV04WriteCost(previousCost);
}

TEST_F(SaveTest, ADanglingLinkIntoAMissingFolderFailsAndStays)
{
    // Say a drive that is not mounted.
    std::filesystem::create_symlink(dir / "drive/folder/pw.Kavelmark", path);
    EXPECT_EQ(LoadWith("pw"), LoadResult::Missing);
    EXPECT_EQ(SaveRecord("neu"), WriteFailure(kFileBadPath));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Datei-Fehler");
    EXPECT_EQ(recorder.messages[0].text, "All or part of the path is invalid.");
    EXPECT_EQ(std::filesystem::read_symlink(path), dir / "drive/folder/pw.Kavelmark");
    EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});
}

// What the folder held at each write of the save.
std::string watchedFolder;
std::vector<std::vector<std::string>> seenDuringWrites;

TEST_F(SaveTest, TheNewFileHasNoNameUntilItIsComplete)
{
    int probe = ::open(dir.Path().c_str(), O_TMPFILE | O_RDWR, 0600);
    if (probe < 0)
    {
        GTEST_SKIP() << "the file system of the test folder has no unnamed files";
    }
    ::close(probe);
    ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
    watchedFolder = dir.Path();
    for (bool unnamedRefused : {false, true})
    {
        seenDuringWrites.clear();
        {
            ScopedCalls scoped;
            SystemCalls().write = [](int fd, const void* data, std::size_t size) -> ssize_t
            {
                seenDuringWrites.push_back(FolderContents(watchedFolder));
                return ::write(fd, data, size);
            };
            if (unnamedRefused)
            {
                SystemCalls().open = [](const char* name, int flags, mode_t mode) -> int
                {
                    if ((flags & O_TMPFILE) == O_TMPFILE)
                    {
                        errno = EOPNOTSUPP;
                        return -1;
                    }
                    return ::open(name, flags, mode);
                };
            }
            EXPECT_EQ(SaveRecord(unnamedRefused ? "named" : "unnamed"), SaveResult::Saved);
        }
        ASSERT_FALSE(seenDuringWrites.empty());
        for (const auto& seen : seenDuringWrites)
        {
            if (unnamedRefused)
            {
                // The fall-back: a named temporary file beside the old one.
                ASSERT_EQ(seen.size(), 2u);
                EXPECT_EQ(seen[0].substr(0, 14), ".pw.Kavelmark.");
            }
            else
            {
                EXPECT_EQ(seen, std::vector<std::string>{"pw.Kavelmark"});
            }
        }
        EXPECT_EQ(FirstRecord(), unnamedRefused ? "named" : "unnamed");
        EXPECT_EQ(FolderContents(dir.Path()), std::vector<std::string>{"pw.Kavelmark"});
    }
}

TEST_F(SaveTest, StaleTemporaryFilesOfOurOwnAreRemovedAtTheNextSave)
{
    ASSERT_EQ(SaveRecord("alt"), SaveResult::Saved);
    struct Leftover
    {
        const char* name;
        int ageSeconds;
        bool locked;
        bool removed;
    };
    const Leftover leftovers[] = {
        {".pw.Kavelmark.a1B2c3", 120, false, true},    {".pw.Kavelmark.Zz9Yy8", 61 * 60, false, true},
        {".pw.Kavelmark.young1", 30, false, false},    // may be a save still running
        {".pw.Kavelmark.locked", 120, true, false},    // a save writing it right now
        {".pw.Kavelmark.a1B2c", 120, false, false},    // not our pattern: five characters
        {".pw.Kavelmark.a1B2c3d", 120, false, false},  // seven
        {".pw.Kavelmark.a1-2c3", 120, false, false},   // not a letter or digit
        {"pw.Kavelmark.a1B2c3", 120, false, false},    // no leading dot
        {".other.Kavelmark.a1B2c3", 120, false, false} // another file's
    };
    std::vector<int> locks;
    for (const Leftover& leftover : leftovers)
    {
        WriteBytes(dir / leftover.name, "partial");
        SetAge(dir / leftover.name, leftover.ageSeconds);
        if (leftover.locked)
        {
            int fd = ::open((dir / leftover.name).c_str(), O_RDONLY);
            ASSERT_EQ(::flock(fd, LOCK_EX), 0);
            locks.push_back(fd);
        }
    }
    // A folder and a link of the pattern are not files we write.
    std::filesystem::create_directory(dir / ".pw.Kavelmark.folder");
    std::filesystem::create_symlink("pw.Kavelmark", dir / ".pw.Kavelmark.linked");
    SetAge(dir / ".pw.Kavelmark.folder", 120);
    SetAge(dir / ".pw.Kavelmark.linked", 120);

    ASSERT_EQ(SaveRecord("neu"), SaveResult::Saved);
    for (int fd : locks)
    {
        ::close(fd);
    }
    for (const Leftover& leftover : leftovers)
    {
        EXPECT_EQ(std::filesystem::exists(dir / leftover.name), !leftover.removed) << leftover.name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / ".pw.Kavelmark.folder"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / ".pw.Kavelmark.linked"));
    EXPECT_EQ(FirstRecord(), "neu");
}

} // namespace
} // namespace kavelmark

#include "file/ConflictCopies.h"

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileTestSupport.h"
#include "file/FileError.h"
#include "file/FileTexts.h"
#include "file/OtherFile.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

struct NameCase
{
    const char* candidate;
    bool isCopy;
};

// Names as the engines make them for "pw.Kavelmark", and near misses.
TEST(ConflictCopiesTest, KnowsTheNamesTheSyncEnginesGive)
{
    const NameCase cases[] = {
        {"pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark", true},
        {"pw (conflicted copy 2026-12-11 101500).Kavelmark", true},
        {"pw (conflicted copy anna 2026-12-11 101500).Kavelmark", true},
        {"pw (Annas Laptop's conflicted copy 2026-12-11).Kavelmark", true},
        {"pw.Kavelmark", false},
        {"pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark.tmp", false},
        {".syncthing.pw.Kavelmark.tmp", false},
        {"pw.sync-conflict-2026121-101500-ABCDEFG.Kavelmark", false},
        {"pw.sync-conflict-20261211-101500-.Kavelmark", false},
        {"pwx.sync-conflict-20261211-101500-ABCDEFG.Kavelmark", false},
        {"other.sync-conflict-20261211-101500-ABCDEFG.Kavelmark", false},
        {"pw (conflicted copy 2026-12-11).Kavelmark", false},
        {"pw (copy 2026-12-11).Kavelmark", false},
        {"pw.Kavelmark.old_1", false},
    };
    for (const NameCase& c : cases)
    {
        EXPECT_EQ(IsConflictCopyName(c.candidate, "pw.Kavelmark"), c.isCopy) << c.candidate;
    }
    EXPECT_TRUE(IsConflictCopyName("passwords.sync-conflict-20261211-101500-ABCDEFG", "passwords"));
    EXPECT_TRUE(IsConflictCopyName("a.b.sync-conflict-20261211-101500-ABCDEFG.c", "a.b.c"));
}

TEST(ConflictCopiesTest, FindsOnlyRegularFilesBesideTheFile)
{
    testing::TempDir folder;
    const std::string file = folder.Path().string() + "/pw.Kavelmark";
    const std::string copyA = folder.Path().string() + "/pw (conflicted copy 2026-12-11 101500).Kavelmark";
    const std::string copyB = folder.Path().string() + "/pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    for (const std::string& path : {file, copyA, copyB, folder.Path().string() + "/other.Kavelmark"})
    {
        testing::WriteBytes(path, "x");
    }
    ASSERT_EQ(::mkdir((folder.Path().string() + "/pw.sync-conflict-20261211-101501-ABCDEFG.Kavelmark").c_str(), 0700),
              0);
    EXPECT_EQ(FindConflictCopies(file), (std::vector<std::string>{copyA, copyB}));
    // Through a link, the copies beside its target.
    const std::string link = folder.Path().string() + "/sub/link.Kavelmark";
    ASSERT_EQ(::mkdir((folder.Path().string() + "/sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    EXPECT_EQ(FindConflictCopies(link), (std::vector<std::string>{copyA, copyB}));
}

// Anyone who writes the sync folder can put a link where a copy was: to a password file of the
// user's elsewhere, with the same password, whose entries a merge would spread to every computer.
TEST(ConflictCopiesTest, ACopyIsReadOnlyAsTheFileItselfNeverThroughALink)
{
    testing::TempDir folder;
    testing::TempDir elsewhere;
    const std::string privateFile = elsewhere / "privat.Kavelmark";
    ASSERT_TRUE(testing::WriteAsAnotherProgram(privateFile, "eins",
                                               []
                                               {
                                                   PasswordStore store;
                                                   store.AddEntry("FTP", "geheim", "", "1", "", "");
                                                   return store;
                                               }()));
    const std::string copy = folder / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    ASSERT_EQ(::symlink(privateFile.c_str(), copy.c_str()), 0);

    testing::MessageRecorder messages;
    PasswordStore store;
    OtherFileRead read;
    EXPECT_EQ(ReadConflictCopy(copy, ToSecure("eins"), store, read, true), LoadResult::Damaged);
    EXPECT_FALSE(store.FindEntryByDisplayName("geheim"));
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kNotARegularFileText + copy}));
    EXPECT_FALSE(ConflictCopyIdentity(copy).exists);

    // Below the read, the open itself refuses the link, should one be put there after a look.
    RetryingFile file;
    EXPECT_EQ(file.OpenForReading(copy, RetryingFile::FinalLink::Refuse), kFileBadPath);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.OpenForReading(copy), kFileOk);
}

struct RemovalCase
{
    const char* what;
    // Done to the copy between its read and its removal.
    std::function<void(const std::string& copy, const std::string& folder)> meanwhile;
    CopyRemoval expected;
};

TEST(ConflictCopiesTest, RemovesACopyOnlyWhileItIsTheOneRead)
{
    const RemovalCase cases[] = {
        {"left alone", [](const std::string&, const std::string&) {}, CopyRemoval::Removed},
        {"a newer version renamed over it",
         [](const std::string& copy, const std::string& folder)
         {
             testing::WriteBytes(folder + "/incoming", "newer");
             ASSERT_EQ(std::rename((folder + "/incoming").c_str(), copy.c_str()), 0);
         },
         CopyRemoval::Replaced},
        {"rewritten in place, same size",
         [](const std::string& copy, const std::string&) { testing::WriteBytes(copy, "copZ"); }, CopyRemoval::Replaced},
        {"a link to the very file read",
         [](const std::string& copy, const std::string& folder)
         {
             ASSERT_EQ(std::rename(copy.c_str(), (folder + "/moved").c_str()), 0);
             ASSERT_EQ(::symlink((folder + "/moved").c_str(), copy.c_str()), 0);
         },
         CopyRemoval::Replaced},
    };
    for (const RemovalCase& c : cases)
    {
        testing::TempDir folder;
        const std::string copy = folder / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
        testing::WriteBytes(copy, "copy");
        const FileIdentity read = ConflictCopyIdentity(copy);
        ASSERT_TRUE(read.exists && read.hasDigest) << c.what;
        const std::string before = testing::ReadBytes(copy);
        c.meanwhile(copy, folder.Path().string());
        const bool wasThere = ::access(copy.c_str(), F_OK) == 0;
        EXPECT_EQ(RemoveUnchangedCopy(copy, read), c.expected) << c.what;
        struct stat info = {};
        EXPECT_EQ(::lstat(copy.c_str(), &info) == 0, c.expected != CopyRemoval::Removed && wasThere) << c.what;
    }
}

} // namespace
} // namespace kavelmark

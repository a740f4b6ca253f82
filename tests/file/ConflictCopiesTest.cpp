#include "file/ConflictCopies.h"

#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileTestSupport.h"

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
    ASSERT_EQ(::mkdir((folder.Path().string() + "/pw.sync-conflict-20261211-101501-ABCDEFG.Kavelmark").c_str(), 0700), 0);
    EXPECT_EQ(FindConflictCopies(file), (std::vector<std::string>{copyA, copyB}));
    // Through a link, the copies beside its target.
    const std::string link = folder.Path().string() + "/sub/link.Kavelmark";
    ASSERT_EQ(::mkdir((folder.Path().string() + "/sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    EXPECT_EQ(FindConflictCopies(link), (std::vector<std::string>{copyA, copyB}));
}

} // namespace
} // namespace kavelmark

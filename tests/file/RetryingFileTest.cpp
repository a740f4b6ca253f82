#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "file/FileError.h"
#include "file/FileTestSupport.h"
#include "file/RetryingFile.h"

namespace kavelmark
{
namespace
{

TEST(RetryingFileTest, SixAttemptsWithGrowingPausesThenTheLastCause)
{
    struct Case
    {
        int succeedOnAttempt; // 0: never
        int result;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {1, 0, {}},
        {3, 0, {10, 40}},
        {6, 0, {10, 40, 90, 160, 250}},
        {0, 11, {10, 40, 90, 160, 250}},
    };
    for (const Case& c : cases)
    {
        int attempts = 0;
        std::vector<int> pauses;
        int result = RetryingFile::WithRetries(
            [&]
            {
                ++attempts;
                return attempts == c.succeedOnAttempt ? 0 : attempts < 6 ? 5 : 11;
            },
            [&](std::chrono::milliseconds pause) { pauses.push_back(static_cast<int>(pause.count())); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(pauses, c.pauses);
        EXPECT_EQ(attempts, c.succeedOnAttempt ? c.succeedOnAttempt : 6);
    }
}

TEST(RetryingFileTest, SystemErrorsMapToTheirCauseTexts)
{
    const std::tuple<int, int, const char*> cases[] = {
        {ENOENT, 2, "The file could not be located."},
        {ENOTDIR, 3, "All or part of the path is invalid."},
        {EMFILE, 4, "The permitted number of open files was exceeded."},
        {EACCES, 5, "The file could not be accessed."},
        {EROFS, 5, "The file could not be accessed."},
        {EBADF, 6, "There was an attempt to use an invalid file handle."},
        {EIO, 10, "There was a hardware error."},
        {EWOULDBLOCK, 11, "SHARE.EXE was not loaded, or a shared region was locked."},
        {ENOSPC, 13, "The disk is full."},
        {EDQUOT, 13, "The disk is full."},
        {EPROTO, 1, "An unspecified error occurred."},
    };
    for (const auto& [error, code, text] : cases)
    {
        EXPECT_EQ(FileErrorFromErrno(error), code) << error;
        EXPECT_EQ(FileErrorText(code), text) << error;
    }
    EXPECT_EQ(FileErrorText(0), "No error occurred.");
    EXPECT_EQ(FileErrorText(12), "There was an attempt to lock a region that was already locked.");
    EXPECT_EQ(FileErrorText(14), "The end of file was reached.");
    for (int unknown : {-1, 15, 1000})
    {
        EXPECT_EQ(FileErrorText(unknown), "An error with an unknown number occurred.");
    }
}

TEST(RetryingFileTest, ReadsStopShortAtTheEndAndCloseTwiceIsHarmless)
{
    testing::TempDir dir;
    testing::WriteBytes(dir / "f", "0123456789");
    RetryingFile file;
    ASSERT_EQ(file.OpenForReading(dir / "f"), 0);
    char buffer[8];
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Remaining(), 6u);
    EXPECT_EQ(file.Read(buffer, 8), 6u);
    EXPECT_EQ(file.Remaining(), 0u);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.Read(buffer, 1), 0u);
}

} // namespace
} // namespace kavelmark

// A store saved unchanged would differ from the file only in the time of saving: a change every
// other computer's sync engine must carry, and one that two computers locking apart turn into a
// conflict. Such a save writes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "platform/CommandIds.h"
#include "support/FakeSaveAsDialog.h"
#include "support/MessageRecorder.h"
#include "support/SyncSessionFixture.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

// What tells a rewrite: a rename puts a new inode in place, a write in place a new time.
struct OnDisk
{
    ino_t inode = 0;
    timespec modified{};
    std::string bytes;

    bool operator==(const OnDisk& other) const
    {
        return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec && bytes == other.bytes;
    }
};

class SessionUnchangedSaveTest : public testing::SyncSessionFixture
{
protected:
    OnDisk Now() const
    {
        struct stat info = {};
        EXPECT_EQ(::stat(file.c_str(), &info), 0);
        return {info.st_ino, info.st_mtim, testing::ReadBytes(file)};
    }
};

TEST_F(SessionUnchangedSaveTest, SavingLockingAndEndingWithNothingChangedWriteNothing)
{
    for (const FileFormat format : {FileFormat::V03, FileFormat::V04})
    {
        SCOPED_TRACE(format == FileFormat::V04 ? "V0.4" : "V0.3");
        PasswordStore localStore;
        testing::ScriptedWindows localWindows;
        SessionController local{localStore, localWindows};
        if (format == FileFormat::V04)
        {
            WriteV04Elsewhere(file, "eins", {"a=1"}, kWrittenCost);
        }
        else
        {
            WriteV03Elsewhere(file, "eins", {"a=1"});
        }
        localWindows.login.Ok("eins");
        ASSERT_TRUE(local.StartSession());
        MessageRecorder messages;
        const OnDisk loaded = Now();

        local.HandleMenuCommand(command::kFileSave);
        EXPECT_EQ(Now(), loaded) << "saved";
        ASSERT_TRUE(local.Lock());
        EXPECT_EQ(Now(), loaded) << "locked";
        localWindows.login.Ok("eins");
        ASSERT_TRUE(local.Unlock());
        EXPECT_TRUE(local.RequestEnd());
        EXPECT_EQ(Now(), loaded) << "ended";
        EXPECT_TRUE(messages.messages.empty());
    }
}

// A session of its own for each case.
struct LocalSession
{
    PasswordStore store;
    testing::ScriptedWindows windows;
    SessionController session{store, windows};
};

TEST_F(SessionUnchangedSaveTest, EveryChangeOfStorePasswordFormatOrFileIsWritten)
{
    struct Case
    {
        const char* name;
        std::function<void(LocalSession&)> change;
        bool written;
    };
    const std::string path = file;
    const Case cases[] = {
        {"an entry added", [](LocalSession& l) { l.store.AddEntry("FTP", "b", "", "2", "", ""); }, true},
        {"an entry deleted and added back",
         [](LocalSession& l)
         {
             PasswordStore same = StoreOf({"a=1"});
             l.store.RemoveAll();
             l.store.TakeAll(same);
         },
         false},
        {"the password changed",
         [](LocalSession& l)
         {
             l.windows.login.Ok("eins");
             l.windows.login.Ok("zwei");
             l.windows.login.Ok("zwei");
             l.session.HandleMenuCommand(command::kChangePassword);
         },
         true},
        {"the format changed", [](LocalSession&) { SetMainFileFormat(FileFormat::V04); }, true},
        {"the file rewritten elsewhere with the same entries",
         [path](LocalSession&) { WriteV03Elsewhere(path, "eins", {"a=1"}); }, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteV03Elsewhere(file, "eins", {"a=1"});
        LocalSession local;
        local.windows.login.Ok("eins");
        ASSERT_TRUE(local.session.StartSession());
        MessageRecorder messages;
        messages.AnswerNext(MessageAnswer::Overwrite);
        c.change(local);
        const OnDisk before = Now();
        local.session.HandleMenuCommand(command::kFileSave);
        EXPECT_EQ(!(Now() == before), c.written);
        SetMainFileFormat(FileFormat::V03);
    }
}

TEST_F(SessionUnchangedSaveTest, AFileOfAnOlderVersionIsConvertedByTheFirstSave)
{
    testing::WriteBytes(file, testing::V02File("eins", {"_E__|_FTP_|_a_|__|_1_|__|__|_", ""}));
    windows.login.Ok("eins");
    windows.login.Ok("eins"); // the password confirmed before the conversion
    ASSERT_TRUE(session.StartSession());
    ASSERT_FALSE(session.HoldsUnsavedChanges());
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), "Kavelmark V0.3  ");
}

// Also back to the name loaded at the start, unchanged there since: the store is the one saved
// under the other name.
TEST_F(SessionUnchangedSaveTest, SaveAsToAnotherNameAlwaysWrites)
{
    Start({"a=1"}, FileFormat::V03);
    store.AddEntry("FTP", "b", "", "2", "", "");
    const std::string first = file;
    const std::string other = dir / "anderer.Kavelmark";
    testing::FakeSaveAsDialog saveAs;
    for (const std::string& name : {other, first})
    {
        SCOPED_TRACE(name);
        saveAs.answer = name;
        session.HandleMenuCommand(command::kFileSaveAs);
        PasswordStore written;
        OtherFileRead read;
        ASSERT_EQ(ReadOtherFile(name, ToSecure("eins"), written, read, true), LoadResult::Loaded);
        EXPECT_EQ(EntriesOf(written), (std::vector<std::string>{"a=1", "b=2"}));
    }
}

} // namespace
} // namespace kavelmark

// A password changed on one device while apart: the side that changed it since both last shared
// one wins; when both did, this device keeps its own and says so. The user is asked for another
// device's password once, in a window that says why.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "file/OtherFile.h"
#include "platform/CommandIds.h"
#include "support/MessageRecorder.h"
#include "support/SyncSessionFixture.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

class SessionPasswordMergeTest : public testing::SyncSessionFixture
{
protected:
    // The entries of the file on disk when it opens with password, else nothing.
    std::vector<std::string> OnDiskUnder(const std::string& password)
    {
        MessageRecorder quiet;
        PasswordStore read;
        OtherFileRead info;
        return ReadOtherFile(file, ToSecure(password), read, info, false) == LoadResult::Loaded
                   ? EntriesOf(read)
                   : std::vector<std::string>{};
    }

    std::size_t OtherDevicePrompts() const
    {
        std::size_t asked = 0;
        for (std::size_t i = 0; i < windows.login.prompts.size(); ++i)
        {
            const bool other = windows.login.prompts[i] == kOtherDevicePasswordPrompt;
            EXPECT_EQ(windows.login.titles[i], other ? kOtherDevicePasswordTitle : "");
            asked += other ? 1 : 0;
        }
        return asked;
    }
};

TEST_F(SessionPasswordMergeTest, TheSideThatChangedThePasswordWins)
{
    struct Case
    {
        const char* name;
        std::string here;  // the password changed here first, or "" for none
        std::string there; // the password of the version that arrives
        bool asCopy;       // arrives as a conflict copy, else as the file itself
        std::string kept;
        std::size_t asked;
        const char* note; // said after the merge, or nullptr
    };
    const Case cases[] = {
        {"changed here, the file arrives with the old one", "neu", "eins", false, "neu", 0, nullptr},
        {"changed here, a copy arrives with the old one", "neu", "eins", true, "neu", 0, nullptr},
        {"changed there, as the file", "", "zwei", false, "zwei", 1, nullptr},
        {"changed there, as a copy", "", "zwei", true, "zwei", 1, kPasswordTakenNote},
        {"changed on both, as the file", "neu", "zwei", false, "neu", 1, kPasswordKeptNote},
        {"changed on both, as a copy", "neu", "zwei", true, "neu", 1, kPasswordKeptNote},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        testing::ScriptedWindows localWindows;
        PasswordStore localStore;
        SessionController local{localStore, localWindows};
        WriteV03Elsewhere(file, "eins", {"a=1"});
        localWindows.login.Ok("eins");
        ASSERT_TRUE(local.StartSession());
        MessageRecorder messages;
        if (!c.here.empty())
        {
            localWindows.login.Ok("eins");
            localWindows.login.Ok(c.here);
            localWindows.login.Ok(c.here);
            local.HandleMenuCommand(command::kChangePassword);
            local.HandleMenuCommand(command::kFileSave);
            ASSERT_EQ(OnDiskUnder(c.here), std::vector<std::string>{"a=1"});
        }
        const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
        WriteV03Elsewhere(c.asCopy ? copy : file, c.there, {"a=1", "b=1"});
        localWindows.login.Ok(c.there);
        local.FileChangedOnDisk();
        local.HandleMenuCommand(command::kFileSave);

        EXPECT_EQ(OnDiskUnder(c.kept), (std::vector<std::string>{"a=1", "b=1"}));
        EXPECT_EQ(local.CurrentPassword(), ToSecure(c.kept));
        std::size_t asked = 0;
        for (std::size_t i = 0; i < localWindows.login.prompts.size(); ++i)
        {
            const bool other = localWindows.login.prompts[i] == kOtherDevicePasswordPrompt;
            EXPECT_EQ(localWindows.login.titles[i], other ? kOtherDevicePasswordTitle : "");
            asked += other ? 1 : 0;
        }
        EXPECT_EQ(asked, c.asked);
        bool noted = false;
        for (const testing::RecordedMessage& message : messages.messages)
        {
            noted = noted || (c.note && message.text.ends_with(c.note));
            EXPECT_EQ(message.text.find("Passwort ändern"), std::string::npos) << message.text;
        }
        EXPECT_EQ(noted, c.note != nullptr);
        std::filesystem::remove(copy);
    }
}

// A version the user gave the password for is not asked about again: neither when the merge at a
// save reads the file once more, nor when the next version comes under the same password.
TEST_F(SessionPasswordMergeTest, AnotherDevicesPasswordIsAskedForOnce)
{
    Start({"a=1"}, FileFormat::V03);
    MessageRecorder messages;
    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteV03Elsewhere(file, "zwei", {"a=1", "b=1"});
    windows.login.Ok("zwei");
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(OnDiskUnder("zwei"), (std::vector<std::string>{"a=1", "mine=1", "b=1"}));

    WriteV03Elsewhere(file, "zwei", {"a=1", "mine=1", "b=1", "c=1"});
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "mine=1", "b=1", "c=1"}));
    EXPECT_EQ(OtherDevicePrompts(), 1u);
}

} // namespace
} // namespace kavelmark

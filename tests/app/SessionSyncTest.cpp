// The session with its password file in a sync folder: another computer rewrites the file, and a
// sync engine leaves conflict copies beside it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/SessionController.h"
#include "file/FileTestSupport.h"
#include "file/FileTexts.h"
#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "platform/CommandIds.h"
#include "settings/Settings.h"
#include "support/FakeLogin.h"
#include "support/FtpEntries.h"
#include "support/MessageRecorder.h"
#include "support/ScriptedWindows.h"

#include <unistd.h>

namespace kavelmark
{
namespace
{

using testing::FakeLoginDialog;
using testing::LoginScript;
using testing::MessageRecorder;
using testing::TempDir;

using Windows = testing::ScriptedWindows;

using testing::EntriesOf;
using testing::StoreOf;

// Every rename fails while it lives, so that no save can put its file in place.
class FailingRenames
{
public:
    FailingRenames() : saved_(SystemCalls())
    {
        SystemCalls().rename = [](const char*, const char*) -> int
        {
            errno = EIO;
            return -1;
        };
    }
    ~FailingRenames()
    {
        SystemCalls() = saved_;
    }
    FailingRenames(const FailingRenames&) = delete;
    FailingRenames& operator=(const FailingRenames&) = delete;

private:
    FileSystemCalls saved_;
};

// Runs an action once, right after the next rename a save makes, as another program acting
// between two steps of ours.
class AfterNextRename
{
public:
    explicit AfterNextRename(std::function<void()> action) : saved_(SystemCalls())
    {
        Action() = std::move(action);
        SystemCalls().rename = [](const char* from, const char* to) -> int
        {
            const int result = ::rename(from, to);
            if (std::function<void()> run = std::move(Action()))
            {
                Action() = nullptr;
                run();
            }
            return result;
        };
    }
    ~AfterNextRename()
    {
        SystemCalls() = saved_;
        Action() = nullptr;
    }
    AfterNextRename(const AfterNextRename&) = delete;
    AfterNextRename& operator=(const AfterNextRename&) = delete;

private:
    static std::function<void()>& Action()
    {
        static std::function<void()> action;
        return action;
    }
    FileSystemCalls saved_;
};

class SessionSyncTest : public ::testing::Test
{
protected:
    SessionSyncTest()
    {
        settings.Write("Config", "MainEntryFile", file);
    }

    // Writes the file as a sync engine brings another computer's save: a new file renamed over it.
    static void WriteElsewhere(const std::string& path, const std::string& password,
                               const std::vector<std::string>& entries)
    {
        ASSERT_TRUE(testing::WriteAsAnotherProgram(path, password, StoreOf(entries)));
    }

    // What the file on disk holds, read as another program would.
    std::vector<std::string> EntriesOnDisk(const std::string& password, const std::string& path = "")
    {
        MessageRecorder quiet;
        PasswordStore store;
        OtherFileRead read;
        EXPECT_EQ(ReadOtherFile(path.empty() ? file : path, ToSecure(password), store, read, true), LoadResult::Loaded);
        return EntriesOf(store);
    }

    // Starts a session on a file that holds entries, under password "eins".
    void Start(const std::vector<std::string>& entries)
    {
        WriteElsewhere(file, "eins", entries);
        windows.login.Ok("eins");
        ASSERT_TRUE(session.StartSession());
    }

    TempDir dir;
    std::string file = dir / "pw.Kavelmark";
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scoped{settings};
    PasswordStore store;
    Windows windows;
    SessionController session{store, windows};
};

TEST_F(SessionSyncTest, MergeAtSaveKeepsBothSidesChangesAndSaysWhatHappened)
{
    Start({"a=1", "b=1", "c=1"});
    MessageRecorder messages;
    store.AddEntry("FTP", "mine", "", "1", "", "");
    store.ReplaceEntry(store.FindEntryByDisplayName("c"), "FTP", "c", "", "2", "", "");
    // There: b deleted, c changed otherwise, one added.
    WriteElsewhere(file, "eins", {"a=1", "c=3", "theirs=1"});
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);

    const std::vector<std::string> merged = {"a=1", "c=2", "c=3", "mine=1", "theirs=1"};
    EXPECT_EQ(EntriesOnDisk("eins"), merged);
    EXPECT_EQ(EntriesOf(store), merged);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].caption, kChangedFileCaption);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::MergeOverwriteCancel);
    EXPECT_EQ(messages.messages[1].caption, kMergedCaption);
    EXPECT_NE(messages.messages[1].text.find("übernommen: 2\nDort gelöscht: 1\nJetzt doppelt, weil beide Seiten sie "
                                             "geändert haben: 1"),
              std::string::npos)
        << messages.messages[1].text;
    // The entry kept twice is named, and its first version is shown.
    EXPECT_NE(messages.messages[1].text.find("\n\nDoppelt stehen jetzt:\nFTP: c"), std::string::npos)
        << messages.messages[1].text;
    EXPECT_EQ(windows.selected, std::vector<std::string>{"FTP/c"});
    EXPECT_EQ(windows.refreshed, 1);

    // The merged file is the new base: the next save asks nothing.
    MessageRecorder quiet;
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(SessionSyncTest, AMergeNamesTenEntriesKeptTwiceAndCountsTheRest)
{
    std::vector<std::string> loaded;
    std::vector<std::string> there;
    for (char name = 'a'; name <= 'l'; ++name)
    {
        loaded.push_back(std::string(1, name) + "=1");
        there.push_back(std::string(1, name) + "=3");
    }
    Start(loaded);
    MessageRecorder messages;
    for (char name = 'a'; name <= 'l'; ++name)
    {
        const std::string entry(1, name);
        store.ReplaceEntry(store.FindEntryByDisplayName(entry), "FTP", entry, "", "2", "", "");
    }
    WriteElsewhere(file, "eins", there);
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    ASSERT_EQ(messages.messages.size(), 2u);
    const std::string& text = messages.messages[1].text;
    EXPECT_NE(text.find("haben: 12\n"), std::string::npos) << text;
    const std::string named = "Doppelt stehen jetzt:\nFTP: a\nFTP: b\nFTP: c\nFTP: d\nFTP: e\nFTP: f\nFTP: g\n"
                              "FTP: h\nFTP: i\nFTP: j\nund 2 weitere";
    EXPECT_EQ(text.substr(text.size() - named.size()), named) << text;
    EXPECT_EQ(windows.selected, std::vector<std::string>{"FTP/a"});
}

// Declined, or its password not given: the copy is asked about again at the user's next save, at
// the next unlock and from the menu; not at every change in the folder.
TEST_F(SessionSyncTest, ACopyNotMergedIsOfferedAgainAtTheNextSaveUnlockAndFromTheMenu)
{
    Start({"a=1"});
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    MessageRecorder messages;
    session.HandleMenuCommand(command::kMergeCopies);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, kConflictCopyCaption);
    EXPECT_EQ(messages.messages[0].text, kNoConflictCopiesText);

    WriteElsewhere(copy, "zwei", {"a=1", "b=1"});
    auto questionsSoFar = [&]
    {
        std::size_t questions = 0;
        for (const testing::RecordedMessage& message : messages.messages)
        {
            questions += message.text == kConflictCopyQuestion + copy ? 1 : 0;
        }
        return questions;
    };
    // Its password not known here, and not given: the copy stays.
    messages.AnswerNext(MessageAnswer::Ok);
    windows.login.Cancel();
    session.FileChangedOnDisk();
    EXPECT_EQ(questionsSoFar(), 1u);
    session.FileChangedOnDisk();
    EXPECT_EQ(questionsSoFar(), 1u);

    messages.AnswerNext(MessageAnswer::Cancel);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(questionsSoFar(), 2u);

    ASSERT_TRUE(session.Lock());
    EXPECT_EQ(questionsSoFar(), 2u);
    windows.login.Ok("eins");
    messages.AnswerNext(MessageAnswer::Cancel);
    ASSERT_TRUE(session.Unlock());
    EXPECT_EQ(questionsSoFar(), 3u);

    messages.AnswerNext(MessageAnswer::Ok);
    windows.login.Ok("zwei");
    session.HandleMenuCommand(command::kMergeCopies);
    EXPECT_EQ(questionsSoFar(), 4u);
    EXPECT_EQ(EntriesOnDisk("zwei"), (std::vector<std::string>{"a=1", "b=1"}));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(SessionSyncTest, OverwriteAndCancelDoWhatTheySay)
{
    Start({"a=1"});
    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteElsewhere(file, "eins", {"a=1", "theirs=1"});
    {
        MessageRecorder messages;
        messages.AnswerNext(MessageAnswer::Cancel);
        session.HandleMenuCommand(command::kFileSave);
        EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "theirs=1"}));
        EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "mine=1"}));
    }
    MessageRecorder messages;
    messages.AnswerNext(MessageAnswer::Overwrite);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "mine=1"}));
    EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(SessionSyncTest, AFileSavedUnderAnotherPasswordIsMergedAfterAskingForIt)
{
    Start({"a=1"});
    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteElsewhere(file, "zwei", {"a=1", "theirs=1"});
    const std::string before = testing::ReadBytes(file);
    {
        // Cancelled: nothing written, nothing lost.
        MessageRecorder messages;
        messages.AnswerNext(MessageAnswer::Merge);
        windows.login.Cancel();
        session.HandleMenuCommand(command::kFileSave);
        EXPECT_EQ(testing::ReadBytes(file), before);
        EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "mine=1"}));
    }
    MessageRecorder messages;
    messages.AnswerNext(MessageAnswer::Merge);
    windows.login.Ok("zwei");
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(windows.login.prompts.back(), kOtherDevicePasswordPrompt);
    EXPECT_EQ(windows.login.titles.back(), kOtherDevicePasswordTitle);
    // The password changed there is the newer one: the merged file keeps it.
    EXPECT_EQ(EntriesOnDisk("zwei"), (std::vector<std::string>{"a=1", "mine=1", "theirs=1"}));
    EXPECT_EQ(session.CurrentPassword(), ToSecure("zwei"));
}

TEST_F(SessionSyncTest, AFailedMergedSaveLeavesFileAndStoreAsTheyWere)
{
    Start({"a=1"});
    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteElsewhere(file, "eins", {"a=1", "theirs=1"});
    const std::string before = testing::ReadBytes(file);
    std::optional<FailingRenames> failing(std::in_place);
    MessageRecorder messages;
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    failing.reset();
    EXPECT_EQ(testing::ReadBytes(file), before);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "mine=1"}));
    EXPECT_EQ(windows.refreshed, 0);
}

TEST_F(SessionSyncTest, AChangeOnDiskIsLoadedAtOnceOnlyWithoutUnsavedChanges)
{
    Start({"a=1"});
    MessageRecorder messages;
    WriteElsewhere(file, "eins", {"a=1", "theirs=1"});
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "theirs=1"}));
    EXPECT_EQ(windows.before, 1);
    EXPECT_EQ(windows.refreshed, 1);

    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteElsewhere(file, "eins", {"a=1", "theirs=1", "more=1"});
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "theirs=1", "mine=1"}));
    EXPECT_TRUE(messages.messages.empty());
    // Unchanged since: a second look does nothing either.
    session.FileChangedOnDisk();
    EXPECT_EQ(windows.refreshed, 1);

    // The next save merges on the reloaded version as its base.
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "theirs=1", "mine=1", "more=1"}));
}

TEST_F(SessionSyncTest, APasswordChangedHereIsAnUnsavedChangeThatTheMergeKeeps)
{
    Start({"a=1"});
    windows.login.Ok("eins");
    windows.login.Ok("neu");
    windows.login.Ok("neu");
    session.HandleMenuCommand(command::kChangePassword);
    const std::size_t asked = windows.login.prompts.size();
    MessageRecorder messages;
    WriteElsewhere(file, "eins", {"a=1", "theirs=1"});
    // Not reloaded: that would bring back the old password without a word.
    session.FileChangedOnDisk();
    EXPECT_EQ(windows.login.prompts.size(), asked);
    EXPECT_EQ(windows.refreshed, 0);
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(EntriesOnDisk("neu"), (std::vector<std::string>{"a=1", "theirs=1"}));
}

TEST_F(SessionSyncTest, AFileTheOtherSideHardenedIsMergedInItsFormat)
{
    Start({"a=1"});
    store.AddEntry("FTP", "mine", "", "1", "", "");
    testing::MemoryFile bytes;
    ASSERT_EQ(
        PasswordFile::WriteV04(bytes, "eins", StoreOf({"a=1", "theirs=1"}), std::tm{}, Argon2idCost{8, 1, 1}).fileError,
        0);
    testing::WriteBytes(file + ".incoming", bytes.Bytes());
    ASSERT_EQ(std::rename((file + ".incoming").c_str(), file.c_str()), 0);
    MessageRecorder messages;
    messages.AnswerNext(MessageAnswer::Merge);
    const Argon2idCost previous = SetV04WriteCost(Argon2idCost{8, 1, 1});
    session.HandleMenuCommand(command::kFileSave);
    SetV04WriteCost(previous);
    EXPECT_EQ(testing::ReadBytes(file).substr(4, 16), "Kavelmark V0.4  ");
    EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "mine=1", "theirs=1"}));
}

TEST_F(SessionSyncTest, AChangeUnderAnotherPasswordAsksForItOnce)
{
    Start({"a=1"});
    MessageRecorder messages;
    WriteElsewhere(file, "zwei", {"a=1", "theirs=1"});
    windows.login.Ok("falsch");
    session.FileChangedOnDisk();
    EXPECT_EQ(windows.login.prompts.back(), kOtherDevicePasswordPrompt);
    EXPECT_EQ(windows.login.titles.back(), kOtherDevicePasswordTitle);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kWrongPasswordText}));
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"}));
    // Not asked again for the same file.
    const std::size_t asked = windows.login.prompts.size();
    session.FileChangedOnDisk();
    EXPECT_EQ(windows.login.prompts.size(), asked);

    WriteElsewhere(file, "zwei", {"a=1", "theirs=1", "more=1"});
    windows.login.Ok("zwei");
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "theirs=1", "more=1"}));
    EXPECT_EQ(session.CurrentPassword(), ToSecure("zwei"));
}

TEST_F(SessionSyncTest, AConflictCopyIsMergedAndRemovedOnlyWithAgreement)
{
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    WriteElsewhere(copy, "alt", {"a=2", "theirs=1"});
    {
        MessageRecorder messages;
        messages.AnswerNext(MessageAnswer::Cancel);
        Start({"a=1"});
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].caption, kConflictCopyCaption);
        EXPECT_EQ(messages.messages[0].text, kConflictCopyQuestion + copy);
        // Declined: left alone, and not offered again while it stays as it is.
        session.FileChangedOnDisk();
        EXPECT_EQ(messages.messages.size(), 1u);
        EXPECT_TRUE(std::filesystem::exists(copy));
    }
    // Changed by the engine: offered again; the copy's password is asked for.
    WriteElsewhere(copy, "alt", {"a=2", "theirs=1"});
    MessageRecorder messages;
    windows.login.Ok("alt");
    session.FileChangedOnDisk();
    EXPECT_EQ(windows.login.prompts.back(), kOtherDevicePasswordPrompt);
    // The password was changed there, not here: the merged file takes it.
    EXPECT_EQ(EntriesOnDisk("alt"), (std::vector<std::string>{"a=1", "a=2", "theirs=1"}));
    EXPECT_FALSE(std::filesystem::exists(copy));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].caption, kMergedCaption);
    EXPECT_NE(messages.messages[1].text.find("übernommen: 2\nDort gelöscht: 0\nJetzt doppelt, weil beide Seiten sie "
                                             "geändert haben: 1"),
              std::string::npos)
        << messages.messages[1].text;
    EXPECT_TRUE(messages.messages[1].text.ends_with(kPasswordTakenNote));
    EXPECT_EQ(session.CurrentPassword(), ToSecure("alt"));
}

TEST_F(SessionSyncTest, ACopyStaysWhenTheMergedFileCannotBeSaved)
{
    Start({"a=1"});
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    WriteElsewhere(copy, "eins", {"a=1", "theirs=1"});
    const std::string before = testing::ReadBytes(file);
    std::optional<FailingRenames> failing(std::in_place);
    MessageRecorder messages;
    session.FileChangedOnDisk();
    failing.reset();
    EXPECT_EQ(messages.messages.front().caption, kConflictCopyCaption);
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(testing::ReadBytes(file), before);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"}));
}

TEST_F(SessionSyncTest, CopiesThatCannotBeReadStayWhereTheyAre)
{
    Start({"a=1"});
    // In the order of their names.
    const std::string wrong = dir / "pw (Annas conflicted copy 2026-12-11).Kavelmark";
    const std::string damaged = dir / "pw (conflicted copy 2026-12-11 101500).Kavelmark";
    const std::string older = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    WriteElsewhere(damaged, "eins", {"x=1"});
    testing::WriteBytes(damaged, testing::ReadBytes(damaged).substr(0, 100));
    testing::WriteBytes(older, testing::V02File("eins", {"_E__|_FTP_|_y_|__|_1_|__|__|_"}));
    WriteElsewhere(wrong, "anders", {"z=1"});
    const std::string before = testing::ReadBytes(file);
    MessageRecorder messages;
    windows.login.Ok("falsch");
    session.FileChangedOnDisk();
    // Why each could not be read goes unsaid: three copies, two messages.
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"3" + std::string(kConflictCopiesQuestion) + dir.Path().string(),
                                        std::string(kNoCopyMergedText) + "\n\n" + kCopiesUnreadHeading + "\n" + wrong +
                                            "\n" + damaged + "\n" + older}));
    EXPECT_EQ(windows.login.prompts,
              (std::vector<std::string>{LoginDialogBase::kDefaultPrompt, kOtherDevicePasswordPrompt}));
    EXPECT_EQ(testing::ReadBytes(file), before);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"}));
    for (const std::string& copy : {damaged, older, wrong})
    {
        EXPECT_TRUE(std::filesystem::exists(copy)) << copy;
    }
}

TEST_F(SessionSyncTest, ManyCopiesMakeOneQuestionAndAShortList)
{
    Start({"a=1"});
    std::vector<std::string> copies;
    for (int second = 10; second < 22; ++second)
    {
        copies.push_back(dir / ("pw.sync-conflict-20261211-1015" + std::to_string(second) + "-ABCDEFG.Kavelmark"));
        testing::WriteBytes(copies.back(), "kaputt");
    }
    MessageRecorder messages;
    session.FileChangedOnDisk();
    std::string list;
    for (std::size_t i = 0; i < 10; ++i)
    {
        list += "\n" + copies[i];
    }
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"12" + std::string(kConflictCopiesQuestion) + dir.Path().string(),
                                        std::string(kNoCopyMergedText) + "\n\n" + kCopiesUnreadHeading + list + "\n" +
                                            kMoreCopiesLine + "2"}));
}

TEST_F(SessionSyncTest, SeveralCopiesAreAskedAboutOnceMergedAndSavedOnceSummedUp)
{
    Start({"a=1", "b=1"});
    // In the order of their names: merged; its password not given; merged with its own password;
    // damaged.
    const std::string same = dir / "pw (Annas conflicted copy 2026-12-11).Kavelmark";
    const std::string cancelled = dir / "pw (conflicted copy 2026-12-11 101500).Kavelmark";
    const std::string other = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    const std::string damaged = dir / "pw.sync-conflict-20261211-101501-ABCDEFG.Kavelmark";
    WriteElsewhere(same, "eins", {"a=1", "b=2", "x=1"});
    WriteElsewhere(other, "anders", {"y=1"});
    WriteElsewhere(cancelled, "zwei", {"z=1"});
    testing::WriteBytes(damaged, "kaputt");
    std::size_t renames = 0;
    const FileSystemCalls saved = SystemCalls();
    static std::size_t* counted = nullptr;
    counted = &renames;
    SystemCalls().rename = [](const char* from, const char* to) -> int
    {
        ++*counted;
        return ::rename(from, to);
    };
    MessageRecorder messages;
    windows.login.Cancel();
    windows.login.Ok("anders");
    session.FileChangedOnDisk();
    SystemCalls() = saved;

    // {a=1, b=1} with {a=1, b=2, x=1}: b=2 and x=1 taken, b twice; then y=1 taken.
    const std::vector<std::string> merged = {"a=1", "b=1", "b=2", "x=1", "y=1"};
    // The password one copy brings was changed there, not here: the merged file takes it.
    EXPECT_EQ(EntriesOnDisk("anders"), merged);
    EXPECT_EQ(EntriesOf(store), merged);
    EXPECT_EQ(renames, 1u);
    EXPECT_EQ(windows.login.prompts,
              (std::vector<std::string>{LoginDialogBase::kDefaultPrompt, kOtherDevicePasswordPrompt,
                                        kOtherDevicePasswordPrompt}));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "4" + std::string(kConflictCopiesQuestion) + dir.Path().string());
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.messages[1].caption, kMergedCaption);
    EXPECT_EQ(messages.messages[1].text, std::string(kMergedCopiesText) + "\n" + kMergedCopiesLine + "2\n\n" +
                                             kMergedFromOtherLine + "3\n" + kMergedDeletedLine + "0\n" +
                                             kMergedTwiceLine + "1\n\n" + kMergedTwiceHint + "\n\n" +
                                             kMergedTwiceHeading + "\nFTP: b\n\n" + kCopiesUnreadHeading + "\n" +
                                             cancelled + "\n" + damaged + "\n\n" + kPasswordTakenNote);
    EXPECT_FALSE(std::filesystem::exists(same));
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_TRUE(std::filesystem::exists(cancelled));
    EXPECT_TRUE(std::filesystem::exists(damaged));
    EXPECT_EQ(session.CurrentPassword(), ToSecure("anders"));

    // What stays was asked about: not again until it changes.
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.messages.size(), 2u);
}

struct SwapCase
{
    const char* what;
    // Puts something else where the copy was, while the question waits for its answer.
    std::function<void(const std::string& copy, const std::string& privateFile)> swap;
    // A new version of the copy is offered anew; a link is no copy at all.
    bool offeredAnew;
};

TEST_F(SessionSyncTest, OnlyTheVeryCopyAskedAboutIsMerged)
{
    const SwapCase cases[] = {
        {"a link to a password file of the user's elsewhere, with the same password",
         [](const std::string& copy, const std::string& privateFile)
         {
             ASSERT_EQ(::symlink(privateFile.c_str(), (copy + ".link").c_str()), 0);
             ASSERT_EQ(std::rename((copy + ".link").c_str(), copy.c_str()), 0);
         },
         false},
        {"a newer version the engine brought",
         [](const std::string& copy, const std::string&) { WriteElsewhere(copy, "eins", {"theirs=2"}); }, true},
    };
    Start({"a=1"});
    TempDir elsewhere;
    const std::string privateFile = elsewhere / "privat.Kavelmark";
    WriteElsewhere(privateFile, "eins", {"geheim=1"});
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    for (const SwapCase& c : cases)
    {
        std::filesystem::remove(copy);
        WriteElsewhere(copy, "eins", {"theirs=1"});
        MessageRecorder messages;
        messages.whileShown = [&] { c.swap(copy, privateFile); };
        session.FileChangedOnDisk();
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kConflictCopyQuestion + copy})) << c.what;
        EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1"})) << c.what;
        EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"})) << c.what;
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(copy))) << c.what;

        messages.AnswerNext(MessageAnswer::Cancel);
        session.FileChangedOnDisk();
        EXPECT_EQ(messages.messages.size(), c.offeredAnew ? 2u : 1u) << c.what;
    }
    EXPECT_EQ(EntriesOnDisk("eins", privateFile), (std::vector<std::string>{"geheim=1"}));
}

TEST_F(SessionSyncTest, ACopyTheEngineReplacesWhileItIsMergedStaysAsTheNewerVersion)
{
    Start({"a=1"});
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    WriteElsewhere(copy, "eins", {"theirs=1"});
    MessageRecorder messages;
    {
        // Between the read of the copy and its removal: the merged file's save.
        AfterNextRename engine([&] { WriteElsewhere(copy, "eins", {"theirs=2"}); });
        session.FileChangedOnDisk();
    }
    EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "theirs=1"}));
    EXPECT_EQ(EntriesOnDisk("eins", copy), (std::vector<std::string>{"theirs=2"}));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(messages.messages[1].text.starts_with(kMergedCopyKeptText + copy)) << messages.messages[1].text;

    // The newer version is a copy of its own, offered and merged in turn.
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOnDisk("eins"), (std::vector<std::string>{"a=1", "theirs=1", "theirs=2"}));
    EXPECT_FALSE(std::filesystem::exists(copy));
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(messages.messages[2].text, kConflictCopyQuestion + copy);
    EXPECT_TRUE(messages.messages[3].text.starts_with(kMergedCopyText + copy)) << messages.messages[3].text;
}

} // namespace
} // namespace kavelmark

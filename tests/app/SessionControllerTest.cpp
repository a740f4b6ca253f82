#include <gtest/gtest.h>

#include <functional>

#include "app/SessionController.h"
#include "file/LoadSave.h"
#include "platform/CommandIds.h"
#include "settings/Settings.h"
#include "support/FakeLogin.h"
#include "support/FakeSaveAsDialog.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using testing::FakeLoginDialog;
using testing::FakeSaveAsDialog;
using testing::LoginScript;
using testing::MessageRecorder;

class FakeWindows final : public SessionWindows
{
public:
    std::unique_ptr<LoginDialogBase> CreateLoginDialog() override
    {
        return std::make_unique<FakeLoginDialog>(login);
    }
    void AddTrayIcon() override
    {
        ++trayAdded;
    }
    void RemoveTrayIcon() override
    {
        ++trayRemoved;
    }
    void RunConfigDialog() override
    {
        ++configRuns;
    }
    void RunAboutDialog() override
    {
        ++aboutRuns;
    }
    void StoreReloaded() override
    {
        ++reloads;
    }

    LoginScript login;
    int trayAdded = 0;
    int trayRemoved = 0;
    int configRuns = 0;
    int aboutRuns = 0;
    int reloads = 0;
};

// Records every save with the password and the file name it went to.
class FakeFile final : public SessionFile
{
public:
    struct SaveCall
    {
        std::string password;
        std::string fileName;
    };

    LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed) override
    {
        loads.push_back({std::string(password.begin(), password.end()), legacySeed});
        if (onLoad)
        {
            onLoad(store);
        }
        LoadResult result = loadResults.empty() ? LoadResult::Loaded : loadResults.front();
        if (!loadResults.empty())
        {
            loadResults.erase(loadResults.begin());
        }
        return result;
    }
    SaveResult Save(const PasswordStore&, const SecureString& password) override
    {
        saves.push_back({std::string(password.begin(), password.end()),
                         Settings::GetString("Config", "MainEntryFile", "default.Kavelmark", true, true)});
        return saveResult;
    }

    std::vector<LoadResult> loadResults;
    std::function<void(PasswordStore&)> onLoad; // what the load puts into the store, whatever its result
    std::vector<std::pair<std::string, std::uint64_t>> loads;
    std::vector<SaveCall> saves;
    SaveResult saveResult = SaveResult::Saved;
};

class SessionControllerTest : public ::testing::Test
{
protected:
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
    PasswordStore store;
    FakeWindows windows;
    FakeFile file;
    SessionController session{store, windows, file};
};

TEST_F(SessionControllerTest, FirstStartWithoutFileCreatesItAtOnce)
{
    windows.login.Ok("geheim");
    windows.login.Ok("geheim");
    file.loadResults = {LoadResult::Missing};
    ASSERT_TRUE(session.StartSession());

    ASSERT_EQ(file.loads.size(), 1u);
    EXPECT_EQ(file.loads[0].first, "geheim");
    EXPECT_EQ(file.loads[0].second, 42u + 'g' + 2 * 'e' + 3 * 'h' + 4 * 'e' + 5 * 'i' + 6 * 'm');
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Die Passwortdatei konnte nicht geladen werden,\nes wird eine leere angelegt!");
    EXPECT_EQ(messages.messages[0].caption, "Ladefehler");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
    ASSERT_EQ(file.saves.size(), 1u);
    EXPECT_EQ(file.saves[0].password, "geheim");
    EXPECT_TRUE(session.FileOk());
    EXPECT_EQ(windows.trayAdded, 1);
}

TEST_F(SessionControllerTest, ANewFileIsMadeOnlyWithItsPasswordTypedTwice)
{
    const std::string login = "Bitte geben Sie Ihr Kennwort ein.";
    const std::string again = "Bitte Kennwort wiederholen:";
    const std::string created = "Die Passwortdatei konnte nicht geladen werden,\nes wird eine leere angelegt!";
    const std::string differ = "Die neuen Kennwörter stimmt nicht überein!";
    const std::string notOk = "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!";
    struct Case
    {
        const char* name;
        std::vector<std::string> typed; // one per run of the login window; empty text: cancel
        std::vector<std::string> prompts;
        std::vector<std::string> messages;
        std::string saved; // the password of the new file; empty: none made
    };
    const Case cases[] = {
        {"the same twice", {"geheim", "geheim"}, {login, again}, {created}, "geheim"},
        {"a typo, then from the start",
         {"geheim", "gehiem", "neu", "neu"},
         {login, again, login, again},
         {created, differ, created},
         "neu"},
        {"cancelled at the repetition", {"geheim", ""}, {login, again}, {created}, ""},
        {"a typo, then the login cancelled", {"geheim", "Geheim", ""}, {login, again, login}, {created, differ}, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MessageRecorder local;
        PasswordStore localStore;
        FakeWindows localWindows;
        FakeFile localFile;
        localFile.loadResults = {LoadResult::Missing, LoadResult::Missing};
        SessionController localSession(localStore, localWindows, localFile);
        for (const std::string& typed : c.typed)
        {
            if (typed.empty())
            {
                localWindows.login.Cancel();
            }
            else
            {
                localWindows.login.Ok(typed);
            }
        }
        ASSERT_TRUE(localSession.StartSession()) << "the window opens";
        EXPECT_EQ(localWindows.login.prompts, c.prompts);
        EXPECT_FALSE(localWindows.login.busy);
        EXPECT_EQ(local.Texts(), c.messages);
        for (const testing::RecordedMessage& message : local.messages)
        {
            if (message.text == differ)
            {
                EXPECT_EQ(message.caption, "Information");
                EXPECT_EQ(message.icon, MessageIcon::Information);
            }
        }
        const bool made = !c.saved.empty();
        ASSERT_EQ(localFile.saves.size(), made ? 1u : 0u);
        EXPECT_EQ(localSession.FileOk(), made);
        EXPECT_EQ(localWindows.trayAdded, made ? 1 : 0);
        if (made)
        {
            EXPECT_EQ(localFile.saves[0].password, c.saved);
            EXPECT_EQ(localSession.CurrentPassword(), ToSecure(c.saved));
            continue;
        }
        // As after a cancelled login: no password, and nothing is ever saved.
        EXPECT_TRUE(localSession.CurrentPassword().empty());
        EXPECT_EQ(localSession.LegacySeed(), 42u);
        localSession.HandleMenuCommand(command::kFileSave);
        EXPECT_TRUE(localSession.RequestEnd());
        localSession.EndSession();
        EXPECT_TRUE(localFile.saves.empty());
        std::vector<std::string> texts = c.messages;
        texts.insert(texts.end(), {notOk, notOk});
        EXPECT_EQ(local.Texts(), texts);
    }
}

// A hardened file's key takes a second to derive, before any other window exists: the login
// stays up, busy, until the file is open, at start and at unlock; a login the load itself needs
// (an old file's password confirmed) comes alone.
TEST_F(SessionControllerTest, TheLoginStaysUpBusyWhileItsPasswordOpensTheFile)
{
    std::vector<bool> busyDuringLoads;
    file.onLoad = [&](PasswordStore&) { busyDuringLoads.push_back(windows.login.busy); };
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.StartSession());
    EXPECT_FALSE(windows.login.busy);
    ASSERT_TRUE(session.Lock());
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.Unlock());
    EXPECT_FALSE(windows.login.busy);
    EXPECT_EQ(busyDuringLoads, (std::vector<bool>{true, true}));

    // The confirmation the load asks for, as an old file's conversion does.
    ASSERT_TRUE(session.Lock());
    std::optional<SecureString> confirmed;
    file.onLoad = [&](PasswordStore&)
    {
        PasswordConfirmer confirm = SetPasswordConfirmer(nullptr);
        SetPasswordConfirmer(confirm);
        confirmed = confirm();
    };
    windows.login.Ok("geheim");
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.Unlock());
    EXPECT_EQ(confirmed, ToSecure("geheim"));
    EXPECT_FALSE(windows.login.runWhileBusy);
    EXPECT_FALSE(windows.login.busy);
}

TEST_F(SessionControllerTest, LoadedFileOpensTheSessionSilently)
{
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.StartSession());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(file.saves.empty());
    EXPECT_TRUE(session.FileOk());
    EXPECT_EQ(windows.trayAdded, 1);

    ASSERT_TRUE(session.RequestEnd());
    session.EndSession();
    ASSERT_EQ(file.saves.size(), 1u);
    EXPECT_EQ(file.saves[0].password, "geheim");
    EXPECT_EQ(windows.trayRemoved, 1);
}

TEST_F(SessionControllerTest, TheSessionForgetsThePasswordOnceItEnded)
{
    for (bool requested : {false, true})
    {
        SessionController ending{store, windows, file};
        windows.login.Ok("geheim");
        ASSERT_TRUE(ending.StartSession());
        EXPECT_EQ(ending.CurrentPassword(), "geheim");
        if (requested)
        {
            ASSERT_TRUE(ending.RequestEnd());
        }
        ending.EndSession();
        EXPECT_EQ(file.saves.back().password, "geheim");
        EXPECT_TRUE(ending.CurrentPassword().empty()) << requested;
    }
}

TEST_F(SessionControllerTest, CancelledLoginOpensAnEmptySessionThatNeverSaves)
{
    windows.login.Cancel();
    ASSERT_TRUE(session.StartSession());
    EXPECT_TRUE(file.loads.empty());
    EXPECT_FALSE(session.FileOk());
    EXPECT_EQ(windows.trayAdded, 0);

    session.HandleMenuCommand(command::kFileSave);
    EXPECT_TRUE(session.RequestEnd());
    session.EndSession();
    EXPECT_TRUE(file.saves.empty());
    const std::string refusal = "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!";
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{refusal, refusal}));
    EXPECT_EQ(messages.messages[1].caption, "Fehler");
    EXPECT_EQ(windows.trayRemoved, 1);
}

TEST_F(SessionControllerTest, FailedLoadRefusesTheStartAndTheSave)
{
    for (LoadResult result : {LoadResult::Refused, OpenFailure(3), OpenFailure(32)})
    {
        SCOPED_TRACE(static_cast<int>(result));
        MessageRecorder local;
        PasswordStore localStore;
        FakeWindows localWindows;
        FakeFile localFile;
        SessionController localSession(localStore, localWindows, localFile);
        localWindows.login.Ok("falsch");
        localFile.loadResults = {result};
        EXPECT_FALSE(localSession.StartSession());
        EXPECT_EQ(localWindows.trayAdded, 0);
        localSession.EndSession();
        EXPECT_TRUE(localFile.saves.empty());
        ASSERT_EQ(local.messages.size(), 1u);
        EXPECT_EQ(local.messages[0].text, "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!");
        EXPECT_EQ(localWindows.login.prompts.size(), 1u) << "no second attempt";
    }
}

TEST_F(SessionControllerTest, ReloadResultDecidesWhetherSavingIsAllowed)
{
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());

    file.loadResults = {LoadResult::Missing};
    session.HandleMenuCommand(command::kFileOpen);
    EXPECT_FALSE(session.FileOk());
    EXPECT_EQ(windows.reloads, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Beim Laden der Passwortdatei ist ein Fehler aufgetreten!");
    EXPECT_EQ(messages.messages[0].caption, "Fehler");

    session.HandleMenuCommand(command::kFileSave);
    EXPECT_TRUE(file.saves.empty());
    EXPECT_EQ(messages.messages.back().text, "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!");

    session.HandleMenuCommand(command::kFileOpen); // the file is back
    EXPECT_TRUE(session.FileOk());
    EXPECT_EQ(windows.reloads, 2);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(file.saves.size(), 1u);
    EXPECT_EQ(file.loads.back().first, "pw");
}

TEST_F(SessionControllerTest, ReloadAfterCancelledLoginOpensTheSessionWithoutTrayIcon)
{
    windows.login.Cancel();
    ASSERT_TRUE(session.StartSession());
    session.HandleMenuCommand(command::kFileOpen);
    EXPECT_TRUE(session.FileOk());
    EXPECT_EQ(file.loads.at(0).first, "");
    EXPECT_EQ(file.loads.at(0).second, 42u);
    EXPECT_EQ(windows.trayAdded, 0);
}

TEST_F(SessionControllerTest, SaveAsCancelledChangesNothing)
{
    FakeSaveAsDialog dialog;
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());
    settings.Write("Config", "MainEntryFile", "/home/anna/pw.Kavelmark");
    session.HandleMenuCommand(command::kFileSaveAs);
    EXPECT_EQ(dialog.shownNames.size(), 1u);
    EXPECT_EQ(settings.Read("Config", "MainEntryFile"), "/home/anna/pw.Kavelmark");
    EXPECT_TRUE(file.saves.empty());
}

TEST_F(SessionControllerTest, SaveAsConfirmedSavesUnderTheNewName)
{
    FakeSaveAsDialog dialog;
    dialog.answer = "/media/stick/copy.Kavelmark";
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());
    session.HandleMenuCommand(command::kFileSaveAs);
    EXPECT_EQ(settings.Read("Config", "MainEntryFile"), "/media/stick/copy.Kavelmark");
    ASSERT_EQ(file.saves.size(), 1u);
    EXPECT_EQ(file.saves[0].fileName, "/media/stick/copy.Kavelmark");
}

TEST_F(SessionControllerTest, SaveAsWithoutLoadedFileStoresTheNameButRefusesTheSave)
{
    FakeSaveAsDialog dialog;
    dialog.answer = "/tmp/new.Kavelmark";
    windows.login.Cancel();
    ASSERT_TRUE(session.StartSession());
    session.HandleMenuCommand(command::kFileSaveAs);
    EXPECT_EQ(settings.Read("Config", "MainEntryFile"), "/tmp/new.Kavelmark");
    EXPECT_TRUE(file.saves.empty());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!"});
}

TEST_F(SessionControllerTest, PasswordChangeTakesEffectOnlyWhenAllThreeStepsPass)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> typed; // empty text: cancel
        std::string passwordAfter;
        std::size_t messageCount;
    };
    const Case cases[] = {
        {"all steps confirmed", {"alt", "neu", "neu"}, "neu", 0},
        {"wrong old password", {"ALT"}, "alt", 1},
        {"repetition differs", {"alt", "neu", "neu!"}, "alt", 1},
        {"cancel at step 1", {"alt", ""}, "alt", 0},
        {"cancel at step 2", {"alt", "neu", ""}, "alt", 0},
        {"old password again", {"alt", "alt", "alt"}, "alt", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MessageRecorder local;
        PasswordStore localStore;
        FakeWindows localWindows;
        FakeFile localFile;
        SessionController localSession(localStore, localWindows, localFile);
        localWindows.login.Ok("alt");
        ASSERT_TRUE(localSession.StartSession());
        for (const std::string& typed : c.typed)
        {
            if (typed.empty())
            {
                localWindows.login.Cancel();
            }
            else
            {
                localWindows.login.Ok(typed);
            }
        }
        localSession.HandleMenuCommand(command::kChangePassword);
        EXPECT_EQ(localSession.CurrentPassword(), ToSecure(c.passwordAfter));
        std::uint64_t seed = 42;
        for (std::size_t i = 0; i < c.passwordAfter.size(); ++i)
        {
            seed += (i + 1) * static_cast<unsigned char>(c.passwordAfter[i]);
        }
        EXPECT_EQ(localSession.LegacySeed(), seed);
        EXPECT_EQ(local.messages.size(), c.messageCount);
        EXPECT_TRUE(localFile.saves.empty()) << "the change stays in memory";

        localSession.HandleMenuCommand(command::kFileSave);
        ASSERT_EQ(localFile.saves.size(), 1u);
        EXPECT_EQ(localFile.saves[0].password, c.passwordAfter);
    }
}

TEST_F(SessionControllerTest, FailedSaveAtTheEndKeepsTheWindowUntilTheUserConfirmsTheLoss)
{
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());
    file.saveResult = WriteFailure(5);
    messages.AnswerNext(MessageAnswer::Cancel);
    EXPECT_FALSE(session.RequestEnd());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_EQ(messages.messages[0].text, kDiscardQuestionText);
    EXPECT_EQ(messages.messages[0].caption, "Fehler");

    // Declining to overwrite another program's version is no error: the question says what it is.
    file.saveResult = SaveResult::Kept;
    messages.AnswerNext(MessageAnswer::Cancel);
    EXPECT_FALSE(session.RequestEnd());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_EQ(messages.messages[1].text, kEndUnsavedQuestionText);
    EXPECT_EQ(messages.messages[1].caption, kEndUnsavedCaption);

    file.saveResult = SaveResult::Saved; // the user saved elsewhere, or the disk is back
    EXPECT_TRUE(session.RequestEnd());
    session.EndSession();
    EXPECT_EQ(file.saves.size(), 3u) << "no further save when the window goes";
    EXPECT_EQ(windows.trayRemoved, 1);
}

TEST_F(SessionControllerTest, ConfirmedLossEndsWithoutAnotherSave)
{
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());
    file.saveResult = SaveResult::ListInconsistent;
    messages.AnswerNext(MessageAnswer::Ok);
    EXPECT_TRUE(session.RequestEnd());
    session.EndSession();
    EXPECT_EQ(file.saves.size(), 1u);
}

TEST_F(SessionControllerTest, DialogCommandsReachTheWindowsAndOthersAreIgnored)
{
    windows.login.Ok("pw");
    ASSERT_TRUE(session.StartSession());
    session.HandleMenuCommand(command::kAbout);
    session.HandleMenuCommand(command::kConfig);
    for (int other : {1, 2, 1006, command::kExit, command::kHelp})
    {
        session.HandleMenuCommand(other);
    }
    EXPECT_EQ(windows.aboutRuns, 1);
    EXPECT_EQ(windows.configRuns, 1);
    EXPECT_TRUE(file.saves.empty());
    EXPECT_EQ(file.loads.size(), 1u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SessionControllerTest, LockSavesFirstThenForgetsStoreAndPassword)
{
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.StartSession());
    store.AddEntry("FTP", "server", "", "anna", "topsecret", "");
    ASSERT_TRUE(session.Lock());
    ASSERT_EQ(file.saves.size(), 1u);
    EXPECT_EQ(file.saves[0].password, "geheim");
    EXPECT_TRUE(session.Locked());
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(session.CurrentPassword().empty());
    EXPECT_EQ(session.LegacySeed(), 42u) << "the seed of the empty password, nothing of the real one";
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SessionControllerTest, AFailedSaveKeepsTheSessionUnlocked)
{
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.StartSession());
    store.AddEntry("FTP", "server", "", "anna", "topsecret", "");
    const std::size_t count = store.GetCount();
    file.saveResult = WriteFailure(5);
    EXPECT_FALSE(session.Lock());
    EXPECT_FALSE(session.Locked());
    EXPECT_EQ(store.GetCount(), count);
    EXPECT_EQ(session.CurrentPassword(), "geheim");
}

TEST_F(SessionControllerTest, ALockedSessionSavesNothingWhateverTheUserDoes)
{
    const std::pair<const char*, std::function<void(SessionController&)>> ways[] = {
        {"Datei speichern", [](SessionController& s) { s.HandleMenuCommand(command::kFileSave); }},
        {"Datei speichern unter", [](SessionController& s) { s.HandleMenuCommand(command::kFileSaveAs); }},
        {"Konfliktkopien zusammenfuehren", [](SessionController& s) { s.HandleMenuCommand(command::kMergeCopies); }},
        {"Datei oeffnen", [](SessionController& s) { s.HandleMenuCommand(command::kFileOpen); }},
        {"Passwort aendern", [](SessionController& s) { s.HandleMenuCommand(command::kChangePassword); }},
        {"Config", [](SessionController& s) { s.HandleMenuCommand(command::kConfig); }},
        {"end requested", [](SessionController& s) { EXPECT_TRUE(s.RequestEnd()); }},
        {"window destroyed", [](SessionController& s) { s.EndSession(); }},
    };
    for (const auto& [name, act] : ways)
    {
        SCOPED_TRACE(name);
        MessageRecorder local;
        FakeSaveAsDialog saveAs;
        saveAs.answer = "/tmp/elsewhere.Kavelmark";
        settings.Write("Config", "MainEntryFile", "/home/anna/pw.Kavelmark");
        PasswordStore localStore;
        FakeWindows localWindows;
        FakeFile localFile;
        SessionController localSession(localStore, localWindows, localFile);
        localWindows.login.Ok("geheim");
        localWindows.login.Ok("geheim"); // for a password change, should one start
        ASSERT_TRUE(localSession.StartSession());
        ASSERT_TRUE(localSession.Lock());
        ASSERT_EQ(localFile.saves.size(), 1u);

        act(localSession);
        localSession.EndSession();
        EXPECT_EQ(localFile.saves.size(), 1u) << "only the lock's own save";
        EXPECT_EQ(localFile.loads.size(), 1u);
        EXPECT_TRUE(local.messages.empty());
        EXPECT_EQ(localWindows.configRuns, 0);
        EXPECT_TRUE(saveAs.shownNames.empty());
        EXPECT_EQ(settings.Read("Config", "MainEntryFile"), "/home/anna/pw.Kavelmark");
    }
}

TEST_F(SessionControllerTest, OnlyThePasswordThatOpensTheFileUnlocks)
{
    windows.login.Ok("geheim");
    ASSERT_TRUE(session.StartSession());
    ASSERT_TRUE(session.Lock());
    // A failed load may leave records behind (the real one adds the built-in categories).
    file.onLoad = [](PasswordStore& s) { s.AddEntry("FTP", "leftover", "", "", "", ""); };

    struct Case
    {
        const char* name;
        std::string typed; // empty: cancel
        LoadResult loadResult;
        bool unlocked;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"cancel", "", LoadResult::Loaded, false, {}},
        {"wrong password (the load says so)", "falsch", LoadResult::Refused, false, {}},
        {"damaged file", "geheim", LoadResult::Damaged, false, {}},
        {"file gone", "geheim", LoadResult::Missing, false, {kReloadFailedText}},
        {"right password", "geheim", LoadResult::Loaded, true, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MessageRecorder local;
        const std::size_t loadsBefore = file.loads.size();
        if (c.typed.empty())
        {
            windows.login.Cancel();
        }
        else
        {
            windows.login.Ok(c.typed);
            file.loadResults = {c.loadResult};
        }
        EXPECT_EQ(session.Unlock(), c.unlocked);
        EXPECT_EQ(session.Locked(), !c.unlocked);
        EXPECT_EQ(local.Texts(), c.messages);
        EXPECT_EQ(file.loads.size(), loadsBefore + (c.typed.empty() ? 0 : 1));
        if (!c.unlocked)
        {
            EXPECT_EQ(store.GetCount(), 0u);
            EXPECT_TRUE(session.CurrentPassword().empty());
        }
    }
    EXPECT_EQ(file.loads.back().first, "geheim");
    EXPECT_EQ(session.CurrentPassword(), "geheim");
    EXPECT_TRUE(session.FileOk());
    EXPECT_EQ(file.saves.size(), 1u);
    ASSERT_TRUE(session.RequestEnd());
    ASSERT_EQ(file.saves.size(), 2u);
    EXPECT_EQ(file.saves[1].password, "geheim");
}

TEST_F(SessionControllerTest, WithoutALoadedFileOnlyAStoreWithoutEntriesLocks)
{
    windows.login.Cancel();
    ASSERT_TRUE(session.StartSession());
    const std::size_t builtIn = store.GetCount();
    ASSERT_GT(builtIn, 0u);
    ASSERT_TRUE(session.Lock()) << "the built-in categories are nothing to lose";
    EXPECT_TRUE(file.saves.empty());
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SessionControllerTest, WithoutALoadedFileTypedEntriesKeepTheSessionUnlocked)
{
    windows.login.Cancel();
    ASSERT_TRUE(session.StartSession());
    store.AddEntry("FTP", "typed", "", "", "", "");
    const std::size_t count = store.GetCount();
    EXPECT_FALSE(session.Lock());
    EXPECT_FALSE(session.Locked());
    EXPECT_TRUE(file.saves.empty());
    EXPECT_EQ(store.GetCount(), count);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!"});
}

} // namespace
} // namespace kavelmark

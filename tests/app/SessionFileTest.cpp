// The session against real password files in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/SessionController.h"
#include "crypto/CipherEngine.h"
#include "file/LoadSave.h"
#include "platform/CommandIds.h"
#include "settings/Settings.h"
#include "support/FakeLogin.h"
#include "support/FakeSaveAsDialog.h"
#include "support/MessageRecorder.h"
#include "support/ScriptedWindows.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::FakeLoginDialog;
using testing::FakeSaveAsDialog;
using testing::LoginScript;
using testing::MessageRecorder;

constexpr const char* kNotOk = "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!";

// A V0.2 file as its version wrote it: magic, scrambled tag, count, scrambled records.
std::string V02File(const std::string& password, const std::string& record)
{
    auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    LegacyScramble scramble(ComputeLegacySeed(password));
    SecureString tag = scramble.Apply("4t8x\xE4p.\xF6*k7(]%-?");
    SecureString text = scramble.Apply(record);
    return u32(16) + "Kavelmark V0.2  " + u32(16) + std::string(tag.begin(), tag.end()) + u32(1) +
           u32(static_cast<std::uint32_t>(record.size())) + std::string(text.begin(), text.end());
}

using Windows = testing::ScriptedWindows;

class SessionFileTest : public ::testing::Test
{
protected:
    SessionFileTest()
    {
        std::random_device random;
        folder = fs::temp_directory_path() / ("kavelmark-session-" + std::to_string(random()));
        fs::create_directories(folder);
        file = folder / "pw.Kavelmark";
        settings.Write("Config", "MainEntryFile", file.string());
    }
    ~SessionFileTest() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    static std::string Bytes(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Runs a whole session: login with `password`, `during` while it is open, then the end.
    // The password is given a second time for a new file, and with confirm, as an old file's load
    // asks for it.
    bool RunSession(const std::string& password,
                    const std::function<void(SessionController&, PasswordStore&)>& during = {}, bool confirm = false)
    {
        PasswordStore store;
        Windows windows;
        if (password.empty())
        {
            windows.login.Cancel();
        }
        else
        {
            windows.login.Ok(password);
            if (confirm || !fs::exists(file))
            {
                windows.login.Ok(password);
            }
        }
        SessionController session(store, windows);
        bool started = session.StartSession();
        if (started && during)
        {
            during(session, store);
        }
        if (started)
        {
            session.RequestEnd();
        }
        session.EndSession();
        return started;
    }

    // Whether the file opens with this password, without any message.
    bool Opens(const std::string& password)
    {
        MessageRecorder quiet;
        PasswordStore store;
        Windows windows;
        windows.login.Ok(password);
        SessionController session(store, windows);
        return session.StartSession() && quiet.messages.empty();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scoped{settings};
    fs::path folder;
    fs::path file;
};

TEST_F(SessionFileTest, FirstStartCreatesTheFileAtOnce)
{
    MessageRecorder messages;
    PasswordStore store;
    Windows windows;
    windows.login.Ok("geheim");
    windows.login.Ok("geheim");
    SessionController session(store, windows);
    ASSERT_TRUE(session.StartSession());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Ladefehler");
    EXPECT_EQ(Bytes(file).size(), 440u) << "built-in categories only, written before the window shows";
    EXPECT_TRUE(session.FileOk());
    EXPECT_TRUE(Opens("geheim"));
}

TEST_F(SessionFileTest, ANewFileIsWrittenOnlyOnceItsPasswordWasTypedTheSameTwice)
{
    MessageRecorder messages;
    PasswordStore store;
    Windows windows;
    int existedAtTheRepetition = 0;
    windows.login.whileOpen = [&]
    {
        if (windows.login.prompts.back() == kNewFilePasswordPrompt && fs::exists(file))
        {
            ++existedAtTheRepetition;
        }
    };
    windows.login.Ok("geheim");
    windows.login.Ok("gehiem");
    windows.login.Ok("geheim");
    windows.login.Cancel();
    SessionController session(store, windows);
    ASSERT_TRUE(session.StartSession());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(existedAtTheRepetition, 0);
    EXPECT_EQ(windows.login.prompts.size(), 4u) << "login, repetition, login again, repetition cancelled";
    EXPECT_EQ(messages.Texts()[1], "Die neuen Kennwörter stimmt nicht überein!");
    session.EndSession();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 0);

    EXPECT_TRUE(RunSession("geheim"));
    EXPECT_TRUE(Opens("geheim"));
    EXPECT_FALSE(Opens("gehiem"));
}

TEST_F(SessionFileTest, CancelledLoginWritesNothing)
{
    MessageRecorder messages;
    EXPECT_TRUE(RunSession("", [](SessionController& session, PasswordStore&)
                           { session.HandleMenuCommand(command::kFileSave); }));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, kNotOk);
    EXPECT_EQ(messages.messages[1].text, kNotOk);
}

TEST_F(SessionFileTest, WrongPasswordLeavesTheFileUntouched)
{
    ASSERT_TRUE(RunSession("richtig", [](SessionController& session, PasswordStore&)
                           { session.HandleMenuCommand(command::kFileSave); }));
    const std::string before = Bytes(file);

    MessageRecorder messages;
    EXPECT_FALSE(RunSession("falsch"));
    EXPECT_EQ(Bytes(file), before);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "Das Passwort ist falsch!");
    EXPECT_EQ(messages.messages[1].text, kNotOk);
}

TEST_F(SessionFileTest, ReloadOfAMissingFileCreatesNothingAndBlocksSaving)
{
    MessageRecorder messages;
    ASSERT_TRUE(RunSession("pw",
                           [&](SessionController& session, PasswordStore&)
                           {
                               fs::remove(file);
                               session.HandleMenuCommand(command::kFileOpen);
                               EXPECT_FALSE(session.FileOk());
                               session.HandleMenuCommand(command::kFileSave);
                           }));
    EXPECT_FALSE(fs::exists(file));
    std::vector<std::string> texts;
    for (const auto& message : messages.messages)
    {
        texts.push_back(message.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Die Passwortdatei konnte nicht geladen werden,\nes wird eine leere angelegt!",
                                        "Beim Laden der Passwortdatei ist ein Fehler aufgetreten!", kNotOk, kNotOk}));
}

TEST_F(SessionFileTest, SaveAsWritesTheNewFileAndLeavesTheOldOne)
{
    ASSERT_TRUE(RunSession("pw"));
    const std::string before = Bytes(file);
    const fs::path copy = folder / "copy.Kavelmark";

    FakeSaveAsDialog dialog;
    ASSERT_TRUE(RunSession("pw",
                           [&](SessionController& session, PasswordStore& store)
                           {
                               store.AddEntry("FTP", "server", "$1", "anna", "x", "ftp.example");
                               session.HandleMenuCommand(command::kFileSaveAs); // cancelled
                               EXPECT_EQ(settings.Read("Config", "MainEntryFile"), file.string());
                               EXPECT_EQ(Bytes(file), before);
                               dialog.answer = copy.string();
                               session.HandleMenuCommand(command::kFileSaveAs);
                               EXPECT_EQ(settings.Read("Config", "MainEntryFile"), copy.string());
                               EXPECT_EQ(Bytes(file), before);
                               EXPECT_TRUE(fs::exists(copy));
                           }));
    EXPECT_EQ(Bytes(file), before);
    EXPECT_GT(Bytes(copy).size(), before.size());
}

TEST_F(SessionFileTest, ChangedPasswordIsTheOnlyOneThatOpensTheSavedFile)
{
    ASSERT_TRUE(RunSession("alt"));

    PasswordStore store;
    Windows windows;
    windows.login.Ok("alt");
    windows.login.Ok("alt");
    windows.login.Ok("neu");
    windows.login.Ok("neu");
    SessionController session(store, windows);
    ASSERT_TRUE(session.StartSession());
    session.HandleMenuCommand(command::kChangePassword);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_TRUE(Opens("neu"));
    EXPECT_FALSE(Opens("alt"));
}

TEST_F(SessionFileTest, FailedSaveAtTheEndNeedsConfirmationToLoseTheChanges)
{
    ASSERT_TRUE(RunSession("pw"));
    MessageRecorder messages;
    PasswordStore store;
    Windows windows;
    windows.login.Ok("pw");
    SessionController session(store, windows);
    ASSERT_TRUE(session.StartSession());
    settings.Write("Config", "MainEntryFile", (folder / "missing" / "pw.Kavelmark").string());

    messages.AnswerNext(MessageAnswer::Ok);     // the save's own message
    messages.AnswerNext(MessageAnswer::Cancel); // keep the window
    EXPECT_FALSE(session.RequestEnd());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].buttons, MessageButtons::OkCancelDefaultCancel);

    settings.Write("Config", "MainEntryFile", (folder / "elsewhere.Kavelmark").string());
    EXPECT_TRUE(session.RequestEnd());
    session.EndSession();
    EXPECT_TRUE(fs::exists(folder / "elsewhere.Kavelmark"));
}

TEST_F(SessionFileTest, AV02FileIsConvertedOnlyAfterTheLoginWindowConfirmedThePassword)
{
    const std::string record = "_E__|_FTP_|_server_|__|_anna_|_x_|_ftp.example_|_";
    // The same seed modulo 256 as the real password: it passes the V0.2 check.
    const std::string real = "Pässwort";
    const std::string typo = "PässworT";
    const std::string original = V02File("P\xE4sswort", record);

    {
        std::ofstream(file, std::ios::binary) << original;
        MessageRecorder messages;
        PasswordStore store;
        Windows windows;
        windows.login.Ok("P\xE4ssworT");
        windows.login.Ok("P\xE4sswort");
        SessionController session(store, windows);
        EXPECT_FALSE(session.StartSession()) << typo << " then " << real;
        EXPECT_EQ(windows.login.prompts, (std::vector<std::string>{"Bitte geben Sie Ihr Kennwort ein.",
                                                                   "Bitte geben Sie Ihr Kennwort zur Bestätigung "
                                                                   "noch einmal ein."}));
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "Das Passwort ist falsch!");
        session.EndSession();
        EXPECT_EQ(Bytes(file), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    {
        Windows windows;
        windows.login.Ok("P\xE4sswort");
        windows.login.Ok("P\xE4sswort");
        PasswordStore store;
        SessionController session(store, windows);
        ASSERT_TRUE(session.StartSession());
        EXPECT_EQ(windows.login.prompts.size(), 2u);
        ASSERT_TRUE(session.RequestEnd());
        session.EndSession();
        EXPECT_EQ(Bytes(fs::path(file.string() + ".old_1")), original);
    }
    // Converted: the V0.3 file is not asked for twice, and holds the record.
    Windows windows;
    windows.login.Ok("P\xE4sswort");
    PasswordStore store;
    SessionController session(store, windows);
    ASSERT_TRUE(session.StartSession());
    EXPECT_EQ(windows.login.prompts.size(), 1u);
    EXPECT_EQ(std::string(store.GetAt(store.GetHeadPosition()).begin(), store.GetAt(store.GetHeadPosition()).end()),
              record);
}

TEST_F(SessionFileTest, AV02FileFoundAtUnlockAsksForThePasswordAgainLikeAtTheStart)
{
    Windows windows;
    PasswordStore store;
    SessionController session(store, windows);
    MessageRecorder messages;
    windows.login.Ok("P\xE4sswort");
    windows.login.Ok("P\xE4sswort");
    ASSERT_TRUE(session.StartSession()); // no file yet: it is made at once
    ASSERT_TRUE(session.Lock());
    // Meanwhile an old copy came back in its place.
    const std::string old = V02File("P\xE4sswort", "_E__|_FTP_|_server_|__|_anna_|_x_|_ftp.example_|_");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << old;
    const std::string confirm = kConfirmPasswordPrompt;

    // Same seed modulo 256 as the real password, so it passes the V0.2 check; only the
    // confirmation tells them apart.
    windows.login.Ok("P\xE4ssworT");
    windows.login.Ok("P\xE4sswort");
    EXPECT_FALSE(session.Unlock());
    EXPECT_TRUE(session.Locked());
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_EQ(Bytes(file), old);
    EXPECT_EQ(windows.login.prompts.back(), confirm);

    windows.login.Ok("P\xE4sswort");
    windows.login.Ok("P\xE4sswort");
    ASSERT_TRUE(session.Unlock());
    EXPECT_EQ(windows.login.prompts.back(), confirm);
    EXPECT_TRUE(store.FindEntryByDisplayName("server"));
    EXPECT_EQ(Bytes(fs::path(file.string() + ".old_1")), old);
    ASSERT_TRUE(session.RequestEnd());
    session.EndSession();
}

} // namespace
} // namespace kavelmark

namespace kavelmark
{
namespace
{

// New files and converted old ones take the format the user last chose; an existing file keeps
// its own.
TEST_F(SessionFileTest, ANewOrConvertedFileTakesTheChosenFormatAndAFileKeepsItsOwn)
{
    const Argon2idCost previousCost = SetV04WriteCost({64, 1, 1});
    auto magicOf = [&](const fs::path& path) { return Bytes(path).substr(4, 16); };
    struct Case
    {
        const char* name;
        bool oldFile;
        const char* choice;
        const char* magic;
    };
    const Case cases[] = {
        {"new file, nothing chosen", false, nullptr, "Kavelmark V0.3  "},
        {"new file, V0.4 chosen", false, "1", "Kavelmark V0.4  "},
        {"V0.2 file, V0.4 chosen", true, "1", "Kavelmark V0.4  "},
        {"V0.2 file, V0.3 chosen", true, "0", "Kavelmark V0.3  "},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        settings.Erase("Config", "HardenedFormat");
        if (c.choice)
        {
            settings.Write("Config", "HardenedFormat", c.choice);
        }
        if (c.oldFile)
        {
            std::ofstream(file, std::ios::binary) << V02File("pw", "_E__|_ Hmm?_|_a_|_b_|_1_|_2_|_3_|_");
        }
        ASSERT_TRUE(RunSession("pw", {}, c.oldFile));
        EXPECT_EQ(magicOf(file), c.magic);
        // The file keeps its format when the choice for new files says otherwise.
        settings.Write("Config", "HardenedFormat", std::string(c.magic).find("V0.4") != std::string::npos ? "0" : "1");
        ASSERT_TRUE(RunSession("pw"));
        EXPECT_EQ(magicOf(file), c.magic);
    }
    SetV04WriteCost(previousCost);
    SetMainFileFormat(FileFormat::V03);
}

} // namespace
} // namespace kavelmark

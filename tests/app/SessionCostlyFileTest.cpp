// A V0.4 file that demands far more memory and time than this program spends on a key is derived
// only after the user agreed, once per version of the file, never by itself on a change in the
// folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/CostQuestion.h"
#include "crypto/KeyDerivation.h"
#include "file/FileTexts.h"
#include "support/MessageRecorder.h"
#include "support/SyncSessionFixture.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

TEST(CostQuestionTextTest, NamesTheMemoryAndARoughTime)
{
    struct Case
    {
        Argon2idCost cost;
        const char* text;
    };
    const Case cases[] = {
        {{1048576, 64, 16},
         "Diese Datei verlangt zum Öffnen 1.024 MiB Speicher und etwa 90 Sekunden Rechenzeit. Trotzdem öffnen?"},
        {{262144, 16, 4},
         "Diese Datei verlangt zum Öffnen 256 MiB Speicher und etwa 6 Sekunden Rechenzeit. Trotzdem öffnen?"},
        {{64, 5, 1}, "Diese Datei verlangt zum Öffnen 1 MiB Speicher und etwa 1 Sekunde Rechenzeit. Trotzdem öffnen?"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(CostQuestionText(c.cost), c.text);
    }
}

// The ceiling follows the cost written (64 KiB, one pass): 64 KiB at five passes is above it.
class SessionCostlyFileTest : public testing::SyncSessionFixture
{
protected:
    SessionCostlyFileTest()
    {
        previousRunner = SetDerivationRunner(
            [this](const std::function<bool()>& work)
            {
                ++derivations;
                return work();
            });
    }
    ~SessionCostlyFileTest() override
    {
        SetDerivationRunner(previousRunner);
    }

    // Written as another program would; what its writer derived is not counted.
    void WriteCostly(const std::string& path, const std::string& password, const std::vector<std::string>& entries)
    {
        WriteV04Elsewhere(path, password, entries, kCostly);
        derivations = 0;
    }

    static constexpr Argon2idCost kCostly{64, 5, 1};
    const std::string question = CostQuestionText(kCostly);
    DerivationRunner previousRunner;
    int derivations = 0;
};

TEST_F(SessionCostlyFileTest, AVersionOnTheWatchIsDerivedOnlyAfterTheQuestionAndEachVersionAskedOnce)
{
    Start({"a=1"}, FileFormat::V03);
    MessageRecorder messages;
    WriteCostly(file, "eins", {"a=1", "b=1"});
    messages.AnswerNext(MessageAnswer::Cancel);
    session.FileChangedOnDisk();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, question);
    EXPECT_EQ(messages.messages[0].caption, kCostlyFileCaption);
    EXPECT_EQ(messages.messages[0].buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_EQ(derivations, 0);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"}));
    // Declined: the same version is not asked about again.
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(derivations, 0);

    // A new version is; agreed, it costs one derivation.
    WriteCostly(file, "eins", {"a=1", "c=1"});
    messages.AnswerNext(MessageAnswer::Ok);
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(derivations, 1);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "c=1"}));
    EXPECT_EQ(windows.login.prompts.size(), 1u); // the login at the start alone
}

TEST_F(SessionCostlyFileTest, AVersionUnderAnotherPasswordCostsOneDerivationNotOnePerPasswordTried)
{
    Start({"a=1"}, FileFormat::V03);
    MessageRecorder messages;
    WriteCostly(file, "zwei", {"a=1", "b=1"});
    windows.login.Ok("zwei");
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{question, kWrongPasswordText}));
    EXPECT_EQ(derivations, 1);
    EXPECT_EQ(windows.login.prompts.size(), 1u);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1"}));
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(derivations, 1);
}

TEST_F(SessionCostlyFileTest, AConflictCopyIsDerivedOnlyAfterTheQuestion)
{
    Start({"a=1"}, FileFormat::V03);
    const std::string copy = dir / "pw.sync-conflict-20261211-101500-ABCDEFG.Kavelmark";
    MessageRecorder messages;
    WriteCostly(copy, "eins", {"a=1", "theirs=1"});
    messages.AnswerNext(MessageAnswer::Ok);     // merge the copy
    messages.AnswerNext(MessageAnswer::Cancel); // but not at that cost
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kConflictCopyQuestion + copy, question}));
    EXPECT_EQ(derivations, 0);
    EXPECT_TRUE(std::filesystem::exists(copy));
    session.FileChangedOnDisk();
    EXPECT_EQ(messages.messages.size(), 2u);
}

TEST_F(SessionCostlyFileTest, TheLoginAsksBeforeItDerives)
{
    struct Case
    {
        MessageAnswer answer;
        bool opened;
        int derivations;
    };
    for (const Case& c : {Case{MessageAnswer::Cancel, false, 0}, Case{MessageAnswer::Ok, true, 1}})
    {
        SessionController fresh{store, windows};
        WriteCostly(file, "eins", {"a=1"});
        MessageRecorder messages;
        messages.AnswerNext(c.answer);
        windows.login.Ok("eins");
        EXPECT_EQ(fresh.StartSession(), c.opened);
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>{question}));
        EXPECT_EQ(derivations, c.derivations);
        EXPECT_EQ(EntriesOf(store), c.opened ? std::vector<std::string>{"a=1"} : std::vector<std::string>{});
    }
}

} // namespace
} // namespace kavelmark

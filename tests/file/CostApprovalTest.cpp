// A V0.4 file that asks for far more than this program spends on a key is derived only once the
// installed approver agreed; without one it is read as always.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/KeyDerivation.h"
#include "file/CostApproval.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "file/V04Support.h"
#include "support/PasswordFileFixture.h"

namespace kavelmark
{
namespace
{

using testing::BodyPlain;
using testing::V04File;
using testing::V04Head;
using testing::WriteBytes;

TEST(V04CostCeilingTest, AboveFourTimesTheWrittenMemoryOrTheWrittenMemoryTimesPasses)
{
    const Argon2idCost written{65536, 3, 4};
    struct Case
    {
        Argon2idCost cost;
        bool above;
    };
    const Case cases[] = {
        {{65536, 3, 4}, false},    {{262144, 3, 16}, false}, // 256 MiB, 3 passes: four times both, not above
        {{262145, 1, 1}, true},                              // one KiB more memory than four times
        {{65536, 12, 1}, false},                             // 786,432 KiB passes: four times 196,608
        {{65536, 13, 1}, true},                              // 851,968
        {{131072, 7, 4}, true},                              // half the memory ceiling, 917,504 KiB passes
        {{8, 64, 1}, false},                                 // the most passes over the least memory
        {{1048576, 64, 16}, true},                           // the most the reader takes
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(V04CostAboveCeiling(c.cost, written), c.above)
            << c.cost.memoryKiB << " KiB, " << c.cost.passes << " passes";
    }
}

// Every derivation is counted; the approver answers as told and notes what it was asked.
class CostApprovalTest : public testing::PasswordFileFixture
{
protected:
    void SetUp() override
    {
        PasswordFileFixture::SetUp();
        // The ceiling follows the cost written: 256 KiB, or 256 KiB passes.
        defaultCost = SetV04WriteCost({64, 1, 1});
        previousRunner = SetDerivationRunner(
            [this](const std::function<bool()>& work)
            {
                ++derivations;
                return work();
            });
    }
    void TearDown() override
    {
        SetCostApprover(nullptr);
        SetDerivationRunner(previousRunner);
        SetV04WriteCost(defaultCost);
        // Each load here made the main file's format V0.4.
        SetMainFileFormat(FileFormat::V03);
        PasswordFileFixture::TearDown();
    }

    void InstallApprover(bool answer)
    {
        SetCostApprover(
            [this, answer](const Argon2idCost& cost)
            {
                asked.push_back(cost);
                return answer;
            });
    }

    void WriteFileAt(const V04Head& head)
    {
        WriteBytes(path, V04File("Kennwort", BodyPlain(records, 1), head));
        derivations = 0; // the writer above derived
    }

    const std::vector<std::string> records = {"_E__|_FTP_|_a_|_1_|_b_|_c_|_d_|_"};
    Argon2idCost defaultCost;
    DerivationRunner previousRunner;
    int derivations = 0;
    std::vector<Argon2idCost> asked;
};

TEST_F(CostApprovalTest, ACostlyFileIsNotDerivedWhenTheApproverSaysNoByLoadOrAsAnotherFile)
{
    WriteFileAt({60, 1, 64, 5, 1}); // 320 KiB passes
    InstallApprover(false);

    EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Refused);
    EXPECT_EQ(testing::Records(store), (std::vector<std::string>{}));
    PasswordStore other;
    OtherFileRead read;
    EXPECT_EQ(ReadOtherFile(path, ToSecure("Kennwort"), other, read, true), LoadResult::Refused);

    EXPECT_EQ(derivations, 0);
    EXPECT_EQ(asked, (std::vector<Argon2idCost>{{64, 5, 1}, {64, 5, 1}}));
    // Declined is no wrong password: nothing is said.
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CostApprovalTest, ACostlyFileIsDerivedOnceApprovedAndACheapOneWithoutAsking)
{
    struct Case
    {
        V04Head head;
        bool costly;
    };
    const Case cases[] = {
        {{60, 1, 64, 5, 1}, true},
        {{60, 1, 512, 1, 1}, true}, // memory above the ceiling
        {{60, 1, 64, 4, 4}, false}, // at the ceiling
        {{60, 1, 256, 1, 1}, false},
    };
    InstallApprover(true);
    for (const Case& c : cases)
    {
        WriteFileAt(c.head);
        asked.clear();
        EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Loaded) << c.head.memoryKiB << "/" << c.head.passes;
        PasswordStore other;
        OtherFileRead read;
        EXPECT_EQ(ReadOtherFile(path, ToSecure("Kennwort"), other, read, true), LoadResult::Loaded);
        EXPECT_EQ(derivations, 2);
        EXPECT_EQ(asked.size(), c.costly ? 2u : 0u) << c.head.memoryKiB << "/" << c.head.passes;
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CostApprovalTest, WithoutAnApproverEveryReadableCostIsDerivedAsBefore)
{
    WriteFileAt({60, 1, 64, 5, 1});
    EXPECT_EQ(LoadWith("Kennwort"), LoadResult::Loaded);
    EXPECT_EQ(derivations, 1);
}

} // namespace
} // namespace kavelmark

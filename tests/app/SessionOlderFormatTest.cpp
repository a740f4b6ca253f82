// A V0.3 version that an older program elsewhere wrote does not turn a hardened file back: the
// session keeps writing V0.4 and says once that an older version arrived.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "platform/CommandIds.h"
#include "settings/SettingsNames.h"
#include "support/MessageRecorder.h"
#include "support/SyncSessionFixture.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

constexpr const char* kV03Magic = "Kavelmark V0.3  ";
constexpr const char* kV04Magic = "Kavelmark V0.4  ";

class SessionOlderFormatTest : public testing::SyncSessionFixture
{
};

TEST_F(SessionOlderFormatTest, AHardenedFileStaysHardenedThroughReloadsAndMergesOfV03Versions)
{
    Start({"a=1"}, FileFormat::V04);
    MessageRecorder messages;

    // Reloaded at once, twice: saved as V0.4 each time.
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1"});
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "b=1"}));
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), kV04Magic);
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1", "c=1"});
    session.FileChangedOnDisk();
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "b=1", "c=1"}));
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), kV04Magic);

    // Merged at a save with unsaved changes.
    store.AddEntry("FTP", "mine", "", "1", "", "");
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1", "c=1", "d=1"});
    messages.AnswerNext(MessageAnswer::Merge);
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), kV04Magic);
    EXPECT_EQ(EntriesOf(store), (std::vector<std::string>{"a=1", "b=1", "c=1", "mine=1", "d=1"}));

    int told = 0;
    for (const testing::RecordedMessage& message : messages.messages)
    {
        told += message.text == kOlderFormatArrivedText ? 1 : 0;
    }
    EXPECT_EQ(told, 1);
    EXPECT_EQ(messages.messages.front().text, kOlderFormatArrivedText);
    EXPECT_EQ(messages.messages.front().caption, kFormatCaption);
}

TEST_F(SessionOlderFormatTest, AReloadedV03VersionIsAnUnsavedChangeUntilTheSaveHardensIt)
{
    Start({"a=1"}, FileFormat::V04);
    MessageRecorder messages;
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1"});
    session.FileChangedOnDisk();
    EXPECT_TRUE(session.HoldsUnsavedChanges());
    EXPECT_TRUE(session.RequestEnd());
    EXPECT_EQ(MagicOnDisk(), kV04Magic);
}

TEST_F(SessionOlderFormatTest, AV03FileWithoutTheHardenedSettingStaysV03Silently)
{
    Start({"a=1"}, FileFormat::V03);
    MessageRecorder messages;
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1"});
    session.FileChangedOnDisk();
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), kV03Magic);
    EXPECT_TRUE(messages.messages.empty());

    // With the hardened setting (the file was turned back before this session began), a V0.3
    // version that arrives is written hardened.
    Settings::Set(settings::kHardenedFormatSetting, 1);
    WriteV03Elsewhere(file, "eins", {"a=1", "b=1", "c=1"});
    session.FileChangedOnDisk();
    session.HandleMenuCommand(command::kFileSave);
    EXPECT_EQ(MagicOnDisk(), kV04Magic);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kOlderFormatArrivedText}));
}

} // namespace
} // namespace kavelmark

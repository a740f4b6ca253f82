#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "layout/Placement.h"

namespace kavelmark
{
namespace
{

// A window on a 1024 x 768 screen whose task bar takes the bottom 28 pixels.
class FakePlacementWindow final : public PlacementWindow
{
public:
    WindowPlacement GetPlacement() const override
    {
        return placement;
    }
    void SetPlacement(const WindowPlacement& value) override
    {
        placement = value;
        ++applied;
    }
    LayoutRect WindowRect() const override
    {
        return placement.normal;
    }
    void MoveWindow(const LayoutRect& rect, bool repaint) override
    {
        placement.normal = rect;
        moves.push_back({rect, repaint});
    }
    bool IsMainWindow() const override
    {
        return mainWindow;
    }
    LayoutRect ScreenRect() const override
    {
        return {0, 0, 1024, 768};
    }
    LayoutRect WorkArea() const override
    {
        return {0, 0, 1024, 740};
    }
    LayoutRect FrameMargins() const override
    {
        return frame;
    }

    struct Move
    {
        LayoutRect rect;
        bool repaint;
    };

    WindowPlacement placement{44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, {0, 0, 400, 300}};
    bool mainWindow = false;
    LayoutRect frame; // none: the normal rectangle is the whole window
    int applied = 0;
    std::vector<Move> moves;
};

constexpr std::uint32_t kPositionAndSize = LF_SAVE_POSITION | LF_SAVE_SIZE;
const std::string kKey = "DlgPos_Test";

class PlacementTest : public ::testing::Test
{
protected:
    void Store(int showCmd, LayoutRect rect)
    {
        FakePlacementWindow saved;
        saved.placement.showCmd = showCmd;
        saved.placement.normal = rect;
        ASSERT_TRUE(SavePlacement(&saved, kKey));
    }

    InMemorySettingsBackend backend;
    ScopedSettingsBackend scoped{backend};
    FakePlacementWindow window;
};

TEST_F(PlacementTest, SaveWritesTheTenValues)
{
    window.placement = {44, 2, SW_SHOWMAXIMIZED, 10, 11, 12, 13, {100, 50, 500, 350}};
    ASSERT_TRUE(SavePlacement(&window, kKey));
    const std::pair<const char*, const char*> expected[] = {
        {"ShowCmd", "3"},       {"Flags", "2"},  {"MinPositionX", "10"}, {"MinPositionY", "11"}, {"MaxPositionX", "12"},
        {"MaxPositionY", "13"}, {"Left", "100"}, {"Top", "50"},          {"Right", "500"},       {"Bottom", "350"},
    };
    EXPECT_EQ(backend.Values().size(), 10u);
    for (const auto& [name, value] : expected)
    {
        EXPECT_EQ(backend.Read(kKey, name), std::optional<std::string>(value)) << name;
    }
}

TEST_F(PlacementTest, FirstStartCentresTheWindowAtItsCurrentSize)
{
    EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 1), 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{312, 234, 712, 534}));
    EXPECT_TRUE(window.moves.empty()); // the size counts as restored
}

TEST_F(PlacementTest, WithoutSavedSizeTheLayoutIsForcedByAOnePixelMove)
{
    EXPECT_EQ(RestorePlacement(&window, kKey, LF_SAVE_POSITION, 1), 0);
    ASSERT_EQ(window.moves.size(), 2u);
    EXPECT_EQ(window.moves[0].rect, (LayoutRect{312, 234, 711, 534}));
    EXPECT_FALSE(window.moves[0].repaint);
    EXPECT_EQ(window.moves[1].rect, (LayoutRect{312, 234, 712, 534}));
    EXPECT_TRUE(window.moves[1].repaint);
}

TEST_F(PlacementTest, SavedPlacementComesBack)
{
    Store(SW_SHOWNORMAL, {100, 80, 700, 480});
    EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 1), 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{100, 80, 700, 480}));

    // Position only: the window keeps its size.
    FakePlacementWindow other;
    EXPECT_EQ(RestorePlacement(&other, kKey, LF_SAVE_POSITION, 1), 0);
    EXPECT_EQ(other.placement.normal, (LayoutRect{100, 80, 500, 380}));
}

TEST_F(PlacementTest, LeftOfMinus1000CountsAsMissingAndCentres)
{
    Store(SW_SHOWNORMAL, {100, 80, 700, 480});
    Settings::SetInt(kKey, "Left", -1000);
    RestorePlacement(&window, kKey, kPositionAndSize, 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{312, 234, 700, 480}));

    // Mode 0 applies what is stored without centring: far off the screen, it is ignored.
    FakePlacementWindow plain;
    RestorePlacement(&plain, kKey, LF_SAVE_POSITION, 0);
    EXPECT_EQ(plain.placement.normal, (LayoutRect{0, 0, 400, 300}));
}

TEST_F(PlacementTest, ModeThreeAnswersTwoWhenNothingIsStored)
{
    EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 3), 2);
    EXPECT_EQ(window.applied, 0);

    Settings::SetInt(kKey, "MinPositionX", 4001);
    EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 3), 2);

    Store(SW_SHOWNORMAL, {100, 80, 700, 480});
    EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 3), 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{100, 80, 700, 480}));
}

TEST_F(PlacementTest, ShowCommandRules)
{
    struct Case
    {
        int saved;
        int current;
        bool mainWindow;
        int expected;
    };
    const Case cases[] = {
        {SW_MINIMIZE, SW_SHOWNORMAL, false, SW_RESTORE},
        {SW_MINIMIZE, SW_MINIMIZE, false, SW_MINIMIZE},
        {SW_SHOWMINIMIZED, SW_SHOWNORMAL, true, SW_SHOWNORMAL},
        {SW_SHOWMINIMIZED, SW_SHOWNORMAL, false, SW_SHOWMINIMIZED},
        {SW_SHOWNORMAL, SW_SHOWMAXIMIZED, false, SW_SHOWMAXIMIZED},
        {SW_SHOWMAXIMIZED, SW_SHOWNORMAL, false, SW_SHOWMAXIMIZED},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.saved << " over " << c.current);
        Store(c.saved, {100, 80, 700, 480});
        FakePlacementWindow target;
        target.placement.showCmd = c.current;
        target.mainWindow = c.mainWindow;
        RestorePlacement(&target, kKey, kPositionAndSize, 1);
        EXPECT_EQ(target.placement.showCmd, c.expected);
    }
}

TEST_F(PlacementTest, RectangleIsFittedToTheWorkArea)
{
    struct Case
    {
        LayoutRect saved;
        LayoutRect expected;
    };
    const Case cases[] = {
        // Wider than the work area: at its left edge, the part beyond the left is lost.
        {{-100, 10, 1100, 300}, {0, 10, 1024, 300}},
        // Partly below and right: moved in whole.
        {{900, 600, 1200, 800}, {724, 540, 1024, 740}},
        // Partly above and left: moved in whole.
        {{-50, -20, 250, 180}, {0, 0, 300, 200}},
        // Edges saved the wrong way round are normalised.
        {{700, 480, 100, 80}, {100, 80, 700, 480}},
        // Taller than the work area: top kept at the top.
        {{10, -10, 310, 800}, {10, 0, 310, 740}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.saved.left << "," << c.saved.top);
        Store(SW_SHOWNORMAL, c.saved);
        FakePlacementWindow target;
        RestorePlacement(&target, kKey, kPositionAndSize, 1);
        EXPECT_EQ(target.placement.normal, c.expected);
    }
}

TEST_F(PlacementTest, TheWholeWindowWithItsFrameIsFittedAndCentred)
{
    // A frame of 8 left, 4 right and bottom, and a title bar making the top 30.
    const LayoutRect frame{8, 30, 4, 4};

    // First start: the window with its frame is 412 x 334; (1024 - 412) / 2 + 8 = 314,
    // (768 - 334) / 2 + 30 = 247.
    window.frame = frame;
    RestorePlacement(&window, kKey, kPositionAndSize, 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{314, 247, 714, 547}));

    struct Case
    {
        const char* name;
        LayoutRect saved;
        LayoutRect expected;
    };
    const Case cases[] = {
        // Only the title bar above the work area: moved down by 20 so that it shows.
        {"title bar above", {100, 10, 400, 310}, {100, 30, 400, 330}},
        // Window 312 x 234 with its frame, its left and top edges moved to 0.
        {"above and left", {-50, -20, 250, 180}, {8, 30, 308, 230}},
        // Right frame edge at 1024, bottom frame edge at 740.
        {"below and right", {900, 600, 1200, 800}, {720, 536, 1020, 736}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Store(SW_SHOWNORMAL, c.saved);
        FakePlacementWindow target;
        target.frame = frame;
        RestorePlacement(&target, kKey, kPositionAndSize, 1);
        EXPECT_EQ(target.placement.normal, c.expected);
    }
}

TEST_F(PlacementTest, RectangleWhollyOutsideIsIgnored)
{
    Store(SW_MINIMIZE, {2000, 2000, 2400, 2300});
    window.placement.normal = {10, 20, 410, 320};
    RestorePlacement(&window, kKey, kPositionAndSize, 1);
    EXPECT_EQ(window.placement.normal, (LayoutRect{10, 20, 410, 320}));
    EXPECT_EQ(window.placement.showCmd, SW_SHOWNORMAL);
}

TEST_F(PlacementTest, NothingHappensWithoutWindowKeyOrSettings)
{
    EXPECT_FALSE(SavePlacement(nullptr, kKey));
    EXPECT_FALSE(SavePlacement(&window, ""));
    EXPECT_EQ(RestorePlacement(nullptr, kKey, kPositionAndSize, 3), 0);
    EXPECT_EQ(RestorePlacement(&window, "", kPositionAndSize, 3), 0);
    {
        Settings::SetBackend(nullptr);
        EXPECT_FALSE(SavePlacement(&window, kKey));
        EXPECT_EQ(RestorePlacement(&window, kKey, kPositionAndSize, 3), 0);
        Settings::SetBackend(&backend);
    }
    EXPECT_EQ(window.applied, 0);
    EXPECT_TRUE(backend.Values().empty());
}

} // namespace
} // namespace kavelmark

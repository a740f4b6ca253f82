#include <gtest/gtest.h>

#include "layout/FakeLayoutWindow.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using testing::FakeWindow;
using testing::LayoutFixture;

// Origin of the outermost pane's content: the root's left and top borders count twice.
constexpr int kX0 = 4;
constexpr int kY0 = 6;

TEST(LayoutDistribute, TwoStretchingControlsShareByTemplateWidthAndTheFirstTakesTheRemainder)
{
    struct Case
    {
        int innerWidth;
        int firstWidth; // window width (its extent minus the one-pixel right border)
        int secondLeft;
        int secondWidth;
    };
    for (const Case& c : {Case{600, 149, kX0 + 150, 450}, Case{601, 150, kX0 + 151, 450}})
    {
        SCOPED_TRACE(c.innerWidth);
        LayoutFixture f;
        f.owner.Add(1, "Edit", 100, 20);
        f.owner.Add(2, "Edit", 300, 20);
        f.layout.BeginPane(LAYOUT_HORIZONTAL);
        ASSERT_TRUE(f.layout.AddControl(1, LAYOUT_STRETCH));
        ASSERT_TRUE(f.layout.AddControl(2, LAYOUT_STRETCH));
        f.Finish();
        EXPECT_DOUBLE_EQ(f.layout.FindControlItem(1)->share, 25.0);
        EXPECT_DOUBLE_EQ(f.layout.FindControlItem(2)->share, 75.0);

        f.ResizeInner(c.innerWidth, 100);
        EXPECT_EQ(f.owner[1].Rect().left, kX0);
        EXPECT_EQ(f.owner[1].Width(), c.firstWidth);
        EXPECT_EQ(f.owner[2].Rect().left, c.secondLeft);
        EXPECT_EQ(f.owner[2].Width(), c.secondWidth);
    }
}

TEST(LayoutDistribute, RemainderIsLostWhenTheFirstChildDoesNotStretch)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 100, 20);
    f.owner.Add(2, "Edit", 300, 20);
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    f.layout.AddSpace(5, 3);
    f.layout.AddControl(1, LAYOUT_STRETCH);
    f.layout.AddControl(2, LAYOUT_STRETCH);
    f.Finish();

    f.ResizeInner(606, 100); // 601 to share
    EXPECT_EQ(f.owner[1].Width(), 149);
    EXPECT_EQ(f.owner[2].Rect().left, kX0 + 5 + 150);
    EXPECT_EQ(f.owner[2].Rect().right, kX0 + 605); // one pixel short of the inner edge
}

TEST(LayoutDistribute, OverBudgetShrinksOnlyStretchingChildrenAboveTheirMinimum)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 100, 20);
    f.owner.Add(2, "Edit", 300, 20);
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    f.layout.AddControl(1, LAYOUT_STRETCH, 90);
    f.layout.AddControl(2, LAYOUT_STRETCH, 10);
    f.Finish();

    f.ResizeInner(500, 100);
    EXPECT_EQ(f.layout.FindControlItem(1)->size.Width(), 200);
    EXPECT_EQ(f.layout.FindControlItem(2)->size.Width(), 300);

    // Both at their minimum: the children overflow the pane.
    f.ResizeInner(300, 100);
    EXPECT_EQ(f.layout.FindControlItem(1)->size.Width(), 100);
    EXPECT_EQ(f.owner[2].Rect().left, kX0 + 100);
    EXPECT_EQ(f.owner[2].Rect().right, kX0 + 400);
}

TEST(LayoutDistribute, StretchableGapTakesAllExtraHeightAndPushesButtonsDown)
{
    LayoutFixture f;
    f.owner.Add(1, "Static", 60, 13);
    f.owner.Add(2, "Button", 75, 23);
    f.owner.Add(3, "Button", 75, 23);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddControl(1, LAYOUT_FIXED);
    f.layout.AddSpace(0, 0);
    f.layout.AddControl(2, LAYOUT_FIXED);
    f.layout.AddSpace(10, 3);
    f.layout.AddControl(3, LAYOUT_FIXED);
    f.Finish();

    CLayoutItem* gap = f.layout.Root().children[0]->children[1];
    EXPECT_DOUBLE_EQ(gap->share, 100.0);
    f.ResizeInner(200, 400);
    EXPECT_EQ(f.owner[3].Rect().bottom, kY0 + 400);
    EXPECT_EQ(f.owner[2].Rect().bottom, kY0 + 400 - 23 - 10);
    EXPECT_EQ(f.owner[1].Rect(), (LayoutRect{kX0, kY0, kX0 + 60, kY0 + 13}));
    EXPECT_EQ(f.owner[2].Height(), 23);
}

TEST(LayoutDistribute, ChildrenWithoutStretchStayPackedAtTheStart)
{
    LayoutFixture f;
    f.owner.Add(1, "Button", 75, 23);
    f.owner.Add(2, "Button", 75, 23);
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    f.layout.AddControl(1, LAYOUT_FIXED);
    f.layout.AddControl(2, LAYOUT_FIXED);
    f.Finish();

    f.ResizeInner(1000, 500);
    EXPECT_EQ(f.owner[1].Rect(), (LayoutRect{kX0, kY0, kX0 + 74, kY0 + 23}));
    EXPECT_EQ(f.owner[2].Rect(), (LayoutRect{kX0 + 75, kY0, kX0 + 150, kY0 + 23}));
}

TEST(LayoutPlace, AlignmentsMoveTheRunOrEachChild)
{
    struct Case
    {
        int orientation;
        int alignment;
        LayoutRect second; // where the 20 x 10 control lands next to a 40 x 30 one
    };
    // The pane is 200 wide and as tall as its children need (nothing stretches
    // vertically); horizontal panes give every child but the last a right border of 1.
    const Case cases[] = {
        {LAYOUT_HORIZONTAL, ALIGN_NONE, {kX0 + 40, kY0, kX0 + 60, kY0 + 10}},
        {LAYOUT_HORIZONTAL, ALIGN_CENTER, {kX0 + 70 + 40, kY0, kX0 + 70 + 60, kY0 + 10}},
        {LAYOUT_HORIZONTAL, ALIGN_END, {kX0 + 180, kY0, kX0 + 200, kY0 + 10}},
        {LAYOUT_HORIZONTAL, ALIGN_CROSS_CENTER_Y, {kX0 + 40, kY0 + 10, kX0 + 60, kY0 + 20}},
        {LAYOUT_HORIZONTAL, ALIGN_BOTTOM_EACH, {kX0 + 40, kY0 + 20, kX0 + 60, kY0 + 30}},
        {LAYOUT_VERTICAL, ALIGN_CROSS_CENTER_X, {kX0 + 10, kY0 + 30, kX0 + 30, kY0 + 40}},
        {LAYOUT_VERTICAL, ALIGN_RIGHT_EACH, {kX0 + 180, kY0 + 30, kX0 + 200, kY0 + 40}},
        {LAYOUT_VERTICAL, 5, {kX0, kY0 + 30, kX0 + 20, kY0 + 40}}, // unknown: as none
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.orientation << "/" << c.alignment);
        LayoutFixture f;
        f.owner.Add(1, "Static", 40, 30);
        f.owner.Add(2, "Static", 20, 10);
        f.layout.BeginPane(c.orientation);
        f.layout.SetAlignment(c.alignment);
        f.layout.AddControl(1, LAYOUT_FIXED);
        f.layout.AddControl(2, LAYOUT_FIXED);
        f.Finish();
        f.ResizeInner(200, 100);
        EXPECT_EQ(f.owner[2].Rect(), c.second);
    }
}

TEST(LayoutAddControl, SizingModeSpecialCases)
{
    struct Case
    {
        const char* className;
        std::uint32_t style;
        const char* text;
        int mode;
        bool stretchX;
        bool stretchY;
        int width; // after AddControl; template width 50
    };
    const Case cases[] = {
        {"ComboBox", 0, "", LAYOUT_STRETCH, true, false, 50},
        {"combobox", 0, "", LAYOUT_FIXED_WIDTH, true, false, 50},
        {"ComboBox", 0, "", LAYOUT_FIXED, false, false, 50},
        {"Edit", 0, "", LAYOUT_STRETCH, true, true, 50},
        {"Edit", 0, "", LAYOUT_FIXED_WIDTH, false, true, 50},
        {"Static", 0x3, "", LAYOUT_FIXED, false, false, 51}, // icon: one pixel wider
        {"Button", BS_AUTOCHECKBOX, "Merken", LAYOUT_FIT_TEXT, false, false, 36 + 5 + 20},
        {"Button", BS_AUTORADIOBUTTON, "Merken", LAYOUT_FIT_TEXT, false, false, 36 + 5 + 20},
        {"Button", 0, "Merken", LAYOUT_FIT_TEXT, false, false, 36 + 5},
        {"Static", 0, "Merken", LAYOUT_FIT_TEXT, false, false, 36 + 5},
        {"Button", BS_AUTOCHECKBOX, "", LAYOUT_FIT_TEXT, false, false, 50}, // no text: unchanged
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.className << " style " << c.style << " mode " << c.mode);
        LayoutFixture f;
        FakeWindow& window = f.owner.Add(7, c.className, 50, 14, c.style, c.text);
        f.layout.BeginPane(LAYOUT_VERTICAL);
        ASSERT_TRUE(f.layout.AddControl(7, c.mode));
        const CLayoutItem* item = f.layout.FindControlItem(7);
        EXPECT_EQ(item->stretchX, c.stretchX);
        EXPECT_EQ(item->stretchY, c.stretchY);
        EXPECT_EQ(window.Width(), c.width);
        EXPECT_EQ(window.Height(), 14);
    }
}

TEST(LayoutMinimum, ControlIsAtLeastAsWideAsItsContent)
{
    struct Case
    {
        int contentWidth;
        int minimumWidth; // template width 50
    };
    for (const Case& c : {Case{0, 50}, Case{30, 50}, Case{50, 50}, Case{83, 83}})
    {
        SCOPED_TRACE(c.contentWidth);
        LayoutFixture f;
        f.owner.Add(1, "Static", 20, 8);
        f.owner.Add(2, "ComboBox", 50, 14).contentWidth = c.contentWidth;
        f.layout.BeginPane(LAYOUT_VERTICAL);
        f.layout.AddControl(1, LAYOUT_FIXED);
        f.layout.AddControl(2, LAYOUT_STRETCH);
        const TrackSize track = f.Finish();

        EXPECT_EQ(f.layout.FindControlItem(2)->minimum.Width(), c.minimumWidth);
        // The root's borders (2 + 6) count twice in the window's smallest width.
        EXPECT_EQ(track.minWidth, c.minimumWidth + 16);
        f.ResizeInner(c.minimumWidth, 22);
        EXPECT_EQ(f.owner[2].Width(), c.minimumWidth);
    }
}

TEST(LayoutAddControl, UnknownIdIsRefusedAndAddsNothing)
{
    LayoutFixture f;
    f.layout.BeginPane(LAYOUT_VERTICAL);
    EXPECT_FALSE(f.layout.AddControl(999, LAYOUT_STRETCH));
    EXPECT_FALSE(f.layout.AddGroup(998, LAYOUT_VERTICAL, 0, GROUP_BOX, 0));
    EXPECT_EQ(f.layout.Items().size(), 1u);
    EXPECT_TRUE(f.layout.Root().children[0]->children.empty());
}

TEST(LayoutBuilding, EmptyPaneWarnsOnceAndBuildingGoesOnInTheEnclosingPane)
{
    testing::MessageRecorder messages;
    LayoutFixture f;
    f.owner.Add(1, "Edit", 50, 14);
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    EXPECT_FALSE(f.layout.ClosePane());
    f.layout.AddControl(1, LAYOUT_FIXED);
    f.Finish();

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Group is empty!");
    CLayoutItem& outer = *f.layout.Root().children[0];
    ASSERT_EQ(outer.children.size(), 2u);
    EXPECT_EQ(outer.children[1]->window, &f.owner[1]);
    // The empty pane has no width of its own and keeps both stretch flags.
    EXPECT_EQ(outer.children[0]->minimum.Width(), 0);
    EXPECT_TRUE(outer.children[0]->stretchX);
}

TEST(LayoutBuilding, OutermostCloseAsksTheOwnerToFinishAndKeepsThePaneOpen)
{
    LayoutFixture f;
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    EXPECT_TRUE(f.layout.ClosePane());
    EXPECT_TRUE(f.layout.Building());
}

TEST(LayoutVisibility, HidingAPaneHidesItsWindowsAndEmptiesItsMinimum)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 100, 20);
    f.owner.Add(2, "Edit", 80, 20);
    f.owner.Add(3, "Button", 75, 23);
    const LayoutRect borders{4, 4, 4, 4};
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.BeginPane(LAYOUT_HORIZONTAL, &borders, "details");
    f.layout.AddControl(1, LAYOUT_FIXED);
    f.layout.AddControl(2, LAYOUT_FIXED);
    f.layout.ClosePane();
    f.layout.AddControl(3, LAYOUT_FIXED);
    f.Finish();
    f.ResizeInner(300, 200);

    CLayoutItem* pane = f.layout.FindItem(nullptr, "DETAILS");
    ASSERT_NE(pane, nullptr);
    const LayoutRect shown = pane->minimum;
    const int buttonTop = f.owner[3].Rect().top;

    f.layout.SetItemVisible(pane, false, true);
    EXPECT_FALSE(f.owner[1].visible);
    EXPECT_FALSE(f.owner[2].visible);
    EXPECT_EQ(pane->minimum, (LayoutRect{0, 0, 8, 8}));
    EXPECT_EQ(f.owner[3].Rect().top, kY0); // a hidden pane takes no room when placed

    f.layout.SetItemVisible(pane, true, true);
    EXPECT_TRUE(f.owner[1].visible);
    EXPECT_TRUE(f.owner[2].visible);
    EXPECT_EQ(pane->minimum, shown);
    EXPECT_EQ(f.owner[3].Rect().top, buttonTop);
}

TEST(LayoutVisibility, FinishingShowsControlsTheTemplateCreatedHidden)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 100, 20).visible = false;
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddControl(1, LAYOUT_STRETCH);
    f.Finish();
    EXPECT_TRUE(f.owner[1].visible);
}

TEST(LayoutGroups, GroupBoxBordersCaptionAndMembers)
{
    struct Case
    {
        const char* caption;
        int buddyId;
        int fontHeight;
        int top;
    };
    for (const Case& c :
         {Case{"Panelgrid", 0, 11, 15}, Case{"Panelgrid", 0, 0, 0}, Case{"", 0, 11, 8}, Case{"", 3, 11, 18}})
    {
        SCOPED_TRACE(::testing::Message() << "'" << c.caption << "' buddy " << c.buddyId);
        LayoutFixture f;
        f.owner.fontHeight = c.fontHeight;
        FakeWindow& frame = f.owner.Add(1, "Button", 200, 100, 0x7, c.caption);
        f.owner.Add(2, "Edit", 150, 60);
        f.owner.Add(3, "Button", 60, 14, BS_AUTOCHECKBOX, "Aktiv");
        f.layout.BeginPane(LAYOUT_VERTICAL);
        ASSERT_TRUE(f.layout.AddGroup(1, LAYOUT_VERTICAL, c.buddyId, 42, 0)); // unknown kind: a box
        f.layout.AddControl(2, LAYOUT_STRETCH);
        f.layout.ClosePane();
        f.Finish();

        CLayoutItem* group = f.layout.FindItem(&frame);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->groupKind, GROUP_BOX);
        EXPECT_EQ(group->borders, (LayoutRect{10, c.top, 10, 8}));
        EXPECT_EQ(group->name, c.caption);
        ASSERT_EQ(f.owner.frames.size(), 1u);
        const std::vector<LayoutWindow*>& members = f.owner.frames[0]->members;
        ASSERT_FALSE(members.empty());
        EXPECT_EQ(members.back(), &f.owner[2]);
        EXPECT_EQ(members.size(), c.buddyId ? 2u : 1u);
        // The frame's rectangle: half the side borders out, two pixels down.
        EXPECT_EQ(group->placed,
                  (LayoutRect{kX0 + 5 - 1, kY0 + 2, kX0 + group->size.Width() - 5 + 1, kY0 + group->size.Height()}));
        EXPECT_EQ(f.owner[2].Rect().left, kX0 + 10);
        EXPECT_EQ(f.owner[2].Rect().top, kY0 + c.top);
    }
}

TEST(LayoutGroups, NestedGroupFrameIsAMemberOfTheEnclosingGroup)
{
    LayoutFixture f;
    f.owner.Add(1, "Button", 200, 100, 0x7, "Außen");
    f.owner.Add(2, "Button", 150, 60, 0x7, "Innen");
    f.owner.Add(3, "Edit", 100, 20);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddGroup(1, LAYOUT_VERTICAL, 0, GROUP_BOX, 0);
    f.layout.AddGroup(2, LAYOUT_VERTICAL, 0, GROUP_BOX, 0);
    f.layout.AddControl(3, LAYOUT_STRETCH);
    f.layout.ClosePane();
    f.layout.ClosePane();
    f.Finish();

    ASSERT_EQ(f.owner.frames.size(), 2u);
    EXPECT_EQ(f.owner.frames[0]->members, (std::vector<LayoutWindow*>{&f.owner[2]}));
    EXPECT_EQ(f.owner.frames[1]->members, (std::vector<LayoutWindow*>{&f.owner[3]}));
}

TEST(LayoutGroups, TabGroupBordersComeFromTheTabControlAndItKeepsItsHeight)
{
    LayoutFixture f;
    f.owner.Add(1, "SysTabControl32", 200, 100);
    f.owner.Add(2, "Edit", 100, 40);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddGroup(1, LAYOUT_VERTICAL, 0, GROUP_TAB, IF_KEEP_HEIGHT);
    f.layout.AddControl(2, LAYOUT_STRETCH);
    f.layout.ClosePane();
    f.Finish();

    CLayoutItem* tab = f.layout.FindItem(&f.owner[1]);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->borders, (LayoutRect{3, 26, 4, 4}));
    EXPECT_EQ(tab->keptHeight, 40);
    EXPECT_TRUE(f.owner.frames.empty());
}

TEST(LayoutPlace, UpDownWidensItsAutoBuddy)
{
    struct Case
    {
        std::uint32_t style;
        std::uint32_t buddyFlag;
        int left;
        int width;
    };
    for (const Case& c :
         {Case{UDS_AUTOBUDDY | UDS_ALIGNRIGHT, IF_SPIN_RIGHT, kX0, 60 + 3 - 1},
          Case{UDS_AUTOBUDDY | UDS_ALIGNLEFT, IF_SPIN_LEFT, kX0 - 3, 60 + 3 - 1}, Case{UDS_ALIGNRIGHT, 0, kX0, 60 - 1}})
    {
        SCOPED_TRACE(c.style);
        LayoutFixture f;
        f.owner.Add(1, "Edit", 60, 20);
        f.owner.Add(2, "msctls_updown32", 12, 20, c.style);
        f.layout.BeginPane(LAYOUT_HORIZONTAL);
        f.layout.AddControl(1, LAYOUT_FIXED);
        f.layout.AddControl(2, LAYOUT_FIXED);
        f.Finish();
        EXPECT_EQ(f.layout.FindControlItem(1)->flags, c.buddyFlag);
        EXPECT_EQ(f.owner[1].Rect().left, c.left);
        EXPECT_EQ(f.owner[1].Width(), c.width);
    }
}

TEST(LayoutPlace, SpanClientCoversTheClientAcrossThePane)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 60, 20);
    f.layout.BeginPane(LAYOUT_HORIZONTAL);
    f.layout.AddControl(1, LAYOUT_FIXED, 0, IF_SPAN_CLIENT);
    f.Finish();
    f.ResizeInner(300, 200);
    EXPECT_EQ(f.owner[1].Rect().top, 0);
    EXPECT_EQ(f.owner[1].Rect().bottom, f.owner.client.bottom);
}

TEST(LayoutMoveControls, RepaintsEachMovedWindowOnceByItsKind)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 60, 20);
    f.owner.Add(2, "SysListView32", 100, 80);
    f.owner.Add(3, "Button", 75, 23);
    f.owner.Add(4, "ListBox", 50, 50);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddControl(1, LAYOUT_FIXED);
    f.layout.AddControl(2, LAYOUT_STRETCH);
    f.layout.AddControl(3, LAYOUT_FIXED, 0, IF_NO_REDRAW);
    f.layout.AddControl(4, LAYOUT_FIXED, 0, IF_FULL_REDRAW);
    f.Finish();
    for (int id : {1, 2, 3, 4})
    {
        f.owner[id].repaints.clear();
    }
    const int fills = f.owner.backgroundFills;

    f.ResizeInner(300, 300);
    EXPECT_EQ(f.owner[1].repaints, std::vector<std::uint32_t>{}); // already in place
    EXPECT_EQ(f.owner[2].repaints, std::vector<std::uint32_t>{0x485});
    EXPECT_TRUE(f.owner[3].repaints.empty());
    EXPECT_EQ(f.owner[3].moves, 2);                                    // moved nonetheless
    EXPECT_EQ(f.owner[4].repaints, std::vector<std::uint32_t>{0x585}); // same size, new place
    EXPECT_EQ(f.owner.backgroundFills, fills + 1);
}

TEST(LayoutLifecycle, NothingRunsWithoutAnOwner)
{
    LayoutFixture f;
    f.owner.Add(1, "Edit", 60, 20);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddControl(1, LAYOUT_STRETCH);
    f.Finish();
    const int moves = f.owner[1].moves;
    f.layout.SetOwner(nullptr);
    f.owner.client = {0, 0, 900, 900};
    f.layout.Resize();
    EXPECT_EQ(f.owner[1].moves, moves);
    EXPECT_FALSE(f.layout.AddControl(1, LAYOUT_STRETCH));
}

TEST(LayoutLifecycle, ResetDispatchesPendingMessagesAndStartsAnEmptyTree)
{
    LayoutFixture f;
    f.owner.themeActive = true;
    f.owner.Add(1, "Edit", 60, 20);
    f.layout.BeginPane(LAYOUT_VERTICAL);
    f.layout.AddControl(1, LAYOUT_STRETCH);
    f.layout.textPadding = 9;
    const int dispatches = f.owner.dispatches;

    f.layout.Reset(&f.owner);
    EXPECT_EQ(f.owner.dispatches, dispatches + 1);
    EXPECT_TRUE(f.layout.Items().empty());
    EXPECT_TRUE(f.layout.Root().children.empty());
    EXPECT_EQ(f.layout.Owner(), nullptr);
    EXPECT_EQ(f.layout.textPadding, 5);
    EXPECT_TRUE(f.layout.themeActive);
    EXPECT_FALSE(f.layout.Building());
}

TEST(LayoutTrackSize, FixedFlagsAndMenuHeight)
{
    struct Case
    {
        std::uint32_t flags;
        bool hasMenu;
        TrackSize expected;
    };
    const Case cases[] = {
        {0, false, {300, 200, 0, 0}},
        {LF_FIXED_WIDTH, false, {300, 200, 300, 0}},
        {LF_FIXED_HEIGHT, false, {300, 200, 0, 200}},
        {LF_FIXED_WIDTH | LF_FIXED_HEIGHT, false, {300, 200, 300, 200}},
        {LF_MENU_HEIGHT, true, {300, 220, 0, 0}},
        {LF_MENU_HEIGHT, false, {300, 200, 0, 0}},
        {0, true, {300, 200, 0, 0}},
        {LF_MENU_HEIGHT | LF_FIXED_HEIGHT, true, {300, 220, 0, 220}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.flags << " menu " << c.hasMenu);
        const TrackSize track = ComputeTrackSize(300, 200, c.flags, c.hasMenu, 20);
        EXPECT_EQ(track.minWidth, c.expected.minWidth);
        EXPECT_EQ(track.minHeight, c.expected.minHeight);
        EXPECT_EQ(track.maxWidth, c.expected.maxWidth);
        EXPECT_EQ(track.maxHeight, c.expected.maxHeight);
    }
}

// The main window's tree over its template's controls (dialog base units 6 x 13).
class MainWindowTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        struct Control
        {
            int id;
            const char* className;
            int w;
            int h;
        };
        const Control controls[] = {
            {1003, "SysListView32", 456, 201}, {1006, "Button", 75, 22}, {1007, "Button", 75, 22},
            {1008, "Button", 75, 22},          {1010, "Static", 60, 13}, {1013, "Edit", 138, 19},
            {1011, "Static", 60, 13},          {1014, "Edit", 138, 19},  {1012, "Static", 60, 13},
            {1015, "Edit", 138, 19},           {1, "Button", 75, 22},    {2, "Button", 75, 22},
            {57670, "Button", 75, 22},         {1025, "Static", 78, 13}, {1005, "ComboBoxEx32", 372, 24},
        };
        for (const Control& c : controls)
        {
            f.owner.Add(c.id, c.className, c.w, c.h);
        }

        CLayoutManager& l = f.layout;
        l.BeginPane(LAYOUT_HORIZONTAL);
        l.AddSpace(5, 3);
        l.BeginPane(LAYOUT_VERTICAL);
        l.AddSpace(5, 3);
        l.BeginPane(LAYOUT_HORIZONTAL);
        l.AddControl(1025, LAYOUT_FIXED);
        l.AddControl(1005, LAYOUT_FIXED_HEIGHT);
        l.ClosePane();
        l.AddSpace(10, 3);
        l.AddControl(1003, LAYOUT_STRETCH);
        l.AddSpace(10, 3);
        l.BeginPane(LAYOUT_HORIZONTAL);
        l.BeginPane(LAYOUT_VERTICAL);
        AddButtonRow(1006, 1007, 1008);
        l.AddSpace(10, 3);
        AddButtonRow(1, 2, 57670);
        l.ClosePane();
        l.AddSpace(10, 3);
        l.BeginPane(LAYOUT_VERTICAL);
        const int pairs[][2] = {{1010, 1013}, {1011, 1014}, {1012, 1015}};
        for (int i = 0; i < 3; ++i)
        {
            if (i > 0)
            {
                l.AddSpace(10, 3);
            }
            l.BeginPane(LAYOUT_HORIZONTAL);
            l.SetAlignment(ALIGN_CROSS_CENTER_Y);
            l.AddControl(pairs[i][0], LAYOUT_FIXED);
            l.AddControl(pairs[i][1], LAYOUT_FIXED_HEIGHT);
            l.ClosePane();
        }
        l.ClosePane();
        l.ClosePane();
        l.AddSpace(5, 3);
        l.ClosePane();
        l.AddSpace(5, 3);
        track = f.Finish();
    }

    void AddButtonRow(int a, int b, int c)
    {
        f.layout.BeginPane(LAYOUT_HORIZONTAL);
        f.layout.AddControl(a, LAYOUT_FIXED);
        f.layout.AddSpace(10, 3);
        f.layout.AddControl(b, LAYOUT_FIXED);
        f.layout.AddSpace(10, 3);
        f.layout.AddControl(c, LAYOUT_FIXED);
        f.layout.ClosePane();
    }

    const CLayoutItem& Outermost()
    {
        return *f.layout.Root().children[0];
    }

    LayoutFixture f;
    TrackSize track;
};

TEST_F(MainWindowTree, CategoryLabelSitsBehindTheMarginsAndTheMinimumTrackSizeAddsTheFrame)
{
    EXPECT_EQ(f.owner[1025].Rect().left, 9);
    EXPECT_EQ(f.owner[1025].Rect().top, 11);
    EXPECT_EQ(f.layout.Root().borders, (LayoutRect{2, 3, 6, 6}));
    EXPECT_EQ(track.minWidth, Outermost().minimum.Width() + 16);
    EXPECT_EQ(track.minHeight, Outermost().minimum.Height() + 18 + 19);
}

TEST_F(MainWindowTree, ResizingGrowsTheListAndTheWideFieldsOnly)
{
    const int minWidth = Outermost().minimum.Width() + 8;
    const int minHeight = Outermost().minimum.Height() + 9;
    f.owner.client = {0, 0, minWidth, minHeight};
    f.layout.Resize();
    const LayoutRect list = f.owner[1003].Rect();
    const LayoutRect combo = f.owner[1005].Rect();
    const LayoutRect edit = f.owner[1013].Rect();
    const LayoutRect label = f.owner[1010].Rect();
    const LayoutRect button = f.owner[57670].Rect();

    f.owner.client = {0, 0, minWidth + 100, minHeight + 50};
    f.layout.Resize();

    EXPECT_EQ(f.owner[1003].Width(), list.Width() + 100);
    EXPECT_EQ(f.owner[1003].Height(), list.Height() + 50);
    EXPECT_EQ(f.owner[1005].Width(), combo.Width() + 100);
    EXPECT_EQ(f.owner[1005].Height(), combo.Height());
    EXPECT_EQ(f.owner[1013].Width(), edit.Width() + 100);
    EXPECT_EQ(f.owner[1013].Height(), edit.Height());
    EXPECT_EQ(f.owner[1010].Width(), label.Width());
    EXPECT_EQ(f.owner[1010].Rect().top, label.top + 50);
    EXPECT_EQ(f.owner[57670].Width(), button.Width());
    EXPECT_EQ(f.owner[57670].Height(), button.Height());
    // The label is centred on its edit field.
    EXPECT_EQ(f.owner[1010].Rect().top - f.owner[1013].Rect().top, (19 - 13) / 2);
}

} // namespace
} // namespace kavelmark

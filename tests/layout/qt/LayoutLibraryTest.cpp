#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include "layout/qt/CDialogLayout.h"
#include "layout/qt/CFormViewBox.h"
#include "layout/qt/CFormViewLayout.h"
#include "layout/qt/CGroupStatic.h"
#include "layout/qt/COffscreenDC.h"
#include "layout/qt/CPropertyPageLayout.h"
#include "layout/qt/CPropertySheetLayout.h"
#include "layout/qt/CSplitterBar.h"
#include "layout/qt/WidgetLayout.h"

namespace kavelmark
{
namespace
{

// A plain widget of exactly this size: the layout measures controls as they are.
QWidget* Block(int width, int height)
{
    auto* widget = new QWidget;
    widget->resize(width, height);
    return widget;
}

// A widget that owns a tree and lays it out on every resize.
class Host : public QWidget
{
public:
    WidgetLayout layout{*this};

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        layout.Relayout();
    }
};

// Two lists with a splitter bar between them in one horizontal pane.
struct SplitHost
{
    SplitHost(int leftMode, int rightMode)
    {
        left = Block(100, 50);
        bar = new CSplitterBar;
        bar->resize(6, 50);
        right = Block(300, 50);
        host.layout.SetControl(1, left);
        host.layout.SetControl(2, bar);
        host.layout.SetControl(3, right);
        host.layout.Reset();
        host.layout.BeginPane(LAYOUT_HORIZONTAL);
        host.layout.AddControl(1, leftMode);
        host.layout.AddControl(2, LAYOUT_FIXED_WIDTH);
        host.layout.AddControl(3, rightMode);
        host.layout.EndPane();
        bar->SetLayout(&host.layout.Layout());
        host.resize(806, 50);
        host.show();
    }

    // A left-button drag on the bar, `pixels` to the right.
    void Drag(int pixels)
    {
        const QPoint start(2, 10);
        QTest::mousePress(bar, Qt::LeftButton, {}, start);
        QTest::mouseMove(bar, start + QPoint(pixels, 0));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, start);
    }

    Host host;
    QWidget* left;
    CSplitterBar* bar;
    QWidget* right;
};

TEST(CSplitterBarTest, DragMovesSharePointsFromOneNeighbourToTheOther)
{
    // Template widths 100 and 300 stretch; the bar keeps 6. Shares 25 and 75 of the free
    // 800 pixels at a width of 806 give 200 and 600; every child but the last has a right
    // border of 1.
    SplitHost split(LAYOUT_STRETCH, LAYOUT_STRETCH);
    EXPECT_EQ(split.left->geometry(), QRect(0, 0, 199, 50));
    EXPECT_EQ(split.bar->geometry(), QRect(200, 0, 5, 50));
    EXPECT_EQ(split.right->geometry(), QRect(206, 0, 600, 50));

    // 40 pixels x 100 / (200 + 600) = 5 points: shares 30 and 70, extents 240 and 560.
    split.Drag(40);
    EXPECT_DOUBLE_EQ(split.bar->Before()->share, 30.0);
    EXPECT_DOUBLE_EQ(split.bar->After()->share, 70.0);
    EXPECT_EQ(split.left->geometry(), QRect(0, 0, 239, 50));
    EXPECT_EQ(split.bar->geometry(), QRect(240, 0, 5, 50));
    EXPECT_EQ(split.right->geometry(), QRect(246, 0, 560, 50));

    // Back 80 pixels: 10 points the other way.
    split.Drag(-80);
    EXPECT_DOUBLE_EQ(split.bar->Before()->share, 20.0);
    EXPECT_EQ(split.left->width(), 159);
}

TEST(CSplitterBarTest, APressWithANeighbourAtZeroShareStartsBothAtFifty)
{
    // The left list keeps its width, so its share is 0 and the right one takes all 700 free
    // pixels (806 - 100 - 6). The press makes both 50; the drag of 40 pixels moves
    // 40 x 100 / (100 + 700) = 5 points: the right gets 45 % of 700 = 315, and the rest is
    // lost because the first child does not stretch.
    SplitHost split(LAYOUT_FIXED_WIDTH, LAYOUT_STRETCH);
    EXPECT_DOUBLE_EQ(split.bar->Before()->share, 0.0);
    EXPECT_DOUBLE_EQ(split.bar->After()->share, 100.0);
    EXPECT_EQ(split.right->geometry(), QRect(106, 0, 700, 50));

    split.Drag(40);
    EXPECT_DOUBLE_EQ(split.bar->Before()->share, 55.0);
    EXPECT_DOUBLE_EQ(split.bar->After()->share, 45.0);
    EXPECT_EQ(split.left->width(), 99);
    EXPECT_EQ(split.right->geometry(), QRect(106, 0, 315, 50));
}

TEST(CSplitterBarTest, CursorFollowsTheDirectionOfTheSplit)
{
    struct Case
    {
        int orientation;
        bool lastInPane;
        Qt::CursorShape cursor;
    };
    for (const Case& c :
         {Case{LAYOUT_HORIZONTAL, false, Qt::SplitHCursor}, Case{LAYOUT_VERTICAL, false, Qt::SplitVCursor},
          Case{LAYOUT_HORIZONTAL, true, Qt::SizeAllCursor}})
    {
        SCOPED_TRACE(c.cursor);
        Host host;
        auto* bar = new CSplitterBar;
        bar->resize(6, 6);
        host.layout.SetControl(1, Block(50, 50));
        host.layout.SetControl(2, bar);
        host.layout.SetControl(3, Block(50, 50));
        host.layout.Reset();
        host.layout.BeginPane(c.orientation);
        host.layout.AddControl(1, LAYOUT_STRETCH);
        if (c.lastInPane)
        {
            host.layout.AddControl(3, LAYOUT_STRETCH);
        }
        host.layout.AddControl(2, LAYOUT_FIXED);
        if (!c.lastInPane)
        {
            host.layout.AddControl(3, LAYOUT_STRETCH);
        }
        host.layout.EndPane();
        bar->SetLayout(&host.layout.Layout());
        EXPECT_EQ(bar->cursor().shape(), c.cursor);
    }
}

// A page with one fixed block.
class BlockPage : public CPropertyPageLayout
{
public:
    BlockPage(const QString& title, int width, int height) : CPropertyPageLayout(title)
    {
        SetControl(1, Block(width, height));
    }
    bool holdOnNext = false;
    // Lets the wizard move on in both directions, wherever the page stands.
    bool alwaysMoveOn = false;

    int OnWizardNext() override
    {
        if (holdOnNext)
        {
            return -1;
        }
        return alwaysMoveOn ? 0 : CPropertyPageLayout::OnWizardNext();
    }
    int OnWizardBack() override
    {
        return alwaysMoveOn ? 0 : CPropertyPageLayout::OnWizardBack();
    }

protected:
    bool OnInitDialog() override
    {
        CPropertyPageLayout::OnInitDialog();
        BeginPane(LAYOUT_VERTICAL);
        AddControl(1, LAYOUT_FIXED);
        EndPane();
        return true;
    }
};

const DialogTemplate& SheetHostTemplate()
{
    static const DialogTemplate dialog{
        901,
        "Blätter",
        40,
        30,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {ControlTemplate{50, ControlKind::Static, "", 2, 2, 1, 1, ControlStyle::None, {}},
         ControlTemplate{51, ControlKind::Static, "Hinweis", 2, 2, 30, 8, ControlStyle::None, {}}},
    };
    return dialog;
}

// A dialog whose whole tree is one property sheet.
class SheetHost : public CDialogLayout
{
public:
    // With a note under the sheet, a control that the tree places but the program may hide.
    explicit SheetHost(bool withNote = false)
        : CDialogLayout(SheetHostTemplate(), nullptr, "", false, 0), withNote_(withNote)
    {
    }
    CPropertySheetLayout* sheet = nullptr;

protected:
    bool OnInitDialog() override
    {
        CDialogLayout::OnInitDialog();
        sheet = new CPropertySheetLayout;
        sheet->AddPage(new BlockPage(QStringLiteral("Klein"), 240, 40));
        sheet->AddPage(new BlockPage(QStringLiteral("Groß"), 400, 200));
        ReplaceControl(50, sheet);
        sheet->Create();
        BeginPane(LAYOUT_VERTICAL);
        AddControl(50, LAYOUT_STRETCH);
        if (withNote_)
        {
            AddControl(51, LAYOUT_FIXED);
        }
        EndPane();
        ControlAs<QWidget>(51)->setVisible(withNote_);
        return true;
    }

private:
    bool withNote_;
};

TEST(CPropertySheetLayoutTest, ALargerPageGrowsTheSheetAndTheDialogAroundIt)
{
    SheetHost dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CPropertySheetLayout* sheet = dialog.sheet;
    const int tabs = sheet->TabBar()->sizeHint().height();

    // The first page sets the page area: 240 x 40 under the tab strip; the dialog's root
    // borders (2, 3, 6, 6) come around it.
    EXPECT_EQ(sheet->ActivePage()->geometry(), QRect(0, tabs, 240, 40));
    EXPECT_EQ(dialog.minimumSize(), QSize(240 + 8, 40 + tabs + 9));

    const QRect tab = sheet->TabBar()->tabRect(1);
    QTest::mouseClick(sheet->TabBar(), Qt::LeftButton, {}, tab.center());
    QApplication::processEvents();
    ASSERT_EQ(sheet->ActiveIndex(), 1);

    // The sheet's item now needs 400 x (200 + tabs); the window's minimum adds the root
    // borders and, in width, twice the dialog frame (6) more.
    EXPECT_EQ(dialog.minimumSize(), QSize(400 + 8 + 6, 200 + tabs + 9));
    EXPECT_EQ(dialog.size(), dialog.minimumSize());
    EXPECT_EQ(sheet->geometry(), QRect(4, 6, 406, 200 + tabs));
    EXPECT_EQ(sheet->ActivePage()->geometry(), QRect(0, tabs, 406, 200));

    // Going back to the small page shrinks nothing.
    QTest::mouseClick(sheet->TabBar(), Qt::LeftButton, {}, sheet->TabBar()->tabRect(0).center());
    QApplication::processEvents();
    EXPECT_EQ(sheet->ActiveIndex(), 0);
    EXPECT_EQ(dialog.minimumSize(), QSize(414, 209 + tabs));
    dialog.done(IDCANCEL);
}

TEST(CPropertySheetLayoutTest, AGrowingSheetLeavesAControlTheProgramHidHidden)
{
    SheetHost dialog(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QWidget* note = dialog.ControlAs<QWidget>(51);
    ASSERT_TRUE(note->isVisible());
    note->hide();
    const QSize before = dialog.minimumSize();
    QTest::mouseClick(dialog.sheet->TabBar(), Qt::LeftButton, {}, dialog.sheet->TabBar()->tabRect(1).center());
    QApplication::processEvents();
    ASSERT_GT(dialog.minimumSize().width(), before.width()) << "the sheet did grow";
    EXPECT_FALSE(note->isVisible());
    dialog.done(IDCANCEL);
}

TEST(CPropertySheetLayoutTest, WizardBackAndNextStayOnTheFirstAndLastPage)
{
    CPropertySheetLayout wizard(nullptr, true);
    for (const char* title : {"Eins", "Zwei", "Drei"})
    {
        wizard.AddPage(new BlockPage(QString::fromUtf8(title), 120, 40));
    }
    wizard.Create();
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    EXPECT_FALSE(wizard.TabBar()->isVisible());

    struct Step
    {
        QPushButton* button;
        int page;
    };
    QPushButton* back = wizard.BackButton();
    QPushButton* next = wizard.NextButton();
    for (const Step& step :
         {Step{back, 0}, Step{next, 1}, Step{next, 2}, Step{next, 2}, Step{back, 1}, Step{back, 0}, Step{back, 0}})
    {
        QTest::mouseClick(step.button, Qt::LeftButton);
        EXPECT_EQ(wizard.ActiveIndex(), step.page);
        EXPECT_TRUE(wizard.ActivePage()->isVisible());
    }
    EXPECT_FALSE(wizard.Page(2)->isVisible());

    // "next" asks the page, which may keep the wizard where it is.
    QTest::mouseClick(next, Qt::LeftButton);
    static_cast<BlockPage*>(wizard.Page(1))->holdOnNext = true;
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(wizard.ActiveIndex(), 1);
}

// Three pages of a wizard, created and shown.
class ThreePageWizard
{
public:
    ThreePageWizard()
    {
        for (const char* title : {"Eins", "Zwei", "Drei"})
        {
            wizard.AddPage(new BlockPage(QString::fromUtf8(title), 120, 40));
        }
        wizard.Create();
        wizard.show();
    }
    BlockPage* Page(int index) const
    {
        return static_cast<BlockPage*>(wizard.Page(index));
    }

    CPropertySheetLayout wizard{nullptr, true};
};

TEST(CPropertySheetLayoutTest, WizardPagesAnswerStayBeforeTheFirstAndAfterTheLastPageOnly)
{
    // A derived page that checks its own fields hands the rest of the decision to these
    // answers, so the sheet's own bounds cannot stand in for them.
    ThreePageWizard three;
    struct Case
    {
        int page;
        int back;
        int next;
    };
    for (const Case& c : {Case{0, -1, 0}, Case{1, 0, 0}, Case{2, 0, -1}})
    {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(three.Page(c.page)->OnWizardBack(), c.back);
        EXPECT_EQ(three.Page(c.page)->OnWizardNext(), c.next);
    }
}

TEST(CPropertySheetLayoutTest, WizardWhosePagesAlwaysMoveOnStopsAtTheEnds)
{
    ThreePageWizard three;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&three.wizard));
    for (int i = 0; i < 3; ++i)
    {
        three.Page(i)->alwaysMoveOn = true;
    }
    QPushButton* back = three.wizard.BackButton();
    QPushButton* next = three.wizard.NextButton();

    // Beyond the last page there is none: no way round to the first one, and back.
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_EQ(three.wizard.ActiveIndex(), 2);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(three.wizard.ActiveIndex(), 2);
    EXPECT_TRUE(three.wizard.Page(2)->isVisible());
    EXPECT_FALSE(three.wizard.Page(0)->isVisible());

    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(back, Qt::LeftButton);
    ASSERT_EQ(three.wizard.ActiveIndex(), 0);
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(three.wizard.ActiveIndex(), 0);
    EXPECT_FALSE(three.wizard.Page(2)->isVisible());
}

TEST(CPropertyPageLayoutTest, GroupBuddySitsInTheCaptionLine)
{
    class GroupPage : public CPropertyPageLayout
    {
    public:
        GroupPage() : CPropertyPageLayout(QStringLiteral("Gruppe"))
        {
            auto* frame = new QLabel(QStringLiteral("Konto"));
            frame->setGeometry(0, 0, 200, 100);
            SetControl(1, frame, ControlKind::GroupBox);
            auto* check = new QCheckBox(QStringLiteral("&Aktiv"));
            check->resize(check->sizeHint());
            SetControl(2, check);
            SetControl(3, Block(150, 30));
        }

    protected:
        bool OnInitDialog() override
        {
            CPropertyPageLayout::OnInitDialog();
            BeginPane(LAYOUT_VERTICAL);
            AddSpace(10, 0);
            AddGroup(1, LAYOUT_VERTICAL, 2, GROUP_BOX, 0);
            AddControl(3, LAYOUT_FIXED);
            EndPane();
            EndPane();
            return true;
        }
    };

    GroupPage page;
    page.Create();
    page.resize(page.MinWidth(), page.MinHeight());
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    auto* frame = qobject_cast<CGroupStatic*>(page.Control(1));
    ASSERT_NE(frame, nullptr);
    QWidget* buddy = page.Control(2);
    QWidget* member = page.Control(3);
    EXPECT_EQ(frame->Caption(), " ");
    // In the frame's top line, 15 pixels in and 2 above it, as wide as its text and box.
    EXPECT_EQ(buddy->pos(), frame->pos() + QPoint(15, -2));
    EXPECT_EQ(buddy->width(), QFontMetrics(frame->font()).horizontalAdvance(QStringLiteral("Aktiv")) + 20);
    EXPECT_LT(buddy->geometry().center().y(), member->y()) << "above the first member";
    EXPECT_TRUE(frame->geometry().contains(member->geometry()));
    EXPECT_TRUE(buddy->isVisible());
}

TEST(CFormViewLayoutTest, ControlsMoveWithTheScrollPosition)
{
    CFormViewLayout view;
    QWidget* first = Block(120, 20);
    QWidget* second = Block(120, 20);
    view.SetControl(1, first);
    view.SetControl(2, second);
    view.Reset();
    view.BeginPane(LAYOUT_VERTICAL);
    view.AddSpace(10, 0);
    view.AddControl(1, LAYOUT_FIXED);
    view.AddSpace(10, 0);
    view.AddControl(2, LAYOUT_FIXED);
    view.AddSpace(10, 0);
    view.EndPane();
    // 10 + 20 + 10 + 20 + 10 = 70 pixels of form in a 40 pixels high view.
    view.resize(200, 40);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_EQ(view.viewport()->height(), 40);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 30);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(first->pos(), QPoint(0, 10));
    EXPECT_EQ(second->pos(), QPoint(0, 40));

    view.verticalScrollBar()->setValue(25);
    EXPECT_EQ(first->pos(), QPoint(0, -15));
    EXPECT_EQ(second->pos(), QPoint(0, 15));

    // Taller than the form: nothing to scroll, the controls go back to their place.
    view.resize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(first->pos(), QPoint(0, 10));
}

TEST(CFormViewBoxTest, CompanionKeepsToTheBoxAndAnEmptyBoxShowsASunkenFrame)
{
    QWidget parent;
    auto* box = new CFormViewBox(&parent);
    box->setGeometry(10, 10, 60, 30);
    QPalette palette;
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, Qt::darkGray);
    palette.setColor(QPalette::Button, Qt::lightGray);
    box->setPalette(palette);

    const QImage empty = box->grab().toImage();
    EXPECT_EQ(empty.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(empty.pixelColor(1, 1), QColor(Qt::darkGray));
    EXPECT_EQ(empty.pixelColor(59, 29), QColor(Qt::white));
    EXPECT_EQ(empty.pixelColor(30, 15), QColor(Qt::lightGray));

    parent.show();
    auto* companion = new QWidget(&parent);
    box->SetCompanion(companion);
    EXPECT_EQ(companion->geometry(), QRect(10, 10, 60, 30));
    box->setGeometry(20, 15, 80, 40);
    EXPECT_EQ(companion->geometry(), QRect(20, 15, 80, 40));
}

TEST(COffscreenDCTest, DrawingReachesTheTargetAtTheEndThroughItsClipping)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter target(&image);
        target.setClipRegion(QRegion(0, 0, 20, 20) - QRegion(5, 5, 3, 3));
        COffscreenDC offscreen(target, QRect(5, 5, 10, 10));
        offscreen.Painter().fillRect(QRect(0, 0, 20, 20), Qt::red);
        EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white)) << "nothing before the end";
    }
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(14, 14), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(6, 6), QColor(Qt::white)) << "clipped out of the target";
    EXPECT_EQ(image.pixelColor(4, 10), QColor(Qt::white)) << "outside the rectangle";
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::white));
}

} // namespace
} // namespace kavelmark

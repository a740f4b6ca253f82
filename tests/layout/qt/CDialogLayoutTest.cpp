#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "layout/qt/CDialogLayout.h"
#include "layout/qt/CGroupStatic.h"
#include "platform/qt/DialogTemplates.h"
#include "settings/Settings.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

using namespace ControlStyle;

const DialogTemplate& NotesTemplate()
{
    static const DialogTemplate dialog{
        900,
        "Notizen",
        160,
        100,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {
            ControlTemplate{10, ControlKind::Static, "&Titel", 4, 6, 30, 8, GroupStart, {}},
            ControlTemplate{11, ControlKind::Edit, "", 36, 4, 120, 12, AutoHScroll | Border | TabStop, {}},
            ControlTemplate{20, ControlKind::GroupBox, "&Notizen", 4, 18, 152, 62, None, {}},
            ControlTemplate{12, ControlKind::Edit, "", 10, 28, 140, 46, MultiLine | Border | TabStop, {}},
            ControlTemplate{1, ControlKind::DefaultButton, "OK", 52, 82, 50, 14, TabStop, {}},
            ControlTemplate{2, ControlKind::PushButton, "Cancel", 106, 82, 50, 14, TabStop, {}},
        },
    };
    return dialog;
}

// A small resizable dialog: title row, a framed notes field that takes all extra room,
// buttons bottom right.
class NotesDialog : public CDialogLayout
{
public:
    explicit NotesDialog(std::uint32_t flags = LF_SAVE_POSITION | LF_SAVE_SIZE,
                         const DialogTemplate& dialogTemplate = NotesTemplate(), bool wantStatusBar = false)
        : CDialogLayout(dialogTemplate, nullptr, "DlgPos_Notes", wantStatusBar, flags)
    {
    }

    int initCount = 0;
    std::string title = "Einkauf";

protected:
    void DoDataExchange(DataExchange& dx) override
    {
        CDialogLayout::DoDataExchange(dx);
        dx.Text(Control(11), title);
    }

    bool OnInitDialog() override
    {
        CDialogLayout::OnInitDialog();
        ++initCount;
        BeginPane(LAYOUT_VERTICAL);
        AddSpace(5, 3);
        BeginPane(LAYOUT_HORIZONTAL);
        SetAlignment(ALIGN_CROSS_CENTER_Y);
        AddControl(10, LAYOUT_FIXED);
        AddControl(11, LAYOUT_FIXED_HEIGHT);
        EndPane();
        AddSpace(5, 3);
        AddGroup(20, LAYOUT_VERTICAL, 0, GROUP_BOX, 0);
        AddControl(12, LAYOUT_STRETCH);
        EndPane();
        BeginPane(LAYOUT_HORIZONTAL);
        AddSpace(0, 0);
        AddControl(IDOK, LAYOUT_FIXED);
        AddSpace(5, 3);
        AddControl(IDCANCEL, LAYOUT_FIXED);
        EndPane();
        AddSpace(5, 3);
        EndPane();
        return true;
    }
};

class CDialogLayoutTest : public ::testing::Test
{
protected:
    static void Settle()
    {
        QApplication::processEvents();
    }

    InMemorySettingsBackend backend;
    ScopedSettingsBackend scoped{backend};
    testing::MessageRecorder messages;
};

TEST_F(CDialogLayoutTest, StretchingControlGrowsAndFixedOnesKeepTheirSize)
{
    NotesDialog dialog;
    dialog.show();
    Settle();
    ASSERT_EQ(dialog.initCount, 1);
    QWidget* notes = dialog.Control(12);
    QWidget* title = dialog.Control(11);
    QWidget* label = dialog.Control(10);
    QWidget* ok = dialog.Control(IDOK);
    const QRect notesBefore = notes->geometry();
    const QRect titleBefore = title->geometry();
    const QRect labelBefore = label->geometry();
    const QRect okBefore = ok->geometry();

    dialog.resize(dialog.width() + 100, dialog.height() + 80);
    Settle();

    EXPECT_EQ(notes->width(), notesBefore.width() + 100);
    EXPECT_EQ(notes->height(), notesBefore.height() + 80);
    EXPECT_EQ(title->width(), titleBefore.width() + 100);
    EXPECT_EQ(title->height(), titleBefore.height());
    EXPECT_EQ(label->geometry(), labelBefore);
    EXPECT_EQ(ok->size(), okBefore.size());
    EXPECT_EQ(ok->pos(), okBefore.topLeft() + QPoint(100, 80));
    dialog.done(IDCANCEL);
}

TEST_F(CDialogLayoutTest, WindowStartsAtItsLaidOutMinimumAndCannotShrinkBelowIt)
{
    NotesDialog dialog;
    dialog.Create();
    const CLayoutItem& root = dialog.Layout().Root();
    // Qt sizes the client area: the window size less the root's borders on each side
    // and the caption.
    EXPECT_EQ(dialog.minimumSize(), QSize(root.minimum.Width(), root.minimum.Height()));
    EXPECT_EQ(dialog.MinTrackWidth(), root.minimum.Width() + 8);
    EXPECT_EQ(dialog.size(), dialog.minimumSize());
    dialog.done(IDCANCEL);
}

TEST_F(CDialogLayoutTest, PlacementIsSavedOnCloseAndRestoredOnTheNextOpen)
{
    QRect closedAt;
    {
        NotesDialog dialog;
        dialog.show();
        Settle();
        closedAt = QRect(dialog.x() + 20, dialog.y() + 10, dialog.width() + 60, dialog.height() + 40);
        dialog.setGeometry(closedAt);
        Settle();
        qobject_cast<QPushButton*>(dialog.Control(IDCANCEL))->click();
        EXPECT_EQ(dialog.result(), IDCANCEL);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(backend.Read("DlgPos_Notes", "Left"), std::to_string(closedAt.left()));
    EXPECT_EQ(backend.Read("DlgPos_Notes", "Bottom"), std::to_string(closedAt.top() + closedAt.height()));

    NotesDialog again;
    again.Create();
    EXPECT_EQ(again.geometry(), closedAt);
    // The controls follow the restored size: the last button ends at the root's right
    // border (6), counted from the left border taken twice (2 + 2).
    EXPECT_EQ(again.Control(IDCANCEL)->x() + again.Control(IDCANCEL)->width(), 4 + closedAt.width() - 8);
    again.done(IDOK);
}

TEST_F(CDialogLayoutTest, EnterAndEscapeEndTheRunAndSaveThePlacement)
{
    for (const auto& [key, expected] : {std::pair{Qt::Key_Return, IDOK}, std::pair{Qt::Key_Escape, IDCANCEL}})
    {
        SCOPED_TRACE(expected);
        backend.Erase("DlgPos_Notes", "Left");
        NotesDialog dialog;
        dialog.show();
        Settle();
        dialog.Control(11)->setFocus();
        QTest::keyClick(dialog.Control(11), key);
        EXPECT_EQ(dialog.result(), expected);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(backend.Read("DlgPos_Notes", "Left"), std::to_string(dialog.geometry().x()));
    }
}

TEST_F(CDialogLayoutTest, ModalRunEndsWithTheButtonsResultAndCanBeRepeated)
{
    NotesDialog dialog;
    for (const int button : {IDOK, IDCANCEL})
    {
        QTimer::singleShot(0, &dialog,
                           [&dialog, button] { qobject_cast<QPushButton*>(dialog.Control(button))->click(); });
        EXPECT_EQ(dialog.exec(), button);
    }
    EXPECT_EQ(dialog.initCount, 2);
    EXPECT_TRUE(backend.Read("DlgPos_Notes", "ShowCmd").has_value());
}

TEST_F(CDialogLayoutTest, FirstOpenIsCentredOnTheScreen)
{
    NotesDialog dialog;
    dialog.Create();
    const QRect screen = QApplication::primaryScreen()->geometry();
    EXPECT_EQ(dialog.geometry().x(), (screen.width() - dialog.width()) / 2);
    EXPECT_EQ(dialog.geometry().y(), (screen.height() - dialog.height()) / 2);
    dialog.done(IDCANCEL);
}

TEST_F(CDialogLayoutTest, EachRunStartsFromFreshWidgets)
{
    NotesDialog dialog;
    dialog.Create();
    qobject_cast<QPlainTextEdit*>(dialog.Control(12))->setPlainText("alt");
    dialog.done(IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    // Still readable after the run ends.
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog.Control(12))->toPlainText(), "alt");

    dialog.Create();
    EXPECT_EQ(dialog.initCount, 2);
    EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(dialog.Control(12))->toPlainText().isEmpty());
    dialog.done(IDCANCEL);
}

TEST_F(CDialogLayoutTest, ALayoutResetDeletesWhatItSetAsideAndNothingElse)
{
    // As a context menu closed with WA_DeleteOnClose whose key handler is still running.
    QPointer<QObject> pendingElsewhere = new QObject;
    pendingElsewhere->deleteLater();

    NotesDialog dialog;
    dialog.Create();
    QPointer<QLabel> replacedByFrame;
    // The frame took the group box's place; the label that stood there is the only hidden one.
    for (QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    {
        if (label->isHidden())
        {
            replacedByFrame = label;
        }
    }
    ASSERT_FALSE(replacedByFrame.isNull());
    dialog.done(IDCANCEL);

    dialog.Create();
    EXPECT_TRUE(replacedByFrame.isNull());
    EXPECT_FALSE(pendingElsewhere.isNull());
    dialog.done(IDCANCEL);
    delete pendingElsewhere.data();
}

TEST_F(CDialogLayoutTest, MembersReachTheControlsAtInitAndComeBackOnUpdate)
{
    NotesDialog dialog;
    dialog.Create();
    auto* edit = qobject_cast<QLineEdit*>(dialog.Control(11));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "Einkauf");
    edit->setText("Werkzeug");
    EXPECT_TRUE(dialog.UpdateData());
    EXPECT_EQ(dialog.title, "Werkzeug");
    dialog.done(IDOK);
}

TEST_F(CDialogLayoutTest, StatusBarReservesABottomMarginUnlessBothSidesAreFixed)
{
    NotesDialog withBar(LF_SAVE_POSITION, NotesTemplate(), true);
    withBar.show();
    Settle();
    ASSERT_NE(withBar.StatusBar(), nullptr);
    EXPECT_EQ(withBar.StatusBar()->geometry().bottom(), withBar.height() - 1);
    EXPECT_GT(withBar.Layout().Root().borders.bottom, 6);
    EXPECT_LE(withBar.Control(IDOK)->geometry().bottom(), withBar.StatusBar()->y());
    withBar.done(IDOK);

    NotesDialog fixed(LF_FIXED_WIDTH | LF_FIXED_HEIGHT, NotesTemplate(), true);
    fixed.Create();
    EXPECT_EQ(fixed.StatusBar(), nullptr);
    EXPECT_EQ(fixed.maximumSize(), fixed.minimumSize());
    fixed.done(IDOK);
}

TEST_F(CDialogLayoutTest, GroupBoxBecomesAFrameAroundItsMembers)
{
    NotesDialog dialog;
    dialog.show();
    Settle();
    auto* frame = qobject_cast<CGroupStatic*>(dialog.Control(20));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Caption(), "&Notizen");
    ASSERT_EQ(frame->Members().size(), 1u);
    EXPECT_EQ(frame->Members()[0].data(), dialog.Control(12));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->geometry().contains(dialog.Control(12)->geometry()));
    const CLayoutItem* group = dialog.Layout().FindControlItem(20);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->kind, CLayoutItem::Kind::Group);
    EXPECT_EQ(group->name, "&Notizen");
    EXPECT_TRUE(messages.messages.empty());
    dialog.done(IDCANCEL);
}

TEST(CGroupStaticTest, WithoutMembersItIsASeparator)
{
    QWidget parent;
    auto* frame = new CGroupStatic(&parent);
    frame->setGeometry(0, 0, 200, 8);
    EXPECT_TRUE(frame->IsSeparator());
    auto* member = new QWidget(&parent);
    frame->AddMember(member);
    EXPECT_FALSE(frame->IsSeparator());

    auto* buddy = new QPushButton("&Aktiv", &parent);
    frame->SetBuddy(buddy);
    EXPECT_EQ(frame->Caption(), " ");
    EXPECT_EQ(frame->Members().back().data(), buddy);
    // The buddy sits in the caption line.
    EXPECT_EQ(buddy->pos(), QPoint(15, -2));
}

TEST_F(CDialogLayoutTest, FixedSizeTemplateRestoresOnlyItsPosition)
{
    DialogTemplate fixed = NotesTemplate();
    fixed.style = DialogStyle::None;
    Settings::SetInt("DlgPos_Notes", "Left", 30);
    Settings::SetInt("DlgPos_Notes", "Top", 40);
    Settings::SetInt("DlgPos_Notes", "Right", 900);
    Settings::SetInt("DlgPos_Notes", "Bottom", 700);

    NotesDialog dialog(LF_SAVE_POSITION | LF_SAVE_SIZE, fixed);
    dialog.Create();
    EXPECT_EQ(dialog.pos(), QPoint(30, 40));
    EXPECT_EQ(dialog.size(), dialog.minimumSize());
    EXPECT_EQ(dialog.maximumSize(), dialog.minimumSize());
    EXPECT_EQ(dialog.LayoutFlags(), LF_SAVE_POSITION);
    dialog.done(IDCANCEL);
}

// The main window's template with its tree: the client area starts below the menu bar.
class MainTreeDialog : public CDialogLayout
{
public:
    MainTreeDialog()
        : CDialogLayout(MainWindowTemplate(), nullptr, "DlgPos_Kavelmark", false,
                        LF_SAVE_POSITION | LF_SAVE_SIZE | LF_MENU_HEIGHT)
    {
    }

    std::vector<int> commands;

protected:
    bool OnInitDialog() override
    {
        CDialogLayout::OnInitDialog();
        BeginPane(LAYOUT_HORIZONTAL);
        AddSpace(5, 3);
        BeginPane(LAYOUT_VERTICAL);
        AddSpace(5, 3);
        BeginPane(LAYOUT_HORIZONTAL);
        AddControl(1025, LAYOUT_FIXED);
        AddControl(1005, LAYOUT_FIXED_HEIGHT);
        EndPane();
        AddSpace(10, 3);
        AddControl(1003, LAYOUT_STRETCH);
        AddSpace(10, 3);
        BeginPane(LAYOUT_HORIZONTAL);
        for (int button : {1006, 1007, 1008})
        {
            AddControl(button, LAYOUT_FIXED);
        }
        EndPane();
        AddSpace(5, 3);
        EndPane();
        AddSpace(5, 3);
        EndPane();
        return true;
    }
    void OnMenuCommand(int command) override
    {
        commands.push_back(command);
    }
};

TEST_F(CDialogLayoutTest, MainWindowLabelSitsAtNineElevenBelowTheMenuBar)
{
    MainTreeDialog dialog;
    dialog.Create();
    ASSERT_NE(dialog.MenuBar(), nullptr);
    const int menuHeight = dialog.MenuBar()->sizeHint().height();
    EXPECT_EQ(dialog.Control(1025)->pos(), QPoint(9, 11 + menuHeight));
    const CLayoutItem& root = dialog.Layout().Root();
    EXPECT_EQ(dialog.minimumHeight(), root.minimum.Height() + menuHeight);

    QAction* config = nullptr;
    for (QAction* menu : dialog.MenuBar()->actions())
    {
        for (QAction* item : menu->menu()->actions())
        {
            if (item->text() == QString::fromUtf8("&Config"))
            {
                config = item;
            }
        }
    }
    ASSERT_NE(config, nullptr);
    config->trigger();
    EXPECT_EQ(dialog.commands, std::vector<int>{ID_CONFIG});
    dialog.done(IDCANCEL);
}

TEST(DialogUnitsTest, ConvertsByTheFontsBaseUnits)
{
    const DialogUnits units(QApplication::font());
    ASSERT_GT(units.BaseX(), 0);
    ASSERT_GT(units.BaseY(), 0);
    EXPECT_EQ(units.ToPixels(8, 28, 304, 124),
              QRect(8 * units.BaseX() / 4, 28 * units.BaseY() / 8, 304 * units.BaseX() / 4, 124 * units.BaseY() / 8));
}

} // namespace
} // namespace kavelmark

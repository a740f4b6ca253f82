// Where the small dialogs' trees put their controls, worked out by hand from the trees. The
// root's borders (2, 3) count twice at the top left and a margin of 5 follows, so the first
// row starts at (9, 11). The column is not the last child of its row, so its right border
// of 1 adds to the right margin of 5 and the root's 4 (6 less the 2 counted on the left): a
// control across the column ends 10 short of the client width cw, and one that is not the
// last of a row ends a pixel short of the next. Nothing stretches downwards: the rows keep
// their places when the window grows, and below the buttons lie the margin of 5 and the
// root's 3 (6 less 3).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QRect>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "app/qt/ConfigDialog.h"
#include "platform/qt/DialogTemplate.h"
#include "settings/Settings.h"
#include "support/MessageRecorder.h"
#include "ui/FindDialog.h"
#include "ui/GeneratorDialog.h"

namespace kavelmark
{
namespace
{

using Placed = std::vector<std::pair<int, QRect>>;

class DialogFrameGeometryTest : public ::testing::Test
{
protected:
    // Template sizes in pixels.
    int X(int dialogUnits) const
    {
        return dialogUnits * units.BaseX() / 4;
    }
    int Y(int dialogUnits) const
    {
        return dialogUnits * units.BaseY() / 8;
    }

    // Opens the dialog at its minimum, checks the minimum, the rows and OK and Cancel in the
    // row at buttonsY, then widens the window by 100 and checks again.
    void ExpectLaidOut(CDialogLayout& dialog, QSize minimum, int buttonsY,
                       const std::function<Placed(int cw)>& rows) const
    {
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.minimumSize(), minimum);
        EXPECT_EQ(dialog.size(), minimum);
        for (int cw : {minimum.width(), minimum.width() + 100})
        {
            SCOPED_TRACE(cw);
            dialog.resize(cw, minimum.height() + 40);
            QApplication::processEvents();
            ASSERT_EQ(dialog.width(), cw);
            Placed expected = rows(cw);
            for (const auto& button : Buttons(cw, buttonsY))
            {
                expected.push_back(button);
            }
            for (const auto& [id, rect] : expected)
            {
                EXPECT_EQ(dialog.Control(id)->geometry(), rect) << "control " << id;
            }
        }
        dialog.done(IDCANCEL);
    }

    // OK and Cancel, 50 x 14 in the templates, in the row that starts at y.
    Placed Buttons(int cw, int y) const
    {
        const int w = X(50);
        return {{IDOK, QRect(cw - 15 - 2 * w, y, w - 1, Y(14))}, {IDCANCEL, QRect(cw - 10 - w, y, w, Y(14))}};
    }
    // The narrowest column that still holds the rows of these widths and the button row
    // (a stretchable gap of at least 1, two buttons, 5 between them), as a client width.
    int MinimumWidth(std::initializer_list<int> rows) const
    {
        return std::max(std::max(rows), 1 + 2 * X(50) + 5) + 19;
    }

    DialogUnits units{DialogFont()};
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
};

TEST_F(DialogFrameGeometryTest, FindDialogPutsItsRowAndButtonsWhereItsTreeSays)
{
    FindDialog dialog(nullptr, QString(), {});
    // One row: the label (50 x 8) centred on the text field (113 x 12), which takes the width.
    const int buttonsY = 11 + Y(12) + 5;
    const QSize minimum(MinimumWidth({X(50) + X(113)}), buttonsY + Y(14) + 8);
    ExpectLaidOut(dialog, minimum, buttonsY,
                  [&](int cw)
                  {
                      return Placed{
                          {FindDialog::kTextLabelId, QRect(9, 11 + (Y(12) - Y(8)) / 2, X(50) - 1, Y(8))},
                          {FindDialog::kTextId, QRect(9 + X(50), 11, cw - 19 - X(50), Y(12))},
                      };
                  });
}

TEST_F(DialogFrameGeometryTest, GeneratorDialogPutsItsRowsAndButtonsWhereItsTreeSays)
{
    GeneratorDialog dialog(nullptr);
    // Length label (70 x 8) and field (30 x 12), both fixed; 5; four check boxes (10 high)
    // across; 5; the candidate's label (8) and field (12) across; the strength text (8)
    // centred beside "Neu" (50 x 14) at the right; 10 above the buttons.
    const int boxesY = 11 + Y(12) + 5;
    const int candidateY = boxesY + 4 * Y(10) + 5;
    const int strengthRowY = candidateY + Y(8) + Y(12);
    const int buttonsY = strengthRowY + Y(14) + 10;
    const QSize minimum(MinimumWidth({X(70) + X(30), X(186), X(60), X(120) + X(50)}), buttonsY + Y(14) + 8);
    ExpectLaidOut(
        dialog, minimum, buttonsY,
        [&](int cw)
        {
            return Placed{
                {GeneratorDialog::kLengthLabelId, QRect(9, 11 + (Y(12) - Y(8)) / 2, X(70) - 1, Y(8))},
                {GeneratorDialog::kLengthId, QRect(9 + X(70), 11, X(30), Y(12))},
                {GeneratorDialog::kUpperId, QRect(9, boxesY, cw - 19, Y(10))},
                {GeneratorDialog::kLowerId, QRect(9, boxesY + Y(10), cw - 19, Y(10))},
                {GeneratorDialog::kDigitsId, QRect(9, boxesY + 2 * Y(10), cw - 19, Y(10))},
                {GeneratorDialog::kSpecialId, QRect(9, boxesY + 3 * Y(10), cw - 19, Y(10))},
                {GeneratorDialog::kCandidateLabelId, QRect(9, candidateY, cw - 19, Y(8))},
                {GeneratorDialog::kCandidateId, QRect(9, candidateY + Y(8), cw - 19, Y(12))},
                {GeneratorDialog::kStrengthId, QRect(9, strengthRowY + (Y(14) - Y(8)) / 2, cw - 19 - X(50) - 1, Y(8))},
                {GeneratorDialog::kNewId, QRect(cw - 10 - X(50), strengthRowY, X(50), Y(14))},
            };
        });
}

TEST_F(DialogFrameGeometryTest, ConfigDialogPutsItsRowsAndButtonsWhereItsTreeSays)
{
    ConfigDialog dialog;
    // The closed combo boxes are as tall as Qt makes them; the layout keeps that height.
    const int combo = QComboBox().sizeHint().height();
    // A list (105 wide) is at least as wide as Qt makes one that fits its longest item.
    QComboBox blockModes;
    blockModes.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    blockModes.addItem(QStringLiteral("CBC - Cipher Block Chaining"));
    const int lists = std::max(X(105), blockModes.sizeHint().width());
    // File label (60 x 8) across; the file field (86 x 12) centred beside "?" (15 x 14);
    // 5; the delay's label (70 x 8, fixed) and field (12) across; 5; each list's label (8)
    // and list across, with 5 after each pair; the format's check box (130 x 10) across; 5.
    const int fileRowY = 11 + Y(8);
    const int delayY = fileRowY + Y(14) + 5;
    const int cipherY = delayY + Y(8) + Y(12) + 5;
    const int blockModeY = cipherY + Y(8) + combo + 5;
    const int formatY = blockModeY + Y(8) + combo + 5;
    const int buttonsY = formatY + Y(10) + 5;
    const QSize minimum(MinimumWidth({X(60), X(86) + X(15), X(70), lists, X(130)}), buttonsY + Y(14) + 8);
    ExpectLaidOut(
        dialog, minimum, buttonsY,
        [&](int cw)
        {
            return Placed{
                {ConfigDialog::kFileNameLabelId, QRect(9, 11, cw - 19, Y(8))},
                {ConfigDialog::kFileNameId, QRect(9, fileRowY + (Y(14) - Y(12)) / 2, cw - 19 - X(15) - 1, Y(12))},
                {ConfigDialog::kBrowseId, QRect(cw - 10 - X(15), fileRowY, X(15), Y(14))},
                {ConfigDialog::kHideTimeLabelId, QRect(9, delayY, X(70), Y(8))},
                {ConfigDialog::kHideTimeId, QRect(9, delayY + Y(8), cw - 19, Y(12))},
                {ConfigDialog::kCipherLabelId, QRect(9, cipherY, cw - 19, Y(8))},
                {ConfigDialog::kCipherListId, QRect(9, cipherY + Y(8), cw - 19, combo)},
                {ConfigDialog::kBlockModeLabelId, QRect(9, blockModeY, cw - 19, Y(8))},
                {ConfigDialog::kBlockModeListId, QRect(9, blockModeY + Y(8), cw - 19, combo)},
                {ConfigDialog::kHardenedFormatId, QRect(9, formatY, cw - 19, Y(10))},
            };
        });
}

} // namespace
} // namespace kavelmark

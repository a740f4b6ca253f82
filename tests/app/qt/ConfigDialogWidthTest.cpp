// Whether the configuration dialog shows its lists' items whole at its smallest size.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

#include "app/qt/ConfigDialog.h"
#include "settings/Settings.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

TEST(ConfigDialogWidthTest, DropDownListsShowTheirLongestItemWholeAtTheSmallestSize)
{
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    testing::MessageRecorder messages;
    ConfigDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.size(), dialog.minimumSize()) << "opened at the size its template and layout give";

    const struct
    {
        int id;
        const char* longest;
    } lists[] = {{ConfigDialog::kCipherListId, "TwoFish"},
                 {ConfigDialog::kBlockModeListId, "CBC - Cipher Block Chaining"}};
    for (const auto& list : lists)
    {
        SCOPED_TRACE(list.longest);
        auto* combo = dialog.ControlAs<QComboBox>(list.id);
        ASSERT_NE(combo, nullptr);
        ASSERT_NE(combo->findText(QString::fromUtf8(list.longest)), -1);
        const int textWidth = QFontMetrics(combo->font()).horizontalAdvance(QString::fromUtf8(list.longest));

        // The style draws the chosen item into the edit field, one pixel in from each side,
        // and the arrow right of it.
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.rect = combo->rect();
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        const QRect arrow =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo);
        EXPECT_GE(field.width() - 2, textWidth);
        EXPECT_GE(combo->width(), textWidth + arrow.width());
        EXPECT_LE(field.right(), arrow.left()) << "the arrow lies beside the text, not over it";
    }
    dialog.done(IDCANCEL);
}

} // namespace
} // namespace kavelmark

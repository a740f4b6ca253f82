#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "GalleryDialog.h"
#include "layout/qt/CFormViewLayout.h"
#include "layout/qt/CPropertyPageLayout.h"
#include "layout/qt/CPropertySheetLayout.h"
#include "layout/qt/CSplitterBar.h"
#include "layout/qt/WidgetLayout.h"
#include "support/PaintCapture.h"

namespace kavelmark
{
namespace
{

QStringList g_warnings;

void RecordWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // The offscreen platform cannot pass a window's minimum size on to a window manager
    // and says so whenever one is set; that is no fault of the window.
    if (type != QtDebugMsg && type != QtInfoMsg &&
        message != QLatin1String("This plugin does not support propagateSizeHints()"))
    {
        g_warnings << message;
    }
}

// Every warning, critical or fatal message Qt reports while the test runs fails it.
class NoQtWarnings
{
public:
    NoQtWarnings() : previous_(qInstallMessageHandler(RecordWarnings))
    {
        g_warnings.clear();
    }
    ~NoQtWarnings()
    {
        qInstallMessageHandler(previous_);
    }

private:
    QtMessageHandler previous_;
};

TEST(LayoutGalleryTest, OpensResizesAndClosesWithoutWarnings)
{
    NoQtWarnings guard;
    {
        GalleryDialog dialog;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.size(), dialog.minimumSize());

        dialog.resize(dialog.width() + 120, dialog.height() + 80);
        QApplication::processEvents();
        auto* left = qobject_cast<QListWidget*>(dialog.Control(gallery::kListLeft));
        auto* right = qobject_cast<QListWidget*>(dialog.Control(gallery::kListRight));
        ASSERT_NE(left, nullptr);
        ASSERT_NE(right, nullptr);
        EXPECT_EQ(dialog.Splitter()->x(), left->geometry().right() + 2);
        EXPECT_GT(dialog.FormView()->verticalScrollBar()->maximum(), 0) << "more rows than fit";

        // The larger page makes the sheet and the window grow to fit it.
        const QSize minimumBefore = dialog.minimumSize();
        CPropertySheetLayout* sheet = dialog.Sheet();
        QTabBar* tabs = sheet->TabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QApplication::processEvents();
        ASSERT_EQ(sheet->ActiveIndex(), 1);
        // The sheet's cell in the window's tree holds the page under the tab strip (the window
        // itself is a pixel narrower: the right border of a control in a horizontal pane).
        const CPropertyPageLayout* page = sheet->ActivePage();
        const CLayoutItem* cell = FindWidgetItem(dialog.Layout(), sheet);
        ASSERT_NE(cell, nullptr);
        EXPECT_GE(cell->size.Width(), page->MinWidth());
        EXPECT_GE(cell->size.Height(), page->MinHeight() + tabs->height());
        EXPECT_GT(dialog.minimumSize().height(), minimumBefore.height());
        EXPECT_TRUE(dialog.rect().contains(sheet->geometry()));
        EXPECT_GE(dialog.width(), dialog.minimumWidth());
        EXPECT_GE(dialog.height(), dialog.minimumHeight());

        QTest::mouseClick(qobject_cast<QPushButton*>(dialog.Control(IDOK)), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(QLatin1Char('\n')).toStdString();
}

void ClickTab(CPropertySheetLayout& sheet, int index)
{
    QTest::mouseClick(sheet.TabBar(), Qt::LeftButton, {}, sheet.TabBar()->tabRect(index).center());
    QApplication::processEvents();
    ASSERT_EQ(sheet.ActiveIndex(), index);
}

TEST(LayoutGalleryTest, ControlsInTheGroupStandOnTheirPageEachTimeItIsShown)
{
    GalleryDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CPropertyPageLayout* account = dialog.Sheet()->Page(0);
    for (const char* visit : {"first shown", "shown again after the other page"})
    {
        SCOPED_TRACE(visit);
        const QImage shown = testing::CaptureOverBlack(dialog);
        for (int id : {gallery::kActive, gallery::kNameLabel, gallery::kPlaceLabel})
        {
            SCOPED_TRACE(id);
            QWidget* control = account->Control(id);
            ASSERT_NE(control, nullptr);
            ASSERT_TRUE(control->isVisible());
            const QRect where(control->mapTo(&dialog, QPoint(0, 0)), control->size());
            // Black ink of the text is a small part; an unpainted control is black all over.
            EXPECT_LT(testing::BlackShare(shown, where), 0.25);
        }
        ClickTab(*dialog.Sheet(), 1);
        ClickTab(*dialog.Sheet(), 0);
    }
}

TEST(LayoutGalleryTest, LabelMnemonicsLeadToTheirFields)
{
    GalleryDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    CPropertyPageLayout* account = dialog.Sheet()->Page(0);
    const struct
    {
        Qt::Key key;
        int field;
    } cases[] = {{Qt::Key_N, gallery::kNameEdit}, {Qt::Key_O, gallery::kPlaceEdit}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.field);
        QTest::keyClick(&dialog, c.key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), account->Control(c.field));
    }
}

TEST(LayoutGalleryTest, FormViewScrollsThreeLinesOfTheDialogFontPerWheelNotch)
{
    GalleryDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QScrollBar* bar = dialog.FormView()->verticalScrollBar();
    const int line = QFontMetrics(dialog.font()).lineSpacing();
    const int notch = QApplication::wheelScrollLines() * line;
    ASSERT_GT(bar->pageStep(), notch) << "a notch scrolls at most a page";
    ASSERT_GE(bar->maximum(), notch);
    ASSERT_EQ(bar->value(), 0);

    QWidget* viewport = dialog.FormView()->viewport();
    const QPointF at = viewport->rect().center();
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_EQ(bar->value(), notch);
}

} // namespace
} // namespace kavelmark

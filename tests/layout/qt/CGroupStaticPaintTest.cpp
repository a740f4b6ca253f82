// What the group frame paints, read back from its pixels.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <optional>
#include <ostream>

#include "layout/qt/CGroupStatic.h"
#include "support/QtPrinters.h"

// Readable points and colours in failure messages.
inline void PrintTo(const QPoint& point, std::ostream* os)
{
    *os << '(' << point.x() << ", " << point.y() << ')';
}

namespace kavelmark
{
namespace
{

const QColor kFace(255, 255, 255);
const QColor kDark(128, 128, 128);

bool IsInk(QRgb pixel)
{
    return qGray(pixel) < 80;
}

// The first row and column of text ink (dark pixels) in the image.
std::optional<QPoint> InkTopLeft(const QImage& image)
{
    int top = -1;
    int left = image.width();
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            if (IsInk(image.pixel(x, y)))
            {
                top = top < 0 ? y : top;
                left = std::min(left, x);
            }
        }
    }
    if (top < 0)
    {
        return std::nullopt;
    }
    return QPoint(left, top);
}

class CGroupStaticPaintTest : public ::testing::Test
{
protected:
    CGroupStaticPaintTest()
    {
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Button, kFace);
        palette.setColor(QPalette::Window, kFace);
        palette.setColor(QPalette::Dark, kDark);
        palette.setColor(QPalette::Light, kFace);
        palette.setColor(QPalette::WindowText, Qt::black);
        parent.setPalette(palette);
        QFont font = parent.font();
        font.setPixelSize(16);
        parent.setFont(font);
        parent.resize(300, 200);
    }

    QWidget parent;
};

TEST_F(CGroupStaticPaintTest, CaptionStartsTwoPixelsAboveTheFrameAndOneFontHeightIn)
{
    auto* frame = new CGroupStatic(&parent);
    frame->setGeometry(10, 40, 240, 100);
    frame->AddMember(new QWidget(&parent));
    // Lower-case letters only, so that no ink lies in the two rows cut off at the top.
    const QString caption = QStringLiteral("acemo");
    frame->SetCaption(caption);
    const QImage painted = frame->grab().toImage();

    // The same text drawn plainly at the frame's top-left corner.
    QImage plain(painted.size(), QImage::Format_RGB32);
    plain.fill(kFace);
    {
        QPainter painter(&plain);
        painter.setFont(frame->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), plain.size()), Qt::AlignLeft | Qt::AlignTop,
                         QLatin1Char(' ') + caption + QLatin1Char(' '));
    }

    const std::optional<QPoint> expected = InkTopLeft(plain);
    const std::optional<QPoint> shown = InkTopLeft(painted);
    ASSERT_TRUE(expected && shown);
    ASSERT_GE(expected->y(), 2);
    const int fontHeight = QFontInfo(frame->font()).pixelSize();
    EXPECT_EQ(*shown, *expected + QPoint(fontHeight, -2));
}

TEST_F(CGroupStaticPaintTest, FrameLineIsClearedOnBothSidesOfTheBuddy)
{
    auto* frame = new CGroupStatic(&parent);
    frame->setGeometry(20, 40, 240, 100);
    frame->AddMember(new QWidget(&parent));
    auto* buddy = new QCheckBox(QStringLiteral("&Aktiv"), &parent);
    buddy->resize(buddy->width(), 24);
    frame->SetBuddy(buddy);
    const QImage painted = frame->grab().toImage();
    const int buddyWidth = buddy->width();
    ASSERT_EQ(buddy->pos(), QPoint(20 + 15, 40 - 2));
    ASSERT_LT(buddyWidth + 20, painted.width() - 10);

    // The frame's top line, where nothing stands on it.
    int line = -1;
    for (int y = 0; y < 22 && line < 0; ++y)
    {
        if (painted.pixelColor(painted.width() - 10, y) == kDark)
        {
            line = y;
        }
    }
    ASSERT_GE(line, 0);

    // Left of the buddy, from x 8 on, and past its right edge up to width + 20.
    for (int x = 0; x < painted.width() - 10; ++x)
    {
        const bool leftStrip = x >= 8 && x < 15;
        const bool rightStrip = x >= buddyWidth + 15 && x < buddyWidth + 20;
        if (leftStrip || rightStrip)
        {
            EXPECT_EQ(painted.pixelColor(x, line), kFace) << "x " << x;
        }
        else if (x >= 1 && x < 8)
        {
            EXPECT_EQ(painted.pixelColor(x, line), kDark) << "x " << x;
        }
    }
}

} // namespace
} // namespace kavelmark

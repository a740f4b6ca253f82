#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <algorithm>

namespace kavelmark::testing
{

// A window as it shows itself, drawn over black: a pixel that no control paints stays black,
// the way an unpainted backing store shows under X11. Opaque widgets keep the window from
// painting under them, just as on the screen.
inline QImage CaptureOverBlack(QWidget& window)
{
    QPixmap pixmap(window.size());
    pixmap.fill(Qt::black);
    window.render(&pixmap);
    return pixmap.toImage();
}

inline bool IsBlack(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::black);
}

inline int LongestBlackRun(const QImage& image, int y)
{
    int longest = 0;
    int run = 0;
    for (int x = 0; x < image.width(); ++x)
    {
        run = IsBlack(image, x, y) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The share of pure black among the pixels of a rectangle of the image.
inline double BlackShare(const QImage& image, const QRect& rect)
{
    const QRect inside = rect & image.rect();
    if (inside.isEmpty())
    {
        return 0.0;
    }
    int black = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
    {
        for (int x = inside.left(); x <= inside.right(); ++x)
        {
            black += IsBlack(image, x, y) ? 1 : 0;
        }
    }
    return static_cast<double>(black) / (inside.width() * inside.height());
}

} // namespace kavelmark::testing

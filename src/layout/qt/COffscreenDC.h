#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRect>

namespace kavelmark
{

// Drawing into an off-screen pixmap of a target rectangle; the finished picture goes to
// the target in one copy when the context ends, through the target's clipping. Painter()
// draws in the target's coordinates and is clipped to the rectangle.
//
//   QPainter target(this);
//   target.setClipRegion(visibleParts);
//   COffscreenDC offscreen(target, rect());
//   offscreen.Painter().fillRect(...); // copied to `target` at the end of the scope
class COffscreenDC
{
public:
    COffscreenDC(QPainter& target, const QRect& rect);
    ~COffscreenDC();
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    QPainter& Painter()
    {
        return painter_;
    }
    const QRect& Rect() const
    {
        return rect_;
    }

private:
    QPainter& target_;
    QRect rect_;
    QPixmap pixmap_;
    QPainter painter_;
};

} // namespace kavelmark

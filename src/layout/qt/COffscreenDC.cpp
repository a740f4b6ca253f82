#include "layout/qt/COffscreenDC.h"

#include <QPaintDevice>

namespace kavelmark
{
namespace
{

QPixmap MakePixmap(const QPainter& target, const QRect& rect)
{
    const qreal ratio = target.device() ? target.device()->devicePixelRatioF() : 1.0;
    QPixmap pixmap(rect.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

COffscreenDC::COffscreenDC(QPainter& target, const QRect& rect)
    : target_(target), rect_(rect), pixmap_(MakePixmap(target, rect))
{
    if (pixmap_.isNull())
    {
        return;
    }
    painter_.begin(&pixmap_);
    painter_.setFont(target.font());
    painter_.translate(-rect.topLeft());
}

COffscreenDC::~COffscreenDC()
{
    if (painter_.isActive())
    {
        painter_.end();
        target_.drawPixmap(rect_.topLeft(), pixmap_);
    }
}

} // namespace kavelmark

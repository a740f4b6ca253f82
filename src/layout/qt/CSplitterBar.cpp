#include "layout/qt/CSplitterBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

#include "layout/qt/WidgetLayout.h"

namespace kavelmark
{

CSplitterBar::CSplitterBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    UpdateCursor();
}

void CSplitterBar::SetLayout(CLayoutManager* layout)
{
    layout_ = layout;
    UpdateCursor();
}

CLayoutItem* CSplitterBar::OwnItem() const
{
    return layout_ ? FindWidgetItem(*layout_, this) : nullptr;
}

CLayoutItem* CSplitterBar::Neighbour(int step) const
{
    CLayoutItem* item = OwnItem();
    if (!item || !item->parent)
    {
        return nullptr;
    }
    const std::vector<CLayoutItem*>& siblings = item->parent->children;
    const auto at = std::find(siblings.begin(), siblings.end(), item);
    const auto index = (at - siblings.begin()) + step;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(siblings.size()))
    {
        return nullptr;
    }
    CLayoutItem* neighbour = siblings[static_cast<std::size_t>(index)];
    return neighbour->kind == CLayoutItem::Kind::Space ? nullptr : neighbour;
}

CLayoutItem* CSplitterBar::Before() const
{
    return Neighbour(-1);
}

CLayoutItem* CSplitterBar::After() const
{
    return Neighbour(1);
}

bool CSplitterBar::SplitsSideBySide() const
{
    const CLayoutItem* item = OwnItem();
    return item && item->parent && item->parent->orientation == LAYOUT_HORIZONTAL;
}

void CSplitterBar::UpdateCursor()
{
    if (!Before() || !After())
    {
        setCursor(Qt::SizeAllCursor);
    }
    else
    {
        setCursor(SplitsSideBySide() ? Qt::SplitHCursor : Qt::SplitVCursor);
    }
}

void CSplitterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    // Across the bar: a pushed button frame 2 pixels in, the highlight 1 pixel inside it.
    const bool sideBySide = width() <= height();
    const QRect frame = sideBySide ? r.adjusted(2, 0, -2, 0) : r.adjusted(0, 2, 0, -2);
    if (frame.isEmpty())
    {
        return;
    }
    qDrawWinButton(&painter, frame, palette(), true, nullptr);
    painter.fillRect(frame.adjusted(1, 1, -1, -1), palette().color(QPalette::Highlight));
}

void CSplitterBar::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    UpdateCursor();
}

void CSplitterBar::mousePressEvent(QMouseEvent* event)
{
    CLayoutItem* before = Before();
    CLayoutItem* after = After();
    if (event->button() != Qt::LeftButton || !before || !after)
    {
        QWidget::mousePressEvent(event);
        return;
    }
    if (before->share == 0 || after->share == 0)
    {
        before->share = 50;
        after->share = 50;
    }
    const bool sideBySide = SplitsSideBySide();
    const QPoint global = event->globalPosition().toPoint();
    pressPosition_ = sideBySide ? global.x() : global.y();
    beforeShare_ = before->share;
    afterShare_ = after->share;
    combinedExtent_ =
        sideBySide ? before->size.Width() + after->size.Width() : before->size.Height() + after->size.Height();
    // Qt sends the moves to the pressed widget until the release, wherever the mouse goes.
    dragging_ = combinedExtent_ > 0;
    event->accept();
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* event)
{
    CLayoutItem* before = Before();
    CLayoutItem* after = After();
    if (!dragging_ || !before || !after || !layout_)
    {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    const int moved = (SplitsSideBySide() ? global.x() : global.y()) - pressPosition_;
    // Measured from the press, so that rounding does not add up over many moves; the
    // mouse cannot leave the neighbours, so neither share drops below 0.
    const double points = std::clamp(moved * 100.0 / combinedExtent_, -beforeShare_, afterShare_);
    before->share = beforeShare_ + points;
    after->share = afterShare_ - points;
    layout_->Relayout(&layout_->Root());
    event->accept();
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ && event->button() == Qt::LeftButton)
    {
        dragging_ = false;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace kavelmark

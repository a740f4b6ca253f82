#include "layout/qt/CFormViewBox.h"

#include <QPainter>
#include <qdrawutil.h>

namespace kavelmark
{

CFormViewBox::CFormViewBox(QWidget* parent) : QWidget(parent)
{
    // Nothing is erased under the box: the frame or the companion covers it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CFormViewBox::SetCompanion(QWidget* companion)
{
    companion_ = companion;
    FollowBox();
    update();
}

void CFormViewBox::FollowBox()
{
    if (!companion_)
    {
        return;
    }
    QRect target = geometry();
    QWidget* boxParent = parentWidget();
    QWidget* companionParent = companion_->parentWidget();
    if (boxParent && companionParent && boxParent != companionParent)
    {
        target.moveTopLeft(
            companionParent->mapFrom(boxParent->window(), boxParent->mapTo(boxParent->window(), target.topLeft())));
    }
    companion_->setGeometry(target);
    companion_->setVisible(!isHidden());
    companion_->raise();
    // Repaint the companion and its children now, without erasing first.
    companion_->repaint();
}

void CFormViewBox::paintEvent(QPaintEvent*)
{
    if (companion_)
    {
        return;
    }
    QPainter painter(this);
    const QBrush face = palette().button();
    qDrawWinButton(&painter, rect(), palette(), true, &face);
}

void CFormViewBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FollowBox();
}

void CFormViewBox::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    FollowBox();
}

} // namespace kavelmark

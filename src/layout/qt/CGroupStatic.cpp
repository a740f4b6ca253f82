#include "layout/qt/CGroupStatic.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QStyleOption>

#include "layout/qt/COffscreenDC.h"

namespace kavelmark
{
namespace
{

// An etched line: a dark line with a light one below or right of it.
void DrawEtchedLine(QPainter& painter, const QPalette& palette, QPoint from, QPoint to, bool vertical)
{
    const QPoint offset = vertical ? QPoint(1, 0) : QPoint(0, 1);
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawLine(from, to);
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(from + offset, to + offset);
}

void DrawEtchedRect(QPainter& painter, const QPalette& palette, const QRect& rect)
{
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(palette.color(QPalette::Light));
    painter.drawRect(rect.adjusted(1, 1, 0, 0));
}

// Screen readers see the frame as the grouping it draws, named by its caption.
QAccessibleInterface* GroupAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(CGroupStatic::staticMetaObject.className()) && object && object->isWidgetType())
    {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    }
    return nullptr;
}

} // namespace

CGroupStatic::CGroupStatic(QWidget* parent) : QWidget(parent)
{
    static const bool factoryInstalled = []
    {
        QAccessible::installFactory(&GroupAccessible);
        return true;
    }();
    (void)factoryInstalled;
    setFocusPolicy(Qt::NoFocus);
    // Not opaque: the frame leaves its members' rectangles unpainted, so the window behind
    // it must paint there first, or labels and check boxes that draw only their text would
    // stand on black or on what was shown there before.
}

void CGroupStatic::SetCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleName(caption.trimmed());
    update();
}

void CGroupStatic::SetBuddy(QWidget* buddy)
{
    buddy_ = buddy;
    members_.emplace_back(buddy);
    caption_ = QStringLiteral(" ");
    // The buddy stands in the caption line and says what the group is.
    if (auto* button = qobject_cast<QAbstractButton*>(buddy))
    {
        setAccessibleName(button->text().remove(QLatin1Char('&')));
    }
    PlaceBuddy();
    update();
}

void CGroupStatic::AddMember(QWidget* member)
{
    members_.emplace_back(member);
    update();
}

void CGroupStatic::paintEvent(QPaintEvent*)
{
    QPainter target(this);
    const QRect r = rect();
    // Drawn off screen and copied in one go, so the frame never flickers over the members.
    COffscreenDC offscreen(target, r);
    QPainter& painter = offscreen.Painter();
    const QPalette& pal = palette();

    if (members_.empty())
    {
        painter.fillRect(r, pal.color(QPalette::Button));
        if (r.width() < r.height())
        {
            const int x = r.left() + r.width() / 2 - 1;
            DrawEtchedLine(painter, pal, QPoint(x, r.top()), QPoint(x, r.bottom()), true);
        }
        else
        {
            const int y = r.top() + r.height() / 2 - 2;
            DrawEtchedLine(painter, pal, QPoint(r.left(), y), QPoint(r.right(), y), false);
        }
        return;
    }

    // Leave the members' rectangles alone: they paint themselves.
    QRegion clip(r);
    for (const QPointer<QWidget>& member : members_)
    {
        if (member && member->isVisible() && member->parentWidget() == parentWidget())
        {
            clip -= QRect(mapFromParent(member->pos()), member->size());
        }
    }
    target.setClipRegion(clip);

    const int fontHeight = QFontInfo(font()).pixelSize();
    int top = r.top() + 1;
    if (!caption_.isEmpty())
    {
        top = r.top() + fontHeight / 2;
    }
    painter.fillRect(r, pal.color(QPalette::Button));
    DrawEtchedRect(painter, pal, QRect(QPoint(r.left(), top - 1), QPoint(r.right(), r.bottom() - 2)));

    if (!caption_.isEmpty() && !buddy_)
    {
        // Two pixels above the frame's own top, so that the line runs through the text's middle.
        const QString text = QLatin1Char(' ') + caption_ + QLatin1Char(' ');
        const QFontMetrics metrics(font());
        const QRect textRect(r.left() + fontHeight, r.top() - 2, metrics.horizontalAdvance(text) + 2, metrics.height());
        painter.fillRect(textRect, pal.color(QPalette::Button));
        QStyleOption option;
        option.initFrom(this);
        style()->drawItemText(&painter, textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, pal, isEnabled(),
                              text, QPalette::WindowText);
    }
    if (buddy_)
    {
        // Clear the frame line on both sides of the buddy, which stands in the caption line.
        const int stripHeight = buddy_->height() - 2;
        painter.fillRect(QRect(r.left() + 8, r.top(), 10, stripHeight), pal.color(QPalette::Button));
        painter.fillRect(QRect(r.left() + buddyWidthBeforeMove_ + 10, r.top(), 10, stripHeight),
                         pal.color(QPalette::Button));
    }
}

void CGroupStatic::PlaceBuddy()
{
    if (!buddy_)
    {
        return;
    }
    if (buddyWidth_ == 0)
    {
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(buddy_.data()))
        {
            text = button->text().left(255);
        }
        text.remove(QLatin1Char('&'));
        buddyWidth_ = QFontMetrics(font()).horizontalAdvance(text) + 20;
    }
    buddyWidthBeforeMove_ = buddy_->width();
    buddy_->setGeometry(x() + 15, y() - 2, buddyWidth_, buddy_->height());
    buddy_->raise();
    buddy_->update();
}

void CGroupStatic::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    PlaceBuddy();
}

void CGroupStatic::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceBuddy();
}

void CGroupStatic::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
    {
        repaint();
    }
}

void CGroupStatic::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (buddy_)
    {
        buddy_->show();
    }
}

void CGroupStatic::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (buddy_ && isHidden())
    {
        buddy_->hide();
    }
}

} // namespace kavelmark

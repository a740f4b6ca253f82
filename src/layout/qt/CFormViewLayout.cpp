#include "layout/qt/CFormViewLayout.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

namespace kavelmark
{

CFormViewLayout::CFormViewLayout(QWidget* parent) : QAbstractScrollArea(parent), layout_(*viewport())
{
    setFrameShape(QFrame::NoFrame);
    // The view's own background is the button face, like a dialog's.
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    layout_.Reset();
}

void CFormViewLayout::Reset()
{
    layout_.Reset();
}

bool CFormViewLayout::BeginPane(int orientation, const LayoutRect* borders, const std::string& name)
{
    return layout_.BeginPane(orientation, borders, name);
}

bool CFormViewLayout::AddControl(int controlId, int mode, int share, std::uint32_t flags)
{
    return layout_.AddControl(controlId, mode, share, flags);
}

void CFormViewLayout::AddSpace(int size, int minimum)
{
    layout_.AddSpace(size, minimum);
}

void CFormViewLayout::SetAlignment(int alignment)
{
    layout_.SetAlignment(alignment);
}

bool CFormViewLayout::AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags)
{
    return layout_.AddGroup(frameId, orientation, buddyId, groupKind, flags);
}

bool CFormViewLayout::EndPane()
{
    if (layout_.EndPane())
    {
        UpdateScrollRanges();
        RunLayout();
    }
    return true;
}

void CFormViewLayout::UpdateScrollRanges()
{
    const QSize content = ContentSize();
    const QSize visible = viewport()->size();
    // A wheel notch or an arrow click moves by lines of the view's font, not by pixels.
    const int line = QFontMetrics(font()).lineSpacing();
    horizontalScrollBar()->setSingleStep(line);
    verticalScrollBar()->setSingleStep(line);
    horizontalScrollBar()->setRange(0, std::max(content.width() - visible.width(), 0));
    horizontalScrollBar()->setPageStep(visible.width());
    verticalScrollBar()->setRange(0, std::max(content.height() - visible.height(), 0));
    verticalScrollBar()->setPageStep(visible.height());
}

void CFormViewLayout::RunLayout()
{
    layout_.Relayout(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

void CFormViewLayout::resizeEvent(QResizeEvent* event)
{
    // Also called for the viewport's resizes, when a scroll bar comes or goes.
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
    RunLayout();
}

void CFormViewLayout::scrollContentsBy(int, int)
{
    RunLayout();
}

} // namespace kavelmark

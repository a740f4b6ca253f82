#include "layout/qt/CPropertyPageLayout.h"

#include <QApplication>

#include "layout/qt/CPropertySheetLayout.h"

namespace kavelmark
{

CPropertyPageLayout::CPropertyPageLayout(const QString& title, QWidget* parent)
    : QWidget(parent), title_(title), layout_(*this)
{
    // Pages are painted in the button face, like the dialog behind them.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

CPropertyPageLayout::~CPropertyPageLayout()
{
    // A page going away must not keep the keyboard focus on one of its controls.
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
    {
        focus->clearFocus();
    }
}

bool CPropertyPageLayout::Create()
{
    if (created_)
    {
        return true;
    }
    created_ = true;
    return OnInitDialog();
}

bool CPropertyPageLayout::OnInitDialog()
{
    layout_.Reset();
    // Until it is activated the page takes no room: its minimum decides.
    resize(10, 10);
    return true;
}

bool CPropertyPageLayout::BeginPane(int orientation, const LayoutRect* borders, const std::string& name)
{
    return layout_.BeginPane(orientation, borders, name);
}

bool CPropertyPageLayout::AddControl(int controlId, int mode, int share, std::uint32_t flags)
{
    return layout_.AddControl(controlId, mode, share, flags);
}

void CPropertyPageLayout::AddSpace(int size, int minimum)
{
    layout_.AddSpace(size, minimum);
}

void CPropertyPageLayout::SetAlignment(int alignment)
{
    layout_.SetAlignment(alignment);
}

bool CPropertyPageLayout::AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags)
{
    return layout_.AddGroup(frameId, orientation, buddyId, groupKind, flags);
}

bool CPropertyPageLayout::EndPane()
{
    if (layout_.EndPane())
    {
        minWidth_ = layout_.MinimumSize().width();
        minHeight_ = layout_.MinimumSize().height();
        layout_.Relayout();
    }
    return true;
}

bool CPropertyPageLayout::OnSetActive()
{
    CLayoutItem* item = sheet_ ? sheet_->PageItem() : nullptr;
    if (!item)
    {
        return true;
    }
    bool changed = false;
    if (item->minimum.Width() < minWidth_)
    {
        item->minimum.right = item->minimum.left + minWidth_;
        changed = true;
    }
    const int height = minHeight_ + sheet_->TabAreaHeight();
    if (item->minimum.Height() < height)
    {
        item->minimum.bottom = item->minimum.top + height;
        changed = true;
    }
    if (changed)
    {
        sheet_->RecalcSize();
        setGeometry(sheet_->DisplayRect());
    }
    return true;
}

int CPropertyPageLayout::OnWizardBack()
{
    return sheet_ && sheet_->IndexOf(this) <= 0 ? -1 : 0;
}

int CPropertyPageLayout::OnWizardNext()
{
    return sheet_ && sheet_->IndexOf(this) >= sheet_->PageCount() - 1 ? -1 : 0;
}

void CPropertyPageLayout::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout_.Relayout();
}

} // namespace kavelmark

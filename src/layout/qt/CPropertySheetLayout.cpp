#include "layout/qt/CPropertySheetLayout.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>

#include "layout/qt/CPropertyPageLayout.h"
#include "layout/qt/LayoutEvents.h"

namespace kavelmark
{
namespace
{

// Ids of the sheet's own controls in its tree.
constexpr int kPageAreaId = 1;
constexpr int kSeparatorId = 2;
constexpr int kBackId = 3;
constexpr int kNextId = 4;

} // namespace

CPropertySheetLayout::CPropertySheetLayout(QWidget* parent, bool wizard, std::uint32_t layoutFlags)
    : QWidget(parent), layout_(*this), wizard_(wizard), layoutFlags_(layoutFlags), pageArea_(new QWidget(this)),
      tabBar_(new QTabBar(pageArea_))
{
    pageArea_->installEventFilter(this);
    layout_.SetControl(kPageAreaId, pageArea_, ControlKind::Static);
    if (wizard_)
    {
        tabBar_->hide();
        separator_ = new QFrame(this);
        separator_->setFrameShape(QFrame::HLine);
        separator_->setFrameShadow(QFrame::Sunken);
        separator_->resize(10, 2);
        back_ = new QPushButton(QStringLiteral("< &Zurück"), this);
        next_ = new QPushButton(QStringLiteral("&Weiter >"), this);
        for (QPushButton* button : {back_, next_})
        {
            button->setAutoDefault(false);
            button->resize(button->sizeHint());
        }
        layout_.SetControl(kSeparatorId, separator_, ControlKind::Static);
        layout_.SetControl(kBackId, back_, ControlKind::PushButton);
        layout_.SetControl(kNextId, next_, ControlKind::PushButton);
        connect(back_, &QPushButton::clicked, this, &CPropertySheetLayout::Back);
        connect(next_, &QPushButton::clicked, this, &CPropertySheetLayout::Next);
    }
    else
    {
        tabBar_->setDrawBase(true);
        connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) { SetActivePage(index); });
    }
}

CPropertySheetLayout::~CPropertySheetLayout()
{
    pageArea_->removeEventFilter(this);
}

void CPropertySheetLayout::AddPage(CPropertyPageLayout* page)
{
    if (!page)
    {
        return;
    }
    page->setParent(pageArea_);
    page->hide();
    page->sheet_ = this;
    pages_.emplace_back(page);
    if (!wizard_)
    {
        const QSignalBlocker blocker(tabBar_);
        tabBar_->addTab(page->Title());
    }
}

bool CPropertySheetLayout::Create()
{
    // The page area starts as small as its tab strip; the pages widen it as they come.
    pageArea_->resize(wizard_ ? 0 : tabBar_->sizeHint().width(), TabAreaHeight());
    layout_.Reset();
    layout_.BeginPane(LAYOUT_VERTICAL);
    layout_.AddControl(kPageAreaId, LAYOUT_STRETCH);
    if (wizard_)
    {
        layout_.AddSpace(6, 0);
        layout_.AddControl(kSeparatorId, LAYOUT_FIXED_HEIGHT);
        layout_.AddSpace(6, 0);
        layout_.BeginPane(LAYOUT_HORIZONTAL);
        layout_.AddSpace(0, 0);
        layout_.AddControl(kBackId, LAYOUT_FIXED);
        layout_.AddSpace(5, 0);
        layout_.AddControl(kNextId, LAYOUT_FIXED);
        layout_.EndPane();
    }
    layout_.EndPane();
    const QSize minimum = layout_.MinimumSize();
    resize(std::max(width(), minimum.width()), std::max(height(), minimum.height()));
    ApplyTrackSize();
    RunLayout();
    return pages_.empty() || SetActivePage(0);
}

CPropertyPageLayout* CPropertySheetLayout::Page(int index) const
{
    return index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)].data() : nullptr;
}

int CPropertySheetLayout::IndexOf(const CPropertyPageLayout* page) const
{
    for (int i = 0; i < PageCount(); ++i)
    {
        if (pages_[static_cast<std::size_t>(i)] == page)
        {
            return i;
        }
    }
    return -1;
}

bool CPropertySheetLayout::SetActivePage(int index)
{
    CPropertyPageLayout* page = Page(index);
    if (!page)
    {
        return false;
    }
    if (index == active_)
    {
        return true;
    }
    if (CPropertyPageLayout* old = ActivePage())
    {
        old->hide();
    }
    active_ = index;
    page->Create();
    page->setGeometry(DisplayRect());
    page->OnSetActive();
    page->show();
    if (!wizard_ && tabBar_->currentIndex() != index)
    {
        const QSignalBlocker blocker(tabBar_);
        tabBar_->setCurrentIndex(index);
    }
    emit PageActivated(index);
    return true;
}

void CPropertySheetLayout::Back()
{
    CPropertyPageLayout* page = ActivePage();
    if (page && page->OnWizardBack() != -1)
    {
        SetActivePage(active_ - 1);
    }
}

void CPropertySheetLayout::Next()
{
    CPropertyPageLayout* page = ActivePage();
    if (page && page->OnWizardNext() != -1)
    {
        SetActivePage(active_ + 1);
    }
}

CLayoutItem* CPropertySheetLayout::PageItem()
{
    return layout_.Finished() ? FindWidgetItem(layout_.Layout(), pageArea_) : nullptr;
}

int CPropertySheetLayout::TabAreaHeight() const
{
    return wizard_ ? 0 : tabBar_->sizeHint().height();
}

QRect CPropertySheetLayout::DisplayRect() const
{
    const int top = TabAreaHeight();
    return QRect(0, top, pageArea_->width(), std::max(pageArea_->height() - top, 0));
}

void CPropertySheetLayout::RecalcSize()
{
    CLayoutItem* item = PageItem();
    if (!item)
    {
        return;
    }
    layout_.Layout().MinimumsChanged(false);
    const QSize minimum = layout_.MinimumSize();
    resize(std::max(width(), minimum.width()), std::max(height(), minimum.height()));
    ApplyTrackSize();
    RunLayout();
    if (QWidget* parent = parentWidget())
    {
        SizedSheetEvent event(this);
        QCoreApplication::sendEvent(parent, &event);
    }
}

void CPropertySheetLayout::ApplyTrackSize()
{
    // Only a sheet of its own keeps a minimum; inside a dialog the dialog's tree does.
    if (!isWindow())
    {
        return;
    }
    const QSize minimum = layout_.MinimumSize();
    setMinimumSize(minimum);
    setMaximumSize((layoutFlags_ & LF_FIXED_WIDTH) ? minimum.width() : QWIDGETSIZE_MAX,
                   (layoutFlags_ & LF_FIXED_HEIGHT) ? minimum.height() : QWIDGETSIZE_MAX);
}

void CPropertySheetLayout::RunLayout()
{
    layout_.Relayout();
    PlacePages();
}

void CPropertySheetLayout::PlacePages()
{
    if (placing_)
    {
        return;
    }
    placing_ = true;
    if (!wizard_)
    {
        tabBar_->setGeometry(0, 0, pageArea_->width(), TabAreaHeight());
    }
    if (CPropertyPageLayout* page = ActivePage())
    {
        page->setGeometry(DisplayRect());
        // A hidden page gets its resize event only when shown: lay it out now.
        page->layout_.Relayout();
    }
    placing_ = false;
}

void CPropertySheetLayout::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RunLayout();
}

bool CPropertySheetLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pageArea_ && event->type() == QEvent::Resize)
    {
        PlacePages();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kavelmark

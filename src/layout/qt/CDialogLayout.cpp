#include "layout/qt/CDialogLayout.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <cstdlib>

#include "layout/Placement.h"
#include "layout/qt/LayoutEvents.h"
#include "layout/qt/QtLayoutAdapter.h"
#include "layout/qt/WidgetLayout.h"

namespace kavelmark
{
namespace
{

// Qt gives no dialog-frame metric; this is the classic one.
constexpr int kDialogFrame = 3;

} // namespace

CDialogLayout::CDialogLayout(const DialogTemplate& dialogTemplate, QWidget* parent, const std::string& placementKey,
                             bool wantStatusBar, std::uint32_t layoutFlags)
    : QDialog(parent), template_(dialogTemplate), owner_(std::make_unique<QtLayoutOwner>(*this, controls_)),
      placementKey_(placementKey), layoutFlags_(layoutFlags),
      wantStatusBar_(wantStatusBar &&
                     (layoutFlags & (LF_FIXED_WIDTH | LF_FIXED_HEIGHT)) != (LF_FIXED_WIDTH | LF_FIXED_HEIGHT))
{
    layout_.Root().name = placementKey;
}

CDialogLayout::~CDialogLayout()
{
    DestroyWindow();
    // The items point into the owner's window adapters: drop them first.
    layout_.SetOwner(nullptr);
    layout_.Reset();
    owner_->Clear();
}

bool CDialogLayout::IsThemeActive()
{
    return QtThemeActive();
}

bool CDialogLayout::UpdateData(bool saveAndValidate)
{
    DataExchange dx(saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialogLayout::DoDataExchange(DataExchange&)
{
}

bool CDialogLayout::Create()
{
    if (created_)
    {
        return true;
    }
    layout_.SetOwner(nullptr);
    layout_.Reset();
    owner_->Clear();
    delete statusBar_;
    statusBar_ = nullptr;
    statusBarHeight_ = 0;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    controls_.Build(template_, *this);
    if (!(template_.style & DialogStyle::Resizable))
    {
        // Without a sizing frame the template size stands until a finished layout sets its own.
        setFixedSize(size());
    }
    if (auto* ok = qobject_cast<QPushButton*>(controls_.Control(IDOK)))
    {
        connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    }
    if (auto* cancel = qobject_cast<QPushButton*>(controls_.Control(IDCANCEL)))
    {
        connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    }
    if (QMenuBar* menu = controls_.MenuBar())
    {
        connect(menu, &QMenuBar::triggered, this,
                [this](QAction* action)
                {
                    if (action->data().isValid())
                    {
                        OnMenuCommand(action->data().toInt());
                    }
                });
    }
    created_ = true;
    finished_ = false;
    OnInitDialog();
    return true;
}

int CDialogLayout::exec()
{
    Create();
    return QDialog::exec();
}

void CDialogLayout::setVisible(bool visible)
{
    if (visible && !created_)
    {
        Create();
    }
    QDialog::setVisible(visible);
}

void CDialogLayout::done(int result)
{
    DestroyWindow();
    QDialog::done(result);
}

void CDialogLayout::accept()
{
    done(IDOK);
}

void CDialogLayout::reject()
{
    OnCancel();
}

void CDialogLayout::OnOK()
{
    done(IDOK);
}

void CDialogLayout::OnCancel()
{
    done(IDCANCEL);
}

void CDialogLayout::OnMenuCommand(int)
{
}

void CDialogLayout::DestroyWindow()
{
    if (!created_)
    {
        return;
    }
    if (!placementKey_.empty())
    {
        QtPlacementWindow target(*this, template_.style & DialogStyle::AppWindow, nullptr);
        SavePlacement(&target, placementKey_);
    }
    created_ = false;
    QDialog::setVisible(false);
}

QWidget* CDialogLayout::Control(int id) const
{
    return controls_.Control(id);
}

QMenuBar* CDialogLayout::MenuBar() const
{
    return controls_.MenuBar();
}

QAction* CDialogLayout::MenuAction(int command) const
{
    return controls_.MenuAction(command);
}

QWidget* CDialogLayout::ReplaceControl(int id, QWidget* widget)
{
    QWidget* placeholder = controls_.Control(id);
    if (!placeholder || !widget)
    {
        return nullptr;
    }
    widget->setParent(this);
    widget->setGeometry(placeholder->geometry());
    widget->setVisible(!placeholder->isHidden());
    widget->stackUnder(placeholder);
    QWidget::setTabOrder(placeholder, widget);
    controls_.Rebind(id, widget);
    delete placeholder;
    return widget;
}

bool CDialogLayout::OnInitDialog()
{
    UpdateData(false);
    layout_.Reset(owner_.get());
    layout_.Root().name = placementKey_;
    if (!(template_.style & DialogStyle::Resizable))
    {
        wantStatusBar_ = false;
        layoutFlags_ &= ~LF_SAVE_SIZE;
    }
    if ((layoutFlags_ & (LF_FIXED_WIDTH | LF_FIXED_HEIGHT)) == (LF_FIXED_WIDTH | LF_FIXED_HEIGHT))
    {
        wantStatusBar_ = false;
    }
    if (wantStatusBar_)
    {
        statusBar_ = new QStatusBar(this);
        statusBar_->setSizeGripEnabled(true);
        statusBar_->clearMessage();
        statusBar_->show();
        statusBarHeight_ = std::max(std::abs(statusBar_->sizeHint().height() - 5), 10);
        statusBarHeight_ = layout_.themeActive ? statusBarHeight_ + 4 : statusBarHeight_ / 2 + 5;
    }
    layout_.SetOwner(owner_.get());
    return true;
}

bool CDialogLayout::BeginPane(int orientation, const LayoutRect* borders, const std::string& name)
{
    return layout_.BeginPane(orientation, borders, name);
}

bool CDialogLayout::AddControl(int controlId, int mode, int share, std::uint32_t flags)
{
    return layout_.AddControl(controlId, mode, share, flags);
}

void CDialogLayout::AddSpace(int size, int minimum)
{
    layout_.AddSpace(size, minimum);
}

void CDialogLayout::SetAlignment(int alignment)
{
    layout_.SetAlignment(alignment);
}

bool CDialogLayout::AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags)
{
    return layout_.AddGroup(frameId, orientation, buddyId, groupKind, flags);
}

void CDialogLayout::BeginOkCancelFrame()
{
    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 3);
    BeginPane(LAYOUT_VERTICAL);
    AddSpace(5, 3);
}

void CDialogLayout::EndOkCancelFrame(int gapAboveButtons)
{
    AddSpace(gapAboveButtons, 3);
    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(0, 0);
    AddControl(IDOK, LAYOUT_FIXED);
    AddSpace(5, 3);
    AddControl(IDCANCEL, LAYOUT_FIXED);
    EndPane();
    AddSpace(5, 3);
    EndPane();
    AddSpace(5, 3);
    EndPane();
}

bool CDialogLayout::EndPane()
{
    if (!layout_.ClosePane() || finished_)
    {
        return true;
    }
    finished_ = true;

    FrameMetrics metrics;
    metrics.dlgFrameX = kDialogFrame;
    metrics.dlgFrameY = kDialogFrame;
    metrics.captionHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const TrackSize track = layout_.FinishLayout(metrics, statusBarHeight_);
    minTrackWidth_ = track.minWidth;
    minTrackHeight_ = track.minHeight;
    captionHeight_ = metrics.captionHeight;

    ApplyTrackSize();
    resize(minimumSize());
    RunLayout();

    if (!placementKey_.empty() && (layoutFlags_ & (LF_SAVE_POSITION | LF_SAVE_SIZE)))
    {
        const LayoutRect frame{kDialogFrame, captionHeight_ + kDialogFrame, kDialogFrame, kDialogFrame};
        QtPlacementWindow target(
            *this, template_.style & DialogStyle::AppWindow, [this] { RunLayout(); }, frame);
        RestorePlacement(&target, placementKey_, layoutFlags_, 1);
    }
    return true;
}

QSize CDialogLayout::ClientSizeForWindow(int width, int height) const
{
    // The layout's window sizes count a frame of the root's borders on each side plus the
    // caption; Qt sizes the client area, which also holds the menu bar.
    const LayoutRect& borders = layout_.Root().borders;
    const int frameWidth = borders.left + borders.right;
    const int frameHeight = borders.top + borders.bottom - statusBarHeight_ + captionHeight_;
    return QSize(width - frameWidth, height - frameHeight);
}

void CDialogLayout::ApplyTrackSize()
{
    const bool hasMenu = controls_.MenuBar() != nullptr;
    const int menuHeight = controls_.MenuBarHeight();
    const TrackSize track = ComputeTrackSize(minTrackWidth_, minTrackHeight_, layoutFlags_, hasMenu, menuHeight);
    // Qt's menu bar lies inside the client area: without LF_MENU_HEIGHT it covers the bottom
    // of the laid-out minimum, as the framework's menu does.
    const QSize minimum = ClientSizeForWindow(track.minWidth, track.minHeight);
    setMinimumSize(minimum);
    const QSize maximum = ClientSizeForWindow(track.maxWidth, track.maxHeight);
    setMaximumSize(track.maxWidth ? maximum.width() : QWIDGETSIZE_MAX,
                   track.maxHeight ? maximum.height() : QWIDGETSIZE_MAX);
    if (!(template_.style & DialogStyle::Resizable))
    {
        setFixedSize(minimum);
    }
}

void CDialogLayout::RunLayout()
{
    if (QMenuBar* menu = controls_.MenuBar())
    {
        menu->setGeometry(0, 0, width(), controls_.MenuBarHeight());
    }
    if (statusBar_)
    {
        const int height = statusBar_->sizeHint().height();
        statusBar_->setGeometry(0, this->height() - height, width(), height);
        statusBar_->raise();
    }
    if (finished_)
    {
        layout_.Resize();
    }
    if (statusBar_)
    {
        statusBar_->repaint();
    }
}

void CDialogLayout::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    RunLayout();
}

bool CDialogLayout::event(QEvent* event)
{
    if (event->type() == SizedSheetEvent::EventType())
    {
        OnSizedSheet(static_cast<SizedSheetEvent*>(event)->Sheet());
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

void CDialogLayout::OnSizedSheet(QWidget* sheet)
{
    // Before the layout is finished the finishing step measures the sheet anyway.
    if (!finished_)
    {
        return;
    }
    if (CLayoutItem* item = FindWidgetItem(layout_, sheet))
    {
        item->minimum.right = item->minimum.left + sheet->width();
        item->minimum.bottom = item->minimum.top + sheet->height();
    }
    layout_.MinimumsChanged(true);
    const CLayoutItem& root = layout_.Root();
    minTrackWidth_ = root.borders.right + 2 * kDialogFrame + root.borders.left + root.minimum.Width();
    minTrackHeight_ = statusBarHeight_ + 2 * kDialogFrame + root.borders.top + root.minimum.Height() + captionHeight_;
    ApplyTrackSize();
    const QSize minimum = minimumSize();
    resize(std::max(width(), minimum.width()), std::max(height(), minimum.height()));
    RunLayout();
}

void CDialogLayout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (template_.style & DialogStyle::Foreground)
    {
        raise();
        activateWindow();
    }
}

} // namespace kavelmark

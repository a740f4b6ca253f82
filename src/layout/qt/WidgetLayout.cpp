#include "layout/qt/WidgetLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "layout/qt/CGroupStatic.h"
#include "layout/qt/QtLayoutAdapter.h"

namespace kavelmark
{

CLayoutItem* FindWidgetItem(const CLayoutManager& layout, const QWidget* widget)
{
    if (!widget)
    {
        return nullptr;
    }
    for (CLayoutItem* item : layout.Items())
    {
        const auto* window = dynamic_cast<const QtLayoutWindow*>(item->window);
        if (window && window->Widget() == widget)
        {
            return item;
        }
    }
    return nullptr;
}

ControlKind GuessControlKind(const QWidget* widget)
{
    if (qobject_cast<const QComboBox*>(widget))
    {
        return ControlKind::ComboBox;
    }
    if (qobject_cast<const QCheckBox*>(widget))
    {
        return ControlKind::CheckBox;
    }
    if (qobject_cast<const QRadioButton*>(widget))
    {
        return ControlKind::RadioButton;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
    {
        return button->isDefault() ? ControlKind::DefaultButton : ControlKind::PushButton;
    }
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget))
    {
        return ControlKind::Edit;
    }
    if (qobject_cast<const QListWidget*>(widget))
    {
        return ControlKind::ListBox;
    }
    if (qobject_cast<const QTreeWidget*>(widget))
    {
        return ControlKind::ListView;
    }
    if (qobject_cast<const QTabWidget*>(widget))
    {
        return ControlKind::TabControl;
    }
    return ControlKind::Static;
}

QtWidgetLayoutOwner::QtWidgetLayoutOwner(QWidget& host) : host_(host)
{
}

QtWidgetLayoutOwner::~QtWidgetLayoutOwner() = default;

void QtWidgetLayoutOwner::SetControl(int id, QWidget* widget, ControlKind kind, std::uint32_t style)
{
    if (!widget)
    {
        return;
    }
    if (widget->parentWidget() != &host_)
    {
        widget->setParent(&host_);
    }
    if (entries_.find(id) == entries_.end())
    {
        order_.push_back(id);
    }
    Entry& entry = entries_[id];
    entry.widget = widget;
    entry.kind = kind;
    entry.style = style;
    entry.window.reset();
}

QWidget* QtWidgetLayoutOwner::Widget(int id) const
{
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : found->second.widget.data();
}

int QtWidgetLayoutOwner::IdOf(const QWidget* widget) const
{
    for (const auto& [id, entry] : entries_)
    {
        if (entry.widget == widget)
        {
            return id;
        }
    }
    return 0;
}

LayoutWindow* QtWidgetLayoutOwner::Control(int id)
{
    const auto found = entries_.find(id);
    if (found == entries_.end() || !found->second.widget)
    {
        return nullptr;
    }
    Entry& entry = found->second;
    if (!entry.window)
    {
        entry.window = std::make_unique<QtLayoutWindow>(
            entry.widget.data(), entry.kind, entry.style, [] { return 0; },
            [this](const QWidget* w) { return PreviousOf(w); });
    }
    return entry.window.get();
}

LayoutWindow* QtWidgetLayoutOwner::PreviousOf(const QWidget* widget)
{
    const int id = IdOf(widget);
    for (std::size_t i = 1; i < order_.size(); ++i)
    {
        if (order_[i] == id)
        {
            return Control(order_[i - 1]);
        }
    }
    return nullptr;
}

LayoutRect QtWidgetLayoutOwner::ClientRect() const
{
    return {0, 0, host_.width(), host_.height()};
}

int QtWidgetLayoutOwner::FontHeight() const
{
    return QFontInfo(host_.font()).pixelSize();
}

std::unique_ptr<LayoutGroupFrame> QtWidgetLayoutOwner::CreateGroupFrame(LayoutWindow& frameControl,
                                                                        const std::string& caption)
{
    QWidget* original = static_cast<QtLayoutWindow&>(frameControl).Widget();
    const int id = IdOf(original);
    if (!original || id == 0)
    {
        return nullptr;
    }
    // Qt cannot take over a widget's painting: the frame replaces the label under its id.
    auto* frame = new CGroupStatic(&host_);
    frame->setGeometry(original->geometry());
    frame->SetCaption(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    frame->setVisible(!original->isHidden());
    frame->lower();
    const std::uint32_t style = entries_[id].style;
    SetControl(id, frame, ControlKind::GroupBox, style);
    setAside_.Add(original);
    return MakeQtGroupFrame(frame, *Control(id));
}

LayoutRect QtWidgetLayoutOwner::TabWindowRectForEmptyDisplay(LayoutWindow& tabControl)
{
    auto* tabs = qobject_cast<QTabWidget*>(static_cast<QtLayoutWindow&>(tabControl).Widget());
    const int barHeight = tabs ? tabs->tabBar()->sizeHint().height() : 0;
    return {-2, -(barHeight + 2), 2, 2};
}

void QtWidgetLayoutOwner::FillBackground()
{
}

void QtWidgetLayoutOwner::DispatchPendingMessages()
{
    setAside_.DeleteAll();
}

bool QtWidgetLayoutOwner::IsThemeActive() const
{
    return QtThemeActive();
}

WidgetLayout::WidgetLayout(QWidget& host) : owner_(host)
{
}

void WidgetLayout::Reset()
{
    layout_.Reset(&owner_);
    layout_.SetOwner(&owner_);
    finished_ = false;
}

bool WidgetLayout::EndPane()
{
    if (!layout_.ClosePane() || finished_)
    {
        return false;
    }
    finished_ = true;
    CLayoutItem& root = layout_.Root();
    root.borders = {};
    layout_.ComputeMinimum(root);
    layout_.RegisterGroupMembers();
    layout_.Place(root, 0, 0);
    return true;
}

QSize WidgetLayout::MinimumSize() const
{
    const CLayoutItem& root = layout_.Root();
    return QSize(root.minimum.Width(), root.minimum.Height());
}

void WidgetLayout::Relayout(QPoint offset)
{
    if (!finished_)
    {
        return;
    }
    CLayoutItem& root = layout_.Root();
    layout_.Distribute(root);
    layout_.Place(root, root.borders.left + offset.x(), root.borders.top + offset.y());
}

} // namespace kavelmark

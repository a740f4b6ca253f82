#include "layout/qt/QtLayoutAdapter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "layout/qt/CGroupStatic.h"

namespace kavelmark
{
namespace
{

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

LayoutRect FromQRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const LayoutRect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

class QtGroupFrame final : public LayoutGroupFrame
{
public:
    QtGroupFrame(CGroupStatic* frame, LayoutWindow& window) : frame_(frame), window_(window)
    {
    }
    ~QtGroupFrame() override
    {
        delete frame_.data();
    }

    LayoutWindow& Window() override
    {
        return window_;
    }
    void AddMember(LayoutWindow& member) override
    {
        if (frame_)
        {
            frame_->AddMember(static_cast<QtLayoutWindow&>(member).Widget());
        }
    }
    void SetBuddy(LayoutWindow& buddy) override
    {
        buddy_ = &buddy;
        if (frame_)
        {
            frame_->SetBuddy(static_cast<QtLayoutWindow&>(buddy).Widget());
        }
    }
    LayoutWindow* Buddy() const override
    {
        return buddy_;
    }

private:
    QPointer<CGroupStatic> frame_;
    LayoutWindow& window_;
    LayoutWindow* buddy_ = nullptr;
};

} // namespace

std::unique_ptr<LayoutGroupFrame> MakeQtGroupFrame(CGroupStatic* frame, LayoutWindow& window)
{
    return std::make_unique<QtGroupFrame>(frame, window);
}

QtLayoutWindow::QtLayoutWindow(QWidget* widget, ControlKind kind, std::uint32_t templateStyle,
                               std::function<int()> clientTop,
                               std::function<LayoutWindow*(const QWidget*)> previousSibling)
    : widget_(widget), kind_(kind), templateStyle_(templateStyle), clientTop_(std::move(clientTop)),
      previousSibling_(std::move(previousSibling))
{
}

LayoutRect QtLayoutWindow::Rect() const
{
    if (!widget_)
    {
        return {};
    }
    LayoutRect rect = FromQRect(widget_->geometry());
    const int top = clientTop_();
    rect.top -= top;
    rect.bottom -= top;
    return rect;
}

std::string QtLayoutWindow::ClassName() const
{
    switch (kind_)
    {
    case ControlKind::Static:
    case ControlKind::Icon:
        return "Static";
    case ControlKind::Edit:
        return "Edit";
    case ControlKind::PushButton:
    case ControlKind::DefaultButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
        return "Button";
    case ControlKind::ComboBox:
        return "ComboBox";
    case ControlKind::ComboBoxEx:
        return "ComboBoxEx32";
    case ControlKind::ListView:
        return "SysListView32";
    case ControlKind::ListBox:
        return "ListBox";
    case ControlKind::UpDown:
        return "msctls_updown32";
    case ControlKind::TabControl:
        return "SysTabControl32";
    }
    return "Static";
}

std::uint32_t QtLayoutWindow::Style() const
{
    switch (kind_)
    {
    case ControlKind::Static:
        if (templateStyle_ & ControlStyle::RightText)
        {
            return 0x2; // SS_RIGHT
        }
        return (templateStyle_ & ControlStyle::CenterText) ? 0x1 : 0x0;
    case ControlKind::Icon:
        return 0x3; // SS_ICON
    case ControlKind::DefaultButton:
        return 0x1; // BS_DEFPUSHBUTTON
    case ControlKind::CheckBox:
        return BS_AUTOCHECKBOX;
    case ControlKind::RadioButton:
        return BS_AUTORADIOBUTTON;
    case ControlKind::GroupBox:
        return 0x7; // BS_GROUPBOX
    case ControlKind::UpDown:
    {
        std::uint32_t style = 0;
        style |= (templateStyle_ & ControlStyle::AlignRight) ? UDS_ALIGNRIGHT : 0;
        style |= (templateStyle_ & ControlStyle::AlignLeft) ? UDS_ALIGNLEFT : 0;
        style |= (templateStyle_ & ControlStyle::AutoBuddy) ? UDS_AUTOBUDDY : 0;
        return style;
    }
    default:
        return 0;
    }
}

std::string QtLayoutWindow::Text() const
{
    if (auto* label = qobject_cast<QLabel*>(widget_.data()))
    {
        return ToUtf8(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget_.data()))
    {
        return ToUtf8(button->text());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget_.data()))
    {
        return ToUtf8(edit->text());
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data()))
    {
        return ToUtf8(edit->toPlainText());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget_.data()))
    {
        return ToUtf8(combo->currentText());
    }
    if (auto* group = qobject_cast<CGroupStatic*>(widget_.data()))
    {
        return ToUtf8(group->Caption());
    }
    return widget_ ? ToUtf8(widget_->windowTitle()) : std::string();
}

void QtLayoutWindow::SetText(const std::string& text)
{
    const QString value = FromUtf8(text);
    if (auto* label = qobject_cast<QLabel*>(widget_.data()))
    {
        label->setText(value);
    }
    else if (auto* button = qobject_cast<QAbstractButton*>(widget_.data()))
    {
        button->setText(value);
    }
    else if (auto* edit = qobject_cast<QLineEdit*>(widget_.data()))
    {
        edit->setText(value);
    }
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data()))
    {
        edit->setPlainText(value);
    }
    else if (auto* group = qobject_cast<CGroupStatic*>(widget_.data()))
    {
        group->SetCaption(value);
    }
}

int QtLayoutWindow::TextWidth(const std::string& text) const
{
    if (!widget_)
    {
        return 0;
    }
    const QWidget* parent = widget_->parentWidget() ? widget_->parentWidget() : widget_.data();
    return QFontMetrics(parent->font()).horizontalAdvance(FromUtf8(text));
}

int QtLayoutWindow::ContentWidth() const
{
    const auto* combo = qobject_cast<const QComboBox*>(widget_.data());
    if (!combo)
    {
        return 0;
    }
    // The longest item in the list's own font, grown by the style's frame, margins and arrow.
    const QFontMetrics metrics(combo->font());
    int textWidth = 0;
    for (int i = 0; i < combo->count(); ++i)
    {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(combo->itemText(i)));
    }
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(textWidth, metrics.height()), combo)
        .width();
}

void QtLayoutWindow::Move(const LayoutRect& rect)
{
    if (!widget_)
    {
        return;
    }
    QRect target = ToQRect(rect);
    target.translate(0, clientTop_());
    widget_->setGeometry(target);
}

void QtLayoutWindow::SetVisible(bool visible)
{
    if (widget_)
    {
        widget_->setVisible(visible);
    }
}

bool QtLayoutWindow::IsVisible() const
{
    return widget_ && !widget_->isHidden();
}

void QtLayoutWindow::Repaint(std::uint32_t rdwFlags)
{
    if (!widget_)
    {
        return;
    }
    if (rdwFlags & RDW_UPDATENOW)
    {
        widget_->repaint();
    }
    else
    {
        widget_->update();
    }
}

LayoutWindow* QtLayoutWindow::PreviousSibling() const
{
    return previousSibling_(widget_.data());
}

QtLayoutOwner::QtLayoutOwner(QWidget& dialog, DialogControls& controls) : dialog_(dialog), controls_(controls)
{
}

QtLayoutOwner::~QtLayoutOwner() = default;

void QtLayoutOwner::Clear()
{
    windows_.clear();
}

int QtLayoutOwner::ClientTop() const
{
    return controls_.MenuBarHeight();
}

LayoutWindow* QtLayoutOwner::Control(int id)
{
    QWidget* widget = controls_.Control(id);
    if (!widget)
    {
        return nullptr;
    }
    auto found = windows_.find(id);
    if (found != windows_.end() && found->second->Widget() == widget)
    {
        return found->second.get();
    }
    auto window = std::make_unique<QtLayoutWindow>(
        widget, controls_.KindOf(id), controls_.StyleOf(id), [this] { return ClientTop(); },
        [this](const QWidget* w) { return PreviousOf(w); });
    LayoutWindow* result = window.get();
    windows_[id] = std::move(window);
    return result;
}

LayoutWindow* QtLayoutOwner::PreviousOf(const QWidget* widget)
{
    const std::vector<int>& ids = controls_.Ids();
    for (std::size_t i = 1; i < ids.size(); ++i)
    {
        if (controls_.Control(ids[i]) == widget)
        {
            return Control(ids[i - 1]);
        }
    }
    return nullptr;
}

LayoutRect QtLayoutOwner::ClientRect() const
{
    return {0, 0, dialog_.width(), dialog_.height() - ClientTop()};
}

int QtLayoutOwner::FontHeight() const
{
    return QFontInfo(dialog_.font()).pixelSize();
}

std::unique_ptr<LayoutGroupFrame> QtLayoutOwner::CreateGroupFrame(LayoutWindow& frameControl,
                                                                  const std::string& caption)
{
    QWidget* original = static_cast<QtLayoutWindow&>(frameControl).Widget();
    if (!original)
    {
        return nullptr;
    }
    // Qt cannot take over an existing widget's painting, so the frame replaces it under the
    // same id.
    auto* frame = new CGroupStatic(&dialog_);
    frame->setObjectName(original->objectName());
    frame->setGeometry(original->geometry());
    frame->SetCaption(FromUtf8(caption));
    frame->setVisible(!original->isHidden());
    frame->lower();
    const int id = controls_.IdOf(original);
    controls_.Rebind(id, frame);
    windows_.erase(id);
    setAside_.Add(original);
    return MakeQtGroupFrame(frame, *Control(id));
}

LayoutRect QtLayoutOwner::TabWindowRectForEmptyDisplay(LayoutWindow& tabControl)
{
    auto* tabs = qobject_cast<QTabWidget*>(static_cast<QtLayoutWindow&>(tabControl).Widget());
    const int barHeight = tabs ? tabs->tabBar()->sizeHint().height() : 0;
    return {-2, -(barHeight + 2), 2, 2};
}

void QtLayoutOwner::FillBackground()
{
}

void QtLayoutOwner::DispatchPendingMessages()
{
    setAside_.DeleteAll();
}

bool QtThemeActive()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    {
        return false;
    }
    const QStyle* style = QApplication::style();
    // The classic style draws flat system colours; any other one is a theme.
    return style && style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

bool QtLayoutOwner::IsThemeActive() const
{
    return QtThemeActive();
}

QtPlacementWindow::QtPlacementWindow(QWidget& window, bool isMainWindow, std::function<void()> relayout,
                                     LayoutRect assumedFrame)
    : window_(window), isMainWindow_(isMainWindow), relayout_(std::move(relayout)), assumedFrame_(assumedFrame)
{
}

WindowPlacement QtPlacementWindow::GetPlacement() const
{
    WindowPlacement placement;
    if (window_.isMinimized())
    {
        placement.showCmd = SW_SHOWMINIMIZED;
    }
    else if (window_.isMaximized())
    {
        placement.showCmd = SW_SHOWMAXIMIZED;
    }
    const QRect normal = (window_.isMinimized() || window_.isMaximized()) && window_.normalGeometry().isValid()
                             ? window_.normalGeometry()
                             : window_.geometry();
    placement.normal = FromQRect(normal);
    return placement;
}

void QtPlacementWindow::SetPlacement(const WindowPlacement& placement)
{
    window_.setGeometry(ToQRect(placement.normal));
    Qt::WindowStates state = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (placement.showCmd)
    {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case 7: // shown minimized without activation
        state |= Qt::WindowMinimized;
        break;
    case SW_SHOWMAXIMIZED:
        state |= Qt::WindowMaximized;
        break;
    default:
        break;
    }
    window_.setWindowState(state);
    if (relayout_)
    {
        relayout_();
    }
}

LayoutRect QtPlacementWindow::WindowRect() const
{
    return FromQRect(window_.geometry());
}

void QtPlacementWindow::MoveWindow(const LayoutRect& rect, bool repaint)
{
    window_.setGeometry(ToQRect(rect));
    if (relayout_)
    {
        relayout_();
    }
    if (repaint)
    {
        window_.update();
    }
}

bool QtPlacementWindow::IsMainWindow() const
{
    return isMainWindow_;
}

LayoutRect QtPlacementWindow::ScreenRect() const
{
    const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (!screen)
    {
        return {};
    }
    return {0, 0, screen->geometry().width(), screen->geometry().height()};
}

LayoutRect QtPlacementWindow::WorkArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? FromQRect(screen->availableGeometry()) : LayoutRect{};
}

LayoutRect QtPlacementWindow::FrameMargins() const
{
    const QRect frame = window_.frameGeometry();
    const QRect client = window_.geometry();
    if (window_.isVisible() || frame != client)
    {
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
    {
        return assumedFrame_;
    }
    return {};
}

} // namespace kavelmark

#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "layout/LayoutWindow.h"
#include "layout/Placement.h"
#include "layout/qt/SetAsideWidgets.h"
#include "platform/qt/DialogTemplate.h"

namespace kavelmark
{

class CGroupStatic;

// The group frame that replaces a group box's widget; owned by the layout item. Its window
// is the owner's adapter of the control, so that FindItem finds the group by its control.
std::unique_ptr<LayoutGroupFrame> MakeQtGroupFrame(CGroupStatic* frame, LayoutWindow& window);

// Whether the application's widget style is a theme rather than the classic flat look;
// false when there is no application.
bool QtThemeActive();

// A dialog's client area on Qt starts below its menu bar, which Qt makes a child widget;
// control rectangles are reported relative to that line and moved back onto it, so the
// layout arithmetic sees the same client area as with a menu outside the client.
class QtLayoutWindow final : public LayoutWindow
{
public:
    QtLayoutWindow(QWidget* widget, ControlKind kind, std::uint32_t templateStyle, std::function<int()> clientTop,
                   std::function<LayoutWindow*(const QWidget*)> previousSibling);

    LayoutRect Rect() const override;
    std::string ClassName() const override;
    std::uint32_t Style() const override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    int TextWidth(const std::string& text) const override;
    int ContentWidth() const override;
    void Move(const LayoutRect& rect) override;
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    void Repaint(std::uint32_t rdwFlags) override;
    LayoutWindow* PreviousSibling() const override;

    QWidget* Widget() const
    {
        return widget_;
    }

private:
    QPointer<QWidget> widget_;
    ControlKind kind_;
    std::uint32_t templateStyle_;
    std::function<int()> clientTop_;
    std::function<LayoutWindow*(const QWidget*)> previousSibling_;
};

// The layout's view of a CDialogLayout: its controls by template id, client area, font and
// group frames.
class QtLayoutOwner final : public LayoutOwner
{
public:
    QtLayoutOwner(QWidget& dialog, DialogControls& controls);
    ~QtLayoutOwner() override;

    LayoutWindow* Control(int id) override;
    LayoutRect ClientRect() const override;
    int FontHeight() const override;
    std::unique_ptr<LayoutGroupFrame> CreateGroupFrame(LayoutWindow& frameControl, const std::string& caption) override;
    LayoutRect TabWindowRectForEmptyDisplay(LayoutWindow& tabControl) override;
    // Qt fills each widget's background itself.
    void FillBackground() override;
    void DispatchPendingMessages() override;
    bool IsThemeActive() const override;

    int ClientTop() const;
    // Forgets the adapters of the widgets of an earlier build.
    void Clear();

private:
    LayoutWindow* PreviousOf(const QWidget* widget);

    QWidget& dialog_;
    DialogControls& controls_;
    std::map<int, std::unique_ptr<QtLayoutWindow>> windows_;
    SetAsideWidgets setAside_;
};

// Placement of a top-level widget. Qt positions a window by its frame but sizes it by its
// client area; the normal rectangle used here is the client geometry in screen
// coordinates, applied with setGeometry, so it reads back as it was written. The frame
// around it is the one the window has, or, before an X11 window is first shown (the
// window manager frames it only then), `assumedFrame`.
class QtPlacementWindow final : public PlacementWindow
{
public:
    QtPlacementWindow(QWidget& window, bool isMainWindow, std::function<void()> relayout, LayoutRect assumedFrame = {});

    WindowPlacement GetPlacement() const override;
    void SetPlacement(const WindowPlacement& placement) override;
    LayoutRect WindowRect() const override;
    void MoveWindow(const LayoutRect& rect, bool repaint) override;
    bool IsMainWindow() const override;
    LayoutRect ScreenRect() const override;
    LayoutRect WorkArea() const override;
    LayoutRect FrameMargins() const override;

private:
    QWidget& window_;
    bool isMainWindow_;
    std::function<void()> relayout_;
    LayoutRect assumedFrame_;
};

} // namespace kavelmark

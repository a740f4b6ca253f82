#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "layout/LayoutTypes.h"

namespace kavelmark
{

// What the layout asks of a control window. Rectangles are in the owner's client
// coordinates; class names and style bits carry the framework's meaning ("static",
// "button", "combobox", "SysListView32", "msctls_updown32", ...), so that the sizing rules
// work the same on any toolkit. The Qt adapter lives in layout/qt, tests use fakes.
class LayoutWindow
{
public:
    virtual ~LayoutWindow() = default;

    virtual LayoutRect Rect() const = 0;
    virtual std::string ClassName() const = 0;
    virtual std::uint32_t Style() const = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Width of the text in the font of the control's parent window.
    virtual int TextWidth(const std::string& text) const = 0;
    // The narrowest width at which the control shows all it holds (a drop-down list its
    // longest item beside its arrow); 0 when the control's own width is all it needs.
    virtual int ContentWidth() const
    {
        return 0;
    }
    // Moves without repainting.
    virtual void Move(const LayoutRect& rect) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Repaint(std::uint32_t rdwFlags) = 0;
    // The window just before this one in z-order (an up-down control's auto buddy).
    virtual LayoutWindow* PreviousSibling() const = 0;
};

// The frame window that AddGroup puts over a group box (CGroupStatic on Qt).
class LayoutGroupFrame
{
public:
    virtual ~LayoutGroupFrame() = default;

    virtual LayoutWindow& Window() = 0;
    virtual void AddMember(LayoutWindow& member) = 0;
    // Stores the buddy, appends it to the members and sets the caption to one blank.
    virtual void SetBuddy(LayoutWindow& buddy) = 0;
    virtual LayoutWindow* Buddy() const = 0;
};

// The window that owns a layout tree.
class LayoutOwner
{
public:
    virtual ~LayoutOwner() = default;

    // The owner's child control with this id, or null.
    virtual LayoutWindow* Control(int id) = 0;
    virtual LayoutRect ClientRect() const = 0;
    // |height| of the font the owner reports for itself; 0 when it has none.
    virtual int FontHeight() const = 0;
    // Takes over the group box frameControl; the frame is owned by the layout manager.
    virtual std::unique_ptr<LayoutGroupFrame> CreateGroupFrame(LayoutWindow& frameControl,
                                                               const std::string& caption) = 0;
    // A tab control's window rectangle for an empty display rectangle.
    virtual LayoutRect TabWindowRectForEmptyDisplay(LayoutWindow& tabControl) = 0;
    // Fills the background between the controls (the owner clips its children).
    virtual void FillBackground() = 0;
    // Finishes what the owner left pending for the tree (widgets it replaced) before the
    // tree is torn down; never anything of anyone else.
    virtual void DispatchPendingMessages() = 0;
    virtual bool IsThemeActive() const = 0;
};

} // namespace kavelmark

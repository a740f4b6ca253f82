#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "layout/CLayoutManager.h"

namespace kavelmark::testing
{

// A control as the layout sees it, recording what the layout does to it.
class FakeWindow final : public LayoutWindow
{
public:
    FakeWindow(std::string className, LayoutRect rect, std::uint32_t style = 0, std::string text = {})
        : className_(std::move(className)), style_(style), text_(std::move(text)), rect_(rect)
    {
    }

    LayoutRect Rect() const override
    {
        return rect_;
    }
    std::string ClassName() const override
    {
        return className_;
    }
    std::uint32_t Style() const override
    {
        return style_;
    }
    std::string Text() const override
    {
        return text_;
    }
    void SetText(const std::string& text) override
    {
        text_ = text;
    }
    // Six pixels a character, like a small fixed-pitch font.
    int TextWidth(const std::string& text) const override
    {
        return static_cast<int>(text.size()) * 6;
    }
    int ContentWidth() const override
    {
        return contentWidth;
    }
    void Move(const LayoutRect& rect) override
    {
        rect_ = rect;
        ++moves;
    }
    void SetVisible(bool value) override
    {
        visible = value;
    }
    bool IsVisible() const override
    {
        return visible;
    }
    void Repaint(std::uint32_t flags) override
    {
        repaints.push_back(flags);
    }
    LayoutWindow* PreviousSibling() const override
    {
        return previous;
    }

    int Width() const
    {
        return rect_.Width();
    }
    int Height() const
    {
        return rect_.Height();
    }

    bool visible = true;
    int contentWidth = 0;
    int moves = 0;
    std::vector<std::uint32_t> repaints;
    LayoutWindow* previous = nullptr;

private:
    std::string className_;
    std::uint32_t style_;
    std::string text_;
    LayoutRect rect_;
};

class FakeGroupFrame final : public LayoutGroupFrame
{
public:
    explicit FakeGroupFrame(FakeWindow& window) : window_(window)
    {
    }
    LayoutWindow& Window() override
    {
        return window_;
    }
    void AddMember(LayoutWindow& member) override
    {
        members.push_back(&member);
    }
    void SetBuddy(LayoutWindow& buddy) override
    {
        buddy_ = &buddy;
        members.push_back(&buddy);
        window_.SetText(" ");
    }
    LayoutWindow* Buddy() const override
    {
        return buddy_;
    }

    std::vector<LayoutWindow*> members;

private:
    FakeWindow& window_;
    LayoutWindow* buddy_ = nullptr;
};

class FakeOwner final : public LayoutOwner
{
public:
    FakeWindow& Add(int id, const std::string& className, int width, int height, std::uint32_t style = 0,
                    const std::string& text = {})
    {
        auto window = std::make_unique<FakeWindow>(className, LayoutRect{0, 0, width, height}, style, text);
        FakeWindow& result = *window;
        if (!order_.empty())
        {
            result.previous = windows_[order_.back()].get();
        }
        windows_[id] = std::move(window);
        order_.push_back(id);
        return result;
    }

    FakeWindow& operator[](int id)
    {
        return *windows_.at(id);
    }

    LayoutWindow* Control(int id) override
    {
        auto found = windows_.find(id);
        return found == windows_.end() ? nullptr : found->second.get();
    }
    LayoutRect ClientRect() const override
    {
        return client;
    }
    int FontHeight() const override
    {
        return fontHeight;
    }
    std::unique_ptr<LayoutGroupFrame> CreateGroupFrame(LayoutWindow& frameControl, const std::string&) override
    {
        auto frame = std::make_unique<FakeGroupFrame>(static_cast<FakeWindow&>(frameControl));
        frames.push_back(frame.get());
        return frame;
    }
    LayoutRect TabWindowRectForEmptyDisplay(LayoutWindow&) override
    {
        return {-2, -24, 2, 2};
    }
    void FillBackground() override
    {
        ++backgroundFills;
    }
    void DispatchPendingMessages() override
    {
        ++dispatches;
    }
    bool IsThemeActive() const override
    {
        return themeActive;
    }

    LayoutRect client{0, 0, 400, 300};
    int fontHeight = 11;
    bool themeActive = false;
    int backgroundFills = 0;
    int dispatches = 0;
    std::vector<FakeGroupFrame*> frames;

private:
    std::map<int, std::unique_ptr<FakeWindow>> windows_;
    std::vector<int> order_;
};

// Dialog-frame metrics of 3 pixels and a 19-pixel caption.
inline FrameMetrics ClassicMetrics()
{
    return FrameMetrics{3, 3, 19};
}

// A manager owned by a fake owner, ready for building.
struct LayoutFixture
{
    LayoutFixture()
    {
        layout.Reset(&owner);
        layout.SetOwner(&owner);
    }

    // Closes the outermost pane and finishes like a dialog would.
    TrackSize Finish()
    {
        layout.ClosePane();
        return layout.FinishLayout(ClassicMetrics(), 0);
    }

    // Gives the outermost pane this inner size (the root's borders are 2 + 6 and 3 + 6).
    void ResizeInner(int width, int height)
    {
        owner.client = {0, 0, width + 8, height + 9};
        layout.Resize();
    }

    FakeOwner owner;
    CLayoutManager layout;
};

} // namespace kavelmark::testing

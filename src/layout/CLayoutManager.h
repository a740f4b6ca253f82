#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/LayoutTypes.h"
#include "layout/LayoutWindow.h"

namespace kavelmark
{

// One node of a layout tree: a pane, a control, a gap or a group (a pane framed by a
// group box or tab control). Owned by its CLayoutManager; a pane only references its
// children.
class CLayoutItem
{
public:
    enum class Kind
    {
        Pane,
        Control,
        Space,
        Group,
    };

    LayoutWindow* window = nullptr;  // the window this item moves; none for panes and gaps
    LayoutWindow* control = nullptr; // the control, or a group's frame; null for panes and gaps
    LayoutRect size;                 // extent from the last Distribute; left and top stay 0
    LayoutRect minimum;              // from ComputeMinimum; left and top stay 0
    LayoutRect borders;              // margins: left, top, right, bottom
    LayoutRect placed;               // client rectangle from Place
    int alignment = ALIGN_NONE;
    int orientation = LAYOUT_VERTICAL;
    Kind kind = Kind::Pane;
    int groupKind = 0;
    int gapSize = 0; // 0 marks a stretchable gap
    int gapMinimum = 0;
    std::uint32_t flags = 0;
    bool stretchX = true;
    bool stretchY = true;
    bool visible = true;
    bool listLike = false;
    double share = 0.0;
    std::string name;
    std::unique_ptr<LayoutGroupFrame> groupWindow; // a group box's frame, owned here
    CLayoutItem* parent = nullptr;
    std::vector<CLayoutItem*> children;
    int keptWidth = 0;
    int keptHeight = 0;

    bool IsPaneLike() const
    {
        return kind == Kind::Pane || kind == Kind::Group;
    }
};

// System metrics the finishing step needs.
struct FrameMetrics
{
    int dlgFrameX = 3; // CXDLGFRAME
    int dlgFrameY = 3; // CYDLGFRAME
    int captionHeight = 0;
};

// Window-size limits while the user drags the frame; a max of 0 means "no limit".
struct TrackSize
{
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
};

// Minimum and maximum tracking size of a layout dialog from the sizes set when its layout
// was finished.
TrackSize ComputeTrackSize(int minTrackWidth, int minTrackHeight, std::uint32_t layoutFlags, bool hasMenu,
                           int menuBarHeight);

// The layout tree of one window. Building: after Reset() and SetOwner(), call BeginPane,
// AddControl, AddSpace, SetAlignment, AddGroup and ClosePane; when ClosePane reports the
// outermost pane, the owner calls FinishLayout. After that every resize calls Resize().
class CLayoutManager
{
public:
    CLayoutManager();
    ~CLayoutManager();
    CLayoutManager(const CLayoutManager&) = delete;
    CLayoutManager& operator=(const CLayoutManager&) = delete;

    // Dispatches the pending messages of `environment` (the window about to own the tree),
    // destroys every item, asks it whether themes are active and starts an empty tree
    // without owner.
    void Reset(LayoutOwner* environment = nullptr);
    void SetOwner(LayoutOwner* owner);
    LayoutOwner* Owner() const
    {
        return owner_;
    }

    bool BeginPane(int orientation, const LayoutRect* borders = nullptr, const std::string& name = {});
    // False, adding nothing, when the owner has no control with this id.
    bool AddControl(int controlId, int mode, int share = 0, std::uint32_t flags = 0);
    void AddSpace(int size, int minimum);
    void SetAlignment(int alignment);
    // False, adding nothing, when the owner has no control with frameId.
    bool AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags);
    // Closes the current pane (showing "Group is empty!" when it got no children) and
    // returns false; returns true without closing when only the outermost pane is open,
    // which tells the owner to finish the layout.
    bool ClosePane();

    // The finishing steps that need no window: root borders from the frame metrics,
    // ComputeMinimum, group members, the status-bar margin and the first Place. Returns the
    // window's minimum tracking size (with frame and caption).
    TrackSize FinishLayout(const FrameMetrics& metrics, int statusBarHeight);

    // What the owner runs on every resize.
    void Resize();

    void ComputeMinimum(CLayoutItem& pane);
    void RegisterGroupMembers();
    void Distribute(CLayoutItem& pane);
    void Place(CLayoutItem& item, int x, int y);
    void MoveControls();
    void SetItemVisible(CLayoutItem* item, bool visible, bool relayout);
    // After an item's stored minimum changed: every pane's minimum again, and the layout.
    void MinimumsChanged(bool relayout);
    void Relayout(CLayoutItem* item);

    CLayoutItem* FindItem(const LayoutWindow* window, const std::string& name = {}) const;
    // The item of the owner's control with this id, or null.
    CLayoutItem* FindControlItem(int controlId) const;

    CLayoutItem& Root()
    {
        return *root_;
    }
    const CLayoutItem& Root() const
    {
        return *root_;
    }
    const std::vector<CLayoutItem*>& Items() const
    {
        return items_;
    }
    bool Building() const
    {
        return !openPanes_.empty();
    }

    int textPadding = 5;
    bool themeActive = false;

private:
    CLayoutItem& CurrentPane();
    CLayoutItem& NewItem(CLayoutItem::Kind kind, int orientation);
    void ClearItems();
    void RegisterMembers(CLayoutItem& pane, LayoutGroupFrame* enclosing);
    void ShowWindows(CLayoutItem& pane, bool show, bool respectHidden);
    void RecomputeMinimum(CLayoutItem& pane);

    LayoutOwner* owner_ = nullptr;
    std::unique_ptr<CLayoutItem> root_;
    std::vector<CLayoutItem*> openPanes_; // newest last
    std::vector<CLayoutItem*> items_;     // creation order, owned
};

} // namespace kavelmark

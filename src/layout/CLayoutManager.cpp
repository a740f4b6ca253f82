#include "layout/CLayoutManager.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) {
                                                  return std::tolower(static_cast<unsigned char>(x)) ==
                                                         std::tolower(static_cast<unsigned char>(y));
                                              });
}

bool IsListLikeClass(const std::string& className)
{
    return className == "ListBox" || className == "SysTabControl32" || className == "SysTreeView32" ||
           className == "SysListView32" || className == "msctls_progress32";
}

bool Horizontal(const CLayoutItem& pane)
{
    return pane.orientation == LAYOUT_HORIZONTAL;
}

bool StretchesAlong(const CLayoutItem& item, const CLayoutItem& pane)
{
    return Horizontal(pane) ? item.stretchX : item.stretchY;
}

int ExtentAlong(const LayoutRect& rect, const CLayoutItem& pane)
{
    return Horizontal(pane) ? rect.Width() : rect.Height();
}

void SetExtentAlong(LayoutRect& rect, const CLayoutItem& pane, int extent)
{
    if (Horizontal(pane))
    {
        rect.right = rect.left + extent;
    }
    else
    {
        rect.bottom = rect.top + extent;
    }
}

// Every conversion from floating point truncates toward zero.
int Truncate(double value)
{
    return static_cast<int>(value);
}

constexpr std::uint32_t kMoveRepaint = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME;
constexpr std::uint32_t kListRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;

} // namespace

TrackSize ComputeTrackSize(int minTrackWidth, int minTrackHeight, std::uint32_t layoutFlags, bool hasMenu,
                           int menuBarHeight)
{
    TrackSize track;
    track.minWidth = minTrackWidth;
    track.minHeight = minTrackHeight;
    if (layoutFlags & LF_FIXED_HEIGHT)
    {
        track.maxHeight = minTrackHeight;
    }
    if (layoutFlags & LF_FIXED_WIDTH)
    {
        track.maxWidth = minTrackWidth;
    }
    if (hasMenu && (layoutFlags & LF_MENU_HEIGHT))
    {
        track.minHeight += menuBarHeight;
        // Keep a fixed height reachable: the maximum must not fall below the minimum.
        track.maxHeight = track.maxHeight ? std::max(track.maxHeight, track.minHeight) : 0;
    }
    return track;
}

CLayoutManager::CLayoutManager() : root_(std::make_unique<CLayoutItem>())
{
}

CLayoutManager::~CLayoutManager()
{
    ClearItems();
}

void CLayoutManager::ClearItems()
{
    for (CLayoutItem* item : items_)
    {
        delete item;
    }
    items_.clear();
}

void CLayoutManager::Reset(LayoutOwner* environment)
{
    LayoutOwner* asked = environment ? environment : owner_;
    if (asked)
    {
        asked->DispatchPendingMessages();
    }
    ClearItems();
    root_ = std::make_unique<CLayoutItem>();
    openPanes_.clear();
    owner_ = nullptr;
    textPadding = 5;
    themeActive = asked && asked->IsThemeActive();
}

void CLayoutManager::SetOwner(LayoutOwner* owner)
{
    owner_ = owner;
}

CLayoutItem& CLayoutManager::CurrentPane()
{
    return openPanes_.empty() ? *root_ : *openPanes_.back();
}

CLayoutItem& CLayoutManager::NewItem(CLayoutItem::Kind kind, int orientation)
{
    CLayoutItem& parent = CurrentPane();
    auto* item = new CLayoutItem;
    item->kind = kind;
    item->orientation = orientation;
    item->parent = &parent;
    parent.children.push_back(item);
    items_.push_back(item);
    return *item;
}

bool CLayoutManager::BeginPane(int orientation, const LayoutRect* borders, const std::string& name)
{
    CLayoutItem& pane = NewItem(CLayoutItem::Kind::Pane, orientation);
    if (borders)
    {
        pane.borders = *borders;
    }
    pane.name = name;
    openPanes_.push_back(&pane);
    return true;
}

bool CLayoutManager::AddControl(int controlId, int mode, int share, std::uint32_t flags)
{
    LayoutWindow* window = owner_ ? owner_->Control(controlId) : nullptr;
    if (!window)
    {
        // Nothing to measure or move: refusing keeps the tree free of window-less controls.
        return false;
    }
    CLayoutItem& item = NewItem(CLayoutItem::Kind::Control, CurrentPane().orientation);
    item.control = window;

    const std::string className = window->ClassName().substr(0, 260);
    const std::uint32_t style = window->Style();
    const bool isCombo = EqualsIgnoringCase(className, "combobox");
    const bool isStatic = EqualsIgnoringCase(className, "static");
    const bool isButton = EqualsIgnoringCase(className, "button");

    if (isCombo && mode != LAYOUT_FIXED)
    {
        mode = LAYOUT_FIXED_HEIGHT;
    }
    if (isStatic && (style & 0x3) == 0x3)
    {
        LayoutRect rect = window->Rect();
        rect.right += 1;
        window->Move(rect);
    }
    if (mode == LAYOUT_FIT_TEXT)
    {
        const std::string text = window->Text();
        if (!text.empty())
        {
            int width = window->TextWidth(text) + textPadding;
            if (isButton && ((style & 0x3) == 0x3 || (style & 0x9) == 0x9))
            {
                width += 20;
            }
            LayoutRect rect = window->Rect();
            rect.right = rect.left + width;
            window->Move(rect);
            window->Repaint(RDW_INVALIDATE | RDW_ERASE);
        }
        mode = LAYOUT_FIXED;
    }

    item.window = window;
    if (mode & 1)
    {
        item.stretchX = false;
    }
    if (mode & 2)
    {
        item.stretchY = false;
    }
    item.flags = flags;
    item.share = share;
    return true;
}

void CLayoutManager::AddSpace(int size, int minimum)
{
    CLayoutItem& pane = CurrentPane();
    CLayoutItem& gap = NewItem(CLayoutItem::Kind::Space, pane.orientation);
    gap.gapSize = std::min(size, 100);
    gap.stretchX = false;
    gap.stretchY = false;
    if (size == 0)
    {
        gap.gapMinimum = minimum;
        SetExtentAlong(gap.minimum, pane, 1);
        if (Horizontal(pane))
        {
            gap.stretchX = true;
        }
        else
        {
            gap.stretchY = true;
        }
    }
    else
    {
        SetExtentAlong(gap.minimum, pane, size);
    }
    gap.size = gap.minimum;
}

void CLayoutManager::SetAlignment(int alignment)
{
    CurrentPane().alignment = alignment;
}

bool CLayoutManager::AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags)
{
    LayoutWindow* frame = owner_ ? owner_->Control(frameId) : nullptr;
    if (!frame)
    {
        return false;
    }
    if (groupKind != GROUP_BOX && groupKind != GROUP_TAB)
    {
        groupKind = GROUP_BOX;
    }

    LayoutRect borders;
    if (groupKind == GROUP_BOX)
    {
        const int fontHeight = owner_->FontHeight();
        borders.left = 10;
        borders.right = 10;
        borders.bottom = 8;
        borders.top = fontHeight != 0 ? std::abs(fontHeight) + 4 : 0;
        if (buddyId != 0)
        {
            borders.top += 3;
        }
    }
    else
    {
        const LayoutRect adjusted = owner_->TabWindowRectForEmptyDisplay(*frame);
        borders.left = std::abs(adjusted.left) + 1;
        borders.top = std::abs(adjusted.top) + ((frame->Style() & TCS_BOTTOM) ? 0 : 2);
        borders.right = adjusted.right + 2;
        borders.bottom = adjusted.bottom + 2;
    }

    CLayoutItem& group = NewItem(CLayoutItem::Kind::Pane, orientation);
    group.flags = flags;
    group.borders = borders;
    group.window = frame;

    if (groupKind == GROUP_BOX)
    {
        group.name = frame->Text();
        frame->SetText("");
        group.groupWindow = owner_->CreateGroupFrame(*frame, group.name);
        LayoutWindow* buddy = buddyId != 0 ? owner_->Control(buddyId) : nullptr;
        if (group.groupWindow)
        {
            group.control = &group.groupWindow->Window();
            group.window = group.control;
            if (buddy)
            {
                group.groupWindow->SetBuddy(*buddy);
            }
        }
        if (group.name.empty() && buddyId == 0)
        {
            group.borders.top = 8;
        }
    }

    group.kind = CLayoutItem::Kind::Group;
    group.groupKind = groupKind;
    openPanes_.push_back(&group);
    return true;
}

bool CLayoutManager::ClosePane()
{
    if (openPanes_.empty())
    {
        return false;
    }
    if (openPanes_.size() == 1)
    {
        return true;
    }
    CLayoutItem* closed = openPanes_.back();
    openPanes_.pop_back();
    if (closed->children.empty())
    {
        ShowMessage("Group is empty!", kProgramName, MessageIcon::None, MessageButtons::Ok);
    }
    return false;
}

TrackSize CLayoutManager::FinishLayout(const FrameMetrics& metrics, int statusBarHeight)
{
    CLayoutItem& root = *root_;
    root.borders = {metrics.dlgFrameX - 1, metrics.dlgFrameY, 2 * metrics.dlgFrameX, 2 * metrics.dlgFrameY};
    ComputeMinimum(root);
    RegisterGroupMembers();
    root.borders.bottom += statusBarHeight;
    Place(root, root.borders.left, root.borders.top);

    TrackSize track;
    track.minWidth = root.minimum.Width() + root.borders.left + root.borders.right;
    track.minHeight = root.minimum.Height() + root.borders.top + root.borders.bottom + metrics.captionHeight;
    return track;
}

void CLayoutManager::Resize()
{
    Distribute(*root_);
    Place(*root_, root_->borders.left, root_->borders.top);
}

void CLayoutManager::ComputeMinimum(CLayoutItem& pane)
{
    if (pane.children.empty())
    {
        return;
    }
    pane.minimum = {};
    pane.stretchX = false;
    pane.stretchY = false;

    const bool horizontal = Horizontal(pane);
    const std::size_t n = pane.children.size();
    int w = 0;
    int h = 0;
    int stretching = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        CLayoutItem& child = *pane.children[i];
        if (horizontal && n > 1 && i + 1 < n)
        {
            child.borders.right += 1;
        }
        if (child.IsPaneLike())
        {
            ComputeMinimum(child);
        }
        else if (child.kind == CLayoutItem::Kind::Control && child.window)
        {
            const LayoutRect rect = child.window->Rect();
            // A template's width was meant for another font: the content decides when wider.
            child.minimum = {0, 0, std::max(rect.Width(), child.window->ContentWidth()), rect.Height()};
            child.size = child.minimum;
            const std::string className = child.window->ClassName();
            const std::uint32_t style = child.window->Style();
            if (className == "msctls_updown32" && (style & UDS_AUTOBUDDY))
            {
                LayoutWindow* buddyWindow = child.window->PreviousSibling();
                if (CLayoutItem* buddy = buddyWindow ? FindItem(buddyWindow) : nullptr)
                {
                    if (style & UDS_ALIGNRIGHT)
                    {
                        buddy->flags |= IF_SPIN_RIGHT;
                    }
                    if (style & UDS_ALIGNLEFT)
                    {
                        buddy->flags |= IF_SPIN_LEFT;
                    }
                }
            }
            child.listLike = IsListLikeClass(className);
        }

        const bool isGap = child.kind == CLayoutItem::Kind::Space;
        if (horizontal)
        {
            h = std::max(h, child.minimum.Height());
            w += child.minimum.Width();
            stretching += (child.stretchX && !isGap) ? 1 : 0;
        }
        else
        {
            w = std::max(w, child.minimum.Width());
            h += child.minimum.Height();
            stretching += (child.stretchY && !isGap) ? 1 : 0;
        }
        pane.stretchX = pane.stretchX || child.stretchX;
        pane.stretchY = pane.stretchY || child.stretchY;
    }

    int gapSum = 0;
    for (CLayoutItem* child : pane.children)
    {
        if (child->kind != CLayoutItem::Kind::Space || child->gapSize != 0)
        {
            continue;
        }
        int q = 0;
        if (stretching > 0)
        {
            q = (horizontal ? w : h) / static_cast<int>(n);
        }
        else
        {
            child->share = 100;
        }
        const int extent = q + child->gapMinimum;
        SetExtentAlong(child->minimum, pane, extent);
        if (horizontal)
        {
            child->stretchX = true;
        }
        else
        {
            child->stretchY = true;
        }
        gapSum += extent;
    }
    (horizontal ? w : h) += gapSum;
    for (CLayoutItem* child : pane.children)
    {
        if (child->kind == CLayoutItem::Kind::Space)
        {
            child->size = child->minimum;
        }
    }

    for (CLayoutItem* child : pane.children)
    {
        if (!child->IsPaneLike())
        {
            continue;
        }
        if (horizontal)
        {
            child->size.bottom = child->minimum.bottom = h;
        }
        else
        {
            child->size.right = child->minimum.right = w;
        }
    }

    int free = horizontal ? w : h;
    for (CLayoutItem* child : pane.children)
    {
        if (!StretchesAlong(*child, pane))
        {
            free -= ExtentAlong(child->minimum, pane);
        }
    }
    for (CLayoutItem* child : pane.children)
    {
        if (!StretchesAlong(*child, pane))
        {
            child->share = 0;
            continue;
        }
        if (child->share == 0)
        {
            const int extent = ExtentAlong(child->minimum, pane);
            child->share = extent == 0 ? 100.0 : extent * 100.0 / free;
        }
    }

    if (pane.kind == CLayoutItem::Kind::Group && pane.groupKind == GROUP_BOX && pane.groupWindow)
    {
        if (LayoutWindow* buddy = pane.groupWindow->Buddy())
        {
            w = std::max(w, buddy->Rect().Width() + 16);
        }
    }
    if (pane.kind == CLayoutItem::Kind::Group && pane.groupKind == GROUP_TAB)
    {
        if (pane.flags & IF_KEEP_HEIGHT)
        {
            if (pane.keptHeight != 0)
            {
                h = pane.keptHeight;
            }
            else
            {
                pane.keptHeight = h;
            }
        }
        if (pane.flags & IF_KEEP_WIDTH)
        {
            if (pane.keptWidth != 0)
            {
                w = pane.keptWidth;
            }
            else
            {
                pane.keptWidth = w;
            }
        }
    }
    if (!pane.visible)
    {
        w = 0;
        h = 0;
    }
    pane.minimum = {0, 0, w + pane.borders.left + pane.borders.right, h + pane.borders.top + pane.borders.bottom};
    pane.size = pane.minimum;

    if (&pane == root_.get())
    {
        ShowWindows(pane, true, true);
    }
}

void CLayoutManager::RegisterGroupMembers()
{
    RegisterMembers(*root_, nullptr);
}

void CLayoutManager::RegisterMembers(CLayoutItem& pane, LayoutGroupFrame* enclosing)
{
    for (CLayoutItem* child : pane.children)
    {
        if (child->kind == CLayoutItem::Kind::Pane)
        {
            RegisterMembers(*child, enclosing);
        }
        else if (child->kind == CLayoutItem::Kind::Group)
        {
            if (enclosing && child->window)
            {
                enclosing->AddMember(*child->window);
            }
            // Only a group box keeps a member list; a tab group records none.
            RegisterMembers(*child, child->groupWindow.get());
        }
        else if (child->kind == CLayoutItem::Kind::Control && enclosing && child->window)
        {
            enclosing->AddMember(*child->window);
        }
    }
}

void CLayoutManager::Distribute(CLayoutItem& pane)
{
    if (!owner_)
    {
        return;
    }
    if (&pane == root_.get())
    {
        const LayoutRect client = owner_->ClientRect();
        pane.size = {0, 0, client.Width(), client.Height()};
    }
    if (!pane.visible || pane.children.empty())
    {
        return;
    }

    const bool horizontal = Horizontal(pane);
    for (CLayoutItem* child : pane.children)
    {
        if (child->visible && child->IsPaneLike())
        {
            if (horizontal)
            {
                pane.size.bottom = std::max(pane.size.bottom, pane.minimum.bottom);
            }
            else
            {
                pane.size.right = std::max(pane.size.right, pane.minimum.right);
            }
        }
    }

    double freeX = pane.size.Width() - pane.borders.left - pane.borders.right;
    double freeY = pane.size.Height() - pane.borders.top - pane.borders.bottom;
    for (CLayoutItem* child : pane.children)
    {
        if (!child->visible)
        {
            continue;
        }
        if (horizontal && !child->stretchX)
        {
            freeX -= child->minimum.Width();
        }
        if (!horizontal && !child->stretchY)
        {
            freeY -= child->minimum.Height();
        }
    }
    const double free = horizontal ? freeX : freeY;

    int used = 0;
    int stretched = 0;
    for (CLayoutItem* child : pane.children)
    {
        child->size = {0, 0, Truncate(freeX), Truncate(freeY)};
        if (!child->visible)
        {
            continue;
        }
        if (child->control)
        {
            if (!child->stretchX)
            {
                child->size.right = child->minimum.right;
            }
            if (!child->stretchY)
            {
                child->size.bottom = child->minimum.bottom;
            }
        }
        const int minimum = ExtentAlong(child->minimum, pane);
        int extent = minimum;
        if (StretchesAlong(*child, pane))
        {
            extent = std::max(Truncate(free * child->share * 0.01), minimum);
            stretched += extent;
        }
        SetExtentAlong(child->size, pane, extent);
        used += extent;
    }

    const int inner = horizontal ? pane.size.Width() - pane.borders.left - pane.borders.right
                                 : pane.size.Height() - pane.borders.top - pane.borders.bottom;
    if (used > inner && stretched != 0)
    {
        int excess = used - inner;
        bool changed = true;
        while (excess > 0 && changed)
        {
            changed = false;
            for (CLayoutItem* child : pane.children)
            {
                if (!child->visible || !StretchesAlong(*child, pane))
                {
                    continue;
                }
                const int extent = ExtentAlong(child->size, pane);
                if (extent > ExtentAlong(child->minimum, pane))
                {
                    SetExtentAlong(child->size, pane, extent - 1);
                    --excess;
                    changed = true;
                    if (excess <= 0)
                    {
                        break;
                    }
                }
            }
        }
    }

    const int remainder = std::max(Truncate(free) - stretched, 0);
    CLayoutItem& first = *pane.children.front();
    if (remainder > 0 && StretchesAlong(first, pane))
    {
        SetExtentAlong(first.size, pane, ExtentAlong(first.size, pane) + remainder);
    }

    for (CLayoutItem* child : pane.children)
    {
        if (child->visible && child->IsPaneLike())
        {
            Distribute(*child);
        }
    }
}

void CLayoutManager::Place(CLayoutItem& pane, int x, int y)
{
    x += pane.borders.left;
    y += pane.borders.top;
    if (!pane.visible)
    {
        return;
    }
    const bool horizontal = Horizontal(pane);

    int maxW = 0;
    int maxH = 0;
    if (pane.alignment != ALIGN_NONE)
    {
        int sumW = 0;
        int sumH = 0;
        for (const CLayoutItem* child : pane.children)
        {
            if (!child->visible)
            {
                continue;
            }
            sumW += child->size.Width();
            sumH += child->size.Height();
            maxW = std::max(maxW, child->size.Width());
            maxH = std::max(maxH, child->size.Height());
        }
        if (horizontal)
        {
            if (pane.alignment == ALIGN_CENTER)
            {
                x += (pane.size.Width() - sumW) / 2;
            }
            else if (pane.alignment == ALIGN_END)
            {
                x += pane.size.Width() - pane.borders.right - pane.borders.left - sumW;
            }
        }
        else
        {
            if (pane.alignment == ALIGN_CENTER)
            {
                y += (pane.size.Height() - sumH) / 2;
            }
            else if (pane.alignment == ALIGN_END)
            {
                y += pane.size.Height() - pane.borders.bottom - pane.borders.top - sumH;
            }
        }
    }

    for (CLayoutItem* child : pane.children)
    {
        if (!child->visible)
        {
            continue;
        }
        int dx = 0;
        int dy = 0;
        switch (pane.alignment)
        {
        case ALIGN_CROSS_CENTER_X:
            dx = std::abs(child->size.Width() - maxW) / 2;
            break;
        case ALIGN_RIGHT_EACH:
            dx += std::abs(pane.size.Width() - child->size.Width() - pane.borders.right - pane.borders.left);
            break;
        case ALIGN_CROSS_CENTER_Y:
            dy = std::abs(child->size.Height() - maxH) / 2;
            break;
        case ALIGN_BOTTOM_EACH:
            dy += std::abs(pane.size.Height() - child->size.Height() - pane.borders.bottom - pane.borders.top);
            break;
        default:
            break;
        }

        if (child->IsPaneLike())
        {
            Place(*child, x, y);
            if (child->kind == CLayoutItem::Kind::Group)
            {
                child->placed = {x + child->borders.left / 2 - 1, y + 2,
                                 x + child->size.Width() - child->borders.right / 2 + 1, y + child->size.Height()};
            }
        }
        else if (child->kind == CLayoutItem::Kind::Control)
        {
            int w = child->stretchX ? child->size.Width() : child->minimum.Width();
            int h = child->stretchY ? child->size.Height() : child->minimum.Height();
            w = std::max(w, child->minimum.Width());
            h = std::max(h, child->minimum.Height());
            if (child->flags & IF_SPIN_LEFT)
            {
                x -= 3;
                w += 3;
            }
            if (child->flags & IF_SPIN_RIGHT)
            {
                w += 3;
            }
            child->placed = {x + dx + child->borders.left, y + dy + child->borders.top,
                             x + dx + w - child->borders.right, y + dy + h - child->borders.bottom};
            if ((child->flags & IF_SPAN_CLIENT) && owner_)
            {
                const LayoutRect client = owner_->ClientRect();
                if (horizontal)
                {
                    child->placed.top = 0;
                    child->placed.bottom = client.Height();
                }
                else
                {
                    child->placed.left = 0;
                    child->placed.right = client.Width();
                }
            }
        }

        if (horizontal)
        {
            x += child->size.Width();
        }
        else
        {
            y += child->size.Height();
        }
    }

    if (&pane == root_.get())
    {
        MoveControls();
    }
}

void CLayoutManager::MoveControls()
{
    if (!owner_)
    {
        return;
    }
    for (CLayoutItem* item : items_)
    {
        const bool isGroup = item->kind == CLayoutItem::Kind::Group;
        if (!item->visible || (!isGroup && item->kind != CLayoutItem::Kind::Control) || !item->window)
        {
            continue;
        }
        const LayoutRect current = item->window->Rect();
        if (current == item->placed && !isGroup)
        {
            continue;
        }
        std::uint32_t repaint = kMoveRepaint;
        if (current.Width() == item->placed.Width() && current.Height() == item->placed.Height())
        {
            repaint |= RDW_ERASE;
        }
        item->window->Move(item->placed);
        if (item->flags & IF_NO_REDRAW)
        {
            continue;
        }
        if (item->listLike && !(item->flags & IF_FULL_REDRAW))
        {
            item->window->Repaint(kListRepaint);
        }
        else if (isGroup)
        {
            item->window->Repaint(RDW_INVALIDATE);
        }
        else
        {
            item->window->Repaint(repaint);
        }
    }
    owner_->FillBackground();
}

void CLayoutManager::ShowWindows(CLayoutItem& pane, bool show, bool respectHidden)
{
    if (pane.kind == CLayoutItem::Kind::Control)
    {
        // A single control hidden or shown on its own.
        if (pane.window)
        {
            pane.window->SetVisible(show);
        }
        return;
    }
    for (CLayoutItem* child : pane.children)
    {
        const bool childShow = show && !(respectHidden && !child->visible);
        if (child->IsPaneLike())
        {
            ShowWindows(*child, childShow, respectHidden);
            if (child->kind == CLayoutItem::Kind::Group && child->window)
            {
                child->window->SetVisible(childShow);
            }
        }
        else if (child->kind == CLayoutItem::Kind::Control && child->window)
        {
            child->window->SetVisible(childShow);
        }
    }
}

void CLayoutManager::SetItemVisible(CLayoutItem* item, bool visible, bool relayout)
{
    if (!item)
    {
        return;
    }
    if (item->visible == visible)
    {
        ShowWindows(*item, visible, false);
        if (!relayout)
        {
            return;
        }
    }
    item->visible = visible;
    ShowWindows(*item, visible, false);
    RecomputeMinimum(*root_);
    if (relayout)
    {
        Relayout(root_.get());
    }
}

void CLayoutManager::MinimumsChanged(bool relayout)
{
    RecomputeMinimum(*root_);
    if (relayout)
    {
        Relayout(root_.get());
    }
}

void CLayoutManager::RecomputeMinimum(CLayoutItem& pane)
{
    const bool horizontal = Horizontal(pane);
    int w = 0;
    int h = 0;
    for (CLayoutItem* child : pane.children)
    {
        if (child->IsPaneLike())
        {
            RecomputeMinimum(*child);
        }
        if (horizontal)
        {
            h = std::max(h, child->minimum.Height());
            w += child->minimum.Width();
        }
        else
        {
            w = std::max(w, child->minimum.Width());
            h += child->minimum.Height();
        }
    }
    for (const CLayoutItem* child : pane.children)
    {
        if (child->kind == CLayoutItem::Kind::Space && child->gapSize == 0)
        {
            (horizontal ? w : h) += ExtentAlong(child->minimum, pane);
        }
    }
    if (pane.kind == CLayoutItem::Kind::Group && pane.groupKind == GROUP_BOX && pane.groupWindow)
    {
        if (LayoutWindow* buddy = pane.groupWindow->Buddy())
        {
            w = std::max(w, buddy->Rect().Width() + 16);
        }
    }
    if (pane.kind == CLayoutItem::Kind::Group && pane.groupKind == GROUP_TAB)
    {
        if ((pane.flags & IF_KEEP_HEIGHT) && pane.keptHeight != 0)
        {
            h = pane.keptHeight;
        }
        if ((pane.flags & IF_KEEP_WIDTH) && pane.keptWidth != 0)
        {
            w = pane.keptWidth;
        }
    }
    if (!pane.visible)
    {
        w = 0;
        h = 0;
    }
    pane.minimum = {0, 0, w + pane.borders.left + pane.borders.right, h + pane.borders.top + pane.borders.bottom};
}

void CLayoutManager::Relayout(CLayoutItem* item)
{
    if (!item)
    {
        return;
    }
    Distribute(*item);
    Place(*root_, root_->borders.left, root_->borders.top);
    if (item != root_.get())
    {
        MoveControls();
    }
}

CLayoutItem* CLayoutManager::FindItem(const LayoutWindow* window, const std::string& name) const
{
    for (CLayoutItem* item : items_)
    {
        if (window ? item->window == window : EqualsIgnoringCase(item->name, name))
        {
            return item;
        }
    }
    return nullptr;
}

CLayoutItem* CLayoutManager::FindControlItem(int controlId) const
{
    LayoutWindow* window = owner_ ? owner_->Control(controlId) : nullptr;
    return window ? FindItem(window) : nullptr;
}

} // namespace kavelmark

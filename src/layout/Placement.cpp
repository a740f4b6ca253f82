#include "layout/Placement.h"

#include <algorithm>
#include <utility>

#include "settings/Settings.h"

namespace kavelmark
{
namespace
{

// Marks values that were never saved: no real position reaches these.
constexpr int kNothingStored = 4001;
constexpr int kNoLeft = -1000;

bool Intersects(const LayoutRect& a, const LayoutRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

bool Contains(const LayoutRect& outer, const LayoutRect& inner)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// Moves the span [low, high) into [areaLow, areaHigh); when it is longer, it keeps its high
// end and loses what stuck out at the low end.
void FitSpan(std::int32_t& low, std::int32_t& high, std::int32_t areaLow, std::int32_t areaHigh)
{
    if (low < areaLow)
    {
        high += areaLow - low;
        low = areaLow;
    }
    if (high > areaHigh)
    {
        low -= high - areaHigh;
        high = areaHigh;
    }
    if (low < areaLow)
    {
        low = areaLow;
    }
}

} // namespace

bool SavePlacement(const PlacementWindow* window, const std::string& key)
{
    if (!window || key.empty() || !Settings::Backend())
    {
        return false;
    }
    const WindowPlacement p = window->GetPlacement();
    Settings::SetInt(key, "ShowCmd", p.showCmd);
    Settings::SetInt(key, "Flags", static_cast<std::int32_t>(p.flags));
    Settings::SetInt(key, "MinPositionX", p.minPositionX);
    Settings::SetInt(key, "MinPositionY", p.minPositionY);
    Settings::SetInt(key, "MaxPositionX", p.maxPositionX);
    Settings::SetInt(key, "MaxPositionY", p.maxPositionY);
    Settings::SetInt(key, "Left", p.normal.left);
    Settings::SetInt(key, "Top", p.normal.top);
    Settings::SetInt(key, "Right", p.normal.right);
    Settings::SetInt(key, "Bottom", p.normal.bottom);
    return true;
}

int RestorePlacement(PlacementWindow* window, const std::string& key, std::uint32_t layoutFlags, int mode)
{
    if (!window || key.empty() || !Settings::Backend())
    {
        return 0;
    }
    if (Settings::GetInt(key, "MinPositionX", kNothingStored, false) == kNothingStored && mode == 3)
    {
        return 2;
    }

    const LayoutRect screen = window->ScreenRect();
    const LayoutRect frame = window->FrameMargins();
    const WindowPlacement current = window->GetPlacement();
    const int w = current.normal.Width();
    const int h = current.normal.Height();

    WindowPlacement next;
    next.length = current.length;
    next.showCmd = Settings::GetInt(key, "ShowCmd", current.showCmd, false);
    next.flags =
        static_cast<std::uint32_t>(Settings::GetInt(key, "Flags", static_cast<std::int32_t>(current.flags), false));
    next.minPositionX = Settings::GetInt(key, "MinPositionX", current.minPositionX, false);
    next.minPositionY = Settings::GetInt(key, "MinPositionY", current.minPositionY, false);
    next.maxPositionX = Settings::GetInt(key, "MaxPositionX", current.maxPositionX, false);
    next.maxPositionY = Settings::GetInt(key, "MaxPositionY", current.maxPositionY, false);
    next.normal.left = current.normal.left;
    next.normal.top = current.normal.top;

    int defaultRight = current.normal.right;
    int defaultBottom = current.normal.bottom;
    if (layoutFlags & LF_SAVE_POSITION)
    {
        next.normal.left = Settings::GetInt(key, "Left", current.normal.left, false);
        next.normal.top = Settings::GetInt(key, "Top", current.normal.top, false);
        if (Settings::GetInt(key, "Left", kNoLeft, false) == kNoLeft && mode != 0)
        {
            next.normal.left = (screen.Width() - (frame.left + w + frame.right)) / 2 + frame.left;
            next.normal.top = (screen.Height() - (frame.top + h + frame.bottom)) / 2 + frame.top;
            defaultRight = next.normal.left + w;
            defaultBottom = next.normal.top + h;
        }
    }
    const bool sizeRestored = (layoutFlags & LF_SAVE_SIZE) != 0;
    if (sizeRestored)
    {
        next.normal.right = Settings::GetInt(key, "Right", defaultRight, false);
        next.normal.bottom = Settings::GetInt(key, "Bottom", defaultBottom, false);
    }
    else
    {
        next.normal.right = next.normal.left + w;
        next.normal.bottom = next.normal.top + h;
    }

    const LayoutRect work = window->WorkArea();
    LayoutRect& r = next.normal;
    if (r.left > r.right)
    {
        std::swap(r.left, r.right);
    }
    if (r.top > r.bottom)
    {
        std::swap(r.top, r.bottom);
    }
    // The title bar must stay reachable: the whole window is fitted, not its client area.
    LayoutRect whole{r.left - frame.left, r.top - frame.top, r.right + frame.right, r.bottom + frame.bottom};
    if (!Intersects(whole, work))
    {
        next = current;
    }
    else if (!Contains(work, whole))
    {
        FitSpan(whole.left, whole.right, work.left, work.right);
        FitSpan(whole.top, whole.bottom, work.top, work.bottom);
        r = {whole.left + frame.left, whole.top + frame.top, whole.right - frame.right, whole.bottom - frame.bottom};
    }

    int& s = next.showCmd;
    const int t = current.showCmd;
    if (s == SW_MINIMIZE && t != SW_MINIMIZE)
    {
        s = SW_RESTORE;
    }
    if (s != SW_SHOWMAXIMIZED && t == SW_SHOWMAXIMIZED)
    {
        s = SW_SHOWMAXIMIZED;
    }
    else if (s == SW_SHOWMINIMIZED && t == SW_SHOWNORMAL && window->IsMainWindow())
    {
        s = SW_SHOWNORMAL;
    }

    window->SetPlacement(next);

    if ((!sizeRestored && mode != 0) || mode == 2)
    {
        const LayoutRect rect = window->WindowRect();
        window->MoveWindow({rect.left, rect.top, rect.right - 1, rect.bottom}, false);
        window->MoveWindow(rect, true);
    }
    return sizeRestored ? 1 : 0;
}

} // namespace kavelmark

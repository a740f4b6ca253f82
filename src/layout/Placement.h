#pragma once

#include <cstdint>
#include <string>

#include "layout/LayoutTypes.h"

namespace kavelmark
{

// Show commands of a window placement.
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// A window's placement: show command, minimized and maximized positions and the normal
// (restored) rectangle in screen coordinates.
struct WindowPlacement
{
    std::uint32_t length = 44;
    std::uint32_t flags = 0;
    int showCmd = SW_SHOWNORMAL;
    int minPositionX = -1;
    int minPositionY = -1;
    int maxPositionX = -1;
    int maxPositionY = -1;
    LayoutRect normal;
};

// What placement persistence needs of a window and its screen.
class PlacementWindow
{
public:
    virtual ~PlacementWindow() = default;

    virtual WindowPlacement GetPlacement() const = 0;
    virtual void SetPlacement(const WindowPlacement& placement) = 0;
    // The window's rectangle in screen coordinates.
    virtual LayoutRect WindowRect() const = 0;
    // Moves and sizes the window; the layout runs with the new size.
    virtual void MoveWindow(const LayoutRect& rect, bool repaint) = 0;
    virtual bool IsMainWindow() const = 0;
    // (0, 0, screen width, screen height).
    virtual LayoutRect ScreenRect() const = 0;
    // The desktop minus task bars.
    virtual LayoutRect WorkArea() const = 0;
    // How far the window's frame (title bar included) reaches beyond the normal rectangle
    // on each side; none when the normal rectangle is the whole window.
    virtual LayoutRect FrameMargins() const
    {
        return {};
    }
};

// Writes the ten placement values to the settings section `key`. False when the window,
// the key or the settings are missing.
bool SavePlacement(const PlacementWindow* window, const std::string& key);

// Reads a saved placement, fits the whole window, frame included, to the work area and
// applies it. Modes: 0 apply only;
// 1 centre when no position is saved and re-lay out when no size was restored; 2 always
// re-lay out; 3 like 1, but answer 2 when nothing is saved. Returns 1 when the size came
// from the settings (LF_SAVE_SIZE), else 0.
int RestorePlacement(PlacementWindow* window, const std::string& key, std::uint32_t layoutFlags, int mode);

} // namespace kavelmark

#pragma once

#include <cstdint>

namespace kavelmark
{

// Integer pixel rectangle, edges inclusive-exclusive like the window system's.
struct LayoutRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const
    {
        return right - left;
    }
    std::int32_t Height() const
    {
        return bottom - top;
    }
    bool operator==(const LayoutRect&) const = default;
};

// Pane orientations.
constexpr int LAYOUT_VERTICAL = 1;
constexpr int LAYOUT_HORIZONTAL = 2;

// Sizing modes of AddControl: bit 0 fixes the width, bit 1 the height.
constexpr int LAYOUT_STRETCH = 0;
constexpr int LAYOUT_FIXED_WIDTH = 1;
constexpr int LAYOUT_FIXED_HEIGHT = 2;
constexpr int LAYOUT_FIXED = 3;
constexpr int LAYOUT_FIT_TEXT = 25;

// Alignments of a pane's children.
constexpr int ALIGN_NONE = 0;
constexpr int ALIGN_CENTER = 1;
constexpr int ALIGN_END = 2;
constexpr int ALIGN_CROSS_CENTER_Y = 3;
constexpr int ALIGN_CROSS_CENTER_X = 4;
constexpr int ALIGN_RIGHT_EACH = 6;
constexpr int ALIGN_BOTTOM_EACH = 7;

// Item flags.
constexpr std::uint32_t IF_KEEP_WIDTH = 0x01;
constexpr std::uint32_t IF_KEEP_HEIGHT = 0x02;
constexpr std::uint32_t IF_FULL_REDRAW = 0x04;
constexpr std::uint32_t IF_SPAN_CLIENT = 0x20;
constexpr std::uint32_t IF_SPIN_RIGHT = 0x40;
constexpr std::uint32_t IF_SPIN_LEFT = 0x80;
constexpr std::uint32_t IF_NO_REDRAW = 0x400;

// Layout flags of a layout-enabled dialog.
constexpr std::uint32_t LF_FIXED_WIDTH = 0x01;
constexpr std::uint32_t LF_FIXED_HEIGHT = 0x02;
constexpr std::uint32_t LF_SAVE_POSITION = 0x08;
constexpr std::uint32_t LF_SAVE_SIZE = 0x10;
constexpr std::uint32_t LF_MENU_HEIGHT = 0x40;

// Group kinds of AddGroup.
constexpr int GROUP_BOX = 5;
constexpr int GROUP_TAB = 8;

// Repaint flags handed to LayoutWindow::Repaint (the window system's redraw bits).
constexpr std::uint32_t RDW_INVALIDATE = 0x0001;
constexpr std::uint32_t RDW_ERASE = 0x0004;
constexpr std::uint32_t RDW_FRAME = 0x0400;
constexpr std::uint32_t RDW_ALLCHILDREN = 0x0080;
constexpr std::uint32_t RDW_UPDATENOW = 0x0100;

// Style bits the layout reads from LayoutWindow::Style(), with the framework's meaning.
constexpr std::uint32_t SS_TYPEMASK_LOW2 = 0x03; // both set: an icon static
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x03;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x09;
constexpr std::uint32_t UDS_ALIGNRIGHT = 0x04;
constexpr std::uint32_t UDS_ALIGNLEFT = 0x08;
constexpr std::uint32_t UDS_AUTOBUDDY = 0x10;
constexpr std::uint32_t TCS_BOTTOM = 0x02;

} // namespace kavelmark

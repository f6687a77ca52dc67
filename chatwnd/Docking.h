// Docking of the chat window to the screen area the task bar leaves free,
// and its minimum size, as pure arithmetic on the task bar's rectangle, the
// screen size and the window's rectangles. Window-free: the window reads the
// system's values and hands them in, so every task-bar position can be tested
// with made-up rectangles (Wine's own task bar is an empty 0 x 0 window).
#pragma once

#include "framework/DpiScale.h"

#include <optional>

struct DockRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct DockSize {
    int width;
    int height;
};

// A proposed window position and outer size, as a window-position change
// carries it.
struct DockPlacement {
    int x;
    int y;
    int width;
    int height;

    friend bool operator==(const DockPlacement&, const DockPlacement&) = default;
};

// What the task bar takes from each screen edge.
struct DockReserves {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const DockReserves&, const DockReserves&) = default;
};

// At 96 DPI; scaled for the window's DPI.
inline constexpr int kDockSnapMargin = 15;
inline constexpr int kMinimumWindowWidth = 320;
inline constexpr int kMinimumWindowHeight = 260;

// Reads where the task bar stands from its rectangle alone.
DockReserves ReservesOfTaskBar(const DockRect& taskBar, int screenWidth);

// The proposal after snapping to the free area's edges and enforcing the
// minimum size. `current` is the window's size before this change: the right
// and bottom snaps keep the window's present extent. Without a task bar the
// proposal passes unchanged, minimum size included. The margin and the
// minimum are those of a window at `scale`; the rectangles are pixels.
DockPlacement DockToTaskBar(DockPlacement proposed, DockSize current, const std::optional<DockRect>& taskBar,
                            DockSize screen, DpiScale scale = {});

#include "chatwnd/Docking.h"

#include <algorithm>

namespace {

// Each step sees the ones before it, so the right edge wins over the left and
// the bottom over the top when a window is close to both.
void SnapToFreeArea(DockPlacement& placement, DockSize current, const DockReserves& reserves, DockSize screen,
                    int margin) {
    const auto withinMargin = [margin](int value, int target) {
        return target - margin <= value && value <= target + margin;
    };
    if (withinMargin(placement.x, reserves.left)) placement.x = reserves.left;
    // The top snap reaches from a margin above the screen, not above the
    // reserve, down to a margin below the reserve.
    if (-margin <= placement.y && placement.y <= reserves.top + margin) placement.y = reserves.top;
    const int right = screen.width - reserves.right;
    if (withinMargin(placement.x + current.width, right)) placement.x = right - current.width;
    const int bottom = screen.height - reserves.bottom;
    if (withinMargin(placement.y + current.height, bottom)) placement.y = bottom - current.height;
}

void EnforceMinimumSize(DockPlacement& placement, DpiScale scale) {
    placement.width = std::max(placement.width, scale.Edge(kMinimumWindowWidth));
    placement.height = std::max(placement.height, scale.Edge(kMinimumWindowHeight));
}

}  // namespace

DockReserves ReservesOfTaskBar(const DockRect& taskBar, int screenWidth) {
    const int width = taskBar.right - taskBar.left;
    const int height = taskBar.bottom - taskBar.top;
    DockReserves reserves;
    if (taskBar.top > 0 && taskBar.left <= 0) {
        reserves.bottom = height;
    } else if (taskBar.top > 0) {
        // Neither at the top nor at the left edge: read as standing at the left.
        reserves.left = width;
    } else if (taskBar.left > 0) {
        reserves.right = width;
    } else if (taskBar.right >= screenWidth) {
        reserves.top = height;
    } else {
        reserves.left = width;
    }
    return reserves;
}

DockPlacement DockToTaskBar(DockPlacement proposed, DockSize current, const std::optional<DockRect>& taskBar,
                            DockSize screen, DpiScale scale) {
    if (!taskBar) return proposed;
    SnapToFreeArea(proposed, current, ReservesOfTaskBar(*taskBar, screen.width), screen, scale.Edge(kDockSnapMargin));
    EnforceMinimumSize(proposed, scale);
    return proposed;
}

#include "chatwnd/Docking.h"

namespace {

bool WithinMargin(int value, int target) {
    return target - kDockSnapMargin <= value && value <= target + kDockSnapMargin;
}

// Each step sees the ones before it, so the right edge wins over the left and
// the bottom over the top when a window is close to both.
void SnapToFreeArea(DockPlacement& placement, DockSize current, const DockReserves& reserves, DockSize screen) {
    if (WithinMargin(placement.x, reserves.left)) placement.x = reserves.left;
    // The top snap reaches from 15 pixels above the screen, not above the
    // reserve, down to 15 pixels below the reserve.
    if (-kDockSnapMargin <= placement.y && placement.y <= reserves.top + kDockSnapMargin) placement.y = reserves.top;
    const int right = screen.width - reserves.right;
    if (WithinMargin(placement.x + current.width, right)) placement.x = right - current.width;
    const int bottom = screen.height - reserves.bottom;
    if (WithinMargin(placement.y + current.height, bottom)) placement.y = bottom - current.height;
}

void EnforceMinimumSize(DockPlacement& placement) {
    if (placement.width < kMinimumWindowWidth) placement.width = kMinimumWindowWidth;
    if (placement.height < kMinimumWindowHeight) placement.height = kMinimumWindowHeight;
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
                            DockSize screen) {
    if (!taskBar) return proposed;
    SnapToFreeArea(proposed, current, ReservesOfTaskBar(*taskBar, screen.width), screen);
    EnforceMinimumSize(proposed);
    return proposed;
}

// Docking to the task bar and the minimum size, on made-up task bars: how
// each rectangle is read, each snap with its margin and its order, and the
// minimum size that only a present task bar brings.
#include "chatwnd/Docking.h"

#include <gtest/gtest.h>

namespace {

constexpr DockSize kScreen{1024, 768};
constexpr DockSize kWindow{640, 480};
constexpr DockRect kBottomBar{0, 738, 1024, 768};
constexpr DockRect kTopBar{0, 0, 1024, 30};
// Wine's task bar: an empty window at the origin.
constexpr DockRect kEmptyBar{0, 0, 0, 0};

// Where a 640 x 480 window, dragged to (x, y), ends up.
DockPlacement Drag(int x, int y, const DockRect& taskBar, DockSize window = kWindow) {
    return DockToTaskBar({x, y, window.width, window.height}, window, taskBar, kScreen);
}

}  // namespace

TEST(TaskBarReading, EachRectangleGivesOneReserve) {
    EXPECT_EQ(ReservesOfTaskBar(kBottomBar, 1024), (DockReserves{0, 0, 0, 30}));
    EXPECT_EQ(ReservesOfTaskBar(kTopBar, 1024), (DockReserves{0, 30, 0, 0}));
    EXPECT_EQ(ReservesOfTaskBar({994, 0, 1024, 768}, 1024), (DockReserves{0, 0, 30, 0}));
    EXPECT_EQ(ReservesOfTaskBar({0, 0, 60, 768}, 1024), (DockReserves{60, 0, 0, 0}));
    // Below the top and off the left edge: read as a left task bar.
    EXPECT_EQ(ReservesOfTaskBar({994, 10, 1024, 768}, 1024), (DockReserves{30, 0, 0, 0}));
    EXPECT_EQ(ReservesOfTaskBar(kEmptyBar, 1024), DockReserves{});
}

TEST(TaskBarReading, StartingLeftOfTheScreenStillCountsAsTheLeftEdge) {
    EXPECT_EQ(ReservesOfTaskBar({-2, 740, 1026, 770}, 1024), (DockReserves{0, 0, 0, 30}));
    EXPECT_EQ(ReservesOfTaskBar({-2, -2, 1026, 30}, 1024), (DockReserves{0, 32, 0, 0}));
}

TEST(Docking, BottomEdgeSnapsOntoTheTaskBarWithinFifteenPixels) {
    EXPECT_EQ(Drag(100, 270, kBottomBar).y, 258);
    EXPECT_EQ(Drag(100, 273, kBottomBar).y, 258);
    EXPECT_EQ(Drag(100, 280, kBottomBar).y, 280);
}

TEST(Docking, LeftEdgeSnapsToTheScreenEdge) {
    EXPECT_EQ(Drag(12, 100, kBottomBar).x, 0);
    EXPECT_EQ(Drag(-15, 100, kBottomBar).x, 0);
    EXPECT_EQ(Drag(16, 100, kBottomBar).x, 16);
    EXPECT_EQ(Drag(-16, 100, kBottomBar).x, -16);
}

TEST(Docking, TopEdgeSnapsFromSlightlyAboveTheScreen) {
    EXPECT_EQ(Drag(100, -10, kBottomBar).y, 0);
    EXPECT_EQ(Drag(100, -16, kBottomBar).y, -16);
    EXPECT_EQ(Drag(100, 15, kBottomBar).y, 0);
    EXPECT_EQ(Drag(100, 16, kBottomBar).y, 16);
}

TEST(Docking, TopTaskBarCatchesEveryTopFromFifteenAboveToFifteenBelowIt) {
    for (int y = -15; y <= 45; ++y) EXPECT_EQ(Drag(100, y, kTopBar).y, 30) << y;
    EXPECT_EQ(Drag(100, -16, kTopBar).y, -16);
    EXPECT_EQ(Drag(100, 46, kTopBar).y, 46);
}

TEST(Docking, RightSnapUsesTheCurrentWidthAndWinsOverTheLeft) {
    const DockSize wide{1014, 480};
    EXPECT_EQ(Drag(5, 100, kBottomBar, wide).x, 10);
    // The proposal's own width plays no part.
    EXPECT_EQ(DockToTaskBar({395, 100, 330, 480}, kWindow, kBottomBar, kScreen).x, 384);
}

TEST(Docking, RightAndLeftTaskBarsMoveTheEdgesTheySnapTo) {
    const DockRect rightBar{994, 0, 1024, 768};
    EXPECT_EQ(Drag(360, 100, rightBar).x, 354);
    const DockRect leftBar{0, 0, 60, 768};
    EXPECT_EQ(Drag(50, 100, leftBar).x, 60);
    EXPECT_EQ(Drag(76, 100, leftBar).x, 76);
}

TEST(Docking, BottomSnapWinsOverTheTopWithTheCurrentHeight) {
    const DockSize tall{640, 760};
    EXPECT_EQ(Drag(100, 5, kEmptyBar, tall).y, 8);
}

TEST(Docking, EmptyTaskBarSnapsToTheWholeScreen) {
    EXPECT_EQ(Drag(10, 10, kEmptyBar), (DockPlacement{0, 0, 640, 480}));
    EXPECT_EQ(Drag(380, 290, kEmptyBar), (DockPlacement{384, 288, 640, 480}));
}

TEST(MinimumSize, AppliesOnlyWhileThereIsATaskBar) {
    const DockPlacement small{200, 200, 100, 100};
    const DockPlacement limited = DockToTaskBar(small, kWindow, kBottomBar, kScreen);
    EXPECT_EQ(limited.width, 320);
    EXPECT_EQ(limited.height, 260);
    EXPECT_EQ(DockToTaskBar({200, 200, 319, 500}, kWindow, kBottomBar, kScreen).width, 320);
    EXPECT_EQ(DockToTaskBar({200, 200, 500, 259}, kWindow, kBottomBar, kScreen).height, 260);
    EXPECT_EQ(DockToTaskBar({200, 200, 320, 260}, kWindow, kBottomBar, kScreen), (DockPlacement{200, 200, 320, 260}));
    // Without a task bar nothing changes, not even a position at an edge.
    EXPECT_EQ(DockToTaskBar({3, 3, 100, 100}, kWindow, std::nullopt, kScreen), (DockPlacement{3, 3, 100, 100}));
}

TEST(Docking, MarginAndMinimumGrowWithTheDisplayScale) {
    const DpiScale doubled(192);
    const DockSize window{1280, 960};
    const DockSize screen{2560, 1600};
    const DockRect bottomBar{0, 1520, 2560, 1600};
    const auto dragTo = [&](int x, int y) {
        return DockToTaskBar({x, y, window.width, window.height}, window, bottomBar, screen, doubled);
    };
    EXPECT_EQ(dragTo(30, 300).x, 0);
    EXPECT_EQ(dragTo(31, 300).x, 31);
    EXPECT_EQ(dragTo(300, -30).y, 0);
    EXPECT_EQ(dragTo(300, -31).y, -31);
    EXPECT_EQ(dragTo(300, 530).y, 560);  // 30 above the task bar
    EXPECT_EQ(DockToTaskBar({200, 200, 100, 100}, window, bottomBar, screen, doubled),
              (DockPlacement{200, 200, 640, 520}));
    EXPECT_EQ(DockToTaskBar({200, 200, 100, 100}, window, bottomBar, screen, DpiScale(144)),
              (DockPlacement{200, 200, 480, 390}));
}

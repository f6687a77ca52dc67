// The colour arithmetic: the menu's lightened colours and the button's
// darkened and grey images, channel by channel.
#include "framework/Color.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr Color Grey(int level) { return Rgb(level, level, level); }

constexpr double kNotAFactor[] = {0.0, -0.5, 1.0001, 2.0, std::numeric_limits<double>::quiet_NaN()};

TEST(LightenColor, MovesEachChannelTowardWhite) {
    EXPECT_EQ(LightenColor(Rgb(0, 0, 128), 0.85), Rgb(216, 216, 235));
    EXPECT_EQ(LightenColor(Rgb(10, 200, 255), 1.0), Grey(255));
    EXPECT_EQ(LightenColor(Grey(100), 0.3), Grey(146));
    for (double factor : kNotAFactor) EXPECT_EQ(LightenColor(Rgb(1, 2, 3), factor), Rgb(1, 2, 3)) << factor;
}

TEST(DarkenColor, AQuarterOffEachChannelTruncatedTowardZero) {
    EXPECT_EQ(DarkenColor(Grey(255), 0.25), Grey(191));
    EXPECT_EQ(DarkenColor(Grey(200), 0.25), Grey(150));
    EXPECT_EQ(DarkenColor(Grey(128), 0.25), Grey(96));
    EXPECT_EQ(DarkenColor(Grey(3), 0.25), Grey(2));
    EXPECT_EQ(DarkenColor(Grey(1), 0.25), Grey(0));
    // Channels are kept apart: no carry from one into the next.
    EXPECT_EQ(DarkenColor(Rgb(255, 3, 128), 0.25), Rgb(191, 2, 96));
    EXPECT_EQ(DarkenColor(Rgb(200, 100, 40), 1.0), Grey(0));
    for (double factor : kNotAFactor) EXPECT_EQ(DarkenColor(Rgb(200, 100, 40), factor), Rgb(200, 100, 40)) << factor;
}

TEST(GreyColor, WeighsGreenMostAndBlueLeast) {
    EXPECT_EQ(GreyColor(Rgb(255, 0, 0)), Grey(76));
    EXPECT_EQ(GreyColor(Rgb(0, 255, 0)), Grey(149));
    EXPECT_EQ(GreyColor(Rgb(0, 0, 255)), Grey(29));
    EXPECT_EQ(GreyColor(Rgb(100, 150, 200)), Grey(140));
    EXPECT_EQ(GreyColor(Grey(255)), Grey(255));
    EXPECT_EQ(GreyColor(Grey(0)), Grey(0));
}

}  // namespace

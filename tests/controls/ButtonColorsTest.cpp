// The colour arithmetic behind the button's darkened and grey images.
#include "controls/ButtonColors.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr ColorValue Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
constexpr ColorValue Grey(unsigned level) { return Rgb(level, level, level); }

}  // namespace

TEST(DarkenColor, AQuarterOffEachChannelTruncatedTowardZero) {
    EXPECT_EQ(DarkenColor(Grey(255), 0.25), Grey(191));
    EXPECT_EQ(DarkenColor(Grey(200), 0.25), Grey(150));
    EXPECT_EQ(DarkenColor(Grey(128), 0.25), Grey(96));
    EXPECT_EQ(DarkenColor(Grey(3), 0.25), Grey(2));
    EXPECT_EQ(DarkenColor(Grey(1), 0.25), Grey(0));
    // Channels are kept apart: no carry from one into the next.
    EXPECT_EQ(DarkenColor(Rgb(255, 3, 128), 0.25), Rgb(191, 2, 96));
}

TEST(DarkenColor, FactorOutsideZeroToOneLeavesTheColour) {
    const ColorValue color = Rgb(200, 100, 40);
    EXPECT_EQ(DarkenColor(color, 0.0), color);
    EXPECT_EQ(DarkenColor(color, -0.5), color);
    EXPECT_EQ(DarkenColor(color, 1.5), color);
    EXPECT_EQ(DarkenColor(color, std::numeric_limits<double>::quiet_NaN()), color);
    EXPECT_EQ(DarkenColor(color, 1.0), Rgb(0, 0, 0));
}

TEST(GreyColor, WeighsGreenMostAndBlueLeast) {
    EXPECT_EQ(GreyColor(Rgb(255, 0, 0)), Grey(76));
    EXPECT_EQ(GreyColor(Rgb(0, 255, 0)), Grey(149));
    EXPECT_EQ(GreyColor(Rgb(0, 0, 255)), Grey(29));
    EXPECT_EQ(GreyColor(Rgb(100, 150, 200)), Grey(140));
    EXPECT_EQ(GreyColor(Grey(255)), Grey(255));
    EXPECT_EQ(GreyColor(Grey(0)), Grey(0));
}

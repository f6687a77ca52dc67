// Which drawing serves a DPI, and fitting a drawing to its place without
// blurring a transparent colour into its neighbours.
#include <gtest/gtest.h>

#include "framework/ImageScaling.h"

namespace {

TEST(ChooseDrawing, TakesTheExactOrNextLargerDrawingAndTheLargestBeyondThem) {
    const ScaledDrawing drawings[] = {{192, 4}, {120, 1}, {144, 2}};
    EXPECT_EQ(ChooseDrawing(drawings, 144), 2);
    EXPECT_EQ(ChooseDrawing(drawings, 97), 1);
    EXPECT_EQ(ChooseDrawing(drawings, 145), 0);
    EXPECT_EQ(ChooseDrawing(drawings, 480), 0);
    EXPECT_EQ(ChooseDrawing({}, 144), -1);
}

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kPurple = Rgb(90, 44, 107);

TEST(ScalePixels, AveragesTheAreaEachTargetPixelCovers) {
    // Three pixels into two: each target pixel covers one and a half.
    const PixelImage row{3, 1, {Rgb(0, 0, 0), Rgb(90, 90, 90), Rgb(180, 180, 180)}};
    const PixelImage scaled = ScalePixels(row, 2, 1);
    EXPECT_EQ(scaled.pixels, (std::vector<Color>{Rgb(30, 30, 30), Rgb(150, 150, 150)}));
    EXPECT_TRUE(ScalePixels(row, 0, 1).pixels.empty());
}

TEST(ScalePixels, KeepsTheKeyExactAndOutOfItsNeighbours) {
    // A white corner pixel of a 3 x 3 purple square, into 2 x 2: the key
    // covers 4/9 of the corner target, under half, so that pixel is the mean
    // of the purple only; a blend would leave a pale fringe.
    PixelImage square{3, 3, std::vector<Color>(9, kPurple)};
    square.pixels[0] = kWhite;
    EXPECT_EQ(ScalePixels(square, 2, 2, kWhite).pixels, std::vector<Color>(4, kPurple));
    EXPECT_NE(ScalePixels(square, 2, 2).pixels[0], kPurple);
    // Half of a target pixel's area or more under the key: the key stays.
    const PixelImage corner{2, 1, {kWhite, kPurple}};
    EXPECT_EQ(ScalePixels(corner, 3, 1, kWhite).pixels, (std::vector<Color>{kWhite, kWhite, kPurple}));
    // Near-white neighbours whose mean rounds to the key do not become it.
    const PixelImage pale{2, 1, {Rgb(254, 255, 255), Rgb(255, 254, 255)}};
    EXPECT_NE(ScalePixels(pale, 1, 1, kWhite).pixels[0], kWhite);
}

}  // namespace

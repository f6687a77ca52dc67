// Scaling pictures smoothly: enlarged pixels blend into their neighbours,
// reduced ones average what they cover, transparency stays premultiplied,
// and a part is the same pixels as the whole picture has there.
#include "framework/html/ImageScaler.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace html {
namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

DecodedImage Picture(int width, int height, std::initializer_list<std::uint32_t> pixels) {
    return DecodedImage{width, height, std::vector<std::uint32_t>(pixels)};
}

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

TEST(ImageScaler, EnlargingBlendsNeighboursAndKeepsTheEdges) {
    const DecodedImage scaled = ScaleImagePart(Picture(2, 1, {kOpaqueBlack, kOpaqueWhite}), 8, 2, Rect{0, 0, 8, 2});
    ASSERT_EQ(scaled.width, 8);
    ASSERT_EQ(scaled.height, 2);
    EXPECT_EQ(scaled.pixels[0], kOpaqueBlack);
    EXPECT_EQ(scaled.pixels[7], kOpaqueWhite);
    for (int x = 1; x < 8; ++x) {
        EXPECT_GE(Channel(scaled.pixels[x], 0), Channel(scaled.pixels[x - 1], 0)) << x;  // a ramp, not a step
    }
    EXPECT_GT(Channel(scaled.pixels[3], 0), 0);
    EXPECT_LT(Channel(scaled.pixels[3], 0), 255);
    EXPECT_EQ(scaled.pixels[8 + 3], scaled.pixels[3]);
}

TEST(ImageScaler, ReducingAveragesAndTransparencyStaysPremultiplied) {
    const DecodedImage checks = Picture(4, 1, {kOpaqueBlack, kOpaqueWhite, kOpaqueBlack, kOpaqueWhite});
    const DecodedImage grey = ScaleImagePart(checks, 2, 1, Rect{0, 0, 2, 1});
    for (const std::uint32_t pixel : grey.pixels) {
        EXPECT_NEAR(Channel(pixel, 8), 128, 40);
        EXPECT_EQ(Channel(pixel, 24), 255);
    }
    const DecodedImage edge = ScaleImagePart(Picture(2, 1, {0, 0xFF0000FF}), 6, 1, Rect{0, 0, 6, 1});
    EXPECT_EQ(edge.pixels[0], 0u);
    for (const std::uint32_t pixel : edge.pixels) {
        EXPECT_LE(Channel(pixel, 0), Channel(pixel, 24));  // colour never exceeds its alpha
    }
}

TEST(ImageScaler, APartIsThatPartOfTheWholeAndOutsideIsNothing) {
    const DecodedImage source = Picture(3, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF000000});
    const DecodedImage whole = ScaleImagePart(source, 7, 5, Rect{0, 0, 7, 5});
    const DecodedImage part = ScaleImagePart(source, 7, 5, Rect{2, 1, 5, 4});
    ASSERT_EQ(part.width, 3);
    ASSERT_EQ(part.height, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(part.pixels[y * 3 + x], whole.pixels[(y + 1) * 7 + x + 2]) << x << y;
    }
    EXPECT_EQ(ScaleImagePart(source, 7, 5, Rect{7, 0, 9, 5}).width, 0);
    EXPECT_EQ(ScaleImagePart(source, 0, 5, Rect{0, 0, 7, 5}).width, 0);
}

}  // namespace
}  // namespace html

// The skin bitmaps as linked: their sizes are fixed by the window's layout,
// and their pixels must suit how each piece is drawn (widened from one
// column, keyed on white or black, butted against its neighbours).
#include <gtest/gtest.h>

#include "ResourceBytes.h"
#include "res/resource.h"

#include <stdexcept>
#include <string>

namespace {

struct SkinPiece {
    UINT id;
    int width;
    int height;
};

const SkinPiece kSkin[] = {
    {IDB_TITLE_BAND, 24, 20},     {IDB_CLOSE, 11, 13},
    {IDB_MAXIMIZE, 12, 13},       {IDB_MINIMIZE, 10, 13},
    {IDB_LOWER_LEFT, 12, 101},    {IDB_LOWER_RIGHT, 12, 101},
    {IDB_LOWER_PANEL_TOP, 9, 26}, {IDB_LOWER_PANEL_BOTTOM, 8, 22},
    {IDB_UPPER_LEFT, 6, 39},      {IDB_UPPER_RIGHT, 6, 39},
    {IDB_UPPER_MIDDLE, 7, 39},    {IDB_SEND, 81, 44},
    {IDB_RESTORE, 12, 13},
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

DibView Skin(UINT id) {
    auto bytes = FindResourceBytes(RT_BITMAP, id);
    if (!bytes) throw std::runtime_error("no bitmap resource " + std::to_string(id));
    auto dib = DibView::FromResource(*bytes);
    if (!dib) throw std::runtime_error("bitmap " + std::to_string(id) + " is not a 24-bit DIB");
    return *dib;
}

TEST(SkinBitmaps, AreUncompressed24BitAtTheirLayoutSizes) {
    for (const SkinPiece& piece : kSkin) {
        SCOPED_TRACE("bitmap " + std::to_string(piece.id));
        auto bytes = FindResourceBytes(RT_BITMAP, piece.id);
        ASSERT_TRUE(bytes.has_value());
        BITMAPINFOHEADER header;
        ASSERT_GE(bytes->size, sizeof header);
        CopyMemory(&header, bytes->data, sizeof header);
        EXPECT_EQ(header.biBitCount, 24);
        EXPECT_EQ(header.biCompression, DWORD{BI_RGB});
        EXPECT_EQ(header.biWidth, piece.width);
        EXPECT_EQ(header.biHeight, piece.height);  // positive: bottom-up rows
    }
}

TEST(SkinBitmaps, BandPiecesRepeatOneColumnSoWideningCannotDistortThem) {
    for (UINT id : {IDB_TITLE_BAND, IDB_LOWER_PANEL_TOP, IDB_LOWER_PANEL_BOTTOM, IDB_UPPER_MIDDLE}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const DibView band = Skin(id);
        for (int y = 0; y < band.Height(); ++y)
            for (int x = 1; x < band.Width(); ++x) ASSERT_EQ(band.Pixel(x, y), band.Pixel(0, y)) << x << "," << y;
    }
}

TEST(SkinBitmaps, TitleButtonsAreWhiteOnlyInTheirCutCorners) {
    // White is their transparent colour: the corners show the title band, and
    // any white inside the key would punch a hole in it.
    for (UINT id : {IDB_CLOSE, IDB_MAXIMIZE, IDB_MINIMIZE, IDB_RESTORE}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        const DibView key = Skin(id);
        const int right = key.Width() - 1, bottom = key.Height() - 1;
        EXPECT_EQ(key.Pixel(0, 0), kWhite);
        EXPECT_EQ(key.Pixel(right, 0), kWhite);
        EXPECT_EQ(key.Pixel(0, bottom), kWhite);
        EXPECT_EQ(key.Pixel(right, bottom), kWhite);
        for (int y = 1; y < bottom; ++y)
            for (int x = 1; x < right; ++x) ASSERT_NE(key.Pixel(x, y), kWhite) << x << "," << y;
    }
}

TEST(SkinBitmaps, TitleButtonsCarryAGlyph) {
    // Each key's middle differs from its plain face, and the four differ.
    const UINT keys[] = {IDB_CLOSE, IDB_MAXIMIZE, IDB_MINIMIZE, IDB_RESTORE};
    auto glyphSignature = [](const DibView& key) {
        std::string signature;
        for (int y = 3; y < 11; ++y)
            for (int x = 2; x < key.Width() - 2; ++x) signature += key.Pixel(x, y) == key.Pixel(1, y) ? '.' : '#';
        return signature;
    };
    for (size_t i = 0; i < std::size(keys); ++i) {
        const std::string mine = glyphSignature(Skin(keys[i]));
        EXPECT_NE(mine.find('#'), std::string::npos) << keys[i];
        for (size_t j = 0; j < i; ++j) EXPECT_NE(mine, glyphSignature(Skin(keys[j]))) << keys[i] << " vs " << keys[j];
    }
}

TEST(SkinBitmaps, SendButtonHoldsNoBlackSinceBlackShowsTheFaceThrough) {
    const DibView send = Skin(IDB_SEND);
    for (int y = 0; y < send.Height(); ++y)
        for (int x = 0; x < send.Width(); ++x) ASSERT_NE(send.Pixel(x, y), kBlack) << x << "," << y;
}

TEST(SkinBitmaps, SendButtonBlendsIntoTheWhiteInputWell) {
    const DibView send = Skin(IDB_SEND);
    for (int x = 0; x < send.Width(); ++x) {
        EXPECT_EQ(send.Pixel(x, 0), kWhite) << x;
        EXPECT_EQ(send.Pixel(x, send.Height() - 1), kWhite) << x;
    }
}

// The pieces are laid side by side; where they meet, rows must agree.
void ExpectSameColumn(const DibView& a, int ax, const DibView& b, int bx, int bFirstRow) {
    for (int y = 0; y < a.Height(); ++y) ASSERT_EQ(a.Pixel(ax, y), b.Pixel(bx, bFirstRow + y)) << "row " << y;
}

TEST(SkinBitmaps, UpperBandEndsMeetItsMiddleWithoutASeam) {
    const DibView middle = Skin(IDB_UPPER_MIDDLE);
    ExpectSameColumn(middle, 0, Skin(IDB_UPPER_LEFT), 5, 0);
    ExpectSameColumn(middle, 0, Skin(IDB_UPPER_RIGHT), 0, 0);
}

TEST(SkinBitmaps, LowerPanelBandsMeetItsSidePiecesWithoutASeam) {
    // The bands cover the side pieces' rows 0-25 and 79-100.
    const DibView left = Skin(IDB_LOWER_LEFT), right = Skin(IDB_LOWER_RIGHT);
    const DibView top = Skin(IDB_LOWER_PANEL_TOP), bottom = Skin(IDB_LOWER_PANEL_BOTTOM);
    ExpectSameColumn(top, 0, left, 11, 0);
    ExpectSameColumn(top, 0, right, 0, 0);
    ExpectSameColumn(bottom, 0, left, 11, 79);
    ExpectSameColumn(bottom, 0, right, 0, 79);
}

TEST(SkinBitmaps, FramePiecesCarryThePurpleOutlineOfTheChatView) {
    // The view's outline runs along x = 9 and x = W - 10, the first column of
    // the left pieces and the last of the right ones.
    constexpr COLORREF purple = RGB(90, 44, 107);
    EXPECT_EQ(Skin(IDB_UPPER_LEFT).Pixel(0, 38), purple);
    EXPECT_EQ(Skin(IDB_UPPER_RIGHT).Pixel(5, 38), purple);
    EXPECT_EQ(Skin(IDB_UPPER_MIDDLE).Pixel(0, 0), purple);
    EXPECT_EQ(Skin(IDB_LOWER_LEFT).Pixel(0, 50), purple);
    EXPECT_EQ(Skin(IDB_LOWER_RIGHT).Pixel(11, 50), purple);
}

TEST(SkinBitmaps, OpaqueCornersMatchTheLavenderStripsAroundThem) {
    constexpr COLORREF lavender = RGB(231, 219, 239);
    EXPECT_EQ(Skin(IDB_UPPER_LEFT).Pixel(0, 0), lavender);
    EXPECT_EQ(Skin(IDB_UPPER_RIGHT).Pixel(5, 0), lavender);
    EXPECT_EQ(Skin(IDB_LOWER_LEFT).Pixel(0, 0), lavender);
    EXPECT_EQ(Skin(IDB_LOWER_LEFT).Pixel(0, 100), lavender);
    EXPECT_EQ(Skin(IDB_LOWER_RIGHT).Pixel(11, 0), lavender);
    EXPECT_EQ(Skin(IDB_LOWER_RIGHT).Pixel(11, 100), lavender);
}

}  // namespace

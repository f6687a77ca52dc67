// The skin bitmaps as linked: their sizes are fixed by the window's layout,
// and their pixels must suit how each piece is drawn (widened from one
// column, keyed on white or black, butted against its neighbours), in the
// 96-DPI set and in every set drawn for a larger scale.
#include <gtest/gtest.h>

#include "ResourceBytes.h"
#include "chatwnd/FrameLayout.h"
#include "framework/DpiScale.h"
#include "framework/ScaledResource.h"
#include "res/SkinSets.h"
#include "res/resource.h"

#include <objbase.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

struct SkinPiece {
    UINT id;
    int control;  // the piece of the layout it fills
    int width;    // at 96 DPI
    int height;
};

const SkinPiece kSkin[] = {
    {IDB_TITLE_BAND, IDC_TITLE_BAND, 24, 20},
    {IDB_CLOSE, IDC_CLOSE, 11, 13},
    {IDB_MAXIMIZE, IDC_MAXIMIZE, 12, 13},
    {IDB_MINIMIZE, IDC_MINIMIZE, 10, 13},
    {IDB_LOWER_LEFT, IDC_LOWER_LEFT, 12, 101},
    {IDB_LOWER_RIGHT, IDC_LOWER_RIGHT, 12, 101},
    {IDB_LOWER_PANEL_TOP, IDC_LOWER_PANEL_TOP, 9, 26},
    {IDB_LOWER_PANEL_BOTTOM, IDC_LOWER_PANEL_BOTTOM, 8, 22},
    {IDB_UPPER_LEFT, IDC_UPPER_LEFT, 6, 39},
    {IDB_UPPER_RIGHT, IDC_UPPER_RIGHT, 6, 39},
    {IDB_UPPER_MIDDLE, IDC_UPPER_MIDDLE, 7, 39},
    {IDB_SEND, IDC_SEND, 81, 44},
    {IDB_RESTORE, IDC_MAXIMIZE, 12, 13},
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPurple = RGB(90, 44, 107);
constexpr COLORREF kLavender = RGB(231, 219, 239);

// The 96-DPI set and every larger one.
std::vector<int> AllDpis() {
    std::vector<int> dpis{kBaseDpi};
    dpis.insert(dpis.end(), kSkinSetDpis.begin(), kSkinSetDpis.end());
    return dpis;
}

bool IsBand(const SkinPiece& piece) { return std::ranges::find(kBandPieces, piece.control) != kBandPieces.end(); }

// Where the layout puts the piece's rectangle; for a client area of 0 x 0,
// pieces placed from the right or bottom edge lie at negative positions,
// which scale as distances from that edge (Edge is symmetric about zero).
FrameBox PlaceOf(int control) {
    for (const FramePiece& piece : LayOutFrame(0, 0))
        if (piece.id == control) return piece.box;
    throw std::runtime_error("no place for control " + std::to_string(control));
}

// The rectangle the image fills at `scale`: from its place's top-left
// corner, its edges scaled (the minimise image is narrower than its button).
SIZE SizeAt(const SkinPiece& piece, DpiScale scale) {
    const FrameBox place = PlaceOf(piece.control);
    return {scale.Edge(place.x + piece.width) - scale.Edge(place.x),
            scale.Edge(place.y + piece.height) - scale.Edge(place.y)};
}

// A drawing for a larger scale: a PNG, whose header gives its size.
std::optional<SIZE> PngSize(UINT id) {
    auto bytes = FindResourceBytes(RT_RCDATA, id);
    if (!bytes || bytes->size < 24 || std::string(reinterpret_cast<const char*>(bytes->data), 8) != "\x89PNG\r\n\x1a\n")
        return std::nullopt;
    const auto bigEndian = [&](size_t at) {
        return static_cast<LONG>(bytes->data[at] << 24 | bytes->data[at + 1] << 16 | bytes->data[at + 2] << 8 |
                                 bytes->data[at + 3]);
    };
    return SIZE{bigEndian(16), bigEndian(20)};
}

UINT SetId(UINT id, int dpi) {
    const auto set = std::ranges::find(kSkinSetDpis, dpi) - kSkinSetDpis.begin() + 1;
    return IDB_SKIN_SET(id, static_cast<UINT>(set));
}

PixelImage ReadPixels(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || !GetObjectW(bitmap, sizeof shape, &shape)) throw std::runtime_error("no bitmap");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shape.bmWidth;
    info.bmiHeader.biHeight = -shape.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bgrx(static_cast<size_t>(shape.bmWidth) * shape.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, shape.bmHeight, bgrx.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != shape.bmHeight) throw std::runtime_error("unreadable bitmap");
    PixelImage image{shape.bmWidth, shape.bmHeight, {}};
    for (DWORD pixel : bgrx) image.pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    return image;
}

// The picture `id` of the set drawn for `dpi`: at 96 DPI straight from the
// bitmap resource's bytes, otherwise as the loader gives the set unchanged.
PixelImage Skin(UINT id, int dpi = kBaseDpi) {
    if (dpi == kBaseDpi) {
        auto bytes = FindResourceBytes(RT_BITMAP, id);
        auto dib = bytes ? DibView::FromResource(*bytes) : std::nullopt;
        if (!dib) throw std::runtime_error("bitmap " + std::to_string(id) + " is not a 24-bit DIB");
        PixelImage image{dib->Width(), dib->Height(), {}};
        for (int y = 0; y < dib->Height(); ++y)
            for (int x = 0; x < dib->Width(); ++x) image.pixels.push_back(dib->Pixel(x, y));
        return image;
    }
    const std::optional<SIZE> size = PngSize(SetId(id, dpi));
    if (!size) throw std::runtime_error("no drawing of " + std::to_string(id) + " for " + std::to_string(dpi));
    const auto sets = SkinSets(id);
    const HBITMAP bitmap = LoadScaledBitmap(GetModuleHandleW(nullptr), id, sets, dpi, *size);
    PixelImage image = ReadPixels(bitmap);
    DeleteObject(bitmap);
    return image;
}

// White is the title buttons' transparent colour: the corners show the title
// band, and any white inside the key would punch a hole in it. A cut corner
// is the triangle with legs of 2 pixels at 96 DPI.
void ExpectWhiteOnlyInCutCorners(const PixelImage& key, int dpi) {
    const int right = key.width - 1, bottom = key.height - 1, legs = DpiScale(dpi).Edge(2);
    EXPECT_EQ(key.At(0, 0), kWhite);
    EXPECT_EQ(key.At(right, 0), kWhite);
    EXPECT_EQ(key.At(0, bottom), kWhite);
    EXPECT_EQ(key.At(right, bottom), kWhite);
    for (int y = 0; y <= bottom; ++y) {
        for (int x = 0; x <= right; ++x) {
            const bool inCorner = std::min(x, right - x) + std::min(y, bottom - y) < legs;
            if (!inCorner) {
                ASSERT_NE(key.At(x, y), kWhite) << x << "," << y;
            }
        }
    }
}

// WIC decodes the drawings, and WIC needs COM.
class SkinBitmaps : public testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

TEST_F(SkinBitmaps, AreUncompressed24BitAtTheirLayoutSizes) {
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

TEST_F(SkinBitmaps, EveryLargerSetIsDrawnAtTheSizeItsPlaceHasAtThatScale) {
    for (int dpi : kSkinSetDpis) {
        for (const SkinPiece& piece : kSkin) {
            SCOPED_TRACE("bitmap " + std::to_string(piece.id) + " at " + std::to_string(dpi) + " DPI");
            const std::optional<SIZE> drawn = PngSize(SetId(piece.id, dpi));
            ASSERT_TRUE(drawn.has_value());
            const SIZE place = SizeAt(piece, DpiScale(dpi));
            if (!IsBand(piece)) {
                EXPECT_EQ(drawn->cx, place.cx);
            }
            EXPECT_EQ(drawn->cy, place.cy);
        }
    }
}

TEST_F(SkinBitmaps, BandPiecesRepeatOneColumnSoWideningCannotDistortThem) {
    for (int dpi : AllDpis()) {
        for (UINT id : {IDB_TITLE_BAND, IDB_LOWER_PANEL_TOP, IDB_LOWER_PANEL_BOTTOM, IDB_UPPER_MIDDLE}) {
            SCOPED_TRACE("bitmap " + std::to_string(id) + " at " + std::to_string(dpi) + " DPI");
            const PixelImage band = Skin(id, dpi);
            for (int y = 0; y < band.height; ++y)
                for (int x = 1; x < band.width; ++x) ASSERT_EQ(band.At(x, y), band.At(0, y)) << x << "," << y;
        }
    }
}

TEST_F(SkinBitmaps, TitleButtonsAreWhiteOnlyInTheirCutCorners) {
    for (int dpi : AllDpis()) {
        for (UINT id : {IDB_CLOSE, IDB_MAXIMIZE, IDB_MINIMIZE, IDB_RESTORE}) {
            SCOPED_TRACE("bitmap " + std::to_string(id) + " at " + std::to_string(dpi) + " DPI");
            ExpectWhiteOnlyInCutCorners(Skin(id, dpi), dpi);
        }
    }
}

TEST_F(SkinBitmaps, TitleButtonsCarryAGlyph) {
    // Each key's middle differs from its plain face, and the four differ.
    const UINT keys[] = {IDB_CLOSE, IDB_MAXIMIZE, IDB_MINIMIZE, IDB_RESTORE};
    auto glyphSignature = [](const PixelImage& key) {
        std::string signature;
        for (int y = 3; y < 11; ++y)
            for (int x = 2; x < key.width - 2; ++x) signature += key.At(x, y) == key.At(1, y) ? '.' : '#';
        return signature;
    };
    for (size_t i = 0; i < std::size(keys); ++i) {
        const std::string mine = glyphSignature(Skin(keys[i]));
        EXPECT_NE(mine.find('#'), std::string::npos) << keys[i];
        for (size_t j = 0; j < i; ++j) EXPECT_NE(mine, glyphSignature(Skin(keys[j]))) << keys[i] << " vs " << keys[j];
    }
}

TEST_F(SkinBitmaps, SendButtonIsBlackFreeAndBlendsIntoTheWhiteInputWell) {
    // Black is its transparent colour and would show the grey face through.
    for (int dpi : AllDpis()) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const PixelImage send = Skin(IDB_SEND, dpi);
        EXPECT_EQ(std::ranges::count(send.pixels, kBlack), 0);
        for (int x = 0; x < send.width; ++x) {
            EXPECT_EQ(send.At(x, 0), kWhite) << x;
            EXPECT_EQ(send.At(x, send.height - 1), kWhite) << x;
        }
    }
}

// The pieces are laid side by side; where they meet, rows must agree.
void ExpectSameColumn(const PixelImage& a, int ax, const PixelImage& b, int bx, int bFirstRow) {
    for (int y = 0; y < a.height; ++y) ASSERT_EQ(a.At(ax, y), b.At(bx, bFirstRow + y)) << "row " << y;
}

TEST_F(SkinBitmaps, UpperBandEndsMeetItsMiddleWithoutASeam) {
    for (int dpi : AllDpis()) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const PixelImage middle = Skin(IDB_UPPER_MIDDLE, dpi), left = Skin(IDB_UPPER_LEFT, dpi);
        ExpectSameColumn(middle, 0, left, left.width - 1, 0);
        ExpectSameColumn(middle, 0, Skin(IDB_UPPER_RIGHT, dpi), 0, 0);
    }
}

TEST_F(SkinBitmaps, LowerPanelBandsMeetItsSidePiecesWithoutASeam) {
    // The bands cover the side pieces' rows above and below the input well.
    for (int dpi : AllDpis()) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const PixelImage left = Skin(IDB_LOWER_LEFT, dpi), right = Skin(IDB_LOWER_RIGHT, dpi);
        const PixelImage top = Skin(IDB_LOWER_PANEL_TOP, dpi), bottom = Skin(IDB_LOWER_PANEL_BOTTOM, dpi);
        const int bottomFirstRow = left.height - bottom.height;
        ExpectSameColumn(top, 0, left, left.width - 1, 0);
        ExpectSameColumn(top, 0, right, 0, 0);
        ExpectSameColumn(bottom, 0, left, left.width - 1, bottomFirstRow);
        ExpectSameColumn(bottom, 0, right, 0, bottomFirstRow);
    }
}

TEST_F(SkinBitmaps, FramePiecesCarryThePurpleOutlineOfTheChatView) {
    // The view's outline is Line(1) wide just outside the view (x = 10,
    // y = 75 at 96 DPI): the pieces beside it continue its columns, and
    // where it reaches up into the upper band, its row.
    for (int dpi : AllDpis()) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const DpiScale scale(dpi);
        const int column = std::max(0, scale.Edge(10) - scale.Line(1) - scale.Edge(9));
        const PixelImage upperLeft = Skin(IDB_UPPER_LEFT, dpi), upperRight = Skin(IDB_UPPER_RIGHT, dpi);
        const PixelImage lowerLeft = Skin(IDB_LOWER_LEFT, dpi), lowerRight = Skin(IDB_LOWER_RIGHT, dpi);
        const PixelImage middle = Skin(IDB_UPPER_MIDDLE, dpi);
        EXPECT_EQ(upperLeft.At(column, upperLeft.height - 1), kPurple);
        EXPECT_EQ(upperRight.At(upperRight.width - 1 - column, upperRight.height - 1), kPurple);
        EXPECT_EQ(middle.At(0, 0), kPurple);
        EXPECT_EQ(lowerLeft.At(column, lowerLeft.height / 2), kPurple);
        EXPECT_EQ(lowerRight.At(lowerRight.width - 1 - column, lowerRight.height / 2), kPurple);
        for (int y = scale.Edge(75) - scale.Line(1) - scale.Edge(35); y < middle.height; ++y) {
            EXPECT_EQ(middle.At(0, y), kPurple) << y;
        }
    }
}

TEST_F(SkinBitmaps, OpaqueCornersMatchTheLavenderStripsAroundThem) {
    for (int dpi : AllDpis()) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const PixelImage upperLeft = Skin(IDB_UPPER_LEFT, dpi), upperRight = Skin(IDB_UPPER_RIGHT, dpi);
        const PixelImage lowerLeft = Skin(IDB_LOWER_LEFT, dpi), lowerRight = Skin(IDB_LOWER_RIGHT, dpi);
        EXPECT_EQ(upperLeft.At(0, 0), kLavender);
        EXPECT_EQ(upperRight.At(upperRight.width - 1, 0), kLavender);
        EXPECT_EQ(lowerLeft.At(0, 0), kLavender);
        EXPECT_EQ(lowerLeft.At(0, lowerLeft.height - 1), kLavender);
        EXPECT_EQ(lowerRight.At(lowerRight.width - 1, 0), kLavender);
        EXPECT_EQ(lowerRight.At(lowerRight.width - 1, lowerRight.height - 1), kLavender);
    }
}

// The loader, on the program's own skin: what it picks for a DPI and how it
// fits the drawing to the place.
TEST_F(SkinBitmaps, LoaderGivesTheBitmapResourceItselfAt96Dpi) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    for (UINT id : {IDB_CLOSE, IDB_SEND}) {
        SCOPED_TRACE(id);
        const HBITMAP loaded = LoadScaledBitmap(module, id, SkinSets(id), kBaseDpi, {1, 1});
        const auto plain =
            static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        BITMAP loadedShape{}, plainShape{};
        ASSERT_TRUE(GetObjectW(loaded, sizeof loadedShape, &loadedShape));
        ASSERT_TRUE(GetObjectW(plain, sizeof plainShape, &plainShape));
        EXPECT_EQ(loadedShape.bmBitsPixel, plainShape.bmBitsPixel);
        EXPECT_EQ(ReadPixels(loaded).pixels, ReadPixels(plain).pixels);
        EXPECT_EQ(ReadPixels(loaded).pixels, Skin(id).pixels);
        DeleteObject(loaded);
        DeleteObject(plain);
    }
}

TEST_F(SkinBitmaps, LoaderScalesTheNextLargerSetDownBetweenSetsKeepingTheKeyExact) {
    // 132 DPI lies between the sets for 120 and 144.
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const auto sets = SkinSets(IDB_CLOSE);
    const PixelImage larger = Skin(IDB_CLOSE, 144);

    const HBITMAP asDrawn = LoadScaledBitmap(module, IDB_CLOSE, sets, 132, {larger.width, larger.height}, kWhite);
    EXPECT_EQ(ReadPixels(asDrawn).pixels, larger.pixels);
    DeleteObject(asDrawn);

    const SIZE place = SizeAt(kSkin[1], DpiScale(132));
    ASSERT_LT(place.cx, larger.width);
    const HBITMAP fitted = LoadScaledBitmap(module, IDB_CLOSE, sets, 132, place, kWhite);
    BITMAP shape{};
    ASSERT_TRUE(GetObjectW(fitted, sizeof shape, &shape));
    EXPECT_EQ(shape.bmBitsPixel, 24);
    const PixelImage key = ReadPixels(fitted);
    DeleteObject(fitted);
    EXPECT_EQ(key.pixels, ScalePixels(larger, place.cx, place.cy, kWhite).pixels);
    ExpectWhiteOnlyInCutCorners(key, 132);

    EXPECT_EQ(LoadScaledBitmap(module, 9999, SkinSets(9999), 132, place), nullptr);
}

}  // namespace

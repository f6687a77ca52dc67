// The GDI back end of the drawing interface: measuring with the width
// tables and font fallback, drawing text, fills, clips and images into a
// memory DC whose pixels are read back.
#include "framework/html/GdiFonts.h"
#include "framework/html/GdiImageStore.h"
#include "framework/html/GdiSurface.h"

#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using html::FontSpec;
using html::GdiFontCache;
using html::GdiSurface;
using html::Rect;
using html::Rgb;

FontSpec BodyFont(int id = 1) {
    FontSpec font;
    font.id = id;
    font.families = u"Tahoma,굴림";
    font.pixelSize = 16;
    return font;
}

// What GDI itself measures for `text` in face `face` at 16 pixels.
int GdiExtent(const std::wstring& face, const std::wstring& text) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    LOGFONTW logFont{};
    logFont.lfHeight = -16;
    logFont.lfCharSet = DEFAULT_CHARSET;
    face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    const HFONT font = ::CreateFontIndirectW(&logFont);
    SIZE size{};
    {
        CSelectedObject selected(dc, font);
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    ::DeleteObject(font);
    return size.cx;
}

TEST(GdiFonts, LatinWidthsAgreeWithGdisOwnMeasure) {
    GdiFontCache fonts;
    const std::vector<std::wstring> faces = fonts.FaceNames(BodyFont());
    ASSERT_FALSE(faces.empty());
    const std::u16string text = u"Hello, world! 0123456789 WWW iii";
    EXPECT_EQ(fonts.TextWidth(BodyFont(), text), GdiExtent(faces[0], std::wstring(text.begin(), text.end())));
}

TEST(GdiFonts, HangulFallsBackToAFaceThatHasIt) {
    GdiFontCache fonts;
    const std::vector<std::wstring> faces = fonts.FaceNames(BodyFont());
    ASSERT_GE(faces.size(), 2u) << "no face with Hangul joined the chain";
    // The face that draws Hangul is the first after Tahoma that has it; its
    // own measure of the text is what the cache must give.
    const std::wstring hangulFace = faces[1];
    EXPECT_GT(fonts.TextWidth(BodyFont(), u"한글"), 0);
    EXPECT_EQ(fonts.TextWidth(BodyFont(), u"한글"), GdiExtent(hangulFace, L"한글"));
    // Mixed text: each part measured by its own face.
    EXPECT_EQ(fonts.TextWidth(BodyFont(), u"ab한글"), GdiExtent(faces[0], L"ab") + GdiExtent(hangulFace, L"한글"));
}

TEST(GdiFonts, UnknownFamiliesStillGiveAFaceThatMeasures) {
    GdiFontCache fonts;
    FontSpec font = BodyFont(7);
    font.families = u"No Such Face, \"Neither This\"";
    EXPECT_FALSE(fonts.FaceNames(font).empty());
    EXPECT_GT(fonts.TextWidth(font, u"abc"), 0);
    EXPECT_GT(fonts.TextWidth(font, u"한"), 0);
    EXPECT_GT(fonts.Metrics(font).Height(), 0);
}

TEST(GdiFonts, MetricsCoverEveryFaceOfTheChain) {
    GdiFontCache fonts;
    const html::FontMetrics metrics = fonts.Metrics(BodyFont());
    EXPECT_GE(metrics.Height(), 16);
    EXPECT_LE(metrics.Height(), 32);
}

TEST(GdiFonts, FitCountStopsAtTheWidthAndNeverSplitsASurrogatePair) {
    GdiFontCache fonts;
    const FontSpec font = BodyFont();
    const std::u16string text = u"abc def";
    const int abc = fonts.TextWidth(font, u"abc");
    EXPECT_EQ(fonts.FitCount(font, text, abc), 3);
    EXPECT_EQ(fonts.FitCount(font, text, abc - 1), 2);
    EXPECT_EQ(fonts.FitCount(font, text, 0), 0);
    EXPECT_EQ(fonts.FitCount(font, text, 100000), 7);

    const std::u16string emoji = u"a\U0001F600b";  // a, surrogate pair, b
    const int a = fonts.TextWidth(font, u"a");
    const int pair = fonts.TextWidth(font, u"\U0001F600");
    ASSERT_GT(pair, 0);
    EXPECT_EQ(fonts.FitCount(font, emoji, a + pair - 1), 1);
    EXPECT_EQ(fonts.FitCount(font, emoji, a + pair), 3);
}

TEST(GdiFonts, ALoneSurrogateIsMeasuredWithoutHarm) {
    GdiFontCache fonts;
    const std::u16string broken{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_GE(fonts.TextWidth(BodyFont(), broken), fonts.TextWidth(BodyFont(), u"ab"));
    EXPECT_EQ(fonts.FitCount(BodyFont(), broken, 100000), 4);
}

TEST(GdiSurface, TextIsDrawnInItsColourInsideItsMeasuredBox) {
    Canvas canvas(200, 40);
    GdiFontCache fonts;
    const FontSpec font = BodyFont();
    const int width = fonts.TextWidth(font, u"Hello 한글");
    const html::FontMetrics metrics = fonts.Metrics(font);
    {
        GdiSurface surface(canvas.Dc(), fonts, nullptr);
        surface.DrawTextRun(font, 10, 25, u"Hello 한글", Rgb(0, 0, 0));
    }
    const RECT inside{10, 25 - metrics.ascent, 10 + width, 25 + metrics.descent};
    EXPECT_TRUE(canvas.Any(inside, IsDark));
    EXPECT_FALSE(canvas.Any(RECT{0, 0, 9, 40}, IsDark));
    EXPECT_FALSE(canvas.Any(RECT{10 + width + 2, 0, 200, 40}, IsDark));
    // The Hangul part carries ink too: the fallback face drew it.
    const int hello = fonts.TextWidth(font, u"Hello ");
    EXPECT_TRUE(canvas.Any(RECT{10 + hello, inside.top, 10 + width, inside.bottom}, IsDark));
}

TEST(GdiSurface, HangulIsDrawnByTheFallbackFaceExactlyAsThatFaceDrawsIt) {
    GdiFontCache fonts;
    const std::vector<std::wstring> faces = fonts.FaceNames(BodyFont());
    ASSERT_GE(faces.size(), 2u);
    Canvas viaSurface(80, 30);
    {
        GdiSurface surface(viaSurface.Dc(), fonts, nullptr);
        surface.DrawTextRun(BodyFont(), 2, 20, u"한글", Rgb(0, 0, 0));
    }
    Canvas direct(80, 30);
    LOGFONTW logFont{};
    logFont.lfHeight = -16;
    logFont.lfCharSet = DEFAULT_CHARSET;
    faces[1].copy(logFont.lfFaceName, LF_FACESIZE - 1);
    const HFONT font = ::CreateFontIndirectW(&logFont);
    const HGDIOBJ previous = ::SelectObject(direct.Dc(), font);
    ::SetBkMode(direct.Dc(), TRANSPARENT);
    ::SetTextAlign(direct.Dc(), TA_BASELINE);
    ::TextOutW(direct.Dc(), 2, 20, L"한글", 2);
    ::SelectObject(direct.Dc(), previous);
    ::DeleteObject(font);
    EXPECT_TRUE(viaSurface.SamePixels(direct));
}

TEST(GdiSurface, FillsAreClippedByNestedClipsAndPopsRestoreTheOuterOne) {
    Canvas canvas(40, 40);
    GdiFontCache fonts;
    {
        GdiSurface surface(canvas.Dc(), fonts, nullptr);
        surface.PushClip(Rect{10, 10, 30, 30});
        surface.PushClip(Rect{20, 0, 40, 20});  // intersected: 20..30 x 10..20
        surface.FillRect(Rect{0, 0, 40, 40}, Rgb(255, 0, 0));
        surface.PopClip();
        surface.FillRect(Rect{0, 25, 40, 40}, Rgb(0, 0, 255));  // outer clip: 10..30 x 25..30
        surface.PopClip();
        surface.PopClip();  // one too many: ignored
        surface.FillRect(Rect{0, 0, 5, 5}, Rgb(0, 255, 0));
        surface.PushClip(Rect{0, 0, 1, 1});  // left pushed: the surface pops it
    }
    EXPECT_EQ(canvas.At(25, 15), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(15, 15), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(25, 5), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(15, 27), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 27), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 255, 0));
    // The DC is handed back without a clip.
    canvas.Fill(RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(39, 39), RGB(1, 2, 3));
}

TEST(GdiSurface, ImagesAreStretchedAndBlendedAndUnknownOnesShowAPlaceholder) {
    html::GdiImageStore images;
    html::DecodedImage image;
    image.width = 2;
    image.height = 1;
    // Opaque red, and half-transparent blue premultiplied (0x80 of 0xFF).
    image.pixels = {0xFFFF0000u, 0x80000080u};
    ASSERT_TRUE(images.Add(5, image));
    EXPECT_TRUE(images.Contains(5));

    Canvas canvas(40, 20);
    GdiFontCache fonts;
    {
        GdiSurface surface(canvas.Dc(), fonts, &images);
        surface.DrawImage(5, Rect{0, 0, 20, 10});
        surface.DrawImage(6, Rect{20, 0, 40, 10});
    }
    EXPECT_EQ(canvas.At(3, 5), RGB(255, 0, 0));
    const COLORREF blended = canvas.At(17, 5);
    EXPECT_NEAR(GetRValue(blended), 127, 3);
    EXPECT_NEAR(GetBValue(blended), 255, 3);
    // The placeholder: a grey frame around a lighter inside.
    EXPECT_EQ(canvas.At(20, 5), RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(canvas.At(30, 5), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(canvas.At(30, 15), RGB(255, 255, 255));
}

TEST(GdiImageStore, RefusesAnImageWhosePixelsDoNotMatchItsSize) {
    html::GdiImageStore images;
    html::DecodedImage image;
    image.width = 3;
    image.height = 3;
    image.pixels.assign(8, 0);
    EXPECT_FALSE(images.Add(1, image));
    EXPECT_FALSE(images.Contains(1));
}

// ---- Bold, underline and strike-out at the pane's own size ----

// The template's 8 pt, on the 96 DPI screen the pane assumes.
constexpr int kPanePixelSize = 11;

FontSpec PaneFont(int id, bool bold, bool underline = false, bool strikeout = false) {
    FontSpec font = BodyFont(id);
    font.pixelSize = kPanePixelSize;
    font.bold = bold;
    font.underline = underline;
    font.strikeout = strikeout;
    return font;
}

int DarkPixels(const Canvas& canvas) {
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) count += IsDark(canvas.At(x, y)) ? 1 : 0;
    }
    return count;
}

bool RowIsDarkFrom(const Canvas& canvas, int y, int left, int right) {
    for (int x = left; x < right; ++x) {
        if (!IsDark(canvas.At(x, y))) return false;
    }
    return true;
}

// The rows, from `top` to `bottom`, that are dark all the way across.
std::vector<int> SolidRows(const Canvas& canvas, int top, int bottom, int left, int right) {
    std::vector<int> rows;
    for (int y = top; y < bottom; ++y) {
        if (RowIsDarkFrom(canvas, y, left, right)) rows.push_back(y);
    }
    return rows;
}

constexpr int kBaseline = 20;
constexpr int kLeft = 4;

TEST(GdiFonts, BoldIsWiderAndVisiblyHeavierThanRegularAtThePanesSize) {
    GdiFontCache fonts;
    const std::u16string text = u"Notice 공지 사항";
    Canvas regular(200, 30);
    Canvas bold(200, 30);
    {
        GdiSurface surface(regular.Dc(), fonts, nullptr);
        surface.DrawTextRun(PaneFont(1, false), kLeft, kBaseline, text, Rgb(0, 0, 0));
    }
    {
        GdiSurface surface(bold.Dc(), fonts, nullptr);
        surface.DrawTextRun(PaneFont(2, true), kLeft, kBaseline, text, Rgb(0, 0, 0));
    }
    EXPECT_GT(fonts.TextWidth(PaneFont(2, true), text), fonts.TextWidth(PaneFont(1, false), text));
    // Heavier stems, not only darker grey: a third more solid pixels at least.
    EXPECT_GT(DarkPixels(bold) * 3, DarkPixels(regular) * 4);
    // The second strike stays inside the measured width.
    const int width = fonts.TextWidth(PaneFont(2, true), text);
    EXPECT_FALSE(bold.Any(RECT{kLeft + width + 1, 0, 200, 30}, IsDark));
}

TEST(GdiSurface, UnderlineIsDrawnAcrossTheTextAndInsideTheDescent) {
    for (const bool bold : {false, true}) {
        GdiFontCache fonts;
        const FontSpec font = PaneFont(3, bold, true);
        const std::u16string text = u"link 링크";
        const int width = fonts.TextWidth(font, text);
        const html::FontMetrics metrics = fonts.Metrics(font);
        Canvas canvas(200, 40);
        {
            GdiSurface surface(canvas.Dc(), fonts, nullptr);
            surface.DrawTextRun(font, kLeft, kBaseline, text, Rgb(0, 0, 0));
        }
        const std::vector<int> underline =
            SolidRows(canvas, kBaseline, kBaseline + metrics.descent, kLeft, kLeft + width);
        EXPECT_FALSE(underline.empty()) << "bold=" << bold;
        // Nothing below the line box: the next line's text stays clear.
        EXPECT_FALSE(canvas.Any(RECT{0, kBaseline + metrics.descent, 200, 40}, IsDark)) << "bold=" << bold;
    }
}

TEST(GdiSurface, StrikeOutCrossesTheTextAboveTheBaseline) {
    GdiFontCache fonts;
    const FontSpec font = PaneFont(4, false, false, true);
    const std::u16string text = u"gone 취소";
    const int width = fonts.TextWidth(font, text);
    const html::FontMetrics metrics = fonts.Metrics(font);
    Canvas canvas(200, 40);
    {
        GdiSurface surface(canvas.Dc(), fonts, nullptr);
        surface.DrawTextRun(font, kLeft, kBaseline, text, Rgb(0, 0, 0));
    }
    EXPECT_FALSE(SolidRows(canvas, kBaseline - metrics.ascent / 2 - 2, kBaseline, kLeft, kLeft + width).empty());
    EXPECT_TRUE(SolidRows(canvas, kBaseline, kBaseline + metrics.descent, kLeft, kLeft + width).empty());
}

}  // namespace

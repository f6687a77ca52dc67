// The skin painted into a memory DC, read back pixel by pixel: strips in
// their colours, the purple outline one pixel outside the chat view, the
// view's inside left alone, and the DC handed back as it came.
#include "chatwnd/SkinPainter.h"

#include "chatwnd/FrameLayout.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kPurple = RGB(90, 44, 107);
constexpr COLORREF kLavender = RGB(231, 219, 239);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class SkinPainting : public ::testing::Test {
protected:
    SkinPainting() { pen.CreatePen(PS_SOLID, 1, kPurple); }

    CPen pen;
};

}  // namespace

TEST_F(SkinPainting, OutlineRunsOnePixelOutsideTheChatView) {
    Canvas canvas(632, 446, kUntouched);
    PaintSkin(canvas.Dc(), 632, 446, pen);
    for (const int y : {74, 200, 321}) {
        EXPECT_EQ(canvas.At(9, y), kPurple) << y;
        EXPECT_EQ(canvas.At(622, y), kPurple) << y;
    }
    for (const int x : {9, 300, 622}) {
        EXPECT_EQ(canvas.At(x, 74), kPurple) << x;
        EXPECT_EQ(canvas.At(x, 321), kPurple) << x;
    }
    // The view's own pixels, corners included, are not painted.
    for (const auto& [x, y] :
         {std::pair{10, 75}, std::pair{621, 75}, std::pair{10, 320}, std::pair{621, 320}, std::pair{300, 200}}) {
        EXPECT_EQ(canvas.At(x, y), kUntouched) << x << "," << y;
    }
}

TEST_F(SkinPainting, StripsTakeTheirColoursAndLeaveThePiecesAlone) {
    Canvas canvas(632, 446, kUntouched);
    PaintSkin(canvas.Dc(), 632, 446, pen);
    EXPECT_EQ(canvas.At(0, 19), kLavender);      // left edge
    EXPECT_EQ(canvas.At(631, 445), kLavender);   // right edge, bottom corner
    EXPECT_EQ(canvas.At(300, 34), kLavender);    // under the title band
    EXPECT_EQ(canvas.At(300, 330), kLavender);   // between the view and the lower panel
    EXPECT_EQ(canvas.At(300, 440), kLavender);   // bottom edge
    EXPECT_EQ(canvas.At(530, 361), kWhite);      // above the Send button
    EXPECT_EQ(canvas.At(610, 413), kWhite);      // below it
    EXPECT_EQ(canvas.At(300, 10), kUntouched);   // title band
    EXPECT_EQ(canvas.At(300, 50), kUntouched);   // upper band
    EXPECT_EQ(canvas.At(300, 380), kUntouched);  // input box
    EXPECT_EQ(canvas.At(560, 380), kUntouched);  // Send button
}

TEST_F(SkinPainting, WithoutItsPenTheOutlineTakesTheDcsPen) {
    Canvas canvas(632, 446, kUntouched);
    CPen green;
    green.CreatePen(PS_SOLID, 1, RGB(0, 200, 0));
    const CSelectedObject selected(canvas.Dc(), green);
    PaintSkin(canvas.Dc(), 632, 446, nullptr);
    EXPECT_EQ(canvas.At(9, 200), RGB(0, 200, 0));
    EXPECT_EQ(canvas.At(0, 19), kLavender);
}

TEST_F(SkinPainting, HandsTheDcBackWithItsOwnPenAndBrush) {
    Canvas canvas(632, 446, kUntouched);
    const HGDIOBJ penBefore = ::GetCurrentObject(canvas.Dc(), OBJ_PEN);
    const HGDIOBJ brushBefore = ::GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    PaintSkin(canvas.Dc(), 632, 446, pen);
    EXPECT_EQ(::GetCurrentObject(canvas.Dc(), OBJ_PEN), penBefore);
    EXPECT_EQ(::GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brushBefore);
}

TEST_F(SkinPainting, NegativeExtentsOfATinyClientAreaPaintNothing) {
    Canvas canvas(64, 64, kUntouched);
    PaintSkin(canvas.Dc(), 10, 10, pen);
    // The left edge strip would run from y 19 up to y 10; nothing is there.
    EXPECT_EQ(canvas.At(4, 15), kUntouched);
}

TEST_F(SkinPainting, AtTwoHundredPercentTheOutlineIsTwoPixelsJustOutsideTheView) {
    // The 632 x 446 client area at 192 DPI: the view spans 20..1243 x 150..641.
    Canvas canvas(1264, 892, kUntouched);
    PaintSkin(canvas.Dc(), 1264, 892, pen, DpiScale(192));
    for (const int y : {148, 149, 400, 642, 643}) {
        EXPECT_EQ(canvas.At(18, y), kPurple) << y;
        EXPECT_EQ(canvas.At(19, y), kPurple) << y;
        EXPECT_EQ(canvas.At(1244, y), kPurple) << y;
        EXPECT_EQ(canvas.At(1245, y), kPurple) << y;
    }
    EXPECT_EQ(canvas.At(17, 400), kLavender);
    EXPECT_EQ(canvas.At(20, 400), kUntouched);
    EXPECT_EQ(canvas.At(600, 150), kUntouched);
    EXPECT_EQ(canvas.At(600, 644), kLavender);
    EXPECT_EQ(canvas.At(1060, 722), kWhite);  // above the Send button, at H - 170
}

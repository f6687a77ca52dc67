// The skin button's drawing, painted into memory DCs and read back: which
// image each state shows, the frames of both looks, transparency, the image
// rectangle for each alignment and the parent's background.
#include "tests/controls/SkinButtonFixture.h"

#include "framework/Color.h"
#include "framework/Dpi.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kOrange = RGB(200, 100, 40);
constexpr COLORREF kBlue = RGB(20, 60, 220);

// An 8 x 8 orange square: on a 20 x 20 button without a caption it sits at
// (6, 6), or (7, 7) while pressed.
HBITMAP OrangeSquare() {
    return MakeBitmap(8, 8, [](int, int) { return kOrange; });
}

class Drawing : public SkinButtonTest {
protected:
    void SetUp() override {
        SkinButtonTest::SetUp();
        Attach(button);
    }
    COLORREF Face() const { return button.GetStateColor(CSkinButton::NormalFace); }
    void Hover() { button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)); }

    TestButton button;
    Canvas canvas{20, 20, kBlue};
};

}  // namespace

TEST_F(Drawing, FlatButtonAtRestShowsTheDarkenedCopyWithoutFrame) {
    ASSERT_EQ(button.SetStateBitmaps(OrangeSquare(), kWhite, CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage)),
              CSkinButton::ImagesSet);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), DarkenColor(kOrange, 0.25));
    EXPECT_EQ(canvas.At(13, 13), DarkenColor(kOrange, 0.25));
    EXPECT_EQ(canvas.At(5, 5), Face());
    EXPECT_EQ(canvas.At(0, 0), Face());
    EXPECT_EQ(canvas.At(19, 19), Face());
}

TEST_F(Drawing, HotButtonShowsTheBitmapInARaisedFrame) {
    button.SetStateBitmaps(OrangeSquare(), kWhite, CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage));
    Hover();
    ASSERT_TRUE(button.IsHovering());
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), kOrange);
    EXPECT_EQ(canvas.At(0, 0), System(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(10, 0), System(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(19, 10), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(10, 19), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(1, 1), button.GetStateColor(CSkinButton::HotFace));
}

TEST_F(Drawing, PressedButtonShowsTheBitmapShiftedInASunkenFrame) {
    button.SetStateBitmaps(OrangeSquare(), kWhite, CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage));
    Draw(button, canvas, ODS_SELECTED);
    EXPECT_EQ(canvas.At(6, 6), Face());
    EXPECT_EQ(canvas.At(7, 7), kOrange);
    EXPECT_EQ(canvas.At(14, 14), kOrange);
    EXPECT_EQ(canvas.At(0, 0), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(19, 19), System(COLOR_BTNHIGHLIGHT));
}

TEST_F(Drawing, WithoutAnOutImageTheBitmapShowsAtRest) {
    button.SetStateBitmaps(OrangeSquare(), kWhite);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), kOrange);
}

TEST_F(Drawing, FlatButtonWithoutFrameDrawingHasNoFrameWhenHot) {
    button.SetDrawFrame(FALSE);
    Hover();
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(0, 0), button.GetStateColor(CSkinButton::HotFace));
}

TEST_F(Drawing, GreyCopyAtRest) {
    button.SetStateBitmaps(OrangeSquare(), kWhite, CSkinButton::SelectorHandle(CSkinButton::AutoGreyImage));
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), GreyColor(kOrange));
}

TEST_F(Drawing, PixelDarkenedIntoTheTransparentColourBecomesTransparent) {
    // White darkens to 191, the transparent colour: in the rest image the
    // face shows there; the bitmap itself keeps its white.
    const COLORREF transparent = RGB(191, 191, 191);
    button.SetStateBitmaps(MakeBitmap(8, 8, [](int x, int) { return x < 4 ? kWhite : kOrange; }), transparent,
                           CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage));
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), Face());
    EXPECT_EQ(canvas.At(10, 6), DarkenColor(kOrange, 0.25));
    Hover();
    Canvas hot(20, 20, kBlue);
    Draw(button, hot);
    EXPECT_EQ(hot.At(6, 6), kWhite);
}

TEST_F(Drawing, BlackAsTheTransparentColourShowsTheFaceThrough) {
    button.SetStateBitmaps(MakeBitmap(8, 8, [](int x, int y) { return (x + y) % 2 ? kBlack : kOrange; }), kBlack);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), kOrange);
    EXPECT_EQ(canvas.At(7, 6), Face());
    EXPECT_EQ(canvas.At(6, 7), Face());
    EXPECT_EQ(canvas.At(7, 7), kOrange);
}

TEST_F(Drawing, ClassicLookDrawsTheFourLineEdgeAtRest) {
    button.SetFlat(FALSE);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(10, 0), System(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(0, 10), System(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(10, 1), System(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.At(1, 10), System(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.At(10, 19), System(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(19, 10), System(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(10, 18), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(18, 10), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(10, 10), Face());
}

TEST_F(Drawing, ClassicLookPressedIsAShadowFrame) {
    button.SetFlat(FALSE);
    Draw(button, canvas, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(19, 19), System(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(1, 1), button.GetStateColor(CSkinButton::HotFace));
}

TEST_F(Drawing, ClassicLookFocusedHasABlackOutlineAndAFocusRectangle) {
    button.SetFlat(FALSE);
    Draw(button, canvas, ODS_FOCUS);
    EXPECT_EQ(canvas.At(0, 0), kBlack);
    EXPECT_EQ(canvas.At(19, 10), kBlack);
    // The edge is drawn inside the outline ...
    EXPECT_EQ(canvas.At(10, 1), System(COLOR_BTNHIGHLIGHT));
    // ... and the dotted focus rectangle 3 pixels inside the outlined face.
    int dotted = 0;
    for (int x = 5; x < 15; ++x) {
        if (canvas.At(x, 4) != Face()) ++dotted;
        EXPECT_EQ(canvas.At(x, 3), Face()) << x;
        EXPECT_EQ(canvas.At(x, 5), Face()) << x;
    }
    EXPECT_GT(dotted, 0);
}

TEST_F(Drawing, ClassicLookDefaultButtonHasTheOutlineWithoutFocus) {
    button.SetFlat(FALSE);
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(0, 0), kBlack);
    EXPECT_EQ(canvas.At(4, 4), Face());
}

TEST_F(Drawing, FlatButtonDrawsNoFocusRectangleUnlessAsked) {
    Draw(button, canvas, ODS_FOCUS);
    EXPECT_EQ(canvas.At(8, 3), button.GetStateColor(CSkinButton::FocusFace));
    button.SetFocusWhenFlat(TRUE);
    button.SetStateColor(CSkinButton::FocusFace, kOrange);
    Canvas focused(20, 20, kBlue);
    Draw(button, focused, ODS_FOCUS);
    EXPECT_EQ(focused.At(1, 1), kOrange);
    int dotted = 0;
    for (int x = 3; x < 17; ++x) dotted += focused.At(x, 3) != kOrange;
    EXPECT_GT(dotted, 0);
}

TEST_F(Drawing, CheckedButtonDrawsPressedWithoutShift) {
    TestButton check;
    Attach(check, BS_AUTOCHECKBOX, L"", CRect(40, 10, 60, 30), kSecondId);
    ASSERT_TRUE(check.IsCheckMode());
    check.SetStateBitmaps(OrangeSquare(), kWhite, CSkinButton::SelectorHandle(CSkinButton::AutoDarkImage));
    check.SendMessage(BM_SETCHECK, BST_CHECKED);
    Draw(check, canvas);
    EXPECT_EQ(canvas.At(6, 6), kOrange);
    EXPECT_EQ(canvas.At(0, 0), System(COLOR_BTNSHADOW));
    check.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    Canvas unchecked(20, 20, kBlue);
    Draw(check, unchecked);
    EXPECT_EQ(unchecked.At(6, 6), DarkenColor(kOrange, 0.25));
}

TEST_F(Drawing, DisabledButtonEmbossesItsBitmap) {
    button.SetStateBitmaps(OrangeSquare(), kWhite);
    Draw(button, canvas, ODS_DISABLED);
    EXPECT_NE(canvas.At(9, 9), kOrange);
    button.SetGreyWhenDisabled(FALSE);
    Canvas plain(20, 20, kBlue);
    Draw(button, plain, ODS_DISABLED);
    EXPECT_EQ(plain.At(9, 9), kOrange);
}

TEST_F(Drawing, AtTwiceTheDpiLinesAreTwoPixelsAndTheImageKeepsItsSize) {
    // The button is laid out twice as large; its 8 x 8 image stays 8 x 8.
    TestButton big;
    Attach(big, BS_PUSHBUTTON, L"", CRect(40, 10, 80, 50), kSecondId);
    big.SetDpi(192);
    big.SetStateBitmaps(OrangeSquare(), kWhite);
    Canvas pressed(40, 40, kBlue);
    Draw(big, pressed, ODS_SELECTED);
    for (int x : {0, 1}) EXPECT_EQ(pressed.At(x, 20), System(COLOR_BTNSHADOW)) << x;
    for (int x : {38, 39}) EXPECT_EQ(pressed.At(x, 20), System(COLOR_BTNHIGHLIGHT)) << x;
    EXPECT_EQ(pressed.At(2, 20), Face());
    // Centred at (16, 16), shifted by 2 while pressed.
    EXPECT_EQ(pressed.At(18, 18), kOrange);
    EXPECT_EQ(pressed.At(25, 25), kOrange);
    EXPECT_EQ(pressed.At(17, 17), Face());
    EXPECT_EQ(pressed.At(26, 26), Face());

    // Classic and focused: a 2-pixel black outline, the four lines of the
    // edge 2 pixels each inside it, and the focus frame 6 pixels further in.
    big.SetFlat(FALSE);
    Canvas classic(40, 40, kBlue);
    Draw(big, classic, ODS_FOCUS);
    const COLORREF rows[] = {kBlack,
                             kBlack,
                             System(COLOR_BTNHIGHLIGHT),
                             System(COLOR_BTNHIGHLIGHT),
                             System(COLOR_3DLIGHT),
                             System(COLOR_3DLIGHT),
                             Face(),
                             Face()};
    for (int y = 0; y < 8; ++y) EXPECT_EQ(classic.At(20, y), rows[y]) << y;
    for (int y : {34, 35}) EXPECT_EQ(classic.At(20, y), System(COLOR_BTNSHADOW)) << y;
    for (int y : {36, 37}) EXPECT_EQ(classic.At(20, y), System(COLOR_3DDKSHADOW)) << y;
    for (int y : {8, 9}) {
        int dotted = 0;
        for (int x = 10; x < 30; ++x) dotted += classic.At(x, y) != Face();
        EXPECT_GT(dotted, 0) << y;
    }
    EXPECT_EQ(classic.At(20, 10), Face());

    // Told that its parent's DPI changed, the button reads its window's DPI.
    big.SendMessage(0x02E3 /* WM_DPICHANGED_AFTERPARENT */);
    Canvas reread(40, 40, kBlue);
    Draw(big, reread, ODS_FOCUS);
    EXPECT_EQ(reread.At(20, DpiScale(static_cast<int>(WindowDpi(big))).Line(1)), System(COLOR_BTNHIGHLIGHT));
}

TEST_F(Drawing, UnreadableHandleLeavesTheButtonWithoutImages) {
    CBrush notABitmap;
    notABitmap.CreateSolidBrush(kOrange);
    EXPECT_EQ(button.SetStateBitmaps(reinterpret_cast<HBITMAP>(notABitmap.Detach()), kWhite), CSkinButton::NotABitmap);
    Draw(button, canvas);
    EXPECT_EQ(canvas.At(6, 6), Face());
    EXPECT_EQ(canvas.At(10, 10), Face());
}

TEST_F(Drawing, ParentBackgroundIsCopiedOnceAndRetakenAfterAColourChange) {
    TestButton overParent;
    Attach(overParent, BS_PUSHBUTTON, L"", CRect(100, 20, 120, 40), kSecondId, false);
    const auto paintParent = [&](COLORREF color) {
        CClientDC dc(parent);
        dc.FillSolidRect(100, 20, 20, 20, color);
    };
    paintParent(kOrange);
    overParent.UseParentBackground(FALSE);
    Draw(overParent, canvas);
    EXPECT_EQ(canvas.At(0, 0), kOrange);
    EXPECT_EQ(canvas.At(19, 19), kOrange);

    paintParent(kBlack);
    Canvas cached(20, 20, kBlue);
    Draw(overParent, cached);
    EXPECT_EQ(cached.At(10, 10), kOrange);

    overParent.SendMessage(WM_SYSCOLORCHANGE);
    Canvas retaken(20, 20, kBlue);
    Draw(overParent, retaken);
    EXPECT_EQ(retaken.At(10, 10), kBlack);
}

TEST_F(Drawing, SystemColourChangeRestoresTheStateColours) {
    button.SetStateColor(CSkinButton::NormalFace, kOrange);
    button.SetStateColor(CSkinButton::HotText, kOrange);
    button.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(button.GetStateColor(CSkinButton::NormalFace), System(COLOR_BTNFACE));
    EXPECT_EQ(button.GetStateColor(CSkinButton::HotText), System(COLOR_BTNTEXT));
}

TEST_F(Drawing, CaptionIsCentredBesideTheImage) {
    TestButton captioned;
    Attach(captioned, BS_PUSHBUTTON, L"Go", CRect(10, 50, 70, 70), kSecondId);
    captioned.SetStateBitmaps(OrangeSquare(), kWhite);
    captioned.SetStateColor(CSkinButton::NormalText, kBlack);
    Canvas wide(60, 20, kBlue);
    Draw(captioned, wide);
    // Image at x 3..10; the caption in the rest, from x 11 on.
    int inked = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 11; x < 60; ++x) inked += wide.At(x, y) == kBlack;
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(wide.At(3, 6), kOrange);
}

TEST_F(Drawing, ButtonSizedToItsImageDrawsNoCaption) {
    // The chat window's Send button: its caption would otherwise be centred
    // on its right edge, half over the image.
    TestButton captioned;
    Attach(captioned, BS_PUSHBUTTON, L"Go", CRect(10, 50, 70, 70), kSecondId);
    captioned.SetStateBitmaps(MakeBitmap(20, 20, [](int, int) { return kOrange; }), kWhite);
    captioned.SizeToImage();
    Draw(captioned, canvas);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.At(x, y), kOrange) << x << "," << y;
    }
}

// --- Image rectangle ---------------------------------------------------------

namespace {

class ImagePlacement : public SkinButtonTest {
protected:
    void SetUp() override {
        SkinButtonTest::SetUp();
        Attach(button, BS_PUSHBUTTON, L"", CRect(0, 50, 100, 90));
    }
    // A 10 x 8 image's rectangle (left, top) and the caption rectangle.
    CRect Place(CSkinButton::ImageAlign align, bool hasCaption, BOOL pressed = FALSE) {
        button.SetImageAlign(align);
        caption = CRect(0, 0, 100, 40);
        return button.ComputeImageRect(hasCaption, CRect(0, 0, 100, 40), caption, pressed, 10, 8);
    }

    TestButton button;
    CRect caption;
};

}  // namespace

TEST_F(ImagePlacement, LeftOfCaption) {
    CRect image = Place(CSkinButton::ImageAlign::LeftOfCaption, true);
    EXPECT_EQ(image.left, 3);
    EXPECT_EQ(image.top, 16);
    EXPECT_EQ(caption.left, 13);
    image = Place(CSkinButton::ImageAlign::LeftOfCaption, false);
    EXPECT_EQ(image.left, 45);
    EXPECT_EQ(image.top, 16);
    EXPECT_EQ(caption.left, 0);
}

TEST_F(ImagePlacement, AboveCaption) {
    CRect image = Place(CSkinButton::ImageAlign::AboveCaption, true);
    EXPECT_EQ(image.left, 45);
    EXPECT_EQ(image.top, 3);
    EXPECT_EQ(caption.top, 8);
    image = Place(CSkinButton::ImageAlign::AboveCaption, false);
    EXPECT_EQ(image.left, 45);
    EXPECT_EQ(image.top, 16);
}

TEST_F(ImagePlacement, RightOfCaption) {
    CRect image = Place(CSkinButton::ImageAlign::RightOfCaption, true);
    EXPECT_EQ(image.left, 87);
    EXPECT_EQ(image.top, 16);
    EXPECT_EQ(caption.left, 3);
    EXPECT_EQ(caption.right, 87);
    image = Place(CSkinButton::ImageAlign::RightOfCaption, false);
    EXPECT_EQ(image.left, 45);
    EXPECT_EQ(image.top, 0);
}

TEST_F(ImagePlacement, PressedShiftsExceptInCheckBoxMode) {
    const CRect image = Place(CSkinButton::ImageAlign::LeftOfCaption, false, TRUE);
    EXPECT_EQ(image.left, 46);
    EXPECT_EQ(image.top, 17);
    TestButton check;
    Attach(check, BS_CHECKBOX, L"", CRect(0, 0, 100, 40), kSecondId);
    CRect unused(0, 0, 100, 40);
    const CRect checked = check.ComputeImageRect(false, CRect(0, 0, 100, 40), unused, TRUE, 10, 8);
    EXPECT_EQ(checked.left, 45);
    EXPECT_EQ(checked.top, 16);
}

TEST_F(ImagePlacement, GapAndPressShiftFollowTheDpi) {
    button.SetDpi(192);
    CRect image = Place(CSkinButton::ImageAlign::LeftOfCaption, true, TRUE);
    EXPECT_EQ(image.left, 6 + 2);
    EXPECT_EQ(image.top, 16 + 2);
    EXPECT_EQ(caption.left, 10 + 6);
    image = Place(CSkinButton::ImageAlign::AboveCaption, true);
    EXPECT_EQ(image.top, 6);
    EXPECT_EQ(button.GetImageGap().x, 3);  // kept as set, at 96 DPI
}

TEST_F(ImagePlacement, SizeToImageTakesTheBitmapSizeAndDropsTheGaps) {
    button.SizeToImage();
    EXPECT_EQ(button.GetWindowRect().Width(), 100);
    EXPECT_EQ(button.GetImageGap().x, 3);
    button.SetStateBitmaps(MakeBitmap(12, 13, [](int, int) { return kOrange; }), kWhite);
    button.SizeToImage();
    EXPECT_EQ(button.GetWindowRect().Width(), 12);
    EXPECT_EQ(button.GetWindowRect().Height(), 13);
    EXPECT_EQ(button.GetImageGap().x, 0);
    EXPECT_EQ(button.GetImageGap().y, 0);
    // The caption's rectangle now starts at the image's right edge.
    CRect captionRect(0, 0, 12, 13);
    button.ComputeImageRect(true, CRect(0, 0, 12, 13), captionRect, FALSE, 12, 13);
    EXPECT_EQ(captionRect.left, 12);
}

// The skin button's messages: attaching, styles and dialog codes, check-box
// mode, hover tracking, focus on disabling, clicks and double clicks, the
// tooltip, and its images loaded from resources.
#include "tests/controls/SkinButtonFixture.h"

#include "res/resource.h"
#include "tests/support/GdiObjects.h"

#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

DWORD ButtonType(HWND button) { return static_cast<DWORD>(::GetWindowLongPtrW(button, GWL_STYLE)) & 0x1F; }

// The button class's own procedure, watched from below the skin button: the
// redraw flag BM_SETSTYLE brings it, and an answer of its own to WM_DRAWITEM.
namespace below {
WNDPROC buttonClass = nullptr;
LPARAM styleRedraw = 0;
constexpr LRESULT kDrawItemAnswer = 0x5EED;
LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_SETSTYLE) styleRedraw = lParam;
    if (message == WM_DRAWITEM) return kDrawItemAnswer;
    return ::CallWindowProcW(buttonClass, window, message, wParam, lParam);
}
}  // namespace below

}  // namespace

TEST_F(SkinButtonTest, AttachingMakesAPushButtonOwnerDrawn) {
    CSkinButton button;
    Attach(button, BS_PUSHBUTTON);
    EXPECT_EQ(ButtonType(button), DWORD{BS_OWNERDRAW});
    EXPECT_FALSE(button.IsCheckMode());
    EXPECT_FALSE(button.IsDefault());
}

TEST_F(SkinButtonTest, DefaultPushButtonStyleMakesADefaultButton) {
    CSkinButton button;
    Attach(button, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_FALSE(button.IsCheckMode());
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
}

TEST_F(SkinButtonTest, OwnerDrawTemplateStyleGivesCheckBoxMode) {
    CSkinButton button;
    Attach(button, BS_OWNERDRAW);
    EXPECT_TRUE(button.IsCheckMode());
}

TEST_F(SkinButtonTest, SetStyleKeepsTheButtonOwnerDrawnAndDialogCodeFollows) {
    CSkinButton button;
    Attach(button, BS_PUSHBUTTON | BS_NOTIFY);
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(ButtonType(button), DWORD{BS_OWNERDRAW});
    EXPECT_TRUE(button.IsDefault());
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(ButtonType(button), DWORD{BS_OWNERDRAW});
    EXPECT_FALSE(button.IsDefault());
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    // Other types leave the default state as it is, and still draw themselves.
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    button.SendMessage(BM_SETSTYLE, BS_RADIOBUTTON, TRUE);
    EXPECT_EQ(ButtonType(button), DWORD{BS_OWNERDRAW});
    EXPECT_TRUE(button.IsDefault());
}

// What the button passes on reaches the button class as it came, and the
// class's answer comes back.
TEST_F(SkinButtonTest, MessagesPassedOnKeepTheirParametersAndAnswers) {
    const HWND control = ::CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 20, 20,
                                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    below::buttonClass = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&below::Watch)));
    CSkinButton button;
    ASSERT_TRUE(button.SubclassWindow(control));

    const LPARAM redrawInTheHighHalf = LPARAM{1} << 32;
    button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, redrawInTheHighHalf);
    EXPECT_EQ(below::styleRedraw, redrawInTheHighHalf);
    EXPECT_TRUE(button.IsDefault());

    // Only the items of its own popup menu are the button's to draw.
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 77;
    EXPECT_EQ(button.SendMessage(WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&item)), below::kDrawItemAnswer);
}

TEST_F(SkinButtonTest, CheckStateInCheckBoxModeOnly) {
    CSkinButton push;
    Attach(push, BS_PUSHBUTTON);
    push.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(push.SendMessage(BM_GETCHECK), 0);

    CSkinButton check;
    Attach(check, BS_AUTOCHECKBOX, L"", CRect(40, 10, 60, 30), kSecondId);
    check.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), 1);
    check.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), 0);
    check.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), 1);
    check.SendMessage(BM_SETCHECK, 7);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), 0);
}

TEST_F(SkinButtonTest, ClickTogglesCheckBoxModeAndStillReachesTheParent) {
    CSkinButton button;
    Attach(button, BS_OWNERDRAW);
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(button.GetCheckState(), 1);
    EXPECT_EQ(parent.clicks, 1);
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(button.GetCheckState(), 0);
    EXPECT_EQ(parent.clicks, 2);
}

TEST_F(SkinButtonTest, ClickTakesTheFocusAndReachesTheParent) {
    CSkinButton button;
    Attach(button);
    ::SetFocus(parent);
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(parent.clicks, 1);
    EXPECT_EQ(::GetFocus(), button.m_hWnd);
}

TEST_F(SkinButtonTest, DoubleClickMakesTwoClicks) {
    CSkinButton button;
    Attach(button);
    const LPARAM inside = MAKELPARAM(5, 5);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        button.PostMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, inside);
    }
    Pump();
    EXPECT_EQ(parent.clicks, 2);
    EXPECT_EQ(parent.doubleClicks, 0);
    // The first message through the pre-translation made the (inactive) tooltip.
    EXPECT_TRUE(button.HasToolTip());
}

TEST_F(SkinButtonTest, HoverFollowsThePointer) {
    CSkinButton button;
    Attach(button);
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHovering());
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHovering());
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(button.IsHovering());
    // A point over another window ends it too.
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(60, 5));
    EXPECT_FALSE(button.IsHovering());
}

TEST_F(SkinButtonTest, HeldLeftButtonDoesNotStartHoverButKeepsIt) {
    CSkinButton button;
    Attach(button);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.IsHovering());
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHovering());
}

TEST_F(SkinButtonTest, HoverEndsOnFocusLossCancelModeAndDisabling) {
    CSkinButton button;
    Attach(button);
    const auto hover = [&] { button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); };
    hover();
    button.SendMessage(WM_KILLFOCUS);
    EXPECT_FALSE(button.IsHovering());
    hover();
    button.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(button.IsHovering());
    hover();
    button.EnableWindow(false);
    EXPECT_FALSE(button.IsHovering());
}

TEST_F(SkinButtonTest, ClassicLookNeverHovers) {
    CSkinButton button;
    Attach(button);
    button.SetFlat(FALSE);
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.IsHovering());
}

TEST_F(SkinButtonTest, DisablingTheFocusedButtonMovesTheFocusOn) {
    CSkinButton first;
    CSkinButton second;
    Attach(first);
    Attach(second, BS_PUSHBUTTON, L"", CRect(40, 10, 60, 30), kSecondId);
    first.SetFocus();
    first.EnableWindow(false);
    EXPECT_EQ(::GetFocus(), second.m_hWnd);
    // With no other tab stop left, the parent takes it.
    second.EnableWindow(false);
    EXPECT_EQ(::GetFocus(), parent.m_hWnd);
}

TEST_F(SkinButtonTest, DisablingAnUnfocusedButtonLeavesTheFocus) {
    CSkinButton first;
    CSkinButton second;
    Attach(first);
    Attach(second, BS_PUSHBUTTON, L"", CRect(40, 10, 60, 30), kSecondId);
    second.SetFocus();
    first.EnableWindow(false);
    EXPECT_EQ(::GetFocus(), second.m_hWnd);
}

TEST_F(SkinButtonTest, ControlColourIsTheNullBrush) {
    CSkinButton button;
    Attach(button);
    const CClientDC dc(button);
    const LRESULT brush = parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                             reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
}

TEST_F(SkinButtonTest, LinkTargetsOverTheLimitAreRefused) {
    CSkinButton button;
    EXPECT_TRUE(button.SetLink(std::string(259, 'a').c_str()));
    EXPECT_FALSE(button.SetLink(std::string(260, 'a').c_str()));
}

// --- Images from resources -------------------------------------------------------

namespace {

class ResourceImages : public SkinButtonTest {
protected:
    void SetUp() override {
        SkinButtonTest::SetUp();
        Attach(button);
    }
    // The middle pixel of the drawn button: the image's centre.
    COLORREF Centre(UINT itemState = 0) {
        Canvas canvas(20, 20, RGB(1, 2, 3));
        Draw(button, canvas, itemState);
        return canvas.At(10, 10);
    }

    TestButton button;
};

}  // namespace

TEST_F(ResourceImages, MissingInImageLeavesTheButtonWithoutImages) {
    EXPECT_EQ(button.LoadStateBitmaps(IDB_CLOSE, kWhite), CSkinButton::ImagesSet);
    const COLORREF withImage = Centre();
    EXPECT_EQ(button.LoadStateBitmaps(9999, kWhite, CSkinButton::AutoDarkImage), CSkinButton::ImagesSet);
    EXPECT_NE(Centre(), withImage);
    EXPECT_EQ(Centre(), button.GetStateColor(CSkinButton::NormalFace));
}

TEST_F(ResourceImages, MissingOutImageShowsTheInImageAtRest) {
    EXPECT_EQ(button.LoadStateBitmaps(IDB_CLOSE, kWhite, 9999), CSkinButton::ImagesSet);
    EXPECT_EQ(Centre(), Centre(ODS_SELECTED));
    EXPECT_EQ(button.LoadStateBitmaps(IDB_CLOSE, kWhite, CSkinButton::AutoDarkImage), CSkinButton::ImagesSet);
    EXPECT_NE(Centre(), Centre(ODS_SELECTED));
}

TEST_F(ResourceImages, NoGdiObjectsLeakAcrossTenThousandSwaps) {
    button.LoadStateBitmaps(IDB_MAXIMIZE, kWhite, CSkinButton::AutoDarkImage);
    const int countBefore = GdiObjectCount();
    ASSERT_GT(countBefore, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 10000; ++i) {
        button.LoadStateBitmaps(i % 2 ? IDB_MAXIMIZE : IDB_RESTORE, kWhite, CSkinButton::AutoDarkImage);
    }
    EXPECT_LE(GdiObjectCount(), countBefore);
}

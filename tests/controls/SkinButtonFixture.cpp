#include "tests/controls/SkinButtonFixture.h"

#include "tests/support/MessagePump.h"

BEGIN_MESSAGE_MAP(ClickCountingParent, CWnd)
ON_BN_CLICKED(SkinButtonTest::kButtonId, OnClick)
ON_CONTROL(BN_DOUBLECLICKED, SkinButtonTest::kButtonId, OnDoubleClick)
END_MESSAGE_MAP()

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& pixel) {
    const CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(screen, width, height);
    {
        const CSelectedObject in(dc, bitmap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) dc.SetPixel(x, y, pixel(x, y));
        }
    }
    return bitmap.Detach();
}

void SkinButtonTest::SetUp() {
    ASSERT_TRUE(parent.CreateEx(WS_EX_TOPMOST, nullptr, "skin button test", WS_POPUP | WS_VISIBLE,
                                CRect(40, 40, 240, 140), nullptr, 0));
    ::SetForegroundWindow(parent);
}

void SkinButtonTest::Attach(CSkinButton& button, DWORD style, const wchar_t* caption, CRect rect, int id,
                            bool visible) {
    const HWND control =
        ::CreateWindowExW(0, L"Button", caption, WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | style, rect.left,
                          rect.top, rect.Width(), rect.Height(), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(button.SubclassWindow(control));
}

void SkinButtonTest::Draw(TestButton& button, Canvas& canvas, UINT itemState) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = itemState;
    item.hwndItem = button;
    item.hDC = canvas.Dc();
    item.rcItem = button.GetClientRect();
    button.DrawItem(&item);
}

void SkinButtonTest::Pump() { DispatchWaitingMessages(AsDialogLoop(parent)); }

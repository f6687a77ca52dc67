// A skin button on a plain parent window, and a memory canvas to draw it
// into. The parent counts the click commands it receives, so tests see that
// the button never swallows them.
#pragma once

#include "controls/SkinButton.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

#include <functional>

// The drawing entry point and image placement, opened up for tests.
class TestButton : public CSkinButton {
public:
    using CSkinButton::ComputeImageRect;
    using CSkinButton::DrawItem;
};

class ClickCountingParent : public CWnd {
public:
    int clicks = 0;
    int doubleClicks = 0;

protected:
    void OnClick() { ++clicks; }
    void OnDoubleClick() { ++doubleClicks; }
    DECLARE_MESSAGE_MAP()
};

// A screen-compatible bitmap of `width` x `height` painted by `pixel`.
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& pixel);

class SkinButtonTest : public ::testing::Test {
public:
    static constexpr int kButtonId = 1;
    static constexpr int kSecondId = 2;

protected:
    void SetUp() override;
    // Makes a button control of `style` on the parent and attaches `button`.
    void Attach(CSkinButton& button, DWORD style = BS_PUSHBUTTON, const wchar_t* caption = L"",
                CRect rect = CRect(10, 10, 30, 30), int id = kButtonId, bool visible = true);
    // The button drawn into a fresh canvas of its size, as for `itemState`.
    void Draw(TestButton& button, Canvas& canvas, UINT itemState = 0);
    // Runs the messages waiting for this thread, as the modal loop does.
    void Pump();

    static COLORREF System(int index) { return ::GetSysColor(index); }

    ClickCountingParent parent;
};

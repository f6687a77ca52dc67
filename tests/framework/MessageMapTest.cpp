// Message maps, the creation hook, subclassing and reflection, on plain
// windows outside any modal loop.
#include "framework/Controls.h"
#include "framework/Wnd.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr UINT WM_APP_INHERITED = WM_APP + 10;
constexpr UINT WM_APP_OVERRIDDEN = WM_APP + 11;
constexpr UINT kButtonId = 77;

class BaseWindow : public CWnd {
protected:
    LRESULT OnInherited(WPARAM, LPARAM) { return 1; }
    LRESULT OnOverridden(WPARAM, LPARAM) { return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
ON_MESSAGE(WM_APP_INHERITED, OnInherited)
ON_MESSAGE(WM_APP_OVERRIDDEN, OnOverridden)
END_MESSAGE_MAP()

// Records every message its window procedure sees, and the click and colour
// notifications that reach it as a parent.
class RecordingWindow : public BaseWindow {
public:
    std::vector<UINT> messages;
    int clicks = 0;
    int colourRequests = 0;
    int notifications = 0;
    int textChanges = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return BaseWindow::WindowProc(message, wParam, lParam);
    }
    LRESULT OnOverridden(WPARAM, LPARAM) { return 3; }
    LRESULT OnSetText(WPARAM, LPARAM) {
        ++textChanges;
        return Default();
    }
    void OnButtonClicked() { ++clicks; }
    void OnButtonNotify(NMHDR*, LRESULT* result) {
        ++notifications;
        *result = 5;
    }
    HBRUSH OnCtlColor(CDCHandle, CWindow, UINT) {
        ++colourRequests;
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingWindow, BaseWindow)
ON_MESSAGE(WM_APP_OVERRIDDEN, OnOverridden)
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_BN_CLICKED(kButtonId, OnButtonClicked)
ON_NOTIFY(NM_CLICK, kButtonId, OnButtonNotify)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// A button whose reflected handlers answer as told.
class ReflectingButton : public CButton {
public:
    BOOL answer = FALSE;
    HBRUSH brush = nullptr;
    int clicks = 0;
    int draws = 0;
    int destroyedNotices = 0;

protected:
    BOOL OnReflectedClick() {
        ++clicks;
        return answer;
    }
    BOOL OnReflectedNotify(NMHDR*, LRESULT*) { return answer; }
    HBRUSH CtlColor(CDCHandle, UINT) { return brush; }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++draws; }
    void PostNcDestroy() override { ++destroyedNotices; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
ON_NOTIFY_REFLECT_EX(NM_CLICK, OnReflectedNotify)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Keeps what the typed entries decoded for it.
class DecodingWindow : public CWnd {
public:
    CPoint contextMenuPoint;
    CPoint wheelPoint;
    short wheelDelta = 0;

protected:
    void OnContextMenu(CWindow, CPoint screenPoint) { contextMenuPoint = screenPoint; }
    void OnMouseWheel(UINT, short delta, CPoint screenPoint) {
        wheelDelta = delta;
        wheelPoint = screenPoint;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DecodingWindow, CWnd)
ON_WM_CONTEXTMENU()
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

struct ParentAndButton {
    RecordingWindow parent;
    ReflectingButton button;

    explicit ParentAndButton(DWORD buttonStyle = BS_PUSHBUTTON) {
        EXPECT_TRUE(
            parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
        EXPECT_TRUE(button.CreateEx(0, L"BUTTON", "button", WS_CHILD | WS_VISIBLE | buttonStyle, CRect(10, 10, 110, 40),
                                    parent, kButtonId));
    }
    LRESULT Click() {
        return parent.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(button.m_hWnd));
    }
    LRESULT Notify() {
        NMHDR header{button.m_hWnd, kButtonId, static_cast<UINT>(NM_CLICK)};
        return parent.SendMessage(WM_NOTIFY, kButtonId, reinterpret_cast<LPARAM>(&header));
    }
    LRESULT AskColour() {
        CClientDC dc(button);
        return parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                  reinterpret_cast<LPARAM>(button.m_hWnd));
    }
};

TEST(CreationHook, ObjectSeesTheWindowsFirstMessages) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "first", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_FALSE(window.messages.empty());
    // An overlapped window's very first message is WM_GETMINMAXINFO, then
    // WM_NCCREATE; both come before the creation call returns.
    EXPECT_TRUE(window.messages.front() == WM_GETMINMAXINFO || window.messages.front() == WM_NCCREATE);
    EXPECT_NE(std::find(window.messages.begin(), window.messages.end(), WM_CREATE), window.messages.end());
    EXPECT_EQ(CWnd::FromHandle(window), &window);
}

TEST(MessageMap, DerivedTableWinsAndBaseTableIsInherited) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "maps", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    EXPECT_EQ(window.SendMessage(WM_APP_INHERITED), 1);
    EXPECT_EQ(window.SendMessage(WM_APP_OVERRIDDEN), 3);
}

// A monitor left of or above the primary one has negative screen
// coordinates, and a wheel turned towards the user a negative delta.
TEST(MessageMap, TypedEntriesKeepTheSignOfPointsAndWheelDelta) {
    DecodingWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "signs", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    window.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.m_hWnd), MAKELPARAM(-1200, -30));
    EXPECT_EQ(window.contextMenuPoint.x, -1200);
    EXPECT_EQ(window.contextMenuPoint.y, -30);
    window.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), MAKELPARAM(-5, -6));
    EXPECT_EQ(window.wheelDelta, -2 * WHEEL_DELTA);
    EXPECT_EQ(window.wheelPoint.x, -5);
    EXPECT_EQ(window.wheelPoint.y, -6);
}

TEST(MessageMap, DefaultRunsTheWindowsOwnHandling) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "before", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0));
    window.SetWindowText("뒤에");
    EXPECT_GE(window.textChanges, 1);
    EXPECT_EQ(window.GetWindowText(), "뒤에");
}

TEST(Reflection, DeclinedClickReachesTheParentToo) {
    ParentAndButton pair;
    pair.button.answer = FALSE;
    pair.Click();
    EXPECT_EQ(pair.button.clicks, 1);
    EXPECT_EQ(pair.parent.clicks, 1);
}

TEST(Reflection, HandledClickStopsAtTheControl) {
    ParentAndButton pair;
    pair.button.answer = TRUE;
    pair.Click();
    EXPECT_EQ(pair.button.clicks, 1);
    EXPECT_EQ(pair.parent.clicks, 0);
}

TEST(Reflection, NotificationsFollowTheSameRule) {
    ParentAndButton pair;
    pair.button.answer = FALSE;
    EXPECT_EQ(pair.Notify(), 5);
    pair.button.answer = TRUE;
    pair.Notify();
    EXPECT_EQ(pair.parent.notifications, 1);
}

TEST(Reflection, ControlColourFromTheControlUnlessItGivesNoBrush) {
    ParentAndButton pair;
    EXPECT_EQ(pair.AskColour(), reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(pair.parent.colourRequests, 1);
    pair.button.brush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(pair.AskColour(), reinterpret_cast<LRESULT>(pair.button.brush));
    EXPECT_EQ(pair.parent.colourRequests, 1);
}

TEST(Reflection, OwnerDrawnButtonDrawsItself) {
    ParentAndButton pair(BS_OWNERDRAW);
    pair.button.Invalidate();
    pair.button.UpdateWindow();
    EXPECT_GE(pair.button.draws, 1);
}

TEST(Subclassing, DetachRestoresTheOldProcedure) {
    ParentAndButton pair;
    const HWND plain =
        ::CreateWindowExW(0, L"BUTTON", L"plain", WS_CHILD, 0, 0, 10, 10, pair.parent, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrW(plain, GWLP_WNDPROC);
    CButton attached;
    ASSERT_TRUE(attached.SubclassWindow(plain));
    EXPECT_NE(::GetWindowLongPtrW(plain, GWLP_WNDPROC), original);
    CButton second;
    EXPECT_FALSE(second.SubclassWindow(plain));
    EXPECT_EQ(attached.UnsubclassWindow(), plain);
    EXPECT_EQ(::GetWindowLongPtrW(plain, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandle(plain), nullptr);
    ::DestroyWindow(plain);
}

TEST(Subclassing, FinalMessageDetachesAndCallsPostNcDestroy) {
    ParentAndButton pair;
    const HWND button = pair.button;
    pair.parent.DestroyWindow();
    EXPECT_EQ(pair.button.GetSafeHwnd(), nullptr);
    EXPECT_EQ(pair.button.destroyedNotices, 1);
    EXPECT_EQ(CWnd::FromHandle(button), nullptr);
}

TEST(MessageMap, NotificationWithoutHeaderIsIgnored) {
    ParentAndButton pair;
    EXPECT_EQ(pair.parent.SendMessage(WM_NOTIFY, kButtonId, 0), 0);
    EXPECT_EQ(pair.parent.notifications, 0);
}

}  // namespace

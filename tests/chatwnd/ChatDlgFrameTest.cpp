// The chat window's frame, in-process on Xvfb: where the layout puts the
// view, the skin on screen, the minimum size, the title band's press and
// double click, and the title buttons.
#include "tests/chatwnd/ChatWindowHarness.h"

#include "display/ChatView.h"
#include "framework/ScaledResource.h"
#include "framework/WinApp.h"
#include "res/SkinSets.h"
#include "res/resource.h"
#include "tests/support/Accessibility.h"
#include "tests/support/GdiObjects.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr char kUserId[] = "kim01";

// The rectangle of `child` in the client coordinates of `parent`.
CRect ClientRectOf(HWND child, HWND parent) {
    CRect rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Gives `window` a client area of `width` x `height`.
void SizeClientTo(CWindow window, int width, int height) {
    const CRect outer = window.GetWindowRect();
    const CRect client = window.GetClientRect();
    window.SetWindowPos(nullptr, 0, 0, width + outer.Width() - client.Width(),
                        height + outer.Height() - client.Height(), SWP_NOMOVE | SWP_NOZORDER);
}

// Every piece but the view where the layout puts it at a client area of
// 632 x 446.
void ExpectPiecesPlacedFor632By446(CWindow w) {
    const CRect send = ClientRectOf(w.GetDlgItem(IDC_SEND), w);
    EXPECT_EQ(send.left, 530);
    EXPECT_EQ(send.top, 365);
    const CRect close = ClientRectOf(w.GetDlgItem(IDC_CLOSE), w);
    EXPECT_EQ(close.left, 617);
    EXPECT_EQ(close.Width(), 11);
    EXPECT_EQ(ClientRectOf(w.GetDlgItem(IDC_INPUT), w), CRect(20, 361, 530, 414));
}

// While it lives, the system refuses this thread every window named
// "ChatView", as it would when out of resources.
class ChatViewRefusal {
public:
    ChatViewRefusal() : m_hook(::SetWindowsHookExW(WH_CBT, &Refuse, nullptr, ::GetCurrentThreadId())) {}
    ~ChatViewRefusal() { ::UnhookWindowsHookEx(m_hook); }
    ChatViewRefusal(const ChatViewRefusal&) = delete;
    ChatViewRefusal& operator=(const ChatViewRefusal&) = delete;

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            // Compared character by character: a name can also be a resource
            // ordinal, which runs on without a terminator.
            const wchar_t* name = reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs->lpszName;
            if (name && std::wcscmp(name, L"ChatView") == 0) return 1;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK m_hook;
};

bool NcPressPosted(HWND window, LPARAM& where) {
    MSG msg;
    if (!::PeekMessageW(&msg, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) return false;
    EXPECT_EQ(msg.wParam, WPARAM{HTCAPTION});
    where = msg.lParam;
    return true;
}

class Frame : public ::testing::Test {
protected:
    Frame() { services.AnswerProfile(kUserId, "nick||1"); }

    void Run(const std::function<void(ChatWindow&)>& body) {
        ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
        window.scenario = [&](ChatWindow& w) {
            body(w);
            if (w.m_hWnd) w.EndDialog(IDOK);
        };
        EXPECT_EQ(window.DoModal(), IDOK);
    }

    ChatServices services;
};

}  // namespace

TEST_F(Frame, LayoutAt632By446PutsTheViewInsideItsOutline) {
    Run([](ChatWindow& w) {
        SizeClientTo(w, 632, 446);
        ASSERT_EQ(w.GetClientRect().Width(), 632);
        ASSERT_EQ(w.GetClientRect().Height(), 446);
        const CRect view = ClientRectOf(*w.View(), w);
        EXPECT_EQ(view.left, 10);
        EXPECT_EQ(view.right - 1, 621);
        EXPECT_EQ(view.top, 75);
        EXPECT_EQ(view.bottom - 1, 320);
        ExpectPiecesPlacedFor632By446(w);
    });
}

TEST_F(Frame, LayoutWithoutAViewStillPlacesEveryOtherPiece) {
    const ChatViewRefusal refusal;
    Run([](ChatWindow& w) {
        ASSERT_EQ(w.View(), nullptr);
        SizeClientTo(w, 632, 446);
        ExpectPiecesPlacedFor632By446(w);
    });
}

TEST_F(Frame, BackgroundShowsTheSkinAroundTheView) {
    Run([](ChatWindow& w) {
        SizeClientTo(w, 632, 446);
        ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const CClientDC dc(w);
        EXPECT_EQ(dc.GetPixel(9, 200), RGB(90, 44, 107));
        EXPECT_EQ(dc.GetPixel(622, 200), RGB(90, 44, 107));
        EXPECT_EQ(dc.GetPixel(3, 200), RGB(231, 219, 239));
        EXPECT_EQ(dc.GetPixel(300, 440), RGB(231, 219, 239));
    });
}

TEST_F(Frame, SizingBelowTheMinimumStopsAtIt) {
    Run([](ChatWindow& w) {
        // Wine's task bar is an empty window, which still counts as one.
        ASSERT_NE(::FindWindowA("Shell_TrayWnd", ""), nullptr);
        w.SetWindowPos(nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(w.GetWindowRect().Width(), 320);
        EXPECT_EQ(w.GetWindowRect().Height(), 260);
    });
}

TEST_F(Frame, PressInTheTitleBandStartsTheSystemMove) {
    Run([](ChatWindow& w) {
        LPARAM where = 0;
        w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 19));
        ASSERT_TRUE(NcPressPosted(w, where));
        EXPECT_EQ(where, MAKELPARAM(100, 19));
        w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 20));
        EXPECT_FALSE(NcPressPosted(w, where));
        w.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 20));
    });
}

TEST_F(Frame, DoubleClickInTheTitleBandTogglesMaximised) {
    Run([](ChatWindow& w) {
        w.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 20));
        EXPECT_FALSE(w.IsZoomed());
        w.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 19));
        EXPECT_TRUE(w.IsZoomed());
        // The layout follows the new size.
        const CRect client = w.GetClientRect();
        EXPECT_EQ(ClientRectOf(w.GetDlgItem(IDC_CLOSE), w).left, client.Width() - 15);
        w.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 0));
        EXPECT_FALSE(w.IsZoomed());
    });
}

TEST_F(Frame, TitleButtonsMaximiseRestoreAndMinimise) {
    Run([](ChatWindow& w) {
        w.GetDlgItem(IDC_MAXIMIZE).SendMessage(BM_CLICK);
        EXPECT_TRUE(w.IsZoomed());
        w.GetDlgItem(IDC_MAXIMIZE).SendMessage(BM_CLICK);
        EXPECT_FALSE(w.IsZoomed());
        w.GetDlgItem(IDC_MINIMIZE).SendMessage(BM_CLICK);
        EXPECT_TRUE(w.IsIconic());
        w.ShowWindow(SW_RESTORE);
        EXPECT_FALSE(w.IsIconic());
    });
}

namespace {

// What a move to a monitor of `dpi` brings: the system's suggested rectangle.
void ChangeDpi(CWindow window, UINT dpi, const RECT* suggested) {
    window.SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(suggested));
}

// Whether the screen shows piece `id` of the window exactly as the skin's
// drawing of its bitmap for `dpi`, at the piece's size.
void ExpectPieceShowsItsDrawing(CWindow window, int id, unsigned bitmap, UINT dpi) {
    const CRect place = ClientRectOf(window.GetDlgItem(id), window);
    CBitmap drawing(
        LoadScaledBitmap(AfxGetResourceHandle(), bitmap, SkinSets(bitmap), dpi, {place.Width(), place.Height()}));
    ASSERT_TRUE(drawing);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    const CSelectedObject selected(memory, drawing);
    const CClientDC screen(window);
    int differing = 0;
    for (int y = 0; y < place.Height(); ++y) {
        for (int x = 0; x < place.Width(); ++x) {
            if (screen.GetPixel(place.left + x, place.top + y) != memory.GetPixel(x, y)) ++differing;
        }
    }
    EXPECT_EQ(differing, 0) << "piece " << id << " at " << dpi << " DPI";
}

int IconWidthOf(CWindow window, WPARAM which) {
    ICONINFO info = {};
    const auto icon = reinterpret_cast<HICON>(window.SendMessage(WM_GETICON, which));
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    BITMAP look = {};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(look), &look);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return look.bmWidth;
}

// Whether the conversation's last paragraph is in view.
bool ShowsTheEnd(ChatWindow& w) {
    const ComPtr<IAccessible> pane = ClientObject(*w.View());
    LONG count = 0;
    if (!pane || pane->get_accChildCount(&count) != S_OK || count == 0) return false;
    return (StateOf(pane.Get(), count) & STATE_SYSTEM_OFFSCREEN) == 0;
}

LONG FontHeightOf(CWindow control) {
    LOGFONTW look = {};
    ::GetObjectW(reinterpret_cast<HFONT>(control.SendMessage(WM_GETFONT)), sizeof(look), &look);
    return look.lfHeight;
}

}  // namespace

// 96 -> 192 -> 144: the suggested rectangle taken, every piece placed by its
// scaled edges, the outline as wide as the scale, the title band's boundary,
// the input box's font, and back.
TEST_F(Frame, DpiChangeLaysTheWindowOutAtTheNewScale) {
    Run([](ChatWindow& w) {
        const LONG fontAt96 = FontHeightOf(w.GetDlgItem(IDC_INPUT));
        for (int i = 0; i < 100; ++i) w.AddNotice("a notice of the room");
        w.AddNotice("the last notice");
        ASSERT_TRUE(w.PumpUntil([&] { return ShowsTheEnd(w); }));
        const RECT doubled{0, 0, 1280, 960};
        ChangeDpi(w, 192, &doubled);
        EXPECT_EQ(w.GetWindowRect(), CRect(doubled));
        const CRect client = w.GetClientRect();
        const int W = client.Width();
        const int H = client.Height();
        EXPECT_EQ(ClientRectOf(*w.View(), w), CRect(20, 150, W - 20, H - 250));
        EXPECT_EQ(ClientRectOf(w.GetDlgItem(IDC_CLOSE), w), CRect(W - 30, 4, W - 8, 30));
        EXPECT_EQ(ClientRectOf(w.GetDlgItem(IDC_SEND), w), CRect(W - 204, H - 162, W - 42, H - 74));
        EXPECT_EQ(FontHeightOf(w.GetDlgItem(IDC_INPUT)), fontAt96 * 2);
        EXPECT_EQ(w.View()->Dpi(), 192u);
        EXPECT_TRUE(ShowsTheEnd(w));
        EXPECT_EQ(IconWidthOf(w, ICON_BIG), 64);
        EXPECT_EQ(IconWidthOf(w, ICON_SMALL), 32);

        ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        {
            const CClientDC dc(w);
            EXPECT_EQ(dc.GetPixel(18, 300), RGB(90, 44, 107));
            EXPECT_EQ(dc.GetPixel(19, 300), RGB(90, 44, 107));
            EXPECT_EQ(dc.GetPixel(17, 300), RGB(231, 219, 239));
        }
        ExpectPieceShowsItsDrawing(w, IDC_LOWER_LEFT, IDB_LOWER_LEFT, 192);
        ExpectPieceShowsItsDrawing(w, IDC_UPPER_RIGHT, IDB_UPPER_RIGHT, 192);
        EXPECT_EQ(ClientRectOf(w.GetDlgItem(IDC_MINIMIZE), w).Width(), 22);
        LPARAM where = 0;
        w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 39));
        EXPECT_TRUE(NcPressPosted(w, where));
        w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
        EXPECT_FALSE(NcPressPosted(w, where));
        w.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 40));

        const RECT half{100, 100, 1060, 820};
        ChangeDpi(w, 144, &half);
        EXPECT_EQ(w.GetWindowRect(), CRect(half));
        EXPECT_EQ(ClientRectOf(*w.View(), w).left, 15);
        EXPECT_EQ(ClientRectOf(*w.View(), w).top, 113);
        EXPECT_EQ(FontHeightOf(w.GetDlgItem(IDC_INPUT)), ::MulDiv(fontAt96, 3, 2));
        EXPECT_TRUE(ShowsTheEnd(w));
        EXPECT_EQ(IconWidthOf(w, ICON_BIG), 48);
        ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ExpectPieceShowsItsDrawing(w, IDC_LOWER_RIGHT, IDB_LOWER_RIGHT, 144);
    });
}

// Every change replaces the skin's pictures, the buttons' images, the icons
// and the fonts: what the window held at one scale is given back.
TEST_F(Frame, MovingBetweenScalesHoldsNoMoreGdiObjects) {
    Run([](ChatWindow& w) {
        const RECT doubled{0, 0, 1280, 960};
        const RECT base{0, 0, 640, 480};
        const auto roundTrip = [&] {
            ChangeDpi(w, 192, &doubled);
            ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            ChangeDpi(w, 96, &base);
            ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        };
        roundTrip();
        const int settled = GdiObjectCount();
        ASSERT_GT(settled, 0);
        for (int i = 0; i < 5; ++i) roundTrip();
        EXPECT_EQ(GdiObjectCount(), settled);
    });
}

TEST_F(Frame, MalformedDpiChangesAreClampedAndKeepTheWindow) {
    Run([](ChatWindow& w) {
        const CRect before = w.GetWindowRect();
        for (const UINT dpi : {0u, 1u, 10000u}) ChangeDpi(w, dpi, nullptr);
        EXPECT_EQ(w.GetWindowRect(), before);
        EXPECT_EQ(w.GetDpiScale().Dpi(), kMaximumDpi);
        ChangeDpi(w, 0, nullptr);
        EXPECT_EQ(w.GetDpiScale().Dpi(), kMinimumDpi);
        EXPECT_EQ(ClientRectOf(*w.View(), w).left, 10);
        EXPECT_EQ(ClientRectOf(*w.View(), w).top, 75);
    });
}

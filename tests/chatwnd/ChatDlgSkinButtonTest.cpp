// The chat window's skin buttons on screen: the title buttons show the
// darkened copy of their bitmap at rest and the bitmap itself under the
// pointer, with the title band through their transparent pixels, and the
// maximise button shows the restore image while the window is maximised,
// whichever way it was maximised.
#include "tests/chatwnd/ChatWindowHarness.h"

#include "controls/ButtonImages.h"
#include "framework/Color.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tests/support/Accessibility.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr char kUserId[] = "kim01";
constexpr COLORREF kTransparent = RGB(255, 255, 255);

enum class Look { AtRest, UnderPointer };

// Pixels of a window's client area, row by row.
struct Pixels {
    int width = 0;
    std::vector<COLORREF> values;

    COLORREF At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

void Repaint(CWindow window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// What the window shows where `button` lies with the button hidden: the
// title band that its transparent pixels let through.
Pixels PixelsUnder(CWindow window, CWindow button) {
    CRect where = button.GetWindowRect();
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&where), 2);
    button.ShowWindow(SW_HIDE);
    Repaint(window);
    Pixels under{where.Width(), {}};
    {
        const CClientDC shown(window);
        for (int y = where.top; y < where.bottom; ++y) {
            for (int x = where.left; x < where.right; ++x) under.values.push_back(shown.GetPixel(x, y));
        }
    }
    button.ShowWindow(SW_SHOW);
    Repaint(window);
    return under;
}

// Pixels of the shown button that differ from the bitmap resource `id` as
// the look draws it: at rest the darkened copy, under the pointer the bitmap
// itself inside the 1-pixel hot frame. Transparent pixels show `band`, or
// are not compared without one.
int Mismatches(CWindow button, WORD id, Look look, const Pixels* band = nullptr) {
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(AfxGetResourceHandle(), id)) return -1;
    BITMAP size{};
    bitmap.GetBitmap(&size);
    CDC source;
    source.CreateCompatibleDC(nullptr);
    const CSelectedObject in(source, bitmap);
    const CClientDC shown(button);
    const int edge = look == Look::UnderPointer ? 1 : 0;
    int mismatches = 0;
    for (int y = edge; y < size.bmHeight - edge; ++y) {
        for (int x = edge; x < size.bmWidth - edge; ++x) {
            const COLORREF pixel = source.GetPixel(x, y);
            if (pixel == kTransparent && !band) continue;
            COLORREF expected = look == Look::AtRest ? DarkenColor(pixel, kRestImageDarkening) : pixel;
            if (pixel == kTransparent) expected = band->At(x, y);
            if (shown.GetPixel(x, y) != expected) ++mismatches;
        }
    }
    return mismatches;
}

void PointAt(CWindow button) {
    const CRect client = button.GetClientRect();
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.Width() / 2, client.Height() / 2));
    button.UpdateWindow();
}

class SkinButtons : public ::testing::Test {
protected:
    SkinButtons() { services.AnswerProfile(kUserId, "nick||1"); }

    void Run(const std::function<void(ChatWindow&)>& body) {
        ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
        window.scenario = [&](ChatWindow& w) {
            Repaint(w);
            body(w);
            if (w.m_hWnd) w.EndDialog(IDOK);
        };
        EXPECT_EQ(window.DoModal(), IDOK);
    }

    // The maximise button shows bitmap `id`, at rest and under the pointer,
    // and a screen reader calls it what the image shows.
    static void ExpectMaximizeImage(ChatWindow& w, WORD id) {
        CWindow button = w.GetDlgItem(IDC_MAXIMIZE);
        EXPECT_EQ(AccessibleName(button), id == IDB_RESTORE ? L"이전 크기로" : L"최대화");
        const Pixels band = PixelsUnder(w, button);
        EXPECT_EQ(Mismatches(button, id, Look::AtRest, &band), 0) << id;
        PointAt(button);
        EXPECT_EQ(Mismatches(button, id, Look::UnderPointer, &band), 0) << id;
        button.SendMessage(WM_MOUSELEAVE);
    }

    ChatServices services;
};

}  // namespace

TEST_F(SkinButtons, TitleButtonsShowTheDarkenedCopyAtRestAndTheBitmapUnderThePointer) {
    Run([](ChatWindow& w) {
        for (const auto& [control, bitmap] : {std::pair{IDC_CLOSE, IDB_CLOSE}, std::pair{IDC_MAXIMIZE, IDB_MAXIMIZE},
                                              std::pair{IDC_MINIMIZE, IDB_MINIMIZE}}) {
            CWindow button = w.GetDlgItem(control);
            const Pixels band = PixelsUnder(w, button);
            EXPECT_EQ(Mismatches(button, bitmap, Look::AtRest, &band), 0) << control;
            EXPECT_GT(Mismatches(button, bitmap, Look::UnderPointer, &band), 0) << control;
            PointAt(button);
            EXPECT_EQ(Mismatches(button, bitmap, Look::UnderPointer, &band), 0) << control;
            button.SendMessage(WM_MOUSELEAVE);
            button.UpdateWindow();
            EXPECT_EQ(Mismatches(button, bitmap, Look::AtRest, &band), 0) << control;
        }
    });
}

// Named for screen readers, and still read as what they are.
TEST_F(SkinButtons, TitleButtonsAndTheInputBoxHaveNames) {
    Run([](ChatWindow& w) {
        EXPECT_EQ(AccessibleName(w.GetDlgItem(IDC_CLOSE)), L"닫기");
        EXPECT_EQ(AccessibleName(w.GetDlgItem(IDC_MINIMIZE)), L"최소화");
        EXPECT_EQ(AccessibleName(w.GetDlgItem(IDC_SEND)), L"보내기");
        EXPECT_EQ(AccessibleName(w.GetDlgItem(IDC_INPUT)), L"메시지 입력");
        // Send keeps the system's own object: the named buttons read as it does
        // (a push button on Windows; Wine has no button object of its own).
        EXPECT_NE(AccessibleRole(w.GetDlgItem(IDC_SEND)), 0);
        EXPECT_EQ(AccessibleRole(w.GetDlgItem(IDC_CLOSE)), AccessibleRole(w.GetDlgItem(IDC_SEND)));
        EXPECT_EQ(AccessibleRole(w.GetDlgItem(IDC_INPUT)), ROLE_SYSTEM_TEXT);
    });
}

TEST_F(SkinButtons, SendButtonAlwaysShowsItsBitmap) {
    Run([](ChatWindow& w) {
        CWindow send = w.GetDlgItem(IDC_SEND);
        EXPECT_EQ(send.GetWindowRect().Width(), 81);
        EXPECT_EQ(send.GetWindowRect().Height(), 44);
        // No darkened copy: the same bitmap at rest and under the pointer
        // (inside the hot frame), and no caption drawn over it.
        EXPECT_EQ(Mismatches(send, IDB_SEND, Look::UnderPointer), 0);
        PointAt(send);
        EXPECT_EQ(Mismatches(send, IDB_SEND, Look::UnderPointer), 0);
    });
}

TEST_F(SkinButtons, MaximiseByTheButtonShowsTheRestoreImage) {
    Run([](ChatWindow& w) {
        // The two images differ, or the checks below would prove nothing.
        ASSERT_GT(Mismatches(w.GetDlgItem(IDC_MAXIMIZE), IDB_RESTORE, Look::AtRest), 0);
        ExpectMaximizeImage(w, IDB_MAXIMIZE);
        w.GetDlgItem(IDC_MAXIMIZE).SendMessage(BM_CLICK);
        ASSERT_TRUE(w.IsZoomed());
        ExpectMaximizeImage(w, IDB_RESTORE);
        w.GetDlgItem(IDC_MAXIMIZE).SendMessage(BM_CLICK);
        ASSERT_FALSE(w.IsZoomed());
        ExpectMaximizeImage(w, IDB_MAXIMIZE);
    });
}

TEST_F(SkinButtons, MaximiseByDoubleClickInTheTitleBandShowsTheRestoreImage) {
    Run([](ChatWindow& w) {
        w.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 10));
        ASSERT_TRUE(w.IsZoomed());
        ExpectMaximizeImage(w, IDB_RESTORE);
        w.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 10));
        ASSERT_FALSE(w.IsZoomed());
        ExpectMaximizeImage(w, IDB_MAXIMIZE);
    });
}

TEST_F(SkinButtons, MaximiseAnotherWayLeavesTheImage) {
    Run([](ChatWindow& w) {
        w.ShowWindow(SW_MAXIMIZE);
        ExpectMaximizeImage(w, IDB_MAXIMIZE);
        w.ShowWindow(SW_RESTORE);
    });
}

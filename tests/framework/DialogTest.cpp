// Modal runs of a template dialog: how they start, how each kind of ending
// ends them, data exchange, and keyboard input through the modal loop.
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/MessageBox.h"
#include "framework/TextConversion.h"
#include "framework/TextFont.h"
#include "tests/framework/TestResources.h"
#include "tests/support/ScriptedDialog.h"
#include "tests/support/TypedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The test program's own dialog template, scripted.
class TestDialog : public ScriptedDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : ScriptedDialog(IDD_TEST_DIALOG, parent) {}
};

// Messages that the pre-translation probes trace.
constexpr UINT kProbePassed = WM_APP + 1;
constexpr UINT kProbeEaten = WM_APP + 2;
bool IsProbe(const MSG* msg) { return msg->message == kProbePassed || msg->message == kProbeEaten; }

std::wstring WideText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// Answers WM_CREATE as told and notes that it came.
class CreationDialog : public TestDialog {
public:
    int createAnswer = 0;
    bool sawCreate = false;
    bool initialised = false;

    BOOL OnInitDialog() override {
        initialised = true;
        return TestDialog::OnInitDialog();
    }

protected:
    int OnCreate(LPCREATESTRUCT) {
        sawCreate = true;
        return createAnswer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CreationDialog, TestDialog)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(DialogRun, OwnCreateMessageReachesTheMap) {
    CreationDialog dialog;
    dialog.scenario = [](ScriptedDialog& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.sawCreate);
    EXPECT_TRUE(dialog.initialised);
}

TEST(DialogRun, CreateAnsweredMinusOneFailsAtOnce) {
    CreationDialog dialog;
    dialog.createAnswer = -1;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(dialog.sawCreate);
    EXPECT_FALSE(dialog.initialised);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(DialogRun, EndDialogCancelReturnsCancelAndOwnerIsDisabledMeanwhile) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100), nullptr, 0));
    TestDialog dialog(&owner);
    bool ownerEnabledDuringRun = true;
    dialog.scenario = [&](ScriptedDialog& d) {
        ownerEnabledDuringRun = owner.IsWindowEnabled();
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// Moves itself while it initialises, as the chat window does.
class SelfPlacingDialog : public TestDialog {
public:
    using TestDialog::TestDialog;
    BOOL OnInitDialog() override {
        MoveWindow(10, 20, 300, 200);
        return TestDialog::OnInitDialog();
    }
};

POINT CentreOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

CRect WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// Where the dialog stood when its run began.
CRect RectWhenShown(ScriptedDialog& dialog) {
    CRect rect;
    dialog.scenario = [&](ScriptedDialog& d) {
        rect = d.GetWindowRect();
        d.EndDialog(IDOK);
    };
    dialog.DoModal();
    return rect;
}

TEST(DialogRun, ADialogThatStaysPutIsCentredOnItsOwnerAndOneThatMovesItselfIsLeft) {
    CWnd owner;
    ASSERT_TRUE(
        owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 400), nullptr, 0));
    for (const CRect& place : {CRect(300, 200, 800, 600), CRect(40, 500, 740, 900)}) {
        owner.MoveWindow(place);
        TestDialog dialog(&owner);
        const POINT centre = CentreOf(RectWhenShown(dialog));
        const POINT expected = CentreOf(owner.GetWindowRect());
        EXPECT_NEAR(centre.x, expected.x, 2) << place.left;
        EXPECT_NEAR(centre.y, expected.y, 2) << place.left;
    }
    // An owner low on the screen: centred on it the dialog would hang below
    // the work area, so it rises to its bottom edge, still centred across.
    const CRect workArea = WorkAreaOf(owner);
    owner.MoveWindow(CRect(40, workArea.bottom - 60, 740, workArea.bottom + 340));
    TestDialog low(&owner);
    const CRect lowRect = RectWhenShown(low);
    EXPECT_EQ(lowRect.bottom, workArea.bottom);
    EXPECT_NEAR(CentreOf(lowRect).x, CentreOf(owner.GetWindowRect()).x, 2);

    SelfPlacingDialog placed(&owner);
    EXPECT_EQ(RectWhenShown(placed), CRect(10, 20, 310, 220));
}

// Whether the font of `control` has a glyph for 한, as drawn on the screen.
bool FontShowsHangul(HWND control) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    WORD glyph = 0xFFFF;
    ::GetGlyphIndicesW(dc, L"\xD55C", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return glyph != 0xFFFF;
}

// The template names the shell's dialog face, which an English system maps
// to a face without Hangul.
TEST(DialogRun, TemplateFontShowsHangulWhateverTheSystemCodePage) {
    TestDialog dialog;
    bool inputShows = false;
    bool buttonShows = false;
    dialog.scenario = [&](ScriptedDialog& d) {
        inputShows = FontShowsHangul(d.GetDlgItem(IDC_INPUT));
        buttonShows = FontShowsHangul(d.GetDlgItem(IDC_SEND));
        d.EndDialog(IDOK);
    };
    dialog.DoModal();
    EXPECT_TRUE(inputShows);
    EXPECT_TRUE(buttonShows);
}

// What a message box showed, read from inside its own loop, and closed.
struct MessageBoxLook {
    bool seen = false;
    bool textShowsHangul = false;
    SIZE needed{};  // the message in the font it is shown in
    RECT text{};    // the message's control, in the box's client area
    RECT client{};  // the box's client area
    RECT button{};  // its OK button, in the client area
};
MessageBoxLook g_box;
const wchar_t kBoxMessage[] = L"한글 메시지가 영문 윈도에서도 잘리지 않고 끝까지 보입니다";

RECT RectInClient(HWND box, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CALLBACK LookAtMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND box, LPARAM) -> BOOL {
            wchar_t title[16] = {};
            ::GetWindowTextW(box, title, 16);
            const HWND text = ::GetDlgItem(box, 0xFFFF);  // the box's message
            if (!::IsWindowVisible(box) || std::wstring(title) != L"시험" || !text) return TRUE;
            g_box.seen = true;
            g_box.textShowsHangul = FontShowsHangul(text);
            g_box.text = RectInClient(box, text);
            g_box.button = RectInClient(box, ::GetDlgItem(box, IDOK));
            ::GetClientRect(box, &g_box.client);
            const HDC dc = ::GetDC(text);
            const HGDIOBJ previous =
                ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(text, WM_GETFONT, 0, 0)));
            RECT needed{};
            ::DrawTextW(dc, kBoxMessage, -1, &needed, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
            g_box.needed = SIZE{needed.right, needed.bottom};
            ::SelectObject(dc, previous);
            ::ReleaseDC(text, dc);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return FALSE;
        },
        0);
}

// A message font without Hangul, as an English system has it under Wine:
// the box's text still shows, in a face that has it, and is not cut off:
// its control holds the whole message, and the box, grown, holds the
// control and the button below it.
TEST(SystemMessageBox, ShowsHangulWhenTheMessageFontHasNone) {
    NONCLIENTMETRICSW saved{};
    saved.cbSize = sizeof saved;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
    NONCLIENTMETRICSW latinOnly = saved;
    ::lstrcpyW(latinOnly.lfMessageFont.lfFaceName, L"DejaVu Sans");
    latinOnly.lfMessageFont.lfCharSet = ANSI_CHARSET;
    const HFONT probe = ::CreateFontIndirectW(&latinOnly.lfMessageFont);
    const bool probeCovers = FontCoversText(probe);
    ::DeleteObject(probe);
    ASSERT_FALSE(probeCovers) << "the test needs a message font without Hangul";
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof latinOnly, &latinOnly, 0));

    g_box = {};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, LookAtMessageBox);
    AfxMessageBox(nullptr, FromWide(kBoxMessage), "시험", MB_OK);
    ::KillTimer(nullptr, timer);
    ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, 0);

    ASSERT_TRUE(g_box.seen);
    EXPECT_TRUE(g_box.textShowsHangul);
    const RECT& text = g_box.text;
    const RECT& client = g_box.client;
    EXPECT_GE(text.right - text.left, g_box.needed.cx);
    EXPECT_GE(text.bottom - text.top, g_box.needed.cy);
    EXPECT_LE(text.right, client.right);
    EXPECT_GE(g_box.button.top, text.bottom);
    EXPECT_LE(g_box.button.bottom, client.bottom);
}

TEST(DialogRun, DestroyingTheWindowEndsTheRun) {
    TestDialog dialog;
    dialog.scenario = [](ScriptedDialog& d) { d.DestroyWindow(); };
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(DialogRun, QuitEndsTheRunAndIsPostedAgain) {
    TestDialog dialog;
    dialog.scenario = [](ScriptedDialog&) { ::PostQuitMessage(7); };
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(DialogRun, ModelessDialogGoesWithItsObject) {
    HWND window = nullptr;
    {
        CreationDialog dialog;
        ASSERT_TRUE(dialog.Create());
        window = dialog.GetSafeHwnd();
        EXPECT_TRUE(dialog.sawCreate);
        EXPECT_TRUE(dialog.GetDlgItem(IDC_INPUT).IsWindow());
    }
    EXPECT_FALSE(::IsWindow(window));
}

// An edit that counts how often it is attached and which messages it sees
// before translation.
class ProbeEdit : public CEdit {
public:
    int attachments = 0;
    UINT consumed = 0;  // a message that PreTranslateMessage eats
    std::vector<std::string>* trace = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (trace && IsProbe(msg)) trace->push_back("edit");
        return msg->message == consumed && consumed != 0;
    }

protected:
    void PreSubclassWindow() override { ++attachments; }
};

class ExchangeDialog : public TestDialog {
public:
    ProbeEdit input;
    CString text = "처음";
    bool cancelCommand = false;
    std::vector<std::string> trace;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (IsProbe(msg)) trace.push_back("dialog");
        return FALSE;
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_INPUT, input);
        DDX_Text(dx, IDC_INPUT, text);
    }
    void OnCancelCommand() {
        cancelCommand = true;
        EndDialog(IDCANCEL);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExchangeDialog, TestDialog)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

TEST(DataExchange, AttachesOnceAndMovesTextBothWays) {
    ExchangeDialog dialog;
    std::wstring shown;
    bool attachedToTheItem = false;
    dialog.scenario = [&](ScriptedDialog&) {
        attachedToTheItem = dialog.input.GetSafeHwnd() == dialog.GetDlgItem(IDC_INPUT).m_hWnd;
        shown = WideText(dialog.input);
        dialog.UpdateData(false);
        ::SetWindowTextW(dialog.input, L"바뀜");
        dialog.SendMessage(WM_COMMAND, IDOK);  // OnOK: saves, then ends
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(attachedToTheItem);
    EXPECT_EQ(shown, L"처음");
    EXPECT_EQ(dialog.input.attachments, 1);
    EXPECT_EQ(dialog.text, "바뀜");
    EXPECT_EQ(dialog.input.GetSafeHwnd(), nullptr);
}

TEST(DataExchange, MissingControlFailsTheExchange) {
    class BrokenDialog : public TestDialog {
    protected:
        void DoDataExchange(CDataExchange* dx) override {
            CString text;
            DDX_Text(dx, 4999, text);
        }
    } dialog;
    bool saved = true;
    dialog.scenario = [&](ScriptedDialog& d) {
        saved = d.UpdateData(true);
        d.SendMessage(WM_COMMAND, IDOK);  // refused: the exchange fails
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(saved);
}

TEST(ModalLoop, PreTranslateRunsFromTargetUpToDialogAndCanConsume) {
    ExchangeDialog dialog;
    dialog.input.trace = &dialog.trace;
    dialog.input.consumed = kProbeEaten;
    dialog.scenario = [&](ScriptedDialog& d) {
        dialog.input.PostMessage(kProbePassed);
        dialog.input.PostMessage(kProbeEaten);
        d.PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const std::vector<std::string> expected{"edit", "dialog", "edit"};
    EXPECT_EQ(dialog.trace, expected);
}

TEST(ModalLoop, EscapeInMultiLineEditReachesCancelCommand) {
    ExchangeDialog dialog;
    dialog.scenario = [&](ScriptedDialog&) {
        dialog.input.SetFocus();
        const LPARAM escapeScan = 0x00010001;  // repeat 1, scan code 1
        dialog.input.PostMessage(WM_KEYDOWN, VK_ESCAPE, escapeScan);
        dialog.input.PostMessage(WM_KEYUP, VK_ESCAPE, escapeScan | 0xC0000000);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.cancelCommand);
}

TEST(ModalLoop, TypedHangulArrivesIntactAsCp949) {
    ExchangeDialog dialog;
    dialog.text = "";
    dialog.scenario = [&](ScriptedDialog& d) {
        ::SetForegroundWindow(d);
        dialog.input.SetFocus();
        TypeText(L"한글");
        d.Poll(50, [&] {
            if (::GetWindowTextLengthW(dialog.input) < 2) return false;
            d.SendMessage(WM_COMMAND, IDOK);
            return true;
        });
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.text, "\xC7\xD1\xB1\xDB");
    EXPECT_EQ(dialog.text, "한글");
}

}  // namespace

// Modal runs of a template dialog: how they start, how each kind of ending
// ends them, data exchange, and keyboard input through the modal loop.
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "tests/framework/ScriptedDialog.h"
#include "tests/support/TypedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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
class CreationDialog : public ScriptedDialog {
public:
    int createAnswer = 0;
    bool sawCreate = false;
    bool initialised = false;

    BOOL OnInitDialog() override {
        initialised = true;
        return ScriptedDialog::OnInitDialog();
    }

protected:
    int OnCreate(LPCREATESTRUCT) {
        sawCreate = true;
        return createAnswer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CreationDialog, ScriptedDialog)
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
    ScriptedDialog dialog(&owner);
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

TEST(DialogRun, DestroyingTheWindowEndsTheRun) {
    ScriptedDialog dialog;
    dialog.scenario = [](ScriptedDialog& d) { d.DestroyWindow(); };
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(DialogRun, QuitEndsTheRunAndIsPostedAgain) {
    ScriptedDialog dialog;
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

class ExchangeDialog : public ScriptedDialog {
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

BEGIN_MESSAGE_MAP(ExchangeDialog, ScriptedDialog)
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
    class BrokenDialog : public ScriptedDialog {
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

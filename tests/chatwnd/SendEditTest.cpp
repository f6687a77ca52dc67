// The input box in a dialog shaped like the chat window, driven by real
// keyboard input: what the parent is asked to send, and what the box keeps.
#include "chatwnd/SendEdit.h"

#include "framework/Dialog.h"
#include "tests/chatwnd/SendEditTestResources.h"
#include "tests/support/ScriptedDialog.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Stands in for the chat window: on each send request it notes the box's
// text and empties the box, as the chat window does.
class SendEditHost : public ScriptedDialog {
public:
    SendEditHost() : ScriptedDialog(IDD_SEND_EDIT_HOST, nullptr) {}

    CSendEdit box;
    std::vector<std::string> requests;  // the box's text at each request
    bool cancelled = false;

    // Runs the dialog: focuses the box, types `keys` and then a marker
    // letter, and ends once the marker has arrived, when every key before it
    // has been handled. Returns the box's text before the marker.
    std::string TypeAndRun(std::vector<INPUT> keys);

    void OnCancel() override {
        cancelled = true;
        ScriptedDialog::OnCancel();
    }

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_SEND_EDIT_BOX, box); }

    LRESULT OnChatSend(WPARAM, LPARAM) {
        requests.push_back(box.GetWindowText().str());
        box.SetWindowText("");
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SendEditHost, ScriptedDialog)
ON_MESSAGE(WM_CHAT_SEND, OnChatSend)
END_MESSAGE_MAP()

constexpr char kMarker = 'Z';

INPUT Key(WORD virtualKey, DWORD flags = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

void AddPress(std::vector<INPUT>& keys, WORD virtualKey) {
    keys.push_back(Key(virtualKey));
    keys.push_back(Key(virtualKey, KEYEVENTF_KEYUP));
}

// Letters as key presses: upper-case virtual keys type lower-case letters.
std::vector<INPUT> Letters(const char* letters) {
    std::vector<INPUT> keys;
    for (const char* c = letters; *c; ++c) AddPress(keys, static_cast<WORD>(*c - 'a' + 'A'));
    return keys;
}

std::vector<INPUT> Join(std::initializer_list<std::vector<INPUT>> parts) {
    std::vector<INPUT> keys;
    for (const auto& part : parts) keys.insert(keys.end(), part.begin(), part.end());
    return keys;
}

std::vector<INPUT> Enter() {
    std::vector<INPUT> keys;
    AddPress(keys, VK_RETURN);
    return keys;
}

std::vector<INPUT> CtrlEnter() {
    return {Key(VK_CONTROL), Key(VK_RETURN), Key(VK_RETURN, KEYEVENTF_KEYUP), Key(VK_CONTROL, KEYEVENTF_KEYUP)};
}

void SendKeys(std::vector<INPUT> keys) { ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)); }

std::string SendEditHost::TypeAndRun(std::vector<INPUT> keys) {
    keys.push_back(Key(kMarker));  // with Shift up, 'Z' types 'z'
    keys.push_back(Key(kMarker, KEYEVENTF_KEYUP));
    std::string textBeforeMarker;
    scenario = [&](ScriptedDialog& d) {
        ::SetForegroundWindow(d);
        box.SetFocus();
        SendKeys(keys);
        d.Poll(20, [&] {
            const std::string text = box.GetWindowText().str();
            const size_t marker = text.rfind('z');
            if (marker == std::string::npos) return false;
            textBeforeMarker = text.substr(0, marker);
            d.EndDialog(IDOK);
            return true;
        });
    };
    EXPECT_EQ(DoModal(), IDOK) << "the marker never arrived";
    return textBeforeMarker;
}

TEST(SendEdit, RunTimeClassIsNamedAndDerivesFromTheEdit) {
    const CRuntimeClass* record = CRuntimeClass::FromName("CSendEdit");
    ASSERT_EQ(record, RUNTIME_CLASS(CSendEdit));
    EXPECT_EQ(record->m_baseClass, RUNTIME_CLASS(CEdit));
    EXPECT_EQ(record->m_schema, 0xFFFFu);
    EXPECT_EQ(record->m_createObject, nullptr);
    EXPECT_EQ(record->m_objectSize, static_cast<int>(sizeof(CEdit)));
    CSendEdit box;
    EXPECT_TRUE(box.IsKindOf(RUNTIME_CLASS(CEdit)));
}

TEST(SendEdit, EnterAsksTheParentOnceWithTheTypedTextAndLeavesTheBoxEmpty) {
    SendEditHost host;
    const std::string text = host.TypeAndRun(Join({Letters("abc"), Enter()}));
    EXPECT_EQ(host.requests, std::vector<std::string>{"abc"});
    EXPECT_EQ(text, "") << "no line break is left behind";
}

TEST(SendEdit, RequestIsHandledBeforeTheEnterCharacterReturns) {
    // Posting the request instead would let the box handle the character,
    // and whatever follows it, before the parent has taken the text.
    SendEditHost host;
    size_t requestsWhenEnterReturned = 0;
    size_t requestsAfterLineFeed = 0;
    host.scenario = [&](ScriptedDialog& d) {
        host.box.SetWindowText("abc");
        host.box.SendMessage(WM_CHAR, '\r', 1);
        requestsWhenEnterReturned = host.requests.size();
        host.box.SendMessage(WM_CHAR, '\n', 1);
        requestsAfterLineFeed = host.requests.size();
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_EQ(requestsWhenEnterReturned, 1u);
    EXPECT_EQ(requestsAfterLineFeed, 1u);
    EXPECT_EQ(host.requests, std::vector<std::string>{"abc"});
}

TEST(SendEdit, EnterInAnEmptyBoxAsksWithNothingInIt) {
    SendEditHost host;
    const std::string text = host.TypeAndRun(Enter());
    EXPECT_EQ(host.requests, std::vector<std::string>{""});
    EXPECT_EQ(text, "");
}

TEST(SendEdit, CtrlEnterBreaksTheLineWhichTheNextEnterSendsWhole) {
    SendEditHost host;
    const std::string typed = host.TypeAndRun(Join({Letters("ab"), CtrlEnter(), Letters("cd")}));
    EXPECT_TRUE(host.requests.empty());
    EXPECT_EQ(typed, "ab\r\ncd");

    SendEditHost next;
    next.TypeAndRun(Join({Letters("ab"), CtrlEnter(), Letters("cd"), Enter()}));
    EXPECT_EQ(next.requests, std::vector<std::string>{"ab\r\ncd"});
}

TEST(SendEdit, HeldEnterAsksOncePerRepeatedCharacter) {
    SendEditHost host;
    std::vector<INPUT> keys = Letters("abc");
    for (int repeat = 0; repeat < 3; ++repeat) keys.push_back(Key(VK_RETURN));
    keys.push_back(Key(VK_RETURN, KEYEVENTF_KEYUP));
    host.TypeAndRun(keys);
    EXPECT_EQ(host.requests, (std::vector<std::string>{"abc", "", ""}));
}

TEST(SendEdit, EscapeReachesTheCancelCommand) {
    SendEditHost host;
    host.scenario = [&host](ScriptedDialog& d) {
        ::SetForegroundWindow(d);
        host.box.SetFocus();
        std::vector<INPUT> keys = Letters("ab");
        AddPress(keys, VK_ESCAPE);
        SendKeys(keys);
    };
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_TRUE(host.cancelled);
    EXPECT_TRUE(host.requests.empty());
}

}  // namespace

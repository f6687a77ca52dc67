#include "tests/chatwnd/ChatWindowHarness.h"

#include "display/ChatView.h"
#include "framework/html/HtmlDocument.h"
#include "framework/html/HtmlObjects.h"
#include "net/Protocol.h"
#include "tests/support/IdentityArgument.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WinsockEnvironment.h"

#include <utility>
#include <vector>

namespace {

// Windows Sockets for the whole program.
testing::Environment* const winsock = testing::AddGlobalTestEnvironment(new WinsockEnvironment);

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

}  // namespace

LoopbackHttpServer::Response HttpAnswer(int status, std::string body) {
    LoopbackHttpServer::Response answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

void ChatServices::AnswerProfile(const std::string& userId, const std::string& body) {
    profile.Route("/program/user_info.asp?id=" + userId, HttpAnswer(200, body));
}

ChatEndpoints ChatServices::Endpoints() const {
    const std::string base = Narrow(profile.Url(""));  // "http://127.0.0.1:port"
    return {"127.0.0.1", chat.Port(), base.substr(std::string("http://").size()).c_str()};
}

CString EncodeIdentity(std::string_view userId) { return CString(IdentityArgument(userId).c_str()); }

bool ChatWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return PumpMessagesUntil(done, timeoutMs, AsDialogLoop(m_hWnd));
}

std::u16string ChatWindow::ShownText() {
    if (!m_pChatView || !PumpUntil([&] { return m_pChatView->m_pDocument != nullptr; })) return {};
    auto* document = static_cast<CHtmlDocumentObject*>(m_pChatView->m_pDocument.Get());
    document->Engine().SelectAll();
    std::u16string text = document->Engine().SelectedText();
    document->Engine().ClearSelection();
    return text;
}

void ChatWindow::FocusInput() {
    ::SetForegroundWindow(m_hWnd);
    m_editInput.SetFocus();
}

void PressKey(WORD key, bool withControl) {
    std::vector<INPUT> inputs;
    if (withControl) inputs.push_back(KeyInput(VK_CONTROL, 0));
    inputs.push_back(KeyInput(key, 0));
    inputs.push_back(KeyInput(key, KEYEVENTF_KEYUP));
    if (withControl) inputs.push_back(KeyInput(VK_CONTROL, KEYEVENTF_KEYUP));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

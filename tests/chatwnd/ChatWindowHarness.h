// The chat window under test: a CChatDlg pointed at loopback services, run
// modally with a scenario that runs inside its loop, and a watchdog that ends
// a run that hangs. The scenario pumps the window's messages as the modal
// loop does (pre-translation, then the dialog manager), so typed keys and
// posted packets reach the window as they would in the program.
#pragma once

#include "chatwnd/ChatDlg.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/ScriptedDialog.h"

#include <functional>
#include <string>
#include <string_view>

// An HTTP answer of `status` with `body`.
LoopbackHttpServer::Response HttpAnswer(int status, std::string body);

// A profile service and a chat server on loopback, for one window.
class ChatServices {
public:
    // The profile service answers `body` for the user `userId`.
    void AnswerProfile(const std::string& userId, const std::string& body);
    ChatEndpoints Endpoints() const;

    LoopbackHttpServer profile;
    LoopbackServer chat;
};

// The command-line argument that decodes to `userId`.
CString EncodeIdentity(std::string_view userId);

class ChatWindow : public Scripted<ChatWindow, CChatDlg> {
public:
    ChatWindow(const ChatEndpoints& endpoints, const CString& identityArgument)
        : Scripted(nullptr, endpoints), m_identityArgument(identityArgument) {
        watchdogMs = 30000;
    }

    // Pumps messages until `done`, at most `timeoutMs`; true when done.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWait);
    void PumpFor(DWORD ms) {
        PumpUntil([] { return false; }, ms);
    }

    // Waits for the chat view's page and gives its text as the user would
    // copy it; empty when there is no page.
    std::u16string ShownText();
    CString InputText() const { return m_editInput.GetWindowText(); }
    // Gives the window the focus in its input box, for typed keys.
    void FocusInput();

    CChatView* View() const { return m_pChatView; }
    HPEN FramePen() const { return m_framePen; }
    const CString& Nickname() const { return m_strNickname; }
    const CString& UserId() const { return m_strUserId; }

protected:
    CString GetIdentityArgument() const override { return m_identityArgument; }

private:
    CString m_identityArgument;
};

// Typed input through the system's queue, as a user types.
void PressKey(WORD key, bool withControl = false);

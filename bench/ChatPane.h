// ChatPane, Fail, PumpMessages: the chat view the pane benchmarks drive — a
// CChatView of 620 x 245 client pixels, a child of a visible top-level
// window on the display, with the chat page (resource 129) loaded — and the
// benchmarks' one way of giving up.
#pragma once

#include "display/ChatView.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <cstdio>

namespace bench {

inline constexpr int kPaneWidth = 620;
inline constexpr int kPaneHeight = 245;

// Says what failed, as `program: what (error N)`, and ends the process.
[[noreturn]] inline void Fail(const char* what) {
    char program[MAX_PATH] = "bench";
    const DWORD error = GetLastError();
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::fprintf(stderr, "%s: %s (error %lu)\n", program, what, error);
    std::fflush(stderr);
    ExitProcess(1);
}

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class ChatPane {
public:
    explicit ChatPane(const char* title) {
        constexpr UINT kChatPage = 129;
        constexpr DWORD kLoadTimeoutMs = 10000;
        if (!m_parent.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 800, 400), nullptr,
                               0)) {
            Fail("creating the top-level window");
        }
        m_view = new CChatView;  // deletes itself with its window
        if (!m_view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, CRect(0, 0, kPaneWidth, kPaneHeight), &m_parent,
                            0xFFFF)) {
            Fail("creating the chat view");
        }
        const CRect client = m_view->GetClientRect();
        if (client.Width() != kPaneWidth || client.Height() != kPaneHeight) Fail("sizing the pane");
        if (!m_view->LoadFromResource(kChatPage)) Fail("loading the chat page");
        const DWORD start = GetTickCount();
        while (!m_view->m_pDocument) {
            if (GetTickCount() - start > kLoadTimeoutMs) Fail("waiting for the chat page");
            PumpMessages();
            Sleep(1);
        }
        Paint();
    }
    ~ChatPane() { m_parent.DestroyWindow(); }
    ChatPane(const ChatPane&) = delete;
    ChatPane& operator=(const ChatPane&) = delete;

    CChatView& View() { return *m_view; }

    // As a window that keeps up with its server: painted, messages drained.
    void Paint() {
        m_view->UpdateWindow();
        PumpMessages();
    }

    // A new width lays the whole document out again.
    void SetWidth(int width) {
        if (!::MoveWindow(m_view->m_hWnd, 0, 0, width, kPaneHeight, TRUE)) Fail("resizing the pane");
    }

    // A benchmark of a pane that stopped following its last line would
    // measure the wrong thing.
    void CheckAtBottom() {
        ComPtr<CHtmlElement> body;
        ComPtr<CHtmlElement2> scroller;
        if (FAILED(m_view->m_pDocument->get_body(body.Receive())) || !body ||
            FAILED(body->QueryInterface(scroller.Receive()))) {
            Fail("reading the body");
        }
        long height = 0, client = 0, top = 0;
        scroller->get_scrollHeight(&height);
        scroller->get_clientHeight(&client);
        scroller->get_scrollTop(&top);
        if (client != kPaneHeight || height <= client || top != height - client) Fail("the pane is not at its bottom");
    }

private:
    CWnd m_parent;
    CChatView* m_view = nullptr;
};

}  // namespace bench

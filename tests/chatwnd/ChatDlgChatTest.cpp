// The chat window's chat side, in-process on Xvfb against loopback services:
// the profile at creation, the login frame, sending typed lines, showing
// received packets, the About box and the two ways the run ends.
#include "tests/chatwnd/ChatWindowHarness.h"

#include "display/ChatView.h"
#include "net/Protocol.h"
#include "res/resource.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Clipboard.h"
#include "tests/support/TypedText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr char kUserId[] = "kim01";
constexpr char kNickname[] = "\xB1\xE8\xC3\xB6\xBC\xF6";  // "김철수"
const std::u16string kGreeting = u"워블채팅에 오신것을 환영합니다.";
const std::u16string kConnectionEnded = u"서버와의 연결이 끊어졌습니다.";
const std::u16string kLineTooLong = u"메시지가 너무 깁니다. 3999바이트까지 보낼 수 있습니다.";

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(std::string_view text, size_t size) {
    Bytes bytes(size, 0);
    std::copy(text.begin(), text.end(), bytes.begin());
    return bytes;
}

Bytes TextWithNul(std::string_view text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::string Repeated(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

size_t Occurrences(const std::u16string& text, const std::u16string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::u16string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// A window for kUserId with a good profile, its services, and the login
// frame taken off the chat server before the scenario goes on.
class ChatSide : public ::testing::Test {
protected:
    ChatSide() { services.AnswerProfile(kUserId, std::string(kNickname) + "||1"); }

    // Runs the window; `body` runs after the server has taken the login. A
    // window that never came up fails the test rather than passing it
    // untried.
    void RunLoggedIn(const std::function<void(ChatWindow&)>& body) {
        ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
        bool ran = false;
        window.scenario = [&](ChatWindow& w) {
            ReceivedClientFrame login;
            if (!services.chat.Accept() || !services.chat.ReceiveClientFrame(login)) {
                ADD_FAILURE() << "no login";
            } else {
                body(w);
                ran = true;
            }
            if (w.m_hWnd) w.EndDialog(IDOK);
        };
        window.DoModal();
        EXPECT_TRUE(ran) << "the window never ran";
    }

    // The next line the server receives, NUL included.
    Bytes NextLine() {
        ReceivedClientFrame frame;
        if (!services.chat.ReceiveClientFrame(frame)) return {};
        EXPECT_EQ(frame.type, PKT_CHAT_SEND);
        return frame.payload;
    }

    ChatServices services;
};

}  // namespace

TEST_F(ChatSide, LoginFrameCarriesIdNicknameAndProfileFlag) {
    ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
    ReceivedClientFrame login{};
    window.scenario = [&](ChatWindow& w) {
        EXPECT_TRUE(services.chat.Accept());
        EXPECT_TRUE(services.chat.ReceiveClientFrame(login));
        w.EndDialog(IDOK);
    };
    EXPECT_EQ(window.DoModal(), IDOK);

    EXPECT_EQ(login.stampCheck, login.stamp ^ CHAT_STAMP_CHECK);
    EXPECT_EQ(login.type, PKT_LOGIN);
    EXPECT_EQ(login.bodyLength, CHAT_TYPE_SIZE + CHAT_LOGIN_SIZE);
    Bytes expected = BytesOf(kUserId, CHAT_USER_ID_SLOT);
    const Bytes nickname = BytesOf(kNickname, CHAT_NICKNAME_SLOT);
    expected.insert(expected.end(), nickname.begin(), nickname.end());
    expected.push_back(1);
    EXPECT_EQ(login.payload, expected);
    EXPECT_EQ(window.UserId(), kUserId);
    EXPECT_EQ(window.Nickname(), kNickname);
}

TEST_F(ChatSide, OverlongIdAndNicknameAreCutToTheirSlots) {
    const std::string longId = "abcdefghijklmnopqrst";  // 20 bytes
    const std::string longNick(30, 'n');
    services.AnswerProfile(longId, longNick + "||1");
    ChatWindow window(services.Endpoints(), EncodeIdentity(longId));
    ReceivedClientFrame login{};
    window.scenario = [&](ChatWindow& w) {
        EXPECT_TRUE(services.chat.Accept());
        EXPECT_TRUE(services.chat.ReceiveClientFrame(login));
        w.EndDialog(IDOK);
    };
    EXPECT_EQ(window.DoModal(), IDOK);
    ASSERT_EQ(login.payload.size(), size_t{CHAT_LOGIN_SIZE});
    EXPECT_EQ(std::string(login.payload.begin(), login.payload.begin() + 16), longId.substr(0, 16));
    EXPECT_EQ(std::string(login.payload.begin() + 16, login.payload.begin() + 37), longNick.substr(0, 21));
    EXPECT_EQ(login.payload[37], 1);
}

TEST_F(ChatSide, InitialisationTitlesPlacesAndDecoratesTheWindow) {
    RunLoggedIn([](ChatWindow& w) {
        EXPECT_EQ(w.GetWindowText(), CString("워블채팅"));
        const CRect placed = w.GetWindowRect();
        EXPECT_EQ(placed.left, 0);
        EXPECT_EQ(placed.top, 0);
        EXPECT_EQ(placed.Width(), 640);
        EXPECT_EQ(placed.Height(), 480);
        const auto icon = reinterpret_cast<HICON>(w.SendMessage(WM_GETICON, ICON_BIG));
        EXPECT_NE(icon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(w.SendMessage(WM_GETICON, ICON_SMALL)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(w.SendMessage(WM_QUERYDRAGICON)), icon);

        const HMENU menu = w.GetSystemMenu(false);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, count - 1, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), L"WobbleMiniChat 정보(&A)...");
        EXPECT_EQ(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});

        ASSERT_NE(w.View(), nullptr);
        EXPECT_EQ(w.View()->GetDlgCtrlID(), 0xFFFF);
        EXPECT_EQ(w.View()->GetWindowText(), CString("ChatView"));
        EXPECT_EQ(::GetFocus(), w.GetDlgItem(IDC_INPUT).m_hWnd);
    });
}

TEST_F(ChatSide, EnterSendsTheLineWithItsNulAndEmptiesTheBox) {
    RunLoggedIn([&](ChatWindow& w) {
        w.FocusInput();
        TypeText(L"abc");
        ASSERT_TRUE(w.PumpUntil([&] { return w.InputText() == "abc"; }));
        PressKey(VK_RETURN);
        ASSERT_TRUE(w.PumpUntil([&] { return w.InputText().IsEmpty(); }));
        EXPECT_EQ(NextLine(), TextWithNul("abc"));
        // Nothing is shown until the server sends the line back.
        w.PumpFor(100);
        EXPECT_EQ(w.ShownText(), u"");
    });
}

TEST_F(ChatSide, ControlEnterBreaksTheLineAndEnterSendsBothParts) {
    RunLoggedIn([&](ChatWindow& w) {
        w.FocusInput();
        TypeText(L"ab");
        PressKey(VK_RETURN, true);
        TypeText(L"cd");
        ASSERT_TRUE(w.PumpUntil([&] { return w.InputText() == "ab\r\ncd"; }));
        PressKey(VK_RETURN);
        ASSERT_TRUE(w.PumpUntil([&] { return w.InputText().IsEmpty(); }));
        EXPECT_EQ(NextLine(), TextWithNul("ab\r\ncd"));
    });
}

// The conversation's zoom keys reach the pane from the input box and type
// nothing into it; without Ctrl the same keys are text.
TEST_F(ChatSide, ZoomKeysInTheInputBoxZoomTheConversation) {
    RunLoggedIn([&](ChatWindow& w) {
        w.FocusInput();
        PressKey(VK_OEM_PLUS, true);
        PressKey(VK_ADD, true);
        ASSERT_TRUE(w.PumpUntil([&] { return w.View()->ZoomPercent() == 125; }));
        PressKey(VK_OEM_MINUS, true);
        ASSERT_TRUE(w.PumpUntil([&] { return w.View()->ZoomPercent() == 110; }));
        PressKey('0', true);
        ASSERT_TRUE(w.PumpUntil([&] { return w.View()->ZoomPercent() == 100; }));
        EXPECT_EQ(w.InputText(), "");
        const CRect pane = w.View()->GetWindowRect();
        const LPARAM overPane = MAKELPARAM(pane.left + 20, pane.top + 20);
        w.GetDlgItem(IDC_INPUT).PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), overPane);
        ASSERT_TRUE(w.PumpUntil([&] { return w.View()->ZoomPercent() == 110; }));
        w.GetDlgItem(IDC_INPUT).PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), overPane);
        ASSERT_TRUE(w.PumpUntil([&] { return w.View()->ZoomPercent() == 100; }));
        TypeText(L"=-0");
        ASSERT_TRUE(w.PumpUntil([&] { return w.InputText() == "=-0"; }));
        EXPECT_EQ(w.View()->ZoomPercent(), 100);
    });
}

TEST_F(ChatSide, EmptyBoxSendsNothingWhileBlanksAreSent) {
    RunLoggedIn([&](ChatWindow& w) {
        w.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEND, BN_CLICKED),
                      reinterpret_cast<LPARAM>(w.GetDlgItem(IDC_SEND).m_hWnd));
        w.SendMessage(WM_CHAT_SEND);
        // Had either sent something, it would arrive before this line.
        w.GetDlgItem(IDC_INPUT).SetWindowText("  ");
        w.GetDlgItem(IDC_SEND).SendMessage(BM_CLICK);
        EXPECT_TRUE(w.InputText().IsEmpty());
        EXPECT_EQ(NextLine(), TextWithNul("  "));
    });
}

// Counted in code page 949 bytes, not in characters: a Hangul syllable is
// two. A line that cannot go stays whole, with the caret at its end and the
// notice once per attempt; the longest line that can go leaves and empties
// the box.
TEST_F(ChatSide, OverlongLineStaysWithItsNoticeWhileTheLongestLineGoes) {
    RunLoggedIn([&](ChatWindow& w) {
        CWindow input = w.GetDlgItem(IDC_INPUT);
        const std::wstring overlong(2000, L'가');  // 4,000 bytes
        PutOnClipboard(overlong);
        w.FocusInput();
        input.SendMessage(WM_PASTE);
        input.SendMessage(EM_SETSEL, 0, 0);
        PressKey(VK_RETURN);
        ASSERT_TRUE(w.PumpUntil([&] { return w.ShownText().find(kLineTooLong) != std::u16string::npos; }));
        EXPECT_EQ(input.GetWindowText(), CString(Repeated("가", 2000).c_str()));
        DWORD start = 0;
        DWORD end = 0;
        input.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, overlong.size());
        EXPECT_EQ(end, overlong.size());
        w.SendMessage(WM_CHAT_SEND);
        EXPECT_EQ(Occurrences(w.ShownText(), kLineTooLong), 2u);

        const std::string longest = Repeated("가", 1999) + "a";  // 3,999 bytes
        input.SetWindowText(longest.c_str());
        w.SendMessage(WM_CHAT_SEND);
        EXPECT_TRUE(w.InputText().IsEmpty());
        // The overlong line would have arrived before this one.
        EXPECT_EQ(NextLine(), TextWithNul(longest));
    });
}

// The end of the connection is told once, after what arrived before it; a
// line typed afterwards, Enter and all, stays in the box.
TEST_F(ChatSide, EndedConnectionIsToldOnceAndWhatIsTypedAfterwardsStays) {
    RunLoggedIn([&](ChatWindow& w) {
        services.chat.SendFrame(PKT_NOTICE, "last words");
        services.chat.CloseClient();
        ASSERT_TRUE(w.PumpUntil([&] { return w.ShownText().find(kConnectionEnded) != std::u16string::npos; }));
        w.SendMessage(WM_CHAT_PACKET, NOTIFY_CLOSED);
        const std::u16string shown = w.ShownText();
        EXPECT_EQ(Occurrences(shown, kConnectionEnded), 1u);
        EXPECT_LT(shown.find(u"last words"), shown.find(kConnectionEnded));

        w.FocusInput();
        TypeText(L"안녕");
        PressKey(VK_RETURN);
        // Typed after Enter: once it is in, Enter has been handled.
        TypeText(L"!");
        EXPECT_TRUE(w.PumpUntil([&] { return w.InputText() == "안녕!"; })) << w.InputText().GetString();
    });
}

TEST_F(ChatSide, ReceivedPacketsShowInArrivalOrderAndOthersShowNothing) {
    RunLoggedIn([&](ChatWindow& w) {
        LoopbackServer& server = services.chat;
        server.SendFrame(PKT_WELCOME, "ignored payload");
        server.SendFrame(PKT_NOTICE, "first notice");
        server.SendFrame(53, "junk fifty-three");
        server.SendFrame(PKT_CHAT_LINE, std::string("lee02\a\xC0\xCC\a<b>hello</b> <a href=x>link</a> "
                                                    "<img src=p.png> <embed src=c.swf> end"));
        server.SendFrame(54, "junk fifty-four");
        server.Send({1, 0, PKT_NOTICE_2});  // a body of one byte
        server.SendFrame(56, "junk fifty-six");
        server.SendFrame(PKT_WELCOME, "");
        server.SendFrame(PKT_NOTICE_2, "last notice");
        std::u16string shown;
        ASSERT_TRUE(w.PumpUntil([&] {
            shown = w.ShownText();
            return shown.find(u"last notice") != std::u16string::npos;
        }));
        EXPECT_EQ(Occurrences(shown, kGreeting), 2u);
        const size_t firstGreeting = shown.find(kGreeting);
        const size_t notice = shown.find(u"first notice");
        const size_t line = shown.find(u"이(lee02): <b>hello</b> link");
        const size_t secondGreeting = shown.find(kGreeting, firstGreeting + 1);
        const size_t last = shown.find(u"last notice");
        EXPECT_LT(firstGreeting, notice);
        EXPECT_LT(notice, line);
        EXPECT_LT(line, secondGreeting);
        EXPECT_LT(secondGreeting, last);
        // The window lets links, images and embeds through, and no other tag.
        EXPECT_NE(shown.find(u" end"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"<img"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"<embed"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"junk"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"ignored"), std::u16string::npos);

        // A screen reader finds the same lines in order, the chat line one
        // paragraph with its link and its image inside it.
        const ComPtr<IAccessible> pane = ClientObject(w.View()->m_hWnd);
        const std::vector<std::wstring> paragraphs = ChildNames(pane.Get());
        const auto holding = [&](const wchar_t* part) {
            return std::find_if(paragraphs.begin(), paragraphs.end(),
                                [part](const std::wstring& name) { return name.find(part) != std::wstring::npos; });
        };
        const auto chatLine = holding(L"이(lee02): <b>hello</b> link");
        ASSERT_NE(chatLine, paragraphs.end());
        EXPECT_LT(holding(L"first notice"), chatLine);
        EXPECT_LT(chatLine, holding(L"last notice"));
        const ComPtr<IAccessible> paragraph = ChildOf(pane.Get(), static_cast<LONG>(chatLine - paragraphs.begin() + 1));
        EXPECT_EQ(RoleOf(paragraph.Get(), 1), ROLE_SYSTEM_LINK);
        EXPECT_EQ(ValueOf(paragraph.Get(), 1), L"x");
        EXPECT_EQ(RoleOf(paragraph.Get(), 2), ROLE_SYSTEM_GRAPHIC);
    });
}

TEST_F(ChatSide, PayloadTextEndsAtTheBodyEvenWithoutNul) {
    RunLoggedIn([&](ChatWindow& w) {
        // Body "57, abc" followed by spare bytes that are not NUL.
        uint8_t buffer[] = {PKT_NOTICE_2, 0, 'a', 'b', 'c', 'X', 'X', 'X', 'X'};
        ChatPacket packet{buffer, 5};
        w.DispatchPacket(&packet);
        EXPECT_EQ(buffer[5], 0);
        uint8_t early[] = {PKT_NOTICE, 0, 'd', 'e', 0, 'f', 'X', 'X', 'X', 'X'};
        ChatPacket earlyNul{early, 6};
        w.DispatchPacket(&earlyNul);
        // A body of one byte, with stale bytes behind it that would read as
        // a whole notice.
        uint8_t tiny[] = {PKT_NOTICE, 0, 's', 't', 'a', 'l', 'e', 0};
        ChatPacket oneByte{tiny, 1};
        w.DispatchPacket(&oneByte);
        const std::u16string shown = w.ShownText();
        EXPECT_EQ(shown.find(u"stale"), std::u16string::npos);
        EXPECT_NE(shown.find(u"abc"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"abcX"), std::u16string::npos);
        EXPECT_NE(shown.find(u"de"), std::u16string::npos);
        EXPECT_EQ(shown.find(u"def"), std::u16string::npos);
    });
}

TEST_F(ChatSide, PacketMessageWithNothingQueuedDoesNothing) {
    RunLoggedIn([&](ChatWindow& w) {
        EXPECT_EQ(w.SendMessage(WM_CHAT_PACKET, NOTIFY_PACKET), 0);
        EXPECT_EQ(w.ShownText(), u"");
    });
}

// A notification lost on the way (the system's queue full) must not strand
// its packet: the next one shows everything waiting.
TEST_F(ChatSide, OnePacketMessageShowsEveryPacketWaiting) {
    RunLoggedIn([&](ChatWindow& w) {
        constexpr int kLines = 3;
        for (int i = 0; i < kLines; ++i) services.chat.SendFrame(PKT_NOTICE, "waiting " + std::to_string(i));
        int notifications = 0;
        const DWORD start = ::GetTickCount();
        while (notifications < kLines && ::GetTickCount() - start < kWait) {
            MSG message;
            if (::PeekMessageW(&message, w.m_hWnd, WM_CHAT_PACKET, WM_CHAT_PACKET, PM_REMOVE)) {
                ++notifications;
            } else {
                ::Sleep(1);
            }
        }
        ASSERT_EQ(notifications, kLines);
        EXPECT_EQ(w.ShownText(), u"");
        w.SendMessage(WM_CHAT_PACKET, NOTIFY_PACKET);
        const std::u16string shown = w.ShownText();
        for (int i = 0; i < kLines; ++i) {
            EXPECT_NE(shown.find(u"waiting " + std::u16string(1, char16_t(u'0' + i))), std::u16string::npos) << i;
        }
        EXPECT_LT(shown.find(u"waiting 0"), shown.find(u"waiting 2"));
    });
}

namespace {

// The text of the first child of `window` whose text holds `part`.
std::wstring ChildTextContaining(HWND window, const std::wstring& part) {
    struct Search {
        const std::wstring& part;
        std::wstring found;
    } search{part, {}};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(context);
            wchar_t text[64] = {};
            ::GetWindowTextW(child, text, 64);
            if (std::wstring(text).find(search.part) == std::wstring::npos) return TRUE;
            search.found = text;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes the About box from inside its own modal loop.
struct AboutBoxWatch {
    bool seen = false;
    std::wstring firstLine;
    RECT rect{};
};
AboutBoxWatch g_about;

BOOL CALLBACK CloseAboutBox(HWND window, LPARAM) {
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    if (!::IsWindowVisible(window) || std::wstring(title) != L"WobbleMiniChat 정보") return TRUE;
    g_about.seen = true;
    g_about.firstLine = ChildTextContaining(window, L"WobbleMiniChat Version");
    ::GetWindowRect(window, &g_about.rect);
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK WatchForAboutBox(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseAboutBox, 0);
}

}  // namespace

// Opened at two places of the chat window, the box is centred on it each time.
TEST_F(ChatSide, SystemCommandsSixteenToThirtyOneOpenTheAboutBoxCentredOnTheWindow) {
    RunLoggedIn([&](ChatWindow& w) {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, WatchForAboutBox);
        const std::pair<WPARAM, POINT> openings[] = {{16, {0, 0}}, {31, {500, 300}}};
        for (const auto& [command, corner] : openings) {
            g_about = {};
            w.SetWindowPos(nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            w.SendMessage(WM_SYSCOMMAND, command);
            EXPECT_TRUE(g_about.seen) << command;
            EXPECT_EQ(g_about.firstLine, L"WobbleMiniChat Version 1.0");
            const CRect window = w.GetWindowRect();
            EXPECT_NEAR((g_about.rect.left + g_about.rect.right) / 2, (window.left + window.right) / 2, 2) << command;
            EXPECT_NEAR((g_about.rect.top + g_about.rect.bottom) / 2, (window.top + window.bottom) / 2, 2) << command;
        }
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(w.IsWindowEnabled());
    });
}

TEST_F(ChatSide, EscapeEndsTheRunThroughTheCancelHandler) {
    ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
    window.scenario = [&](ChatWindow& w) {
        w.FocusInput();
        PressKey(VK_ESCAPE);
    };
    EXPECT_EQ(window.DoModal(), IDCANCEL);
    // Only the cancel handler deletes the pen; the view went before the window.
    EXPECT_EQ(window.FramePen(), nullptr);
    EXPECT_EQ(window.View(), nullptr);
}

TEST_F(ChatSide, SystemCloseAlsoEndsThroughTheCancelHandler) {
    ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
    window.scenario = [&](ChatWindow& w) { w.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
    EXPECT_EQ(window.DoModal(), IDCANCEL);
    EXPECT_EQ(window.FramePen(), nullptr);
}

TEST_F(ChatSide, CloseButtonDestroysTheWindowAtOnce) {
    ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
    HWND shown = nullptr;
    window.scenario = [&](ChatWindow& w) {
        shown = w.m_hWnd;
        w.GetDlgItem(IDC_CLOSE).SendMessage(BM_CLICK);
        EXPECT_FALSE(::IsWindow(shown));
    };
    // The run ends with the window, not through EndDialog.
    EXPECT_EQ(window.DoModal(), IDABORT);
    EXPECT_NE(window.FramePen(), nullptr);
    EXPECT_EQ(window.View(), nullptr);
}

// ---- A bad profile ----

namespace {

struct MessageBoxWatch {
    int seen = 0;
    std::wstring text;
};
MessageBoxWatch g_box;

BOOL CALLBACK CloseProfileBox(HWND window, LPARAM) {
    wchar_t className[16] = {};
    wchar_t title[32] = {};
    ::GetClassNameW(window, className, 16);
    ::GetWindowTextW(window, title, 32);
    if (!::IsWindowVisible(window) || std::wstring(className) != L"#32770" || std::wstring(title) != L"워블채팅") {
        return TRUE;
    }
    ++g_box.seen;
    g_box.text = ChildTextContaining(window, L"사용자");
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK WatchForProfileBox(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseProfileBox, 0);
}

}  // namespace

class BadProfile : public ::testing::TestWithParam<const char*> {};

TEST_P(BadProfile, ShowsTheMessageQuitsAndRefusesTheWindow) {
    ChatServices services;
    services.AnswerProfile(kUserId, GetParam());
    g_box = {};
    ChatWindow window(services.Endpoints(), EncodeIdentity(kUserId));
    window.scenario = [](ChatWindow& w) { w.EndDialog(IDOK); };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, WatchForProfileBox);
    EXPECT_EQ(window.DoModal(), -1);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(g_box.seen, 1);
    EXPECT_EQ(g_box.text, L"사용자 정보가 잘못 되었습니다");
    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(window.View(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Answers, BadProfile, ::testing::Values("nick", "a||b||c", ""));

TEST(BadProfileService, UnreachableServiceShowsTheMessageToo) {
    ChatServices services;
    LoopbackServer refusing(LoopbackServer::Listening::No);
    ChatEndpoints endpoints = services.Endpoints();
    endpoints.profileHost = ("127.0.0.1:" + std::to_string(refusing.Port())).c_str();
    g_box = {};
    ChatWindow window(endpoints, EncodeIdentity(kUserId));
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, WatchForProfileBox);
    EXPECT_EQ(window.DoModal(), -1);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(g_box.seen, 1);
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The real program with the reference services on their built-in loopback
// ports: a bad or missing profile, a missing chat server, a second copy, and
// a shutdown while connected. Every wait is bounded.
#include "chatwnd/FrameLayout.h"
#include "net/Protocol.h"
#include "res/resource.h"
#include "tests/support/Accessibility.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/Sockets.h"
#include "tools/common/ServiceProcess.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using WindowKind = ProgramRun::WindowKind;

// Generous: a Wine process start alone can take a few seconds on a busy
// machine.
constexpr DWORD kStartMs = 20000;
constexpr DWORD kExitMs = 10000;
// How long the window waits for the chat server before giving up on it.
constexpr ULONGLONG kConnectWaitMs = 5000;
constexpr wchar_t kBadProfileText[] = L"사용자 정보가 잘못 되었습니다";
constexpr wchar_t kWelcomeNotice[] = L"워블채팅에 오신것을 환영합니다.";
constexpr wchar_t kNotConnectedNotice[] = L"서버에 연결하지 못했습니다.";

std::wstring ServiceProgram(const wchar_t* name) {
    return BesideThisProgram(L"" WOBBLE_SERVICES_FOLDER + std::wstring(name));
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
        ASSERT_TRUE(WaitUntilPortsAreFree({WOBBLE_PROFILE_PORT, CHAT_SERVER_PORT}))
            << "something else keeps listening on the built-in ports";
    }
    void TearDown() override { ::WSACleanup(); }

    // On the ports the program was built to use.
    void StartProfileService(const std::string& fixedBody) {
        ASSERT_TRUE(profiles.Start(
            ServiceProgram(L"wobble-profiled.exe"),
            L"--port " + std::to_wstring(WOBBLE_PROFILE_PORT) + L" --fixed-body \"" + AsciiWide(fixedBody) + L"\"",
            kStartMs))
            << "is another profile service on port " << WOBBLE_PROFILE_PORT << "? " << profiles.Output();
    }
    void StartChatServer() {
        ASSERT_TRUE(
            chat.Start(ServiceProgram(L"wobble-chatd.exe"), L"--port " + std::to_wstring(CHAT_SERVER_PORT), kStartMs))
            << "is another chat server on port " << CHAT_SERVER_PORT << "? " << chat.Output();
    }

    // Starts a copy and waits for its chat window.
    HWND StartUntilChatWindow(ProgramRun& run) {
        EXPECT_TRUE(run.StartAs("demo"));
        const HWND window = run.WaitForWindow(WindowKind::ChatWindow, kStartMs);
        EXPECT_NE(window, nullptr) << "the chat window did not come up";
        return window;
    }

    // Starts both services and a copy, and waits until it has logged in as
    // "nick"; null when its window does not come up.
    HWND StartLoggedIn(ProgramRun& run) {
        StartProfileService("nick||1");
        StartChatServer();
        const HWND window = StartUntilChatWindow(run);
        EXPECT_TRUE(window && chat.WaitForOutput("login:", kStartMs)) << chat.Output();
        return window;
    }

    // Ends a copy through its cancel command, as Esc would, and expects a
    // clean, prompt end.
    static void CloseAndExpectCleanEnd(ProgramRun& run, HWND chatWindow) {
        ::PostMessageW(chatWindow, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(run.WaitForExit(kExitMs), std::optional<DWORD>(0));
    }

    ServiceProcess profiles;
    ServiceProcess chat;
};

// The display's DPI as Wine gives it to every program started from now on
// (the prefix's LogPixels), for one test; what was there before comes back.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) {
        DWORD size = sizeof(m_before);
        m_hadValue = ::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &m_before, &size) ==
                     ERROR_SUCCESS;
        Set(dpi);
    }
    ~DisplayDpi() {
        if (m_hadValue) Set(m_before);
        else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

private:
    static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
    static constexpr wchar_t kValue[] = L"LogPixels";

    static void Set(DWORD dpi) {
        EXPECT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof(dpi)), ERROR_SUCCESS);
    }

    DWORD m_before = 0;
    bool m_hadValue = false;
};

// Where `child` lies in `parent`'s client area.
RECT ClientPlaceOf(HWND child, HWND parent) {
    RECT place = {};
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// Runs a copy that must refuse to come up, and checks the message it shows.
void ExpectRefusalWithMessage() {
    ProgramRun run;
    ASSERT_TRUE(run.StartAs("demo"));
    const HWND box = run.WaitForWindow(WindowKind::MessageBox, kStartMs);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageBoxText(box), kBadProfileText);
    EXPECT_EQ(run.WaitForWindow(WindowKind::ChatWindow, 0), nullptr);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.WaitForExit(kExitMs), std::optional<DWORD>(0));
}

class BadProfileTest : public ProgramTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadProfileTest, ShowsTheMessageAndEndsCleanly) {
    StartProfileService(GetParam());
    ExpectRefusalWithMessage();
}

INSTANTIATE_TEST_SUITE_P(Answers, BadProfileTest, ::testing::Values("nick", "a||b||c", ""),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(ProgramTest, UnreachableProfileServiceShowsTheMessageAndEndsCleanly) { ExpectRefusalWithMessage(); }

// It says so, once, and what the user types stays in the box.
TEST_F(ProgramTest, UnreachableChatServerStillBringsTheWindowUpAfterTheWait) {
    StartProfileService("nick||1");
    ProgramRun run;
    const ULONGLONG start = ::GetTickCount64();
    const HWND window = StartUntilChatWindow(run);
    ASSERT_NE(window, nullptr);
    EXPECT_GE(::GetTickCount64() - start, kConnectWaitMs - 500);
    const std::wstring shown = WaitForPaneText(window, {kNotConnectedNotice}, kExitMs);
    EXPECT_EQ(Occurrences(shown, kNotConnectedNotice), 1u) << "not told once";
    TypeLine(window, L"들리나요?", Typing::Handled);
    EXPECT_EQ(InputText(window), L"들리나요?");
    CloseAndExpectCleanEnd(run, window);
}

TEST_F(ProgramTest, SecondCopyEndsAtOnceWithoutAWindowAndAThirdStartsOnceTheFirstHasEnded) {
    StartProfileService("nick||1");
    StartChatServer();
    ProgramRun first;
    const HWND firstWindow = StartUntilChatWindow(first);
    ASSERT_NE(firstWindow, nullptr);

    ProgramRun second;
    ASSERT_TRUE(second.StartAs("demo"));
    bool secondShowedWindow = false;
    EXPECT_EQ(second.WaitForExitWithoutWindow(kStartMs, secondShowedWindow), std::optional<DWORD>(0));
    EXPECT_FALSE(secondShowedWindow);
    EXPECT_TRUE(::IsWindow(firstWindow)) << "the first copy is left alone";

    CloseAndExpectCleanEnd(first, firstWindow);
    ProgramRun third;
    const HWND thirdWindow = StartUntilChatWindow(third);
    ASSERT_NE(thirdWindow, nullptr);
    CloseAndExpectCleanEnd(third, thirdWindow);
}

TEST_F(ProgramTest, ClosingWhileConnectedEndsTheConnectionAndTheProgram) {
    // The socket library shuts down before the window, and with it the
    // connection and its reader thread, goes: the end must still be prompt
    // and clean, and the server must see the connection end.
    ProgramRun run;
    const HWND window = StartLoggedIn(run);
    ASSERT_NE(window, nullptr);
    CloseAndExpectCleanEnd(run, window);
    EXPECT_TRUE(chat.WaitForOutput("left:", kExitMs)) << chat.Output();
}

// A screen reader is another process: the names cross to it.
TEST_F(ProgramTest, AnotherProcessReadsTheControlsNames) {
    ProgramRun run;
    const HWND window = StartLoggedIn(run);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(AccessibleName(::GetDlgItem(window, IDC_CLOSE)), L"닫기");
    EXPECT_EQ(AccessibleName(::GetDlgItem(window, IDC_INPUT)), L"메시지 입력");
    CloseAndExpectCleanEnd(run, window);
}

// The whole road of a Korean line, whatever the system's code page: typed
// into the box (an emoji among it, which code page 949 cannot hold), sent as
// its code page 949 bytes, relayed by the server and shown in the pane beside
// the welcome notice, as copying the pane gives them back and as a screen
// reader in another process reads them; what the reader still holds fails
// cleanly once the program has ended.
TEST_F(ProgramTest, TypedHangulLeavesAsItsCp949BytesAndComesBackIntoThePane) {
    ProgramRun run;
    const HWND window = StartLoggedIn(run);
    ASSERT_NE(window, nullptr);

    TypeLine(window, L"안녕하세요 \xD83D\xDE00!");
    EXPECT_TRUE(chat.WaitForOutput("line: nick: \xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4 ?!", kExitMs))
        << chat.Output();
    const std::wstring line = L"nick(demo): 안녕하세요 ?!";
    const std::wstring shown = WaitForPaneText(window, {kWelcomeNotice, line}, kExitMs);
    EXPECT_NE(shown.find(kWelcomeNotice), std::wstring::npos);
    EXPECT_NE(shown.find(line), std::wstring::npos);

    const ComPtr<IAccessible> pane = ClientObject(ChatPane(window));
    EXPECT_EQ(RoleOf(pane.Get()), ROLE_SYSTEM_DOCUMENT);
    EXPECT_EQ(NameOf(pane.Get()), L"대화 내용");
    const std::vector<std::wstring> paragraphs = ChildNames(pane.Get());
    ASSERT_GE(paragraphs.size(), 2u);
    // Named as copying gives them, the lines' leading spaces kept.
    EXPECT_EQ(paragraphs[0], L"  " + std::wstring(kWelcomeNotice));
    EXPECT_EQ(paragraphs.back(), L" " + line);
    const ComPtr<IAccessible> last = ChildOf(pane.Get(), static_cast<LONG>(paragraphs.size()));
    CloseAndExpectCleanEnd(run, window);
    LONG count = 0;
    EXPECT_TRUE(FAILED(pane->get_accChildCount(&count)));
    EXPECT_TRUE(last && NameOf(last.Get()).empty());
}

// The program on a display of 120, 144 and 192 DPI is its 96-DPI self
// scaled: its window, every piece by its scaled edges, the outline as wide as
// the scale just outside the view, and the conversation's 8-point text as
// tall as 8 points are at that DPI.
class ProgramAtDisplayScale : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramAtDisplayScale, IsItsNinetySixDpiSelfScaled) {
    const DpiScale scale(GetParam());
    ProgramRun run;
    HWND window = nullptr;
    {
        // Only while the copy starts: a test that dies leaves the display
        // as it found it for the programs after it.
        const DisplayDpi display(static_cast<DWORD>(GetParam()));
        window = StartLoggedIn(run);
    }
    ASSERT_NE(window, nullptr);
    RECT outer = {};
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, scale.Edge(kInitialWidth));
    EXPECT_EQ(outer.bottom, scale.Edge(kInitialHeight));

    RECT client = {};
    ::GetClientRect(window, &client);
    for (const FramePiece& piece : LayOutFrame(client.right, client.bottom, scale)) {
        const HWND child = piece.id == kChatViewId ? ChatPane(window) : ::GetDlgItem(window, piece.id);
        const RECT place = ClientPlaceOf(child, window);
        EXPECT_EQ(place.left, piece.box.x) << piece.id;
        EXPECT_EQ(place.top, piece.box.y) << piece.id;
        EXPECT_EQ(place.right - place.left, piece.box.width) << piece.id;
        EXPECT_EQ(place.bottom - place.top, piece.box.height) << piece.id;
    }

    const std::optional<Screenshot> shot = RepaintAndCapture(window);
    ASSERT_TRUE(shot);
    POINT origin = {};
    ::ClientToScreen(window, &origin);
    const auto pixelAt = [&](int x, int y) {
        return shot->pixels[(origin.y - outer.top + y) * shot->width + (origin.x - outer.left + x)];
    };
    const RECT view = ClientPlaceOf(ChatPane(window), window);
    const int line = OutlineWidth(scale);
    const int middle = (view.top + view.bottom) / 2;
    EXPECT_EQ(pixelAt(view.left - line, middle), RGB(90, 44, 107));
    EXPECT_EQ(pixelAt(view.left - 1, middle), RGB(90, 44, 107));
    EXPECT_EQ(pixelAt(view.left - line - 1, middle), RGB(231, 219, 239));

    WaitForPaneText(window, {kWelcomeNotice}, kExitMs);
    const ComPtr<IAccessible> pane = ClientObject(ChatPane(window));
    ASSERT_TRUE(pane);
    const RECT welcome = LocationOf(pane.Get(), 1);
    EXPECT_GE(welcome.bottom - welcome.top, scale.Points(8));
    EXPECT_LT(welcome.bottom - welcome.top, scale.Points(8) * 2);

    CloseAndExpectCleanEnd(run, window);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ProgramAtDisplayScale, ::testing::Values(120, 144, 192),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace

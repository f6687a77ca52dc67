// The real program under faults of the chat server and of the profile
// service, on the built-in loopback ports. Each case ends with the program
// still answering, its pane painting what it was last sent (a block of a
// colour nothing else in the skin uses), and Esc (or, for the bad-profile
// message, OK) ending it with exit code 0. Where the connection ends, the
// pane says so once and a line typed afterwards stays in the box. Every wait
// is bounded.
#include "net/Protocol.h"
#include "tests/support/ProgramProbe.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScriptedServers.h"
#include "tests/support/Sockets.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using WindowKind = ProgramRun::WindowKind;

constexpr DWORD kStartMs = 20000;
constexpr DWORD kAnswerMs = 5000;
constexpr DWORD kShowMs = 10000;
constexpr DWORD kExitMs = 10000;

// A notice that paints a block of one colour: the notice's own colour is
// overridden inside, and the squares are filled glyphs, so their inside has
// exactly that colour whatever the font smoothing.
constexpr COLORREF kMarkerColor = RGB(0, 0xC0, 0);
constexpr COLORREF kDroppedColor = RGB(0xC0, 0, 0);
constexpr int kMarkerPixels = 40;

constexpr wchar_t kConnectionEnded[] = L"서버와의 연결이 끊어졌습니다.";
constexpr wchar_t kLineAfterTheEnd[] = L"아직 있어요";
constexpr DWORD kNothingMoreMs = 1000;

std::string BlockNotice(const char* htmlColor) {
    return ServerFrame(PKT_NOTICE, std::string("<font color=") + htmlColor + ">■■■■■■■■■■■■</font>");
}
std::string MarkerNotice() { return BlockNotice("#00C000"); }

class FaultMatrix : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        ASSERT_TRUE(WaitUntilPortsAreFree({WOBBLE_PROFILE_PORT, CHAT_SERVER_PORT}))
            << "something else keeps listening on the built-in ports";
        chat = new ScriptedChatServer(CHAT_SERVER_PORT);
        profile = new ScriptedProfileService(WOBBLE_PROFILE_PORT);
    }
    static void TearDownTestSuite() {
        delete std::exchange(chat, nullptr);
        delete std::exchange(profile, nullptr);
        WSACleanup();
    }
    void SetUp() override {
        ASSERT_TRUE(chat && chat->IsListening()) << "cannot listen on the chat port";
        ASSERT_TRUE(profile && profile->IsListening()) << "cannot listen on the profile port";
        profile->SetAnswer(ScriptedProfileService::Plain(200, "nick||1"));
    }

    // Starts the program, takes its connection and login, and waits for its
    // window.
    HWND StartConnected() {
        EXPECT_TRUE(run.StartAs("demo"));
        EXPECT_TRUE(chat->AcceptClient(kStartMs)) << "the program did not connect";
        EXPECT_TRUE(chat->ReceiveClientFrame(kStartMs)) << "no login";
        const HWND window = run.WaitForWindow(WindowKind::ChatWindow, kStartMs);
        EXPECT_NE(window, nullptr) << "the chat window did not come up";
        return window;
    }

    // Shows the marker and waits until it is painted.
    void ShowMarker(HWND window) {
        ASSERT_TRUE(chat->Send(MarkerNotice()));
        EXPECT_TRUE(WaitUntilPaneShows(window, kMarkerColor, kMarkerPixels, kShowMs)) << "the marker was not shown";
    }

    // The window answers, repaints with the marker in its pane, and Esc
    // ends the program cleanly.
    void ExpectStillWorkingAndEndedByEscape(HWND window) {
        ASSERT_TRUE(AnswersWithin(window, kAnswerMs)) << "the window does not answer";
        EXPECT_TRUE(WaitUntilPaneShows(window, kMarkerColor, kMarkerPixels, kShowMs)) << "the pane lost the marker";
        PressEscape(window);
        EXPECT_EQ(run.WaitForExit(kExitMs), std::optional<DWORD>(0)) << "Esc did not end the program cleanly";
    }

    // The pane tells, once, that the connection has ended; a line typed
    // afterwards stays in the box; no frame leaves and nothing connects
    // again.
    void ExpectEndToldAndLaterLineKept(HWND window) {
        const std::wstring shown = WaitForPaneText(window, {kConnectionEnded}, kShowMs);
        EXPECT_EQ(Occurrences(shown, kConnectionEnded), 1u) << "the end was not told once";
        TypeLine(window, kLineAfterTheEnd, Typing::Handled);
        EXPECT_EQ(InputText(window), kLineAfterTheEnd) << "the line typed after the end was lost";
        EXPECT_FALSE(chat->ReceiveClientFrame(kNothingMoreMs)) << "a frame left after the end";
        EXPECT_FALSE(chat->AcceptClient(kNothingMoreMs)) << "the program connected again";
    }

    // The bad-profile message comes up, answers, and OK ends the program.
    void ExpectRefusalEndedByOk(DWORD withinMs) {
        ASSERT_TRUE(run.StartAs("demo"));
        const HWND box = run.WaitForWindow(WindowKind::MessageBox, withinMs);
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(run.WaitForWindow(WindowKind::ChatWindow, 0), nullptr);
        EXPECT_TRUE(AnswersWithin(box, kAnswerMs));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(run.WaitForExit(kExitMs), std::optional<DWORD>(0));
    }

    // The profile service answers `answer`; the window must come up and
    // work as usual.
    void ExpectWindowWithProfileAnswer(ScriptedProfileService::Answer answer) {
        profile->SetAnswer(std::move(answer));
        const HWND window = StartConnected();
        ASSERT_NE(window, nullptr);
        ShowMarker(window);
        ExpectStillWorkingAndEndedByEscape(window);
    }

    static ScriptedChatServer* chat;
    static ScriptedProfileService* profile;
    ProgramRun run;
};

ScriptedChatServer* FaultMatrix::chat = nullptr;
ScriptedProfileService* FaultMatrix::profile = nullptr;

// The chat server

TEST_F(FaultMatrix, ServerResetsTheConnection) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ShowMarker(window);
    chat->Reset();
    ExpectEndToldAndLaterLineKept(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, ServerClosesInTheMiddleOfALengthPrefix) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ShowMarker(window);
    ASSERT_TRUE(chat->Send(std::string(1, '\x20')));
    ::Sleep(200);
    chat->Close();
    ExpectEndToldAndLaterLineKept(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, ServerClosesInTheMiddleOfABody) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ShowMarker(window);
    ASSERT_TRUE(chat->Send(RawFrame(100, std::string("\x37\x00half a notice", 15))));
    ::Sleep(200);
    chat->Close();
    ExpectEndToldAndLaterLineKept(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, ZeroLengthEndsTheConnectionAndWhatFollowsIsNotShown) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ShowMarker(window);
    ASSERT_TRUE(chat->Send(RawFrame(0, "") + BlockNotice("#C00000")));
    EXPECT_FALSE(WaitUntilPaneShows(window, kDroppedColor, 1, 1500)) << "a frame after the zero length was shown";
    ExpectEndToldAndLaterLineKept(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, OneByteBodyIsIgnoredAndTheNextFrameShown) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(chat->Send(RawFrame(1, "\x37")));
    ShowMarker(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, LargestBodyIsShownAndTheNextFrameToo) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    // 65535 body bytes: the type code and a notice of words, one of them
    // far wider than the pane.
    std::string text(CHAT_MAX_SERVER_BODY - CHAT_TYPE_SIZE, 'w');
    for (size_t at = 0; at < 30000; at += 7) text[at] = ' ';
    ASSERT_TRUE(chat->Send(ServerFrame(PKT_NOTICE, text)));
    ShowMarker(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, FrameDribbledOneBytePerSendIsShownWhole) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(chat->SendDribbled(MarkerNotice(), 25));
    EXPECT_TRUE(WaitUntilPaneShows(window, kMarkerColor, kMarkerPixels, kShowMs));
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, BurstOfFiveThousandFramesLeavesTheWindowWorking) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    std::string burst;
    for (int n = 0; n < 5000; ++n) burst += ServerFrame(PKT_NOTICE_2, "burst line " + std::to_string(n));
    ASSERT_TRUE(chat->Send(burst));
    // Sent messages overtake the posted packets: the window answers while
    // it works through them.
    EXPECT_TRUE(AnswersWithin(window, kAnswerMs)) << "the window does not answer during the burst";
    // What the pool could not hold was dropped; once the window has caught
    // up, new frames are shown again.
    ::Sleep(2000);
    ASSERT_TRUE(chat->Send(MarkerNotice()));
    EXPECT_TRUE(WaitUntilPaneShows(window, kMarkerColor, kMarkerPixels, 60000)) << "nothing shown after the burst";
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, BytesThatAreNotCodePage949AreShownHarmlessly) {
    const HWND window = StartConnected();
    ASSERT_NE(window, nullptr);
    // Lead bytes without trail bytes, at the end of fields and before
    // markup; bytes no code page 949 sequence uses.
    const std::string junk("\x80\xFF\xC9\x81<b>\xFE", 9);
    ASSERT_TRUE(chat->Send(ServerFrame(PKT_NOTICE, junk + "\xB0")));
    ASSERT_TRUE(chat->Send(ServerFrame(PKT_CHAT_LINE, junk + "\xB0\a" + junk + "\xB0\a" + junk + "\xB0")));
    ShowMarker(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

// The profile service

TEST_F(FaultMatrix, NotFoundWithTwoFieldsStillBringsTheWindowUp) {
    ExpectWindowWithProfileAnswer(ScriptedProfileService::Plain(404, "nick||1"));
}

TEST_F(FaultMatrix, ServerErrorPageIsABadProfile) {
    profile->SetAnswer(ScriptedProfileService::Plain(500, "<html><body>Internal Server Error</body></html>"));
    ExpectRefusalEndedByOk(kStartMs);
}

TEST_F(FaultMatrix, ChunkedAnswerIsJoinedAndBringsTheWindowUp) {
    ExpectWindowWithProfileAnswer(ScriptedProfileService::Chunked(200, "ni\r\nck||\r\n1", 3));
}

TEST_F(FaultMatrix, TenMegabyteNicknameBringsTheWindowUp) {
    ExpectWindowWithProfileAnswer(ScriptedProfileService::Plain(200, std::string(10 << 20, 'n') + "||1"));
}

TEST_F(FaultMatrix, AnswerAfterThirtySecondsIsWaitedFor) {
    ScriptedProfileService::Answer late = ScriptedProfileService::Plain(200, "nick||1");
    late.delayBeforeBodyMs = 30000;
    profile->SetAnswer(late);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(run.StartAs("demo"));
    EXPECT_TRUE(chat->AcceptClient(late.delayBeforeBodyMs + kStartMs)) << "the program did not connect";
    EXPECT_TRUE(chat->ReceiveClientFrame(kStartMs));
    const HWND window = run.WaitForWindow(WindowKind::ChatWindow, kStartMs);
    ASSERT_NE(window, nullptr) << "the chat window did not come up";
    EXPECT_GE(::GetTickCount64() - start, late.delayBeforeBodyMs);
    ShowMarker(window);
    ExpectStillWorkingAndEndedByEscape(window);
}

TEST_F(FaultMatrix, ServiceClosingWithoutAnAnswerIsABadProfile) {
    profile->SetAnswer(ScriptedProfileService::Silence());
    ExpectRefusalEndedByOk(kStartMs);
}

}  // namespace

// The application object inside the test program: a start while another copy
// holds the name, and its command table. Its full run, with the chat window
// and the services, is tested on the real program (tests/app).
#include "app/ChatApp.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

int ThreadWindowCount() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(ChatApp, StartWhileAnotherCopyRunsEndsAtOnceWithoutAWindow) {
    // Stands in for the first copy. The refused start keeps its own handle
    // to the name, as the program does, so nothing else in this test
    // program may run the application's start-up.
    const HANDLE firstCopy = ::CreateMutexW(nullptr, FALSE, L"WobbleChat");
    ASSERT_NE(firstCopy, nullptr);
    CChatApp app;
    const int windowsBefore = ThreadWindowCount();
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(app.InitInstance());
    EXPECT_LT(::GetTickCount64() - start, 1000u);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(app.GetRegistryKey().IsEmpty()) << "start-up went past the check";
    ::CloseHandle(firstCopy);
}

TEST(ChatApp, HelpCommandBelongsToTheApplication) {
    CChatApp app;
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP));
    EXPECT_FALSE(app.OnCmdMsg(IDCANCEL));
}

}  // namespace

// The application object: its name, command line and start-up.
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class QuittingApp : public CWinApp {
public:
    BOOL startAnswer = TRUE;
    int initCalls = 0;

    BOOL InitInstance() override {
        ++initCalls;
        SetRegistryKey("로컬 응용 프로그램");
        ::PostQuitMessage(9);
        return startAnswer;
    }
};

TEST(WinApp, NameIsTheProgramFileWithoutExtension) {
    CWinApp app;
    EXPECT_EQ(app.GetAppName(), "framework_tests");
    EXPECT_EQ(app.m_hInstance, ::GetModuleHandleW(nullptr));
}

TEST(WinApp, ArgumentsAsTheRuntimeSplitThem) {
    CWinApp app;
    ASSERT_EQ(app.GetArgumentCount(), __argc);
    EXPECT_EQ(app.GetArgument(0), __argv[0]);
    EXPECT_EQ(app.GetArgument(__argc), "");
    EXPECT_EQ(app.GetArgument(-1), "");
}

TEST(WinApp, OnlyTheFirstObjectIsTheApplication) {
    CWinApp first;
    {
        CWinApp second;
        EXPECT_EQ(AfxGetApp(), &first);
    }
    EXPECT_EQ(AfxGetApp(), &first);
}

TEST(WinApp, StartUpThatDeclinesSkipsTheLoop) {
    QuittingApp app;
    app.startAnswer = FALSE;
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.GetRegistryKey(), "로컬 응용 프로그램");
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // left unread
}

TEST(WinApp, StartUpThatSucceedsRunsTheLoopUntilQuit) {
    QuittingApp app;
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr)), 9);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(WinApp, NoApplicationObjectFailsStartUp) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr)), -1);
}

}  // namespace

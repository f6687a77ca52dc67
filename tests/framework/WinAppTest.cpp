// The application object: its name, command line and start-up.
#include "framework/WinApp.h"

#include "framework/Wnd.h"

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

// An application whose command table counts what reaches it.
class CommandCountingApp : public CWinApp {
public:
    static constexpr UINT kCounted = 0x8001;
    int counted = 0;

    void OnCounted() { ++counted; }

protected:
    std::span<const AppCommandEntry> GetCommandTable() const override {
        static const AppCommandEntry table[] = {
            {kCounted, static_cast<void (CWinApp::*)()>(&CommandCountingApp::OnCounted)},
            {ID_HELP, &CWinApp::OnHelp},
        };
        return table;
    }
};

// A window that handles one command itself.
class CommandWindow : public CWnd {
public:
    int ownCommands = 0;

protected:
    void OnOwnCommand() { ++ownCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandWindow, CWnd)
ON_COMMAND(CommandCountingApp::kCounted, OnOwnCommand)
END_MESSAGE_MAP()

bool MakeWindow(CWnd& window) {
    return window.CreateEx(0, nullptr, "commands", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100), nullptr, 0);
}

TEST(WinAppCommands, MainWindowPassesCommandsItLeavesToTheApplication) {
    CommandCountingApp app;
    CWnd main;
    CWnd other;
    ASSERT_TRUE(MakeWindow(main));
    ASSERT_TRUE(MakeWindow(other));
    app.m_pMainWnd = &main;

    main.SendMessage(WM_COMMAND, CommandCountingApp::kCounted);
    EXPECT_EQ(app.counted, 1);
    other.SendMessage(WM_COMMAND, CommandCountingApp::kCounted);
    EXPECT_EQ(app.counted, 1) << "only the main window's commands are the application's";
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP));
    EXPECT_FALSE(app.OnCmdMsg(ID_HELP + 1));
}

TEST(WinAppCommands, CommandTheMainWindowHandlesStaysThere) {
    CommandCountingApp app;
    CommandWindow main;
    ASSERT_TRUE(MakeWindow(main));
    app.m_pMainWnd = &main;
    main.SendMessage(WM_COMMAND, CommandCountingApp::kCounted);
    EXPECT_EQ(main.ownCommands, 1);
    EXPECT_EQ(app.counted, 0);
}

TEST(WinAppCommands, MainWindowObjectForgetsItselfWhenDestroyed) {
    CommandCountingApp app;
    {
        CWnd main;
        app.m_pMainWnd = &main;
    }
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

}  // namespace

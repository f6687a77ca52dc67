// The templates turned into real windows by the platform's dialog manager:
// proves that every control class exists, every bitmap and icon a control
// names is found, and that focus and mouse input go where the window needs.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/resource.h"

#include <string>

namespace {

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A modeless dialog made from a template of the program, destroyed with the
// test.
class LiveDialog {
public:
    explicit LiveDialog(UINT templateId)
        : m_window(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr,
                                      PassiveDialogProc, 0)) {}
    ~LiveDialog() {
        if (m_window) DestroyWindow(m_window);
    }
    LiveDialog(const LiveDialog&) = delete;
    LiveDialog& operator=(const LiveDialog&) = delete;

    HWND Window() const { return m_window; }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }

private:
    HWND m_window;
};

struct StaticPiece {
    int control;
    int width;
    int height;
};

const StaticPiece kPieces[] = {
    {IDC_LOWER_RIGHT, 12, 101},      {IDC_LOWER_PANEL_TOP, 9, 26}, {IDC_LOWER_LEFT, 12, 101}, {IDC_TITLE_BAND, 24, 20},
    {IDC_LOWER_PANEL_BOTTOM, 8, 22}, {IDC_UPPER_LEFT, 6, 39},      {IDC_UPPER_RIGHT, 6, 39},  {IDC_UPPER_MIDDLE, 7, 39},
};

std::wstring TextOf(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

TEST(ChatDialogWindow, ComesUpCaptionlessWithItsOwnTaskBarButton) {
    LiveDialog dialog(IDD_CHAT_DIALOG);
    ASSERT_NE(dialog.Window(), nullptr) << GetLastError();
    const LONG_PTR style = GetWindowLongPtrW(dialog.Window(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_NE(GetWindowLongPtrW(dialog.Window(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(dialog.Window()));
}

TEST(ChatDialogWindow, EverySkinPieceShowsItsBitmap) {
    LiveDialog dialog(IDD_CHAT_DIALOG);
    ASSERT_NE(dialog.Window(), nullptr);
    for (const StaticPiece& piece : kPieces) {
        SCOPED_TRACE("control " + std::to_string(piece.control));
        HWND control = dialog.Item(piece.control);
        ASSERT_NE(control, nullptr);
        HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), int{sizeof info});
        EXPECT_EQ(info.bmWidth, piece.width);
        EXPECT_EQ(info.bmHeight, piece.height);
    }
}

TEST(ChatDialogWindow, TheInputBoxIsTheOnlyTabStop) {
    LiveDialog dialog(IDD_CHAT_DIALOG);
    ASSERT_NE(dialog.Window(), nullptr);
    HWND input = dialog.Item(IDC_INPUT);
    EXPECT_EQ(GetNextDlgTabItem(dialog.Window(), nullptr, FALSE), input);
    EXPECT_EQ(GetNextDlgTabItem(dialog.Window(), input, FALSE), input);
}

TEST(ChatDialogWindow, SkinPiecesPassMousePressesToTheWindow) {
    // A press on the title band must reach the window so it can be dragged.
    LiveDialog dialog(IDD_CHAT_DIALOG);
    ASSERT_NE(dialog.Window(), nullptr);
    for (const StaticPiece& piece : kPieces) {
        RECT area{};
        GetWindowRect(dialog.Item(piece.control), &area);
        const LPARAM centre = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        EXPECT_EQ(SendMessageW(dialog.Item(piece.control), WM_NCHITTEST, 0, centre), HTTRANSPARENT)
            << "control " << piece.control;
    }
}

TEST(AboutBoxWindow, ShowsTheProgramIconAndAnOkButton) {
    LiveDialog about(IDD_ABOUTBOX);
    ASSERT_NE(about.Window(), nullptr) << GetLastError();
    EXPECT_EQ(TextOf(about.Window()), L"WobbleMiniChat 정보");
    EXPECT_EQ(TextOf(about.Item(IDOK)), L"확인");
    HWND iconControl = GetWindow(about.Window(), GW_CHILD);  // the first control
    ASSERT_NE(iconControl, nullptr);
    EXPECT_NE(SendMessageW(iconControl, STM_GETICON, 0, 0), 0);
}

}  // namespace

// The skin button's optional extras on click and hover: the popup menu and
// the command chosen from it, the link, the sounds and the cursor. The shell
// and the sound system are stood in for, so nothing is opened or played.
#include "tests/controls/SkinButtonFixture.h"

#include "tests/controls/OwnerDrawMenuTestResources.h"

#include <mmsystem.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kMenuNotify = WM_APP + 7;
constexpr LPARAM kMenuNotifyParam = 42;

class ExtrasButton : public TestButton {
public:
    struct Played {
        const wchar_t* pointer;
        std::wstring name;
        HMODULE module;
        DWORD flags;
    };
    std::vector<std::wstring> launched;
    std::vector<Played> played;

protected:
    void LaunchLink(const std::wstring& url) override { launched.push_back(url); }
    void PlaySoundNow(const wchar_t* name, HMODULE module, DWORD flags) override {
        played.push_back({name, IS_INTRESOURCE(name) ? L"" : name, module, flags});
    }
};

// Told just before the popup opens; answers it with the keys it was given,
// which the menu's own loop takes from this thread's queue. A popup the keys
// did not close gets Escape a second later, so it cannot hang the test.
class MenuWatcher : public CWnd {
public:
    static constexpr UINT_PTR kGuardTimer = 1;
    std::vector<std::pair<UINT, WPARAM>> keys;
    COwnerDrawMenu* opened = nullptr;
    LPARAM param = 0;
    int notifications = 0;

protected:
    LRESULT OnMenuNotify(WPARAM wParam, LPARAM lParam) {
        ++notifications;
        opened = reinterpret_cast<COwnerDrawMenu*>(wParam);
        param = lParam;
        for (const auto& [message, key] : keys) PostMessage(message, key, 1);
        ::SetTimer(m_hWnd, kGuardTimer, 1000, nullptr);
        return 0;
    }
    void OnTimer(UINT_PTR) {
        ::KillTimer(m_hWnd, kGuardTimer);
        PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MenuWatcher, CWnd)
ON_MESSAGE(kMenuNotify, OnMenuNotify)
ON_WM_TIMER()
END_MESSAGE_MAP()

class SkinButtonExtras : public SkinButtonTest {
protected:
    void SetUp() override {
        SkinButtonTest::SetUp();
        ASSERT_TRUE(watcher.CreateEx(0, nullptr, "menu watcher", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    }

    // The command the popup posted to the parent, or 0.
    UINT PostedCommand() {
        MSG message;
        if (!::PeekMessageW(&message, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) return 0;
        return LOWORD(message.wParam);
    }

    void AttachMenu(ExtrasButton& button) {
        Attach(button);
        ASSERT_TRUE(button.SetPopupMenu(IDR_ODM_TEST_MENU, parent));
        button.SetMenuNotify(watcher, kMenuNotify, kMenuNotifyParam);
    }

    MenuWatcher watcher;
};

}  // namespace

TEST_F(SkinButtonExtras, ClickOpensThePopupAndPostsTheChosenCommand) {
    ExtrasButton button;
    AttachMenu(button);
    watcher.keys = {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}};
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(watcher.notifications, 1);
    ASSERT_NE(watcher.opened, nullptr);
    EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(watcher.opened->GetSafeHmenu()));
    EXPECT_EQ(watcher.param, kMenuNotifyParam);
    EXPECT_EQ(PostedCommand(), UINT{ID_ODM_OPEN});
    EXPECT_EQ(parent.clicks, 1);
}

// Owner-drawn items have no text the system can search, so a typed letter
// comes back to the button as WM_MENUCHAR and is looked up in the popup.
TEST_F(SkinButtonExtras, TypedShortcutChoosesThroughTheMenuCharacter) {
    ExtrasButton button;
    AttachMenu(button);
    watcher.keys = {{WM_CHAR, 'x'}};
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(PostedCommand(), UINT{ID_ODM_EXIT});
}

TEST_F(SkinButtonExtras, DismissedPopupPostsNothing) {
    ExtrasButton button;
    AttachMenu(button);
    watcher.keys = {{WM_KEYDOWN, VK_ESCAPE}};
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(watcher.notifications, 1);
    EXPECT_EQ(PostedCommand(), 0u);
    EXPECT_EQ(parent.clicks, 1);
}

TEST_F(SkinButtonExtras, MissingMenuTemplateLeavesAPlainButton) {
    ExtrasButton button;
    Attach(button);
    EXPECT_FALSE(button.SetPopupMenu(IDR_ODM_MISSING_MENU, parent));
    ASSERT_TRUE(button.SetLink("http://example.com/"));
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(button.launched.size(), 1u);
}

TEST_F(SkinButtonExtras, ClickOpensOnlyLinksThatMayLeaveTheProgram) {
    ExtrasButton button;
    Attach(button);
    ASSERT_TRUE(button.SetLink("http://example.com/chat?room=1"));
    button.SendMessage(BM_CLICK);
    ASSERT_EQ(button.launched.size(), 1u);
    EXPECT_EQ(button.launched[0], L"http://example.com/chat?room=1");
    for (const char* refused : {"file:///C:/Windows/notepad.exe", "javascript:alert(1)", "\\\\server\\share\\x.exe",
                                "C:\\Windows\\notepad.exe", " vbscript:x"}) {
        ASSERT_TRUE(button.SetLink(refused));
        button.SendMessage(BM_CLICK);
        EXPECT_EQ(button.launched.size(), 1u) << refused;
    }
    EXPECT_EQ(parent.clicks, 6);
}

TEST_F(SkinButtonExtras, MenuAndCheckBoxModeComeBeforeTheLink) {
    ExtrasButton withMenu;
    AttachMenu(withMenu);
    ASSERT_TRUE(withMenu.SetLink("http://example.com/"));
    watcher.keys = {{WM_KEYDOWN, VK_ESCAPE}};
    withMenu.SendMessage(BM_CLICK);
    EXPECT_EQ(watcher.notifications, 1);
    EXPECT_TRUE(withMenu.launched.empty());

    ExtrasButton check;
    Attach(check, BS_OWNERDRAW, L"", CRect(40, 10, 60, 30), kSecondId);
    ASSERT_TRUE(check.SetLink("http://example.com/"));
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(check.GetCheckState(), 1);
    EXPECT_TRUE(check.launched.empty());
}

TEST_F(SkinButtonExtras, SoundsPlayOnClickAndWhenHoverStarts) {
    ExtrasButton button;
    Attach(button);
    const HMODULE module = ::GetModuleHandleW(nullptr);
    button.SetSound(CSkinButton::Sound::Hover, "hover.wav", nullptr, SND_FILENAME | SND_ASYNC);
    button.SetSound(CSkinButton::Sound::Click, 77, module, SND_RESOURCE | SND_ASYNC);

    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    ASSERT_EQ(button.played.size(), 1u);
    EXPECT_EQ(button.played[0].name, L"hover.wav");
    EXPECT_EQ(button.played[0].flags, DWORD{SND_FILENAME | SND_ASYNC});

    button.SendMessage(BM_CLICK);
    ASSERT_EQ(button.played.size(), 2u);
    EXPECT_EQ(button.played[1].pointer, MAKEINTRESOURCEW(77));
    EXPECT_EQ(button.played[1].module, module);

    button.SetSound(CSkinButton::Sound::Click, nullptr, nullptr, 0);
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(button.played.size(), 2u);
}

TEST_F(SkinButtonExtras, HoverCursorIsShownOverTheButton) {
    ExtrasButton button;
    Attach(button);
    const HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    ::SetCursor(arrow);
    button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), arrow);

    const BYTE andMask[4 * 32] = {};
    const BYTE xorMask[4 * 32] = {};
    const HCURSOR own = ::CreateCursor(::GetModuleHandleW(nullptr), 0, 0, 32, 32, andMask, xorMask);
    ASSERT_NE(own, nullptr);
    button.SetHoverCursor(own);
    EXPECT_TRUE(
        button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), own);
    ::SetCursor(arrow);
}

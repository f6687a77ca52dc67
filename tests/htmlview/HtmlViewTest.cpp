// CHtmlView in a real window under Xvfb: navigation and its posted
// completion, the document and body objects, appending and scrolling,
// selection and the clipboard, links, the context menu, the scroll bar,
// images over loopback, the view's lifetime, and what a screen reader reads.
#include "framework/html/HtmlView.h"

#include "framework/Dpi.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Canvas.h"
#include "tests/support/Clipboard.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestImages.h"
#include "TestResources.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <uiautomationcore.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ResourceUrl(int number) {
    return "res://" + std::string(FromWide(AfxGetModulePath(nullptr)).GetString()) + "/" + std::to_string(number);
}

class TestView : public CHtmlView {
public:
    explicit TestView(int* destructions) : m_destructions(destructions) {}
    ~TestView() override { ++*m_destructions; }

    std::vector<std::string> completions;

protected:
    void OnDocumentComplete(const char* url) override { completions.emplace_back(url); }

private:
    int* m_destructions;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class HtmlViewTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 200;

    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(
            frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
        view = new TestView(&destructions);
        // As the chat view is made: an empty rectangle, placed later.
        ASSERT_TRUE(view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &frame, 0xFFFF));
        view->MoveWindow(0, 0, kWidth, kHeight);
    }

    void TearDown() override {
        if (frame.IsWindow()) frame.DestroyWindow();
        DispatchWaitingMessages();
        ::CoUninitialize();
    }

    void Load() {
        ASSERT_TRUE(view->Navigate2(ResourceUrl(IDR_TEST_TEMPLATE).c_str()));
        DispatchWaitingMessages();
        ASSERT_EQ(view->completions.size(), 1u);
    }

    ComPtr<CHtmlElement> Body() {
        ComPtr<CHtmlDocument> document = view->GetHtmlDocument();
        ComPtr<CHtmlElement> body;
        EXPECT_TRUE(document);
        if (document) {
            EXPECT_EQ(document->get_body(body.Receive()), S_OK);
        }
        return body;
    }

    ComPtr<CHtmlElement2> Scroller() {
        ComPtr<CHtmlElement2> scroller;
        const ComPtr<CHtmlElement> body = Body();
        EXPECT_EQ(body ? body->QueryInterface(scroller.Receive()) : E_POINTER, S_OK);
        return scroller;
    }

    void Append(const wchar_t* html) { ASSERT_EQ(Body()->insertAdjacentHTML(L"beforeEnd", html), S_OK); }

    long Get(HRESULT (CHtmlElement2::*getter)(long*)) {
        long value = -1;
        EXPECT_EQ((Scroller().Get()->*getter)(&value), S_OK);
        return value;
    }
    long ScrollTop() { return Get(&CHtmlElement2::get_scrollTop); }

    // What the chat view does after each append.
    void ScrollToBottom() {
        const long height = Get(&CHtmlElement2::get_scrollHeight);
        const long client = Get(&CHtmlElement2::get_clientHeight);
        if (height - client > 0) Scroller()->put_scrollTop(height - client);
    }

    void Click(int x, int y) {
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        view->SendMessage(WM_LBUTTONUP, 0, At(x, y));
    }

    int ScrollBarLeft() const { return kWidth - ::GetSystemMetrics(SM_CXVSCROLL); }

    CWnd frame;
    TestView* view = nullptr;
    int destructions = 0;
};

TEST_F(HtmlViewTest, NavigationCompletesOnlyAfterTheCallHasReturned) {
    EXPECT_FALSE(view->GetHtmlDocument());
    const std::string url = ResourceUrl(IDR_TEST_TEMPLATE);
    ASSERT_TRUE(view->Navigate2(url.c_str()));
    EXPECT_TRUE(view->completions.empty());
    EXPECT_TRUE(view->GetHtmlDocument());
    DispatchWaitingMessages();
    EXPECT_EQ(view->completions, std::vector<std::string>{url});
}

TEST_F(HtmlViewTest, LaterNavigationsCompleteTooAndOnlyTheLatestOfABurst) {
    Load();
    const std::string second = ResourceUrl(IDR_SECOND_PAGE);
    ASSERT_TRUE(view->Navigate(ResourceUrl(IDR_TEST_TEMPLATE).c_str()));
    ASSERT_TRUE(view->Navigate(second.c_str()));
    DispatchWaitingMessages();
    ASSERT_EQ(view->completions.size(), 2u);
    EXPECT_EQ(view->completions.back(), second);
}

TEST_F(HtmlViewTest, UrlsThatAreNotResourcesAreNotNavigated) {
    Load();
    const ComPtr<CHtmlDocument> before = view->GetHtmlDocument();
    EXPECT_FALSE(view->Navigate2("http://example.com/"));
    EXPECT_FALSE(view->Navigate2("file:///C:/windows/win.ini"));
    EXPECT_FALSE(view->Navigate2(ResourceUrl(4321).c_str()));
    EXPECT_FALSE(view->Navigate2(nullptr));
    DispatchWaitingMessages();
    EXPECT_EQ(view->completions.size(), 1u);
    EXPECT_EQ(view->GetHtmlDocument().Get(), before.Get());
}

TEST_F(HtmlViewTest, BodyTakesHtmlOnlyAtBeforeEnd) {
    Load();
    ComPtr<CHtmlElement> body = Body();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->insertAdjacentHTML(L"BEFOREEND", L"x"), S_OK);
    EXPECT_EQ(body->insertAdjacentHTML(L"afterBegin", L"x"), E_NOTIMPL);
    EXPECT_EQ(body->insertAdjacentHTML(L"nowhere", L"x"), E_INVALIDARG);
}

TEST_F(HtmlViewTest, AReplacedDocumentIsDetachedAndRefusesWork) {
    Load();
    ComPtr<CHtmlDocument> old = view->GetHtmlDocument();
    ComPtr<CHtmlElement> oldBody = Body();
    ASSERT_TRUE(view->Navigate2(ResourceUrl(IDR_SECOND_PAGE).c_str()));
    EXPECT_EQ(oldBody->insertAdjacentHTML(L"beforeEnd", L"lost"), E_UNEXPECTED);
    ComPtr<CHtmlElement> again;
    EXPECT_EQ(old->get_body(again.Receive()), E_UNEXPECTED);
    EXPECT_FALSE(again);
    ComPtr<CHtmlElement2> scroller;
    EXPECT_EQ(oldBody->QueryInterface(scroller.Receive()), E_NOINTERFACE);
    // The new document works.
    Append(L"kept");
}

TEST_F(HtmlViewTest, ScrollingStaysAtTheTopUntilTheContentOverflows) {
    Load();
    Append(L"one line<br>");
    ScrollToBottom();
    EXPECT_LE(Get(&CHtmlElement2::get_scrollHeight), Get(&CHtmlElement2::get_clientHeight));
    EXPECT_EQ(ScrollTop(), 0);
    EXPECT_EQ(Get(&CHtmlElement2::get_clientHeight), kHeight);

    for (int i = 0; i < 60; ++i) {
        Append(L"another line of the conversation<br>");
        ScrollToBottom();
    }
    const long height = Get(&CHtmlElement2::get_scrollHeight);
    EXPECT_GT(height, kHeight);
    EXPECT_EQ(ScrollTop(), height - kHeight);
    Scroller()->put_scrollTop(100000);
    EXPECT_EQ(ScrollTop(), height - kHeight);
    Scroller()->put_scrollTop(-5);
    EXPECT_EQ(ScrollTop(), 0);
}

TEST_F(HtmlViewTest, ScrollingToTheBottomShowsTheLastLine) {
    Load();
    for (int i = 0; i < 60; ++i) Append(L"line<br>");
    Append(L"<font color=\"#FF0000\"><b>LAST LAST LAST</b></font>");
    Canvas canvas(kWidth, kHeight);
    const RECT all{0, 0, kWidth, kHeight};
    const RECT content{0, 0, ScrollBarLeft(), kHeight};
    view->PaintTo(canvas.Dc(), all);
    EXPECT_FALSE(canvas.Any(content, IsReddish));
    ScrollToBottom();
    canvas.Fill(RGB(255, 255, 255));
    view->PaintTo(canvas.Dc(), all);
    EXPECT_TRUE(canvas.Any(content, IsReddish));
}

TEST_F(HtmlViewTest, DraggingSelectsAndCtrlCCopiesTheText) {
    Load();
    Append(L"hello world<br>second line");
    PutOnClipboard(L"untouched");
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(0, 4));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(ScrollBarLeft() - 1, 4));
    view->SendMessage(WM_LBUTTONUP, 0, At(ScrollBarLeft() - 1, 4));
    EXPECT_TRUE(view->HasSelection());
    view->SendMessage(WM_CHAR, 0x03, 0);  // Ctrl+C
    EXPECT_EQ(ClipboardText(), L"hello world");
}

TEST_F(HtmlViewTest, CtrlASelectsEverythingWithLineBreaksKept) {
    Load();
    Append(L"hello&nbsp;world<br>second line");
    view->SendMessage(WM_CHAR, 0x01, 0);  // Ctrl+A
    EXPECT_TRUE(view->HasSelection());
    view->SendMessage(WM_CHAR, 0x03, 0);
    const std::wstring copied = ClipboardText();
    EXPECT_NE(copied.find(L"hello world\r\nsecond line"), std::wstring::npos) << copied.size();
}

TEST_F(HtmlViewTest, DoubleClickSelectsTheWordUnderThePointer) {
    Load();
    Append(L"\uC548\uB155\uD558\uC138\uC694, friend<br>second");  // "안녕하세요, friend"
    // The Hangul word, not the comma after it.
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 4));
    view->SendMessage(WM_LBUTTONUP, 0, At(3, 4));
    view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 4));
    view->SendMessage(WM_LBUTTONUP, 0, At(3, 4));
    EXPECT_TRUE(view->CopySelection());
    EXPECT_EQ(ClipboardText(), L"안녕하세요");
    // Past the end of a line there is no word: the selection goes.
    view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(ScrollBarLeft() - 2, 4));
    view->SendMessage(WM_LBUTTONUP, 0, At(ScrollBarLeft() - 2, 4));
    EXPECT_FALSE(view->HasSelection());
}

TEST_F(HtmlViewTest, EveryAppendAfterAPaintAsksForAnotherPaint) {
    Load();
    for (int i = 0; i < 3; ++i) {
        Append(L"line<br>");
        Append(L"another<br>");
        RECT dirty{};
        EXPECT_TRUE(::GetUpdateRect(view->m_hWnd, &dirty, FALSE)) << i;
        view->UpdateWindow();
        EXPECT_FALSE(::GetUpdateRect(view->m_hWnd, &dirty, FALSE)) << i;
    }
}

TEST_F(HtmlViewTest, AClickWithoutDragClearsTheSelectionAndCopiesNothing) {
    Load();
    Append(L"hello world");
    view->SelectAll();
    Click(5, 4);
    EXPECT_FALSE(view->HasSelection());
    PutOnClipboard(L"untouched");
    EXPECT_FALSE(view->CopySelection());
    EXPECT_EQ(ClipboardText(), L"untouched");
}

TEST_F(HtmlViewTest, LinkClicksOpenOnlyHttpAndNeverAFileUrl) {
    Load();
    std::vector<std::wstring> opened;
    view->SetLinkOpener(LinkOpener([&](const std::wstring& url) {
        opened.push_back(url);
        return true;
    }));
    Append(
        L"<a href=\"file:///C:/windows/notepad.exe\">FILEFILEFILE</a><br>"
        L"<a href=\"javascript:alert(1)\">SCRIPTSCRIPT</a><br>"
        L"<a href=\"http://example.com/\">WEBWEBWEBWEB</a><br>");
    for (int y = 0; y < 80; ++y) Click(5, y);
    ASSERT_FALSE(opened.empty());
    for (const std::wstring& url : opened) EXPECT_EQ(url, L"http://example.com/");
    // The view still shows its own document.
    EXPECT_EQ(view->completions.size(), 1u);
}

TEST_F(HtmlViewTest, ContextMenuOffersCopyOnlyWithASelection) {
    Load();
    Append(L"some text");
    HMENU menu = view->CreateContextMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(::GetMenuItemCount(menu), 2);
    EXPECT_TRUE(::GetMenuState(menu, CHtmlView::kCopyCommand, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(menu);

    view->ExecuteCommand(CHtmlView::kSelectAllCommand);
    EXPECT_TRUE(view->HasSelection());
    menu = view->CreateContextMenu();
    EXPECT_FALSE(::GetMenuState(menu, CHtmlView::kCopyCommand, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(menu);
}

TEST_F(HtmlViewTest, WheelAndScrollBarScroll) {
    Load();
    for (int i = 0; i < 60; ++i) Append(L"line<br>");
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), At(10, 10));
    const long afterWheel = ScrollTop();
    EXPECT_GT(afterWheel, 0);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(ScrollTop(), 0);

    const int barX = ScrollBarLeft() + 3;
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(barX, kHeight - 3));  // down arrow
    view->SendMessage(WM_LBUTTONUP, 0, At(barX, kHeight - 3));
    const long line = ScrollTop();
    EXPECT_GT(line, 0);
    EXPECT_LT(line, afterWheel);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(barX, 3));  // up arrow
    view->SendMessage(WM_LBUTTONUP, 0, At(barX, 3));
    EXPECT_EQ(ScrollTop(), 0);

    // Dragging the thumb from the top of the track to far below the bar.
    const int trackTop = ::GetSystemMetrics(SM_CXVSCROLL);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(barX, trackTop + 2));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(barX, kHeight * 3));
    view->SendMessage(WM_LBUTTONUP, 0, At(barX, kHeight * 3));
    EXPECT_EQ(ScrollTop(), Get(&CHtmlElement2::get_scrollHeight) - kHeight);
}

// Ctrl held down for this thread, as GetKeyState reads it, until the end
// of the scope.
class ControlHeld {
public:
    ControlHeld() {
        ::GetKeyboardState(m_saved);
        BYTE held[256];
        std::copy(std::begin(m_saved), std::end(m_saved), held);
        held[VK_CONTROL] = 0x80;
        ::SetKeyboardState(held);
    }
    ~ControlHeld() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256] = {};
};

TEST_F(HtmlViewTest, AtADpiTheTextAndTheScrollBarGrowAndBadDpisAreBroughtIn) {
    Load();
    Append(L"<font color=\"#FF0000\"><b>XXXXXXXX</b></font>");
    const auto paint = [this](Canvas& canvas) { view->PaintTo(canvas.Dc(), RECT{0, 0, kWidth, kHeight}); };
    const auto redRows = [&]() {
        Canvas canvas(kWidth, kHeight);
        paint(canvas);
        int rows = 0;
        for (int y = 0; y < kHeight; ++y) rows += canvas.Any(RECT{0, y, kWidth / 2, y + 1}, IsReddish) ? 1 : 0;
        return rows;
    };
    const int at96 = redRows();
    ASSERT_GT(at96, 5);
    view->SetDpi(192);
    EXPECT_EQ(view->Dpi(), 192u);
    const int at192 = redRows();
    EXPECT_GE(at192 * 10, at96 * 17) << at96 << " rows at 96 DPI";  // 8 pt: 11 px, then 21
    EXPECT_LE(at192 * 10, at96 * 23) << at96 << " rows at 96 DPI";

    const int bar = SystemMetricForDpi(SM_CXVSCROLL, 192);
    ASSERT_GT(bar, ::GetSystemMetrics(SM_CXVSCROLL));
    Canvas canvas(kWidth, kHeight);
    paint(canvas);
    EXPECT_EQ(canvas.At(kWidth - bar - 1, kHeight / 2), RGB(255, 255, 255));
    EXPECT_NE(canvas.At(kWidth - bar, kHeight / 2), RGB(255, 255, 255));

    for (const UINT bad : {0u, 1u}) {
        view->SetDpi(bad);
        EXPECT_EQ(view->Dpi(), 96u);
    }
    view->SetDpi(10000);
    EXPECT_EQ(view->Dpi(), 480u);
    paint(canvas);
}

TEST_F(HtmlViewTest, CtrlWithPlusMinusAndZeroStepsTheZoomAndStopsAtItsEnds) {
    Load();
    EXPECT_EQ(view->ZoomPercent(), 100);
    view->SendMessage(WM_KEYDOWN, VK_OEM_PLUS, 0);
    EXPECT_FALSE(view->HandleZoomKey(VK_ADD));  // not without Ctrl
    EXPECT_EQ(view->ZoomPercent(), 100);
    ControlHeld control;
    const auto press = [this](UINT key) {
        view->SendMessage(WM_KEYDOWN, key, 0);
        return view->ZoomPercent();
    };
    EXPECT_EQ(press(VK_OEM_PLUS), 110);
    EXPECT_EQ(press(VK_ADD), 125);
    EXPECT_EQ(press(VK_OEM_MINUS), 110);
    EXPECT_EQ(press(VK_SUBTRACT), 100);
    EXPECT_TRUE(view->HandleZoomKey(VK_SUBTRACT));
    EXPECT_EQ(view->ZoomPercent(), 90);
    EXPECT_EQ(press('0'), 100);
    for (int i = 0; i < 20; ++i) press(VK_ADD);
    EXPECT_EQ(view->ZoomPercent(), 300);
    EXPECT_TRUE(view->HandleZoomKey(VK_OEM_PLUS));
    EXPECT_EQ(press(VK_NUMPAD0), 100);
    for (int i = 0; i < 20; ++i) press(VK_OEM_MINUS);
    EXPECT_EQ(view->ZoomPercent(), 50);
    EXPECT_FALSE(view->HandleZoomKey('A'));
}

TEST_F(HtmlViewTest, CtrlWheelZoomsAndKeepsTheBottomWhilePlainWheelScrolls) {
    Load();
    for (int i = 0; i < 60; ++i) Append(L"line<br>");
    ScrollToBottom();
    const long height = Get(&CHtmlElement2::get_scrollHeight);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(view->ZoomPercent(), 110);
    const long zoomed = Get(&CHtmlElement2::get_scrollHeight);
    EXPECT_GT(zoomed, height);
    EXPECT_EQ(ScrollTop(), zoomed - kHeight);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-2 * WHEEL_DELTA)), At(10, 10));
    EXPECT_EQ(view->ZoomPercent(), 90);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(view->ZoomPercent(), 90);
    EXPECT_LT(ScrollTop(), Get(&CHtmlElement2::get_scrollHeight) - kHeight);
}

TEST_F(HtmlViewTest, ImagesLoadOverHttpAndShow) {
    LoopbackHttpServer server;
    server.Route("/red.bmp", {200, MakeBmp(4, 4, 255, 0, 0)});
    Load();
    const std::u16string url = server.Url("/red.bmp");
    const std::wstring html = L"<img src=\"" + std::wstring(url.begin(), url.end()) + L"\" width=40 height=40>";
    Append(html.c_str());
    Append(L"<img src=\"file:///C:/windows/win.ini\">");
    const DWORD start = ::GetTickCount();
    Canvas canvas(kWidth, kHeight);
    bool shown = false;
    while (!shown && ::GetTickCount() - start < 10000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        DispatchWaitingMessages();
        view->PaintTo(canvas.Dc(), RECT{0, 0, kWidth, kHeight});
        shown = canvas.Any(RECT{0, 0, 60, 60}, IsReddish);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(server.Requests(), 1);
    // 40 CSS pixels are 80 device pixels at 192 DPI, scaled smoothly.
    const RECT beyond40{62, 62, 76, 76};
    EXPECT_FALSE(canvas.Any(beyond40, IsReddish));
    view->SetDpi(192);
    view->PaintTo(canvas.Dc(), RECT{0, 0, kWidth, kHeight});
    EXPECT_TRUE(canvas.Any(beyond40, IsReddish));
}

TEST_F(HtmlViewTest, DeletesItselfWhenItsWindowIsDestroyed) {
    Load();
    const HWND hWnd = *view;
    frame.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(destructions, 1);
}

TEST_F(HtmlViewTest, DeletingTheObjectDestroysItsWindowOnce) {
    Load();
    ComPtr<CHtmlDocument> kept = view->GetHtmlDocument();
    const HWND hWnd = *view;
    delete view;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(destructions, 1);
    // A document someone still holds outlives the view, detached.
    ComPtr<CHtmlElement> body;
    EXPECT_EQ(kept->get_body(body.Receive()), E_UNEXPECTED);
}

}  // namespace

// What a screen reader reads: the pane as a document of paragraphs, with
// links and images inside them, read through AccessibleObjectFromWindow as
// a reader in another process would (the same calls, without marshalling).
class HtmlViewAccessibilityTest : public HtmlViewTest {
protected:
    void SetUp() override {
        HtmlViewTest::SetUp();
        view->SetAccessibleTexts("대화 내용", "열기");
        view->SetLinkOpener(LinkOpener([this](const std::wstring& url) {
            opened.push_back(url);
            return true;
        }));
        Load();
    }

    // Notices, a chat line with markup and a link, an image line, an empty
    // paragraph between two breaks, and a last line still open.
    void AppendConversation() {
        Append(L"<font color=red>[공지] 안내</font><br>");
        Append(L"<b>철수</b> : 안녕 <a href=\"http://example.com/\">링크</a> 끝<br>");
        Append(L"<img alt=\"웃음\">이미지<br><br>");
        Append(L"<a href=\"javascript:alert(1)\">나쁜</a>");
    }

    ComPtr<IAccessible> Pane() { return ClientObject(view->m_hWnd); }

    // The pane's UI Automation side, reached as UI Automation's MSAA bridge
    // reaches it: the service provider's IAccessibleEx.
    static ComPtr<IRawElementProviderSimple> AutomationSide(IAccessible* pane) {
        ComPtr<IServiceProvider> services;
        ComPtr<IAccessibleEx> extended;
        ComPtr<IRawElementProviderSimple> automation;
        if (SUCCEEDED(pane->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.Receive())))) {
            services->QueryService(IID_IAccessibleEx, IID_IAccessibleEx, reinterpret_cast<void**>(extended.Receive()));
        }
        if (extended) {
            extended->QueryInterface(IID_IRawElementProviderSimple, reinterpret_cast<void**>(automation.Receive()));
        }
        return automation;
    }

    static constexpr PROPERTYID kLiveSetting = 30135;
    static constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);

    std::vector<std::wstring> opened;
};

TEST_F(HtmlViewAccessibilityTest, IsADocumentOfParagraphsWithTheirLinksAndImages) {
    AppendConversation();
    const ComPtr<IAccessible> pane = Pane();
    ASSERT_TRUE(pane);
    EXPECT_EQ(RoleOf(pane.Get()), ROLE_SYSTEM_DOCUMENT);
    EXPECT_EQ(NameOf(pane.Get()), L"대화 내용");
    EXPECT_TRUE(StateOf(pane.Get()) & STATE_SYSTEM_READONLY);
    BSTR value = nullptr;
    EXPECT_EQ(pane->get_accValue(ChildId(CHILDID_SELF), &value), S_OK);
    EXPECT_EQ(::SysStringLen(value), 0u);
    ::SysFreeString(value);
    EXPECT_EQ(ChildNames(pane.Get()),
              (std::vector<std::wstring>{L"[공지] 안내", L"철수 : 안녕 링크 끝", L"이미지", L"나쁜"}));

    const ComPtr<IAccessible> chat = ChildOf(pane.Get(), 2);
    ASSERT_TRUE(chat);
    EXPECT_EQ(RoleOf(chat.Get()), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(ChildNames(chat.Get()), std::vector<std::wstring>{L"링크"});
    EXPECT_EQ(RoleOf(chat.Get(), 1), ROLE_SYSTEM_LINK);
    EXPECT_TRUE(StateOf(chat.Get(), 1) & STATE_SYSTEM_LINKED);
    EXPECT_EQ(ValueOf(chat.Get(), 1), L"http://example.com/");
    const ComPtr<IAccessible> image = ChildOf(pane.Get(), 3);
    EXPECT_EQ(RoleOf(image.Get(), 1), ROLE_SYSTEM_GRAPHIC);
    EXPECT_EQ(NameOf(image.Get(), 1), L"웃음");
    EXPECT_FALSE(StateOf(image.Get(), 1) & STATE_SYSTEM_LINKED);

    // The default action opens as a click does: a safe scheme only.
    EXPECT_EQ(chat->accDoDefaultAction(ChildId(1)), S_OK);
    EXPECT_EQ(ChildOf(pane.Get(), 4)->accDoDefaultAction(ChildId(1)), E_ACCESSDENIED);
    EXPECT_EQ(opened, std::vector<std::wstring>{L"http://example.com/"});

    VARIANT next;
    ASSERT_EQ(chat->accNavigate(NAVDIR_NEXT, ChildId(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(NameOf(ObjectIn(next).Get()), L"이미지");
    // Nothing follows the last paragraph, asked of it or of the document.
    EXPECT_EQ(ChildOf(pane.Get(), 4)->accNavigate(NAVDIR_NEXT, ChildId(CHILDID_SELF), &next), S_FALSE);
    EXPECT_EQ(pane->accNavigate(NAVDIR_NEXT, ChildId(4), &next), S_FALSE);

    // A refused question leaves no stale answer behind.
    wchar_t stale[] = L"stale";
    BSTR name = stale;
    EXPECT_EQ(pane->get_accName(ChildId(5), &name), E_INVALIDARG);
    EXPECT_EQ(name, nullptr);

    // UI Automation's bridge finds the pane a polite live region.
    const ComPtr<IRawElementProviderSimple> automation = AutomationSide(pane.Get());
    ASSERT_TRUE(automation);
    VARIANT live;
    ASSERT_EQ(automation->GetPropertyValue(kLiveSetting, &live), S_OK);
    EXPECT_TRUE(live.vt == VT_I4 && live.lVal == 1);
}

TEST_F(HtmlViewAccessibilityTest, HitTestsLocationsAndSelectionFollowThePane) {
    AppendConversation();
    for (int line = 0; line < 40; ++line) Append(L"줄<br>");
    const ComPtr<IAccessible> pane = Pane();
    const ComPtr<IAccessible> chat = ChildOf(pane.Get(), 2);
    const RECT where = LocationOf(chat.Get());
    ASSERT_GT(where.bottom, where.top);

    VARIANT hit;
    ASSERT_EQ(pane->accHitTest(where.left + 1, (where.top + where.bottom) / 2, &hit), S_OK);
    EXPECT_EQ(NameOf(ObjectIn(hit).Get()), L"철수 : 안녕 링크 끝");
    const RECT link = LocationOf(chat.Get(), 1);
    ASSERT_EQ(chat->accHitTest((link.left + link.right) / 2, (link.top + link.bottom) / 2, &hit), S_OK);
    EXPECT_TRUE(hit.vt == VT_I4 && hit.lVal == 1);

    Scroller()->put_scrollTop(20);
    EXPECT_EQ(LocationOf(chat.Get()).top, where.top - 20);
    EXPECT_TRUE(StateOf(ChildOf(pane.Get(), 1).Get()) & STATE_SYSTEM_OFFSCREEN);

    VARIANT selection;
    EXPECT_EQ(pane->get_accSelection(&selection), S_FALSE);
    ASSERT_EQ(chat->accSelect(SELFLAG_TAKESELECTION, ChildId(1)), S_OK);
    EXPECT_TRUE(StateOf(chat.Get(), 1) & STATE_SYSTEM_SELECTED);
    ASSERT_EQ(pane->get_accSelection(&selection), S_OK);
    EXPECT_EQ(NameOf(ObjectIn(selection).Get()), L"철수 : 안녕 링크 끝");
    view->SelectAll();
    ASSERT_EQ(pane->get_accSelection(&selection), S_OK);
    ASSERT_EQ(selection.vt, VT_UNKNOWN);
    IEnumVARIANT* selected = nullptr;
    ASSERT_EQ(selection.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&selected)), S_OK);
    ::VariantClear(&selection);
    ULONG count = 0;
    VARIANT items[64];
    selected->Next(64, items, &count);
    selected->Release();
    EXPECT_EQ(count, 43u);  // the open last line took the first 줄
    for (ULONG index = 0; index < count; ++index) ::VariantClear(&items[index]);
}

namespace announcements {

struct Raised {
    std::wstring text;
    int kind;
    int processing;
    LONG liveSetting;
};
std::vector<Raised> raised;
bool listening = true;
std::vector<HWND> liveRegionEvents;

BOOL WINAPI ClientsAreListening() { return listening; }

HRESULT WINAPI RaiseNotificationEvent(IRawElementProviderSimple* provider, int kind, int processing, BSTR text, BSTR) {
    VARIANT live;
    provider->GetPropertyValue(30135, &live);  // the live setting
    raised.push_back({std::wstring(text, ::SysStringLen(text)), kind, processing, live.vt == VT_I4 ? live.lVal : -1});
    return S_OK;
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) liveRegionEvents.push_back(window);
}

}  // namespace announcements

// One announcement per line that arrives on its own, one for a burst (its
// newest line), none for a blank or when nothing arrives.
TEST_F(HtmlViewAccessibilityTest, AnnouncesEachArrivalByItsNewestLine) {
    using namespace announcements;
    raised.clear();
    liveRegionEvents.clear();
    view->SetUiaNotificationFunctions({ClientsAreListening, RaiseNotificationEvent, nullptr});
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(0x8019, 0x8019, nullptr, OnWinEvent, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    const auto arrive = [this](std::initializer_list<const wchar_t*> lines) {
        for (const wchar_t* line : lines) Append(line);
        PumpMessagesFor(50);
    };
    arrive({L"<b>영희</b> : 첫 줄<br>"});
    arrive({L"둘째 줄<br>", L"셋째 줄<br>", L"넷째 줄<br>"});
    arrive({L"<br>"});
    view->SelectAll();
    ScrollToBottom();
    PumpMessagesFor(50);
    listening = false;
    arrive({L"아무도 안 들음<br>"});
    listening = true;
    ::UnhookWinEvent(hook);

    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[0].text, L"영희 : 첫 줄");
    EXPECT_EQ(raised[1].text, L"넷째 줄");
    for (const Raised& one : raised) {
        EXPECT_EQ(one.kind, 0);         // item added
        EXPECT_EQ(one.processing, 3);   // most recent
        EXPECT_EQ(one.liveSetting, 1);  // polite
    }
    EXPECT_EQ(liveRegionEvents, std::vector<HWND>(4, view->m_hWnd));
}

TEST_F(HtmlViewAccessibilityTest, HugeLinesManyChildrenAndAGoneWindowAreHandled) {
    const std::wstring huge(60000, L'가');
    Append((huge + L"<br>").c_str());
    std::wstring many;
    for (int line = 0; line < 10000; ++line) many += L"줄 " + std::to_wstring(line) + L"<br>";
    Append(many.c_str());
    const ComPtr<IAccessible> pane = Pane();
    LONG count = 0;
    ASSERT_EQ(pane->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 10001);
    EXPECT_TRUE(NameOf(ChildOf(pane.Get(), 1).Get()) == huge);
    for (LONG id = 2; id <= count; ++id) {
        if (NameOf(ChildOf(pane.Get(), id).Get()) != L"줄 " + std::to_wstring(id - 2)) {
            ADD_FAILURE() << "child " << id;
            break;
        }
    }
    IDispatch* beyond = nullptr;
    EXPECT_EQ(pane->get_accChild(ChildId(count + 1), &beyond), E_INVALIDARG);

    const ComPtr<IAccessible> paragraph = ChildOf(pane.Get(), 2);
    const ComPtr<IRawElementProviderSimple> automation = AutomationSide(pane.Get());
    ASSERT_TRUE(automation);
    frame.DestroyWindow();
    DispatchWaitingMessages();
    // Everything a client still holds is cut from the pane that is gone.
    VARIANT live;
    EXPECT_EQ(automation->GetPropertyValue(kLiveSetting, &live), kElementNotAvailable);
    IUnknown* pattern = nullptr;
    EXPECT_EQ(automation->GetPatternProvider(10000, &pattern), kElementNotAvailable);
    wchar_t stale[] = L"stale";
    BSTR name = nullptr;
    VARIANT answer;
    LONG left, top, width, height;
    for (IAccessible* gone : {pane.Get(), paragraph.Get()}) {
        name = stale;
        EXPECT_EQ(gone->get_accName(ChildId(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(gone->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(gone->accLocation(&left, &top, &width, &height, ChildId(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(gone->accHitTest(1, 1, &answer), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(gone->accNavigate(NAVDIR_NEXT, ChildId(CHILDID_SELF), &answer), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(gone->accDoDefaultAction(ChildId(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    }
}

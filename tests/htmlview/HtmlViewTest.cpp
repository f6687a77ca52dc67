// CHtmlView in a real window under Xvfb: navigation and its posted
// completion, the document and body objects, appending and scrolling,
// selection and the clipboard, links, the context menu, the scroll bar,
// images over loopback, and the view's lifetime.
#include "framework/html/HtmlView.h"

#include "framework/TextConversion.h"
#include "framework/WinApp.h"
#include "tests/support/Canvas.h"
#include "tests/support/Clipboard.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestImages.h"
#include "TestResources.h"

#include <gtest/gtest.h>
#include <objbase.h>

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

    CRefPtr<CHtmlElement> Body() {
        CRefPtr<CHtmlDocument> document = view->GetHtmlDocument();
        CRefPtr<CHtmlElement> body;
        EXPECT_TRUE(document);
        if (document) {
            EXPECT_EQ(document->get_body(&body), S_OK);
        }
        return body;
    }

    CRefPtr<CHtmlElement2> Scroller() {
        CRefPtr<CHtmlElement2> scroller;
        EXPECT_EQ(Body().QueryInterface(&scroller), S_OK);
        return scroller;
    }

    void Append(const wchar_t* html) { ASSERT_EQ(Body()->insertAdjacentHTML(L"beforeEnd", html), S_OK); }

    long Get(HRESULT (CHtmlElement2::*getter)(long*)) {
        long value = -1;
        EXPECT_EQ((Scroller()->*getter)(&value), S_OK);
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
    const CRefPtr<CHtmlDocument> before = view->GetHtmlDocument();
    EXPECT_FALSE(view->Navigate2("http://example.com/"));
    EXPECT_FALSE(view->Navigate2("file:///C:/windows/win.ini"));
    EXPECT_FALSE(view->Navigate2(ResourceUrl(4321).c_str()));
    EXPECT_FALSE(view->Navigate2(nullptr));
    DispatchWaitingMessages();
    EXPECT_EQ(view->completions.size(), 1u);
    EXPECT_EQ(static_cast<CHtmlDocument*>(view->GetHtmlDocument()), static_cast<CHtmlDocument*>(before));
}

TEST_F(HtmlViewTest, BodyTakesHtmlOnlyAtBeforeEnd) {
    Load();
    CRefPtr<CHtmlElement> body = Body();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->insertAdjacentHTML(L"BEFOREEND", L"x"), S_OK);
    EXPECT_EQ(body->insertAdjacentHTML(L"afterBegin", L"x"), E_NOTIMPL);
    EXPECT_EQ(body->insertAdjacentHTML(L"nowhere", L"x"), E_INVALIDARG);
}

TEST_F(HtmlViewTest, AReplacedDocumentIsDetachedAndRefusesWork) {
    Load();
    CRefPtr<CHtmlDocument> old = view->GetHtmlDocument();
    CRefPtr<CHtmlElement> oldBody = Body();
    ASSERT_TRUE(view->Navigate2(ResourceUrl(IDR_SECOND_PAGE).c_str()));
    EXPECT_EQ(oldBody->insertAdjacentHTML(L"beforeEnd", L"lost"), E_UNEXPECTED);
    CRefPtr<CHtmlElement> again;
    EXPECT_EQ(old->get_body(&again), E_UNEXPECTED);
    EXPECT_FALSE(again);
    CRefPtr<CHtmlElement2> scroller;
    EXPECT_EQ(oldBody.QueryInterface(&scroller), E_NOINTERFACE);
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
    CRefPtr<CHtmlDocument> kept = view->GetHtmlDocument();
    const HWND hWnd = *view;
    delete view;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(destructions, 1);
    // A document someone still holds outlives the view, detached.
    CRefPtr<CHtmlElement> body;
    EXPECT_EQ(kept->get_body(&body), E_UNEXPECTED);
}

}  // namespace

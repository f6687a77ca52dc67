// The chat view: appending (line feeds, the code page, the scroll to the
// bottom, fragments that come before the page), loading the page, its
// run-time class, its context menu's captions, and its lifetime with its window.
//
// Appends are checked twice: against a recording document, for the exact
// text and scroll calls, and in a real pane under Xvfb, for what shows.
#include "display/ChatFormat.h"
#include "display/ChatRendering.h"
#include "display/ChatView.h"
#include "display/HtmlTagFilter.h"

#include "framework/TextConversion.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr UINT kTemplateId = 129;

// A document whose body records insertions and scroll calls, with a scroll
// box of the given heights.
class RecordingDocument final : public CHtmlDocument, public CHtmlElement, public CHtmlElement2 {
public:
    std::vector<std::wstring> inserted;
    std::vector<long> scrollTops;
    long scrollHeight = 0;
    long clientHeight = 100;
    bool hasBody = true;
    bool hasScrollBox = true;
    bool outOfMemory = false;  // the insertion throws, as the engine would
    ULONG references = 0;

    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }

    HRESULT get_body(CHtmlElement** body) override {
        *body = hasBody ? static_cast<CHtmlElement*>(this) : nullptr;
        if (*body) AddRef();
        return hasBody ? S_OK : E_FAIL;
    }
    HRESULT insertAdjacentHTML(std::wstring_view where, std::wstring_view html) override {
        if (where != L"beforeEnd") return E_INVALIDARG;
        if (outOfMemory) throw std::bad_alloc();
        inserted.emplace_back(html);
        return S_OK;
    }
    HRESULT QueryInterface(CHtmlElement2** element) override {
        *element = hasScrollBox ? static_cast<CHtmlElement2*>(this) : nullptr;
        if (*element) AddRef();
        return hasScrollBox ? S_OK : E_NOINTERFACE;
    }
    HRESULT get_scrollHeight(long* height) override { return *height = scrollHeight, S_OK; }
    HRESULT get_clientHeight(long* height) override { return *height = clientHeight, S_OK; }
    HRESULT get_scrollTop(long* top) override { return *top = scrollTops.empty() ? 0 : scrollTops.back(), S_OK; }
    HRESULT put_scrollTop(long top) override { return scrollTops.push_back(top), S_OK; }
};

// A view without a window, appending into a recording document. The view
// is on the heap, as a view always is; it has no window to delete it.
class ChatViewAppend : public ::testing::Test {
protected:
    ChatViewAppend() { view->m_pDocument = ComPtr<CHtmlDocument>::Hold(&document); }
    ~ChatViewAppend() override { delete view; }

    RecordingDocument document;
    CChatView* view = new CChatView;
};

// Set in the environment of a child copy of this program that runs one test
// whose end is the end of the process.
constexpr wchar_t kEndingChildVariable[] = L"WOBBLE_ENDING_CHILD";

bool IsEndingChild() { return ::GetEnvironmentVariableW(kEndingChildVariable, nullptr, 0) > 0; }

// Runs the current test alone in a child copy of this program; its exit
// code, none when it did not end in time.
std::optional<DWORD> RunCurrentTestInAChild() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    ::SetEnvironmentVariableW(kEndingChildVariable, L"1");
    ProgramRun child;
    const bool started = child.Start(AfxGetModulePath(nullptr), AsciiWide(filter));
    ::SetEnvironmentVariableW(kEndingChildVariable, nullptr);
    if (!started) return std::nullopt;
    return child.WaitForExit(20000);
}

}  // namespace

TEST_F(ChatViewAppend, InsertsFragmentWithoutLineFeedUnchanged) {
    EXPECT_TRUE(view->AppendHtml("<b>hi</b> &lt; %s\r"));
    ASSERT_EQ(document.inserted.size(), 1u);
    EXPECT_EQ(document.inserted[0], L"<b>hi</b> &lt; %s\r");
}

TEST_F(ChatViewAppend, TurnsEveryLineFeedIntoBreakAndSpace) {
    view->AppendHtml("first\nsecond\n<a\nhref=x>\n");
    ASSERT_EQ(document.inserted.size(), 1u);
    EXPECT_EQ(document.inserted[0], L"first<br>&nbspsecond<br>&nbsp<a<br>&nbsphref=x><br>&nbsp");
}

TEST_F(ChatViewAppend, WidensTextOfTheKoreanCodePage) {
    view->AppendHtml("\xBE\xC8\xB3\xE7 \xC7\xCF\xBC\xBC\xBF\xE4");  // "안녕 하세요"
    ASSERT_EQ(document.inserted.size(), 1u);
    EXPECT_EQ(document.inserted[0], L"안녕 하세요");
}

TEST_F(ChatViewAppend, KeepsBytesAfterAnEmbeddedNul) {
    view->AppendHtml(CString("a\0b", 3));
    ASSERT_EQ(document.inserted.size(), 1u);
    EXPECT_EQ(document.inserted[0], std::wstring(L"a\0b", 3));
}

TEST_F(ChatViewAppend, ScrollsToBottomOnlyWhenContentIsTaller) {
    document.scrollHeight = 80;
    view->AppendHtml("short");
    EXPECT_TRUE(document.scrollTops.empty());
    document.scrollHeight = 100;
    view->AppendHtml("exactly as tall");
    EXPECT_TRUE(document.scrollTops.empty());
    document.scrollHeight = 350;
    view->AppendHtml("taller");
    EXPECT_EQ(document.scrollTops, std::vector<long>({250}));
}

TEST_F(ChatViewAppend, FailsWithoutBodyAndInsertsNothing) {
    document.hasBody = false;
    EXPECT_FALSE(view->AppendHtml("lost"));
    EXPECT_TRUE(document.inserted.empty());
}

TEST_F(ChatViewAppend, InsertsWithoutScrollingWhenBodyHasNoScrollBox) {
    document.hasScrollBox = false;
    document.scrollHeight = 500;
    EXPECT_TRUE(view->AppendHtml("x"));
    EXPECT_EQ(document.inserted.size(), 1u);
    EXPECT_TRUE(document.scrollTops.empty());
    EXPECT_FALSE(view->ScrollToBottom(ComPtr<CHtmlElement>::Hold(&document)));
}

TEST_F(ChatViewAppend, ReleasesEveryReferenceItTook) {
    document.scrollHeight = 500;
    view->AppendHtml("x");
    EXPECT_TRUE(view->ScrollToBottom(ComPtr<CHtmlElement>::Hold(&document)));
    EXPECT_EQ(document.references, 1u);  // m_pDocument's own
    view->m_pDocument.Reset();
    EXPECT_EQ(document.references, 0u);
}

TEST_F(ChatViewAppend, RenderersAppendTheirFragments) {
    CHtmlTagFilter filter;
    filter.AddTag("a");
    AddNotice(*view, "welcome\nback");
    AddChatLine(*view, filter, "id\anick\a<b>x</b>");
    ASSERT_EQ(document.inserted.size(), 2u);
    EXPECT_EQ(document.inserted[0], L"<br>&nbsp<Font color=394D84><b>welcome<br>&nbspback</b></Font><br><br>");
    EXPECT_EQ(document.inserted[1],
              L"&nbsp<Font color='blue'><B>nick</B></Font><Font color='purple'>(id)</font>: &lt;b>x&lt;/b><br>");
}

// The failure must not unwind out of the append: in the program it would
// cross the system's window-procedure frames.
TEST_F(ChatViewAppend, MemoryRunningOutEndsTheProgramAtOnce) {
    if (IsEndingChild()) {
        document.outOfMemory = true;
        view->AppendHtml("x");
        return;  // the child ends normally: the append came back
    }
    EXPECT_EQ(RunCurrentTestInAChild(), std::optional<DWORD>(kAbortExitCode));
}

TEST(ChatViewMenu, CopyAndSelectAllAreCaptionedInKorean) {
    const std::unique_ptr<CChatView> view = std::make_unique<CChatView>();
    const HMENU menu = view->CreateContextMenu();
    ASSERT_TRUE(menu);
    const auto caption = [menu](UINT command) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
        return std::wstring(text);
    };
    EXPECT_EQ(caption(CHtmlView::kCopyCommand), L"복사");
    EXPECT_EQ(caption(CHtmlView::kSelectAllCommand), L"모두 선택");
    ::DestroyMenu(menu);
}

TEST(ChatViewClass, IsRegisteredAndDynamicallyCreatable) {
    const CRuntimeClass* record = CRuntimeClass::FromName("CChatView");
    ASSERT_EQ(record, RUNTIME_CLASS(CChatView));
    EXPECT_EQ(record->m_baseClass, RUNTIME_CLASS(CHtmlView));
    EXPECT_EQ(record->m_schema, 0xFFFFu);
    CObject* const made = record->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_EQ(static_cast<CChatView*>(made)->m_pDocument, nullptr);
    delete made;
}

// ---- In a real pane, under Xvfb ----

namespace {

// Counts its own destruction and records the URLs it was told about.
class ObservedChatView : public CChatView {
public:
    explicit ObservedChatView(int& destroyed) : m_destroyed(destroyed) {}
    ~ObservedChatView() override { ++m_destroyed; }
    std::vector<std::string> completedUrls;

protected:
    void OnDocumentComplete(const char* url) override {
        completedUrls.emplace_back(url);
        CChatView::OnDocumentComplete(url);
    }

private:
    int& m_destroyed;
};

constexpr DWORD kPageWaitMs = 5000;

// A top-level window holding a chat view of 300 x 120 pixels.
class ChatViewPane : public ::testing::Test {
protected:
    ChatViewPane() {
        parent.CreateEx(0, nullptr, "chat", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0);
        view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &parent, 0xFFFF);
        view->MoveWindow(0, 0, 300, 120);
    }
    // The parent's window takes the view's with it, and the view its object.
    ~ChatViewPane() override {
        parent.DestroyWindow();
        EXPECT_EQ(viewsDestroyed, 1);
    }

    bool LoadAndWait() {
        return view->LoadFromResource(kTemplateId) &&
               PumpMessagesUntil([&] { return view->m_pDocument != nullptr; }, kPageWaitMs);
    }

    // The page's text as the user would copy it.
    std::u16string ShownText() {
        auto* document = static_cast<CHtmlDocumentObject*>(view->m_pDocument.Get());
        document->Engine().SelectAll();
        return document->Engine().SelectedText();
    }

    ComPtr<CHtmlElement2> Scroller() {
        ComPtr<CHtmlElement> body;
        ComPtr<CHtmlElement2> scroller;
        if (SUCCEEDED(view->m_pDocument->get_body(body.Receive())) && body) body->QueryInterface(scroller.Receive());
        return scroller;
    }

    long Read(HRESULT (CHtmlElement2::*getter)(long*)) {
        long value = -1;
        (Scroller().Get()->*getter)(&value);
        return value;
    }

    CWnd parent;
    int viewsDestroyed = 0;
    ObservedChatView* view = new ObservedChatView(viewsDestroyed);
};

}  // namespace

TEST_F(ChatViewPane, CompletesLoadingAfterNavigationHasReturned) {
    ASSERT_TRUE(view->LoadFromResource(kTemplateId));
    EXPECT_TRUE(view->completedUrls.empty());
    EXPECT_EQ(view->m_pDocument, nullptr);
    ASSERT_TRUE(PumpMessagesUntil([&] { return view->m_pDocument != nullptr; }, kPageWaitMs));
    const CString path = FromWide(AfxGetModulePath(nullptr));
    EXPECT_EQ(view->completedUrls, std::vector<std::string>({std::string("res://") + path.GetString() + "/129"}));
}

TEST_F(ChatViewPane, MissingResourceLoadsNothing) {
    EXPECT_FALSE(view->LoadFromResource(4321));
    EXPECT_TRUE(view->AppendHtml("kept"));
    PumpMessagesFor(200);  // lets any stray completion arrive
    EXPECT_EQ(view->m_pDocument, nullptr);
}

TEST_F(ChatViewPane, KeepsFragmentsAppendedBeforeLoadingInOrder) {
    EXPECT_TRUE(view->AppendHtml("one "));
    ASSERT_TRUE(view->LoadFromResource(kTemplateId));
    EXPECT_TRUE(view->AppendHtml("two "));
    ASSERT_TRUE(PumpMessagesUntil([&] { return view->m_pDocument != nullptr; }, kPageWaitMs));
    EXPECT_TRUE(view->AppendHtml("three"));
    EXPECT_EQ(ShownText(), u"one two three");
}

TEST_F(ChatViewPane, PageStyleReachesThePane) {
    ASSERT_TRUE(LoadAndWait());
    const html::Document& engine = static_cast<CHtmlDocumentObject*>(view->m_pDocument.Get())->Engine();
    const html::TemplateStyle& style = engine.Style();
    EXPECT_EQ(style.fontFamilies, u"Tahoma,굴림");
    EXPECT_EQ(style.fontSizePt, 8.0);
    EXPECT_EQ(style.color, html::Rgb(0, 0, 0));
    EXPECT_EQ(style.scrollbar3dLight, html::Rgb(0x59, 0x59, 0x59));
    EXPECT_EQ(style.scrollbarArrow, html::Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(style.scrollbarTrack, html::Rgb(0xCF, 0xCF, 0xCF));
    EXPECT_EQ(style.scrollbarDarkShadow, html::Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(style.scrollbarFace, html::Rgb(0xCF, 0xCF, 0xCF));
    EXPECT_EQ(style.scrollbarHighlight, html::Rgb(0xFF, 0xFF, 0xF0));  // "fffff", padded by the legacy rules
    EXPECT_EQ(style.scrollbarShadow, html::Rgb(0x59, 0x59, 0x59));
    EXPECT_EQ(engine.BaseTarget(), u"_blank");
}

TEST_F(ChatViewPane, ShowsLineFeedAsBreakAndNonBreakingSpace) {
    ASSERT_TRUE(LoadAndWait());
    view->AppendHtml("first\nsecond");
    EXPECT_EQ(ShownText(), u"first\r\n second");
}

TEST_F(ChatViewPane, RenderedChatLineShowsFilteredText) {
    ASSERT_TRUE(LoadAndWait());
    CHtmlTagFilter filter;
    filter.AddTag("a");
    AddChatLine(*view, filter, "kim01\a\xB1\xE8\a<b>bold?</b>");  // nickname "김"
    EXPECT_EQ(ShownText(), u" 김(kim01): <b>bold?</b>\r\n");
}

TEST_F(ChatViewPane, StaysAtTopWhileContentFitsThenFollowsTheLastLine) {
    ASSERT_TRUE(LoadAndWait());
    view->AppendHtml("just one line<br>");
    EXPECT_EQ(Read(&CHtmlElement2::get_scrollTop), 0);
    for (int i = 0; i < 40; ++i) view->AppendHtml("another line<br>");
    const long bottom = Read(&CHtmlElement2::get_scrollHeight) - Read(&CHtmlElement2::get_clientHeight);
    ASSERT_GT(bottom, 0);
    EXPECT_EQ(Read(&CHtmlElement2::get_scrollTop), bottom);

    // The user scrolls up; the next line brings the view back down.
    Scroller()->put_scrollTop(0);
    view->AppendHtml("newest<br>");
    const long newBottom = Read(&CHtmlElement2::get_scrollHeight) - Read(&CHtmlElement2::get_clientHeight);
    EXPECT_GT(newBottom, bottom);
    EXPECT_EQ(Read(&CHtmlElement2::get_scrollTop), newBottom);
}

TEST_F(ChatViewPane, DeletesItselfWithItsWindow) {
    ASSERT_TRUE(LoadAndWait());
    view->DestroyWindow();
    EXPECT_EQ(viewsDestroyed, 1);
}

TEST(ChatViewLifetime, DeletingTheViewTakesItsWindowOnce) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "chat", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200), nullptr, 0));
    int destroyed = 0;
    auto* view = new ObservedChatView(destroyed);
    ASSERT_TRUE(view->Create(nullptr, "ChatView", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &parent, 0xFFFF));
    const HWND window = view->m_hWnd;
    delete view;
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(::IsWindow(window));
    parent.DestroyWindow();
}

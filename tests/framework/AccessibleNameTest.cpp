// Where a control's accessible name lives: annotated on its window where the
// system's annotation service takes it, and cleared with the window; in the
// control's own answer to WM_GETOBJECT where the service refuses it (as
// Wine's does) or there is none. The service is a stand-in that records.
#include "framework/AccessibleName.h"
#include "framework/Wnd.h"
#include "tests/support/Accessibility.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Annotation {
    HWND window;
    DWORD object;
    DWORD child;
    bool isName;
    std::wstring text;  // empty for a clearing
};

// Takes names, or answers every one with `answer`; records what it is asked.
class StandInService final : public ComObject<IAccPropServices> {
public:
    explicit StandInService(HRESULT answer) : m_answer(answer) {}
    std::vector<Annotation> set;
    std::vector<Annotation> cleared;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return Answer(out, iid == IID_IUnknown || iid == kIidIAccPropServices ? this : nullptr);
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                                             LPCWSTR text) override {
        set.push_back({window, object, child, property == kPropIdAccName, text});
        return m_answer;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child, const MSAAPROPID* properties,
                                             int count) override {
        cleared.push_back({window, object, child, count == 1 && properties[0] == kPropIdAccName, {}});
        return m_answer;
    }

    // Not used for names.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }

private:
    HRESULT m_answer;
};

// The windows whose client object announced a new name, while a test listens.
std::vector<HWND> g_renamed;
void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) g_renamed.push_back(window);
}

// The service the framework is given while a test runs.
ComPtr<StandInService> g_service;
ComPtr<IAccPropServices> StandIn() { return ComPtr<IAccPropServices>::Adopt(g_service.Share()); }

// A button named through CAccessibleName, or through the stateless answer
// while it has no name of its own.
class NamedButton : public CWnd {
public:
    CAccessibleName name;

protected:
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam) {
        LRESULT answer = 0;
        const bool answered = name.Name().empty()
                                  ? AnswerWithAccessibleName(m_hWnd, wParam, lParam, L"메시지 입력", answer)
                                  : name.Answer(m_hWnd, wParam, lParam, answer);
        return answered ? answer : Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NamedButton, CWnd)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

class AccessibleNaming : public ::testing::Test {
protected:
    AccessibleNaming() : m_previous(UseAnnotationService(StandIn)) {
        button.SubclassWindow(
            ::CreateWindowExW(0, L"BUTTON", L"caption", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr));
    }
    ~AccessibleNaming() override {
        if (button.m_hWnd) ::DestroyWindow(button.m_hWnd);
        UseAnnotationService(m_previous);
        g_service.Reset();
    }

    NamedButton button;

private:
    AnnotationServiceSource m_previous;
};

}  // namespace

TEST_F(AccessibleNaming, ServiceThatTakesTheNameHoldsItAndTheWindowAnswersNothingOfItsOwn) {
    g_service = ComPtr<StandInService>::Adopt(new StandInService(S_OK));
    const HWND window = button.m_hWnd;
    g_renamed.clear();
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                                 OnNameChange, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    button.name.Set(window, "닫기");
    button.name.Set(window, "최대화");
    button.name.Set(window, "최대화");  // no change, nothing to tell
    PumpMessagesFor(50);
    ::UnhookWinEvent(hook);
    // A reader that has read the old name hears of each new one.
    EXPECT_EQ(g_renamed, std::vector<HWND>(2, window));
    ASSERT_EQ(g_service->set.size(), 2u);
    for (const Annotation& annotation : g_service->set) {
        EXPECT_EQ(annotation.window, window);
        EXPECT_EQ(annotation.object, DWORD(OBJID_CLIENT));
        EXPECT_EQ(annotation.child, DWORD(CHILDID_SELF));
        EXPECT_TRUE(annotation.isName);
    }
    EXPECT_EQ(g_service->set.back().text, L"최대화");
    // The system's object, which a real service would have annotated.
    EXPECT_EQ(AccessibleName(window), L"caption");

    ::DestroyWindow(window);
    ASSERT_EQ(g_service->cleared.size(), 1u);
    EXPECT_EQ(g_service->cleared[0].window, window);
    EXPECT_TRUE(g_service->cleared[0].isName);
}

// A control that names itself only when asked is annotated at the first
// question, whatever object it asks for, and once.
TEST_F(AccessibleNaming, StatelessAnswerAnnotatesAtTheFirstQuestion) {
    g_service = ComPtr<StandInService>::Adopt(new StandInService(S_OK));
    EXPECT_EQ(AccessibleName(button.m_hWnd), L"caption");
    EXPECT_EQ(AccessibleName(button.m_hWnd), L"caption");
    ASSERT_EQ(g_service->set.size(), 1u);
    EXPECT_EQ(g_service->set[0].text, L"메시지 입력");
}

// Wine's service is made but takes no annotation; a thread outside COM has no
// service at all.
TEST_F(AccessibleNaming, WhereNoServiceTakesTheNameTheWindowAnswersWithTheStandardObjectRenamed) {
    g_service = ComPtr<StandInService>::Adopt(new StandInService(E_NOTIMPL));
    button.name.Set(button.m_hWnd, "닫기");
    EXPECT_EQ(AccessibleName(button.m_hWnd), L"닫기");
    g_service.Reset();
    button.name.Set(button.m_hWnd, "최소화");
    EXPECT_EQ(AccessibleName(button.m_hWnd), L"최소화");

    const HWND plain =
        ::CreateWindowExW(0, L"BUTTON", L"plain", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(AccessibleRole(button.m_hWnd), AccessibleRole(plain));
    ::DestroyWindow(plain);
}

// PaneAccessibility: the HTML pane as assistive technology sees it, and the
// announcements of what is appended to it.
//
// The pane answers WM_GETOBJECT for its client object with a document (MSAA
// role document, read-only, its value empty) whose children are the
// document's paragraphs (role static text, named with their text as copying
// gives it); a paragraph's children are its links (role link, value the URL,
// the default action opening it as a click would) and images (role
// graphic, named by their alt text). Locations are screen rectangles where
// things are now, after scrolling. Paragraph objects are made when a client
// asks for one and belong to the client; the pane keeps only the document
// object, made on the first WM_GETOBJECT.
//
// New content is announced where someone listens, once per burst of
// appends (a message posted to the pane, so that lines already queued behind
// the first arrive before it): a live-region change event (WinEvent) for
// readers that follow the pane as a polite live region, and a UI Automation
// notification carrying the newest append's text, "most recent" processing
// so that a reader drops an older announcement it has not finished. The
// notification function is looked up at run time: systems before Windows 10
// 1709, and Wine, do without it.
//
// Every object a client holds fails with CO_E_OBJNOTCONNECTED once the pane
// has disconnected (its window is going).
#pragma once

#include "framework/ComObject.h"
#include "framework/html/HtmlDocument.h"

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <string_view>

struct IRawElementProviderSimple;

namespace html {

// What the accessible objects ask of the pane.
class AccessiblePane {
public:
    // Null while there is no document.
    virtual Document* AccessibleDocument() = 0;
    virtual HWND AccessibleWindow() const = 0;
    // Opens a link as a click does; false when refused or not launched.
    virtual bool OpenAccessibleLink(std::u16string_view url) = 0;
    // Selects `range` in the pane (shown as the mouse's selection is).
    virtual void SelectAccessibleRange(TextRange range) = 0;

protected:
    ~AccessiblePane() = default;
};

// The UI Automation functions an announcement needs; null ones are missing.
struct UiaNotificationFunctions {
    using ClientsAreListening = BOOL(WINAPI*)();
    using RaiseNotificationEvent = HRESULT(WINAPI*)(IRawElementProviderSimple* provider, int kind, int processing,
                                                    BSTR displayString, BSTR activityId);
    using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND window, IRawElementProviderSimple** provider);

    ClientsAreListening clientsAreListening = nullptr;
    RaiseNotificationEvent raiseNotificationEvent = nullptr;
    HostProviderFromHwnd hostProviderFromHwnd = nullptr;
};

struct PaneLink;

class PaneAccessibility {
public:
    // `announceMessage` is a message private to the pane's window, which
    // the window answers by calling Announce.
    PaneAccessibility(AccessiblePane& pane, UINT announceMessage);
    ~PaneAccessibility();
    PaneAccessibility(const PaneAccessibility&) = delete;
    PaneAccessibility& operator=(const PaneAccessibility&) = delete;

    // The pane's texts: the document's name, and the name of a link's
    // default action.
    void SetTexts(const std::wstring& name, const std::wstring& linkAction);

    // The answer to WM_GETOBJECT: true, with `result` set, for the client
    // object; false leaves the message to the default handling.
    bool Answer(WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Content from `from` to the document's end was appended.
    void OnAppended(TextPosition from);
    // The posted announcement of the appends since the last.
    void Announce();

    // From now on every object given out fails; call before the window goes.
    void Disconnect();

    // Replaces the system's UI Automation functions (tests stand in for
    // them); until then they are loaded on the first announcement.
    void SetUiaFunctions(const UiaNotificationFunctions& functions);

private:
    const UiaNotificationFunctions& Uia();
    bool SomeoneListens();
    bool UiaListens();
    // The UI Automation side, made when first needed; null once disconnected.
    const ComPtr<IRawElementProviderSimple>& Provider();

    std::shared_ptr<PaneLink> m_link;
    ComPtr<IAccessible> m_document;
    ComPtr<IRawElementProviderSimple> m_provider;
    UINT m_announceMessage;
    TextPosition m_newestAppend = 0;
    bool m_announcementPosted = false;
    HMODULE m_uiaModule = nullptr;
    bool m_uiaLoaded = false;
    UiaNotificationFunctions m_uia;
};

}  // namespace html

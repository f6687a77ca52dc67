// PaneAnnouncer: the announcements of what is appended to the HTML pane.
//
// New content is announced where someone listens, once per burst of
// appends (a message posted to the pane, so that lines already queued behind
// the first arrive before it): a live-region change event (WinEvent) for
// readers that follow the pane as a polite live region, and a UI Automation
// notification carrying the newest append's text, "most recent" processing
// so that a reader drops an older announcement it has not finished. The
// UI Automation functions are looked up at run time, on first need: systems
// before Windows 10 1709, and Wine, do without the notification. Nothing is
// made or posted while nobody listens.
//
// The notification is raised for the pane's UI Automation element, which
// the accessible objects own (PaneAccessible.h); the announcer knows only
// the window, the document and that element.
#pragma once

#include "framework/html/HtmlDocument.h"

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

struct IRawElementProviderSimple;

namespace html {

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

class PaneAnnouncer {
public:
    // `announceMessage` is a message private to the pane's window, which
    // the window answers by having Announce called.
    explicit PaneAnnouncer(UINT announceMessage) : m_announceMessage(announceMessage) {}
    ~PaneAnnouncer();
    PaneAnnouncer(const PaneAnnouncer&) = delete;
    PaneAnnouncer& operator=(const PaneAnnouncer&) = delete;

    // Content from `from` to the document's end was appended to the pane
    // `window` shows; posts the announcement unless one is on its way.
    void OnAppended(HWND window, TextPosition from);
    // The posted announcement of the appends since the last: the live-region
    // event now, and the text that a UI Automation notification should carry
    // (empty when nobody listens there or there is nothing to read).
    // `document` is null when the pane has none.
    std::u16string Announce(HWND window, const Document* document);
    // Raises the UI Automation notification of `text` for `element`.
    void Notify(IRawElementProviderSimple* element, std::u16string_view text);

    // The system's UI Automation functions, loaded on first need.
    const UiaNotificationFunctions& Uia();
    // Replaces them (tests stand in for them).
    void SetUiaFunctions(const UiaNotificationFunctions& functions);

private:
    // Each check reads shared memory.
    bool SomeoneListens();
    bool UiaListens();

    UINT m_announceMessage;
    TextPosition m_newestAppend = 0;
    bool m_announcementPosted = false;
    HMODULE m_uiaModule = nullptr;
    bool m_uiaLoaded = false;
    UiaNotificationFunctions m_uia;
};

}  // namespace html

// PaneAccessibility: the HTML pane as assistive technology sees it.
//
// The pane answers WM_GETOBJECT for its client object with a document (MSAA
// role document, read-only, its value empty) whose children are the
// document's paragraphs (role static text, named with their text as copying
// gives it); a paragraph's children are its links (role link, value the URL,
// the default action opening it as a click would) and images (role
// graphic, named by their alt text). Locations are screen rectangles where
// things are now, after scrolling. Paragraph objects are made when a client
// asks for one and belong to the client; the pane keeps only the document
// object, made on the first WM_GETOBJECT. The document's UI Automation side
// (reached through IServiceProvider, as the system's MSAA bridge asks) says
// the pane is a polite live region, and is what the announcements of
// appended content (PaneAnnouncer.h) are raised for.
//
// Every object a client holds fails with CO_E_OBJNOTCONNECTED once the pane
// has disconnected (its window is going).
#pragma once

#include "framework/ComObject.h"
#include "framework/html/HtmlDocument.h"
#include "framework/html/PaneAnnouncer.h"

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
    // them); until then they are loaded when first needed.
    void SetUiaFunctions(const UiaNotificationFunctions& functions) { m_announcer.SetUiaFunctions(functions); }

private:
    // The UI Automation side, made when first needed; null once disconnected.
    const ComPtr<IRawElementProviderSimple>& Provider();

    std::shared_ptr<PaneLink> m_link;
    ComPtr<IAccessible> m_document;
    ComPtr<IRawElementProviderSimple> m_provider;
    PaneAnnouncer m_announcer;
};

}  // namespace html

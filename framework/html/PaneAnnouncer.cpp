#include "framework/html/PaneAnnouncer.h"

#include "framework/AccessibleObject.h"
#include "framework/SystemLibrary.h"

namespace html {
namespace {

// Values of the UI Automation enumerations used here, as the system's
// headers define them (MinGW's lack the notification ones).
constexpr int kNotificationKindItemAdded = 0;
constexpr int kNotificationProcessingMostRecent = 3;
// The WinEvent of a live region's change (Windows 8's winuser.h).
constexpr DWORD kLiveRegionChanged = 0x8019;
constexpr wchar_t kActivityId[] = L"ContentAppended";

// `text` without the line breaks it starts or ends with.
std::u16string_view WithoutOuterBreaks(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u"\r\n");
    if (first == std::u16string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(u"\r\n") + 1 - first);
}

}  // namespace

PaneAnnouncer::~PaneAnnouncer() {
    if (m_uiaModule) ::FreeLibrary(m_uiaModule);
}

void PaneAnnouncer::OnAppended(HWND window, TextPosition from) {
    // One announcement per burst, posted behind the messages that bring the
    // rest of it: a flood is announced by its newest line only.
    m_newestAppend = from;
    if (m_announcementPosted || !SomeoneListens()) return;
    m_announcementPosted = ::PostMessageW(window, m_announceMessage, 0, 0) != FALSE;
}

std::u16string PaneAnnouncer::Announce(HWND window, const Document* document) {
    m_announcementPosted = false;
    if (!document || m_newestAppend > document->EndPosition()) return {};
    if (::IsWinEventHookInstalled(kLiveRegionChanged))
        ::NotifyWinEvent(kLiveRegionChanged, window, OBJID_CLIENT, CHILDID_SELF);
    if (!UiaListens()) return {};
    const std::u16string text = document->PlainText(TextRange{m_newestAppend, document->EndPosition()});
    return std::u16string(WithoutOuterBreaks(text));
}

void PaneAnnouncer::Notify(IRawElementProviderSimple* element, std::u16string_view text) {
    if (!element || text.empty()) return;
    BSTR display = nullptr;
    BSTR activity = ::SysAllocString(kActivityId);
    if (SUCCEEDED(CAccessibleObject::MakeBstr(text, &display)) && activity)
        m_uia.raiseNotificationEvent(element, kNotificationKindItemAdded, kNotificationProcessingMostRecent, display,
                                     activity);
    ::SysFreeString(display);
    ::SysFreeString(activity);
}

bool PaneAnnouncer::SomeoneListens() { return ::IsWinEventHookInstalled(kLiveRegionChanged) || UiaListens(); }

bool PaneAnnouncer::UiaListens() {
    const UiaNotificationFunctions& uia = Uia();
    return uia.raiseNotificationEvent && uia.clientsAreListening && uia.clientsAreListening();
}

void PaneAnnouncer::SetUiaFunctions(const UiaNotificationFunctions& functions) {
    m_uia = functions;
    m_uiaLoaded = true;
}

const UiaNotificationFunctions& PaneAnnouncer::Uia() {
    if (m_uiaLoaded) return m_uia;
    m_uiaLoaded = true;
    m_uiaModule = LoadSystemLibrary(L"uiautomationcore.dll");
    if (!m_uiaModule) return m_uia;
    m_uia.clientsAreListening =
        ModuleFunction<UiaNotificationFunctions::ClientsAreListening>(m_uiaModule, "UiaClientsAreListening");
    m_uia.raiseNotificationEvent =
        ModuleFunction<UiaNotificationFunctions::RaiseNotificationEvent>(m_uiaModule, "UiaRaiseNotificationEvent");
    m_uia.hostProviderFromHwnd =
        ModuleFunction<UiaNotificationFunctions::HostProviderFromHwnd>(m_uiaModule, "UiaHostProviderFromHwnd");
    return m_uia;
}

}  // namespace html

#include "framework/Menu.h"

#include <utility>

IMPLEMENT_DYNAMIC(CMenu, CObject)

CMenu::~CMenu() {
    if (m_hMenu) ::DestroyMenu(m_hMenu);
}

BOOL CMenu::Attach(HMENU menu) {
    if (m_hMenu || !menu) return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() { return std::exchange(m_hMenu, nullptr); }

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu() {
    const HMENU menu = Detach();
    return menu && ::DestroyMenu(menu);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const void* itemData) {
    return ::AppendMenuW(m_hMenu, flags, idNewItem, static_cast<const wchar_t*>(itemData));
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const void* itemData) {
    return ::ModifyMenuW(m_hMenu, position, flags, idNewItem, static_cast<const wchar_t*>(itemData));
}

BOOL CMenu::GetMenuItemInfo(UINT item, BOOL byPosition, MENUITEMINFOW& info) const {
    return m_hMenu && ::GetMenuItemInfoW(m_hMenu, item, byPosition, &info);
}

BOOL CMenu::SetMenuItemInfo(UINT item, BOOL byPosition, const MENUITEMINFOW& info) {
    return m_hMenu && ::SetMenuItemInfoW(m_hMenu, item, byPosition, &info);
}

int CMenu::GetMenuItemCount() const { return m_hMenu ? ::GetMenuItemCount(m_hMenu) : -1; }

UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }

UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }

std::wstring CMenu::GetMenuString(UINT id, UINT flags) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    const BOOL byPosition = (flags & MF_BYPOSITION) != 0;
    if (!m_hMenu || !::GetMenuItemInfoW(m_hMenu, id, byPosition, &info)) return {};
    std::wstring text(info.cch + 1, L'\0');
    info.cch = static_cast<UINT>(text.size());
    info.dwTypeData = text.data();
    if (!::GetMenuItemInfoW(m_hMenu, id, byPosition, &info)) return {};
    text.resize(info.cch);
    return text;
}

HMENU CMenu::GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }

// A plain menu draws nothing itself; owner-drawn menus override both.
void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

// CMenu: a menu handle with the menu calls as members. The object owns the
// handle it holds: DestroyMenu, and the destructor, destroy it; Detach hands
// it back without destroying it.
//
// Owner-drawn menus derive from it and override DrawItem and MeasureItem,
// which the owner window calls for WM_DRAWITEM and WM_MEASUREITEM of items
// of that menu.
#pragma once

#include "framework/CString.h"
#include "framework/RuntimeClass.h"

#include <windows.h>

#include <string>

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)

public:
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // Takes `menu`; FALSE when the object already holds one or `menu` is null.
    BOOL Attach(HMENU menu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Destroys the menu held (and its submenus, as the system does).
    virtual BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const wchar_t* text = nullptr);
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem, const void* itemData);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, const wchar_t* text = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const void* itemData);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, const wchar_t* text = nullptr);
    BOOL GetMenuItemInfo(UINT item, BOOL byPosition, MENUITEMINFOW& info) const;
    BOOL SetMenuItemInfo(UINT item, BOOL byPosition, const MENUITEMINFOW& info);
    BOOL RemoveMenu(UINT position, UINT flags);
    BOOL DeleteMenu(UINT position, UINT flags);

    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    // MF_ flags of the item, or 0xFFFFFFFF when there is no such item.
    UINT GetMenuState(UINT id, UINT flags) const;
    // The item's text (without item data of owner-drawn items).
    std::wstring GetMenuString(UINT id, UINT flags) const;
    HMENU GetSubMenu(int position) const;

    UINT CheckMenuItem(UINT id, UINT check);
    UINT EnableMenuItem(UINT id, UINT enable);
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags);

    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

protected:
    HMENU m_hMenu = nullptr;
};

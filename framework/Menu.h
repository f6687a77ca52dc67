// CMenu: a menu handle with the menu calls as members. The object owns the
// handle it holds: DestroyMenu, and the destructor, destroy it; Detach hands
// it back without destroying it.
//
// Owner-drawn menus derive from it and override DrawItem and MeasureItem,
// which the owner window calls for WM_DRAWITEM and WM_MEASUREITEM of items
// of that menu.
#pragma once

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

    // Owner-drawn items: `itemData` becomes the item's data.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem, const void* itemData);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const void* itemData);
    BOOL GetMenuItemInfo(UINT item, BOOL byPosition, MENUITEMINFOW& info) const;
    BOOL SetMenuItemInfo(UINT item, BOOL byPosition, const MENUITEMINFOW& info);

    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    // MF_ flags of the item, or 0xFFFFFFFF when there is no such item.
    UINT GetMenuState(UINT id, UINT flags) const;
    // The item's text (without item data of owner-drawn items).
    std::wstring GetMenuString(UINT id, UINT flags) const;
    HMENU GetSubMenu(int position) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

protected:
    HMENU m_hMenu = nullptr;
};

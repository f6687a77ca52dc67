// COwnerDrawMenu: a menu that draws its own items, with a column of small
// images, check marks and radio dots, in a flat look (light icon bar, tinted
// selection box) or the classic 3-D look.
//
//   COwnerDrawMenu menu;
//   menu.LoadMenu(IDR_POPUP);                 // items become owner-drawn
//   menu.AppendItem(L"&Find\tCtrl+F", MF_STRING, ID_FIND, IDB_FIND);
//
// The owner window forwards WM_MEASUREITEM and WM_MENUCHAR:
//
//   if (COwnerDrawMenu::IsOwnerDrawMenu(hMenu))
//       return COwnerDrawMenu::FindShortcut(ch, flags, hMenu);
//
// Every item's item data is the address of its COwnerDrawMenuItem record,
// owned by the menu object. Popups made while loading a template are
// COwnerDrawMenu objects owned by the menu that holds them.
//
// Images live in one store shared by every menu, keyed by command id, so a
// command shows the same image wherever it appears. The store and the list
// of popup handles are class-wide and touched only from the user-interface
// thread; so are the look switches (controls/MenuLook.h).
//
// The class's work is spread over four file pairs: the look choice
// (MenuLook), the template reader (MenuTemplate), the painting and measuring
// of both looks (OwnerDrawMenuPaint.cpp, with MenuImages for the pictures),
// and here the records, the image store, loading and synchronising.
#pragma once

#include "framework/CString.h"
#include "framework/DpiScale.h"
#include "framework/ImageList.h"
#include "framework/Menu.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

enum class MenuLook;
struct MenuTemplateItem;

// The record behind one owner-drawn item; its address is the item's data.
struct COwnerDrawMenuItem {
    std::wstring itemText;                  // accelerator text follows a tab
    int imageIndex = -1;                    // index in imageList
    int globalImageIndex = -1;              // index in the shared image store
    UINT itemFlags = 0;                     // MF_POPUP, MF_SEPARATOR, MF_OWNERDRAW, state
    UINT_PTR itemId = 0;                    // command id, or the popup's menu handle
    std::unique_ptr<CImageList> imageList;  // the item's own image
};

// One command's pictures in the image store shared by every menu, each an
// index in the store's list: the image, and in the flat look with its extras
// the faded copy shown at rest and the shadow copy drawn under the image when
// it is selected (-1 when not made).
struct StoredMenuImage {
    UINT commandId = 0;
    int image = -1;
    int faded = -1;
    int shadow = -1;

    bool HasCopies() const { return faded >= 0 && shadow >= 0; }
};

class COwnerDrawMenu : public CMenu {
    DECLARE_DYNCREATE(COwnerDrawMenu)

public:
    COwnerDrawMenu();
    ~COwnerDrawMenu() override;
    COwnerDrawMenu(const COwnerDrawMenu&) = delete;
    COwnerDrawMenu& operator=(const COwnerDrawMenu&) = delete;

    // Owner-draw entry points, called with WM_DRAWITEM's and WM_MEASUREITEM's
    // records. The record to draw is found through the item data.
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

    // Builds the menu from an RT_MENU template; FALSE when the template is
    // missing, truncated or malformed, or a menu cannot be made (the menu is
    // then left empty).
    BOOL LoadMenu(LPCWSTR resourceName);
    BOOL LoadMenu(UINT resourceId);
    // The same from a template in memory: `size` bytes at `data`, none read
    // beyond them.
    BOOL LoadMenuTemplate(const void* data, size_t size);

    // Releases the records, their images, owned popups and the menu handle.
    BOOL DestroyMenu() override;

    // Appends one owner-drawn item. id 0 makes a separator; with MF_POPUP the
    // id is the popup's menu handle. `image` is a bitmap resource id (an icon
    // handle when SetIconHandlesGiven(true)); negative: the image stored for
    // the id, if any.
    BOOL AppendItem(const wchar_t* text, UINT flags = MF_STRING, UINT_PTR id = 0, INT_PTR image = -1);

    // Rebuilds the records from the items the menu really has, after items
    // were added, removed or changed by plain menu calls.
    void SynchronizeItems();

    // Pads the labels of items with accelerator text so that the parts after
    // the tab line up.
    void AlignAccelerators();

    // The item's text in code page 949, the program's text, whatever the
    // system's code page; empty when none.
    CString GetItemText(int position) const;

    int GetItemCount() const { return static_cast<int>(m_itemData.size()); }
    const COwnerDrawMenuItem* GetItem(int position) const;

    // Menus whose items this class draws: every popup made or appended by
    // any COwnerDrawMenu.
    static BOOL IsOwnerDrawMenu(const CMenu* menu);
    static BOOL IsOwnerDrawMenu(HMENU menu);

    // The live COwnerDrawMenu object that holds `menu`, or null.
    static COwnerDrawMenu* FromHandle(HMENU menu);

    // WM_MENUCHAR's answer: MAKELRESULT(position, MNC_EXECUTE) for the first
    // item whose text has '&' followed by `character` (either case), else 0.
    // Only for popup menus (MF_POPUP in `flags`).
    static LRESULT FindShortcut(UINT character, UINT flags, COwnerDrawMenu* menu);
    static LRESULT FindShortcut(UINT character, UINT flags, HMENU menu);

    // Image store: the image for a command id, replacing one already stored.
    // The bitmap's transparent colour is COLOR_BTNFACE, or the mask colour.
    BOOL AddImage(UINT commandId, HBITMAP bitmap);
    BOOL AddImage(UINT commandId, HICON icon);
    // Where the command's image is in the store's list, or -1.
    static int FindStoredImage(UINT commandId);
    static CImageList& StoredImages();

    // The DPI of the window the menu is shown for, which its margins, lines,
    // check marks, font and default image size follow; the popups it made
    // while loading take it too. The system DPI until told.
    void SetDpi(UINT dpi);
    UINT Dpi() const { return static_cast<UINT>(m_scale.Dpi()); }

    // Look and appearance. The images' size in pixels, for images made for
    // the menu's DPI; unset, 16 x 15 at that DPI.
    void SetIconSize(int width, int height);
    void SetMaskColor(COLORREF color, bool use);
    void SetEmbossWithDib(bool useDib) { m_embossWithDib = useDib; }
    void SetIconHandlesGiven(bool given) { m_iconHandlesGiven = given; }
    // Takes ownership of `images` (image 0: checked, image 1: checked and
    // selected). The switches say when they replace the drawn check mark.
    void SetCheckImages(std::unique_ptr<CImageList> images, int selectedCheckImage, int normalCheckImage);
    bool IsLoadedFromResource() const { return m_loadedFromResource; }

    int IconWidth() const { return m_iconWidth ? m_iconWidth : m_scale.Edge(kDefaultIconWidth); }
    int IconHeight() const { return m_iconHeight ? m_iconHeight : m_scale.Edge(kDefaultIconHeight); }

private:
    static constexpr int kDefaultIconWidth = 16;
    static constexpr int kDefaultIconHeight = 15;

    struct ItemPaint;
    using RecordMatch = bool (*)(const COwnerDrawMenuItem&, UINT_PTR);

    static const COwnerDrawMenuItem* FindRecord(ULONG_PTR itemData);
    ItemPaint DescribeItem(const DRAWITEMSTRUCT& drawItem) const;
    // A 96-DPI length, and the width of a one-pixel line, at the menu's DPI.
    int Scaled(int length) const { return m_scale.Edge(length); }
    int LineWidth() const { return m_scale.Line(1); }
    int Margin(MenuLook look) const;

    // Classic look.
    void DrawClassic(const DRAWITEMSTRUCT& drawItem);
    // How far below the item's top the image or check box column starts.
    int ClassicBoxTop(const ItemPaint& item) const;
    void DrawClassicImage(HDC dc, const ItemPaint& item, COLORREF background) const;
    void DrawClassicCheck(HDC dc, const ItemPaint& item, COLORREF background) const;
    void DrawClassicText(HDC dc, const ItemPaint& item, COLORREF background) const;

    // Flat look.
    void DrawFlat(const DRAWITEMSTRUCT& drawItem, HFONT font);
    void DrawFlatItem(HDC dc, const ItemPaint& item) const;
    void DrawFlatImage(HDC dc, const ItemPaint& item, const RECT& bar, COLORREF ground) const;
    void DrawFlatCheck(HDC dc, const ItemPaint& item, const RECT& bar) const;
    void DrawFlatText(HDC dc, const ItemPaint& item, const RECT& bar) const;

    bool UsesCheckImages(bool selected) const;
    void DrawEmbossed(HDC dc, const ItemPaint& item, int x, int y, COLORREF ground) const;

    // Records and items.
    void AttachImage(COwnerDrawMenuItem& item, INT_PTR image);
    void RestorePlainItems(bool popupsOnly);
    void ReleaseContents();
    void ShareCheckImages(const COwnerDrawMenu& parent);
    std::wstring MenuItemText(int position) const;
    bool IsOwnerDrawnItem(int position) const;
    BOOL BuildFromTemplate(const std::vector<MenuTemplateItem>& items);
    COwnerDrawMenu* AppendChildPopup(const wchar_t* text, UINT flags);
    std::unique_ptr<COwnerDrawMenuItem> ClaimRecord(RecordMatch matches, UINT_PTR key);
    std::unique_ptr<COwnerDrawMenuItem> SyncPopup(int position, HMENU popup);
    std::unique_ptr<COwnerDrawMenuItem> SyncSeparator();
    std::unique_ptr<COwnerDrawMenuItem> SyncCommand(int position);

    // Image store.
    int StoreImage(UINT commandId, const CImageList& source, int index);
    static void StoreCopies(StoredMenuImage& entry, const CImageList& source, int index);
    // The store's entry whose image is at `image` in its list, or null.
    static const StoredMenuImage* StoredImageAt(int image);
    BOOL AdoptStoredImage(UINT commandId, int image);
    COLORREF TransparentColor() const;

    std::vector<std::unique_ptr<COwnerDrawMenuItem>> m_itemData;
    std::vector<HMENU> m_subMenus;
    std::vector<std::unique_ptr<COwnerDrawMenu>> m_ownedPopups;  // made while loading
    int m_iconWidth = 0;                                         // 0: the default at the menu's DPI
    int m_iconHeight = 0;
    DpiScale m_scale;
    COLORREF m_maskColor = RGB(192, 192, 192);
    bool m_useMaskColor = false;
    bool m_embossWithDib = false;
    std::shared_ptr<CImageList> m_checkImages;  // shared with popups made while loading
    int m_selectedCheckImage = -1;
    int m_normalCheckImage = -1;
    bool m_iconHandlesGiven = false;
    bool m_loadedFromResource = false;
};

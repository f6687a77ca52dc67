// COwnerDrawMenu's records, class-wide data and image store, loading from
// templates and synchronising with the real menu. The look choice is
// MenuLook's, the template reader MenuTemplate's, and the painting and
// measuring OwnerDrawMenuPaint.cpp's.
#include "controls/OwnerDrawMenu.h"

#include "controls/MenuImages.h"
#include "controls/MenuLook.h"
#include "controls/MenuTemplate.h"
#include "framework/Color.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <optional>

IMPLEMENT_DYNCREATE(COwnerDrawMenu, CMenu)

namespace {

struct ClassWide {
    CImageList allImages;
    std::vector<StoredMenuImage> allImageIds;
    std::vector<HMENU> allSubMenus;
    std::vector<COwnerDrawMenu*> liveMenus;
};

ClassWide& Shared() {
    static ClassWide shared;
    return shared;
}

// Whether `ch` comes after a single ampersand in `text` ("&&" is a literal
// ampersand, not a mnemonic).
bool HasMnemonic(const std::wstring& text, wchar_t ch) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        wchar_t next = text[i + 1];
        if (next == L'&') {
            ++i;
            continue;
        }
        ::CharLowerBuffW(&next, 1);
        if (next == ch) return true;
    }
    return false;
}

// A bitmap of exactly width x height: the source's top-left corner on
// `background`, so a strip gives its first image and a small one is padded
// with the transparent colour.
HBITMAP FitBitmap(HBITMAP source, int width, int height, COLORREF background) {
    MemoryCanvas canvas;
    CDC sourceDC;
    if (!canvas.Create(nullptr, width, height) || !sourceDC.CreateCompatibleDC(canvas)) return nullptr;
    canvas.Dc().FillSolidRect(0, 0, width, height, background);
    CSelectedObject selected(sourceDC, source);
    if (selected.IsSelected()) canvas.Dc().BitBlt(0, 0, width, height, sourceDC, 0, 0, SRCCOPY);
    return canvas.Release();
}

void Unregister(std::vector<HMENU>& handles, HMENU menu) {
    const auto found = std::find(handles.begin(), handles.end(), menu);
    if (found != handles.end()) handles.erase(found);
}

// Item flags a template may carry into AppendMenu; type bits such as
// MF_BITMAP would make the record's address be taken for a bitmap handle.
constexpr UINT kTemplateItemFlags =
    MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP;
// State bits a synchronised command keeps.
constexpr UINT kItemStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP;
// The window-free reader names the template's shaping flags itself.
static_assert(kMenuTemplatePopup == MF_POPUP && kMenuTemplateEnd == MF_END);

}  // namespace

// ---------------------------------------------------------------------------
// Class-wide data

COwnerDrawMenu::COwnerDrawMenu() : m_scale(static_cast<int>(SystemDpi())) { Shared().liveMenus.push_back(this); }

COwnerDrawMenu::~COwnerDrawMenu() {
    DestroyMenu();
    auto& live = Shared().liveMenus;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

BOOL COwnerDrawMenu::IsOwnerDrawMenu(HMENU menu) {
    const auto& handles = Shared().allSubMenus;
    return menu && std::find(handles.begin(), handles.end(), menu) != handles.end();
}

BOOL COwnerDrawMenu::IsOwnerDrawMenu(const CMenu* menu) { return menu && IsOwnerDrawMenu(menu->GetSafeHmenu()); }

COwnerDrawMenu* COwnerDrawMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    for (COwnerDrawMenu* live : Shared().liveMenus) {
        if (live->m_hMenu == menu) return live;
    }
    return nullptr;
}

// Item data is trusted only when it is the address of a live record.
const COwnerDrawMenuItem* COwnerDrawMenu::FindRecord(ULONG_PTR itemData) {
    if (!itemData) return nullptr;
    for (const COwnerDrawMenu* live : Shared().liveMenus) {
        for (const auto& record : live->m_itemData) {
            if (reinterpret_cast<ULONG_PTR>(record.get()) == itemData) return record.get();
        }
    }
    return nullptr;
}

LRESULT COwnerDrawMenu::FindShortcut(UINT character, UINT flags, COwnerDrawMenu* menu) {
    if (!(flags & MF_POPUP) || !menu || !menu->m_hMenu || character > 0xFFFF) return 0;
    wchar_t typed = static_cast<wchar_t>(character);
    ::CharLowerBuffW(&typed, 1);
    if (menu->GetMenuItemCount() != menu->GetItemCount()) menu->SynchronizeItems();
    for (int position = 0; position < menu->GetItemCount(); ++position) {
        if (HasMnemonic(menu->m_itemData[position]->itemText, typed)) return MAKELRESULT(position, MNC_EXECUTE);
    }
    return 0;
}

LRESULT COwnerDrawMenu::FindShortcut(UINT character, UINT flags, HMENU menu) {
    return FindShortcut(character, flags, FromHandle(menu));
}

// ---------------------------------------------------------------------------
// Image store

CImageList& COwnerDrawMenu::StoredImages() { return Shared().allImages; }

int COwnerDrawMenu::FindStoredImage(UINT commandId) {
    for (const StoredMenuImage& entry : Shared().allImageIds) {
        if (entry.commandId == commandId) return entry.image;
    }
    return -1;
}

const StoredMenuImage* COwnerDrawMenu::StoredImageAt(int image) {
    for (const StoredMenuImage& entry : Shared().allImageIds) {
        if (entry.image == image) return &entry;
    }
    return nullptr;
}

COLORREF COwnerDrawMenu::TransparentColor() const {
    return m_useMaskColor ? m_maskColor : ::GetSysColor(COLOR_BTNFACE);
}

// The image goes in as an icon so that its mask comes with it. A command
// stored again keeps its place in the list, and its copies if it had them.
int COwnerDrawMenu::StoreImage(UINT commandId, const CImageList& source, int index) {
    ClassWide& shared = Shared();
    if (!shared.allImages.GetSafeHandle() &&
        !shared.allImages.Create(IconWidth(), IconHeight(), ILC_COLOR24 | ILC_MASK, 4, 4)) {
        return -1;
    }
    const HICON icon = source.ExtractIcon(index);
    if (!icon) return -1;
    auto existing = std::find_if(shared.allImageIds.begin(), shared.allImageIds.end(),
                                 [commandId](const StoredMenuImage& entry) { return entry.commandId == commandId; });
    const bool replacing = existing != shared.allImageIds.end();
    int image = -1;
    if (replacing) {
        image = shared.allImages.Replace(existing->image, icon) ? existing->image : -1;
    } else {
        image = shared.allImages.Add(icon);
    }
    ::DestroyIcon(icon);
    if (image < 0) return -1;
    if (replacing) {
        if (existing->HasCopies()) StoreCopies(*existing, source, index);
        return image;
    }
    StoredMenuImage entry{commandId, image};
    if (ChooseMenuLook() == MenuLook::Flat && MenuSettings().flatExtras) StoreCopies(entry, source, index);
    shared.allImageIds.push_back(entry);
    return image;
}

// The faded and shadow copies are made here, once, so drawing only blits.
// They replace the ones the entry has, or follow its image into the list.
void COwnerDrawMenu::StoreCopies(StoredMenuImage& entry, const CImageList& source, int index) {
    const COLORREF shadowColor =
        IsThemedXP() ? ::GetSysColor(COLOR_BTNSHADOW) : LightenColor(::GetSysColor(COLOR_BTNSHADOW), 0.49);
    CBitmap faded(MakeRecolouredCopy(source, index, [](COLORREF pixel) { return LightenColor(pixel, 0.3); }));
    CBitmap shadow(MakeRecolouredCopy(source, index, [shadowColor](COLORREF) { return shadowColor; }));
    const COLORREF face = DeviceColor(nullptr, ::GetSysColor(COLOR_BTNFACE));
    CImageList& images = Shared().allImages;
    if (entry.HasCopies()) {
        images.Replace(entry.faded, faded, face);
        images.Replace(entry.shadow, shadow, face);
        return;
    }
    entry.faded = images.Add(faded, face);
    if (entry.faded >= 0) entry.shadow = images.Add(shadow, face);
}

BOOL COwnerDrawMenu::AddImage(UINT commandId, HBITMAP bitmap) {
    CImageList image;
    CBitmap fitted(bitmap ? FitBitmap(bitmap, IconWidth(), IconHeight(), TransparentColor()) : nullptr);
    if (!fitted || !image.Create(IconWidth(), IconHeight(), ILC_COLOR24 | ILC_MASK, 1, 1) ||
        image.Add(fitted, TransparentColor()) < 0) {
        return FALSE;
    }
    return AdoptStoredImage(commandId, StoreImage(commandId, image, 0));
}

BOOL COwnerDrawMenu::AddImage(UINT commandId, HICON icon) {
    CImageList image;
    if (!icon || !image.Create(IconWidth(), IconHeight(), ILC_COLOR24 | ILC_MASK, 1, 1) || image.Add(icon) < 0) {
        return FALSE;
    }
    return AdoptStoredImage(commandId, StoreImage(commandId, image, 0));
}

// Items of this menu already showing the command take the new image too.
BOOL COwnerDrawMenu::AdoptStoredImage(UINT commandId, int image) {
    if (image < 0) return FALSE;
    for (auto& record : m_itemData) {
        if (record->itemId == commandId && !(record->itemFlags & (MF_POPUP | MF_SEPARATOR))) {
            record->globalImageIndex = image;
        }
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// Appearance settings

void COwnerDrawMenu::SetIconSize(int width, int height) {
    m_iconWidth = std::max(width, 1);
    m_iconHeight = std::max(height, 1);
}

void COwnerDrawMenu::SetDpi(UINT dpi) {
    m_scale = DpiScale(static_cast<int>(dpi));
    for (auto& popup : m_ownedPopups) popup->SetDpi(dpi);
}

void COwnerDrawMenu::SetMaskColor(COLORREF color, bool use) {
    m_maskColor = color;
    m_useMaskColor = use;
}

void COwnerDrawMenu::SetCheckImages(std::unique_ptr<CImageList> images, int selectedCheckImage, int normalCheckImage) {
    m_checkImages = std::move(images);
    m_selectedCheckImage = selectedCheckImage;
    m_normalCheckImage = normalCheckImage;
    for (auto& popup : m_ownedPopups) popup->ShareCheckImages(*this);
}

void COwnerDrawMenu::ShareCheckImages(const COwnerDrawMenu& parent) {
    m_checkImages = parent.m_checkImages;
    m_selectedCheckImage = parent.m_selectedCheckImage;
    m_normalCheckImage = parent.m_normalCheckImage;
    for (auto& popup : m_ownedPopups) popup->ShareCheckImages(*this);
}

// ---------------------------------------------------------------------------
// Items

const COwnerDrawMenuItem* COwnerDrawMenu::GetItem(int position) const {
    if (position < 0 || position >= GetItemCount()) return nullptr;
    return m_itemData[position].get();
}

CString COwnerDrawMenu::GetItemText(int position) const {
    const COwnerDrawMenuItem* item = GetItem(position);
    return item ? FromWide(item->itemText) : CString();
}

BOOL COwnerDrawMenu::AppendItem(const wchar_t* text, UINT flags, UINT_PTR id, INT_PTR image) {
    if (!m_hMenu) return FALSE;
    if (id == 0) {
        flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    } else {
        flags |= MF_OWNERDRAW;
    }
    auto record = std::make_unique<COwnerDrawMenuItem>();
    record->itemText = text ? text : L"";
    record->itemFlags = flags;
    record->itemId = id;
    AttachImage(*record, image);
    if (!CMenu::AppendMenu(flags, id, static_cast<const void*>(record.get()))) return FALSE;
    if (flags & MF_POPUP) {
        Shared().allSubMenus.push_back(reinterpret_cast<HMENU>(id));
        m_subMenus.push_back(reinterpret_cast<HMENU>(id));
    }
    m_itemData.push_back(std::move(record));
    if (m_loadedFromResource) RestorePlainItems(true);
    return TRUE;
}

// A failed load leaves the item without an image of its own.
void COwnerDrawMenu::AttachImage(COwnerDrawMenuItem& item, INT_PTR image) {
    const bool isCommand = item.itemId != 0 && !(item.itemFlags & (MF_POPUP | MF_SEPARATOR));
    if (image < 0) {
        if (isCommand) item.globalImageIndex = FindStoredImage(static_cast<UINT>(item.itemId));
        return;
    }
    auto own = std::make_unique<CImageList>();
    if (!own->Create(IconWidth(), IconHeight(), ILC_COLOR24 | ILC_MASK, 1, 1)) return;
    int index = -1;
    if (m_iconHandlesGiven) {
        index = own->Add(reinterpret_cast<HICON>(image));
    } else {
        CBitmap loaded;
        if (loaded.LoadBitmap(AfxGetResourceHandle(), static_cast<UINT>(image))) {
            CBitmap fitted(FitBitmap(loaded, IconWidth(), IconHeight(), TransparentColor()));
            index = own->Add(fitted, TransparentColor());
        }
    }
    if (index < 0) return;
    item.imageIndex = index;
    item.imageList = std::move(own);
    if (isCommand) item.globalImageIndex = StoreImage(static_cast<UINT>(item.itemId), *item.imageList, index);
}

// After loading, the menu bar (and popups appended to a loaded menu later)
// go back to plain items, so the system draws the bar; the records stay for
// their texts.
void COwnerDrawMenu::RestorePlainItems(bool popupsOnly) {
    const int count = std::min(GetMenuItemCount(), GetItemCount());
    for (int position = 0; position < count; ++position) {
        const COwnerDrawMenuItem& record = *m_itemData[position];
        const bool popup = (record.itemFlags & MF_POPUP) != 0;
        if ((popupsOnly && !popup) || (record.itemFlags & MF_SEPARATOR)) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.fType = MFT_STRING;
        info.dwTypeData = const_cast<wchar_t*>(record.itemText.c_str());
        SetMenuItemInfo(static_cast<UINT>(position), TRUE, info);
    }
}

// Read from the item's type: GetMenuState puts a popup's item count in its
// high byte, where it overlaps MF_OWNERDRAW.
bool COwnerDrawMenu::IsOwnerDrawnItem(int position) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfo(static_cast<UINT>(position), TRUE, info) && (info.fType & MFT_OWNERDRAW);
}

std::wstring COwnerDrawMenu::MenuItemText(int position) const {
    return GetMenuString(static_cast<UINT>(position), MF_BYPOSITION);
}

BOOL COwnerDrawMenu::DestroyMenu() {
    ReleaseContents();
    m_checkImages.reset();
    return CMenu::DestroyMenu();
}

// The popups made while loading are submenus of this menu, so the system
// destroys their handles with it; their objects only let go of them.
void COwnerDrawMenu::ReleaseContents() {
    auto& registered = Shared().allSubMenus;
    Unregister(registered, m_hMenu);
    for (HMENU subMenu : m_subMenus) Unregister(registered, subMenu);
    for (auto& popup : m_ownedPopups) {
        popup->ReleaseContents();
        popup->Detach();
    }
    m_ownedPopups.clear();
    m_subMenus.clear();
    m_itemData.clear();
    m_loadedFromResource = false;
}

// ---------------------------------------------------------------------------
// Loading

BOOL COwnerDrawMenu::LoadMenu(UINT resourceId) { return LoadMenu(MAKEINTRESOURCEW(resourceId)); }

BOOL COwnerDrawMenu::LoadMenu(LPCWSTR resourceName) {
    HMODULE module = AfxGetResourceHandle();
    HRSRC resource = module ? ::FindResourceW(module, resourceName, MAKEINTRESOURCEW(4)) : nullptr;
    if (!resource) {
        module = ::GetModuleHandleW(nullptr);
        resource = ::FindResourceW(module, resourceName, MAKEINTRESOURCEW(4));
    }
    if (!resource) return FALSE;
    const HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return FALSE;
    return LoadMenuTemplate(data, ::SizeofResource(module, resource));
}

// Check images survive a reload: they are settings of the object, not
// contents of the menu.
BOOL COwnerDrawMenu::LoadMenuTemplate(const void* data, size_t size) {
    ReleaseContents();
    CMenu::DestroyMenu();
    const std::optional<MenuTemplate> read = ReadMenuTemplate(data, size);
    if (!read || !CreateMenu()) return FALSE;
    if (!BuildFromTemplate(read->items)) {
        ReleaseContents();
        CMenu::DestroyMenu();
        return FALSE;
    }
    RestorePlainItems(false);
    m_loadedFromResource = true;
    return TRUE;
}

// open[d] is the menu that items of depth d go into: the reader hands every
// popup's items over right after it, one level deeper. Each popup's
// accelerators line up once all its items are in.
BOOL COwnerDrawMenu::BuildFromTemplate(const std::vector<MenuTemplateItem>& items) {
    std::vector<COwnerDrawMenu*> open{this};
    std::vector<COwnerDrawMenu*> popups;
    for (const MenuTemplateItem& item : items) {
        open.resize(static_cast<size_t>(item.depth) + 1);
        COwnerDrawMenu& parent = *open.back();
        const std::wstring text(item.text.begin(), item.text.end());
        const UINT flags = item.flags & kTemplateItemFlags;
        if (item.flags & kMenuTemplatePopup) {
            COwnerDrawMenu* popup = parent.AppendChildPopup(text.c_str(), flags);
            if (!popup) return FALSE;
            open.push_back(popup);
            popups.push_back(popup);
        } else if (!parent.AppendItem(text.c_str(), flags, item.id, -1)) {
            return FALSE;
        }
    }
    for (COwnerDrawMenu* popup : popups) popup->AlignAccelerators();
    return TRUE;
}

COwnerDrawMenu* COwnerDrawMenu::AppendChildPopup(const wchar_t* text, UINT flags) {
    auto popup = std::make_unique<COwnerDrawMenu>();
    if (!popup->CreatePopupMenu()) return nullptr;
    popup->ShareCheckImages(*this);
    popup->m_scale = m_scale;
    if (!AppendItem(text, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup->GetSafeHmenu()), -1)) return nullptr;
    m_ownedPopups.push_back(std::move(popup));
    return m_ownedPopups.back().get();
}

// ---------------------------------------------------------------------------
// Synchronising

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::ClaimRecord(RecordMatch matches, UINT_PTR key) {
    for (auto& record : m_itemData) {
        if (record && matches(*record, key)) return std::move(record);
    }
    return nullptr;
}

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::SyncPopup(int position, HMENU popup) {
    auto record = ClaimRecord([](const COwnerDrawMenuItem& item,
                                 UINT_PTR handle) { return (item.itemFlags & MF_POPUP) && item.itemId == handle; },
                              reinterpret_cast<UINT_PTR>(popup));
    if (!record) {
        record = std::make_unique<COwnerDrawMenuItem>();
        record->itemFlags = MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP;
        record->itemId = reinterpret_cast<UINT_PTR>(popup);
    }
    if (!IsOwnerDrawnItem(position)) record->itemText = MenuItemText(position);
    return record;
}

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::SyncSeparator() {
    auto record = ClaimRecord([](const COwnerDrawMenuItem& item, UINT_PTR) { return item.itemId == 0; }, 0);
    if (!record) {
        record = std::make_unique<COwnerDrawMenuItem>();
        record->itemFlags = MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW;
    }
    return record;
}

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::SyncCommand(int position) {
    const UINT id = GetMenuItemID(position);
    const UINT state = GetMenuState(position, MF_BYPOSITION);
    auto record = ClaimRecord(
        [](const COwnerDrawMenuItem& item, UINT_PTR commandId) {
            return !(item.itemFlags & (MF_POPUP | MF_SEPARATOR)) && item.itemId == commandId;
        },
        id);
    if (!record) {
        record = std::make_unique<COwnerDrawMenuItem>();
        record->itemId = id;
        AttachImage(*record, -1);
    }
    if (!IsOwnerDrawnItem(position)) record->itemText = MenuItemText(position);
    record->itemFlags = (state & kItemStateFlags) | MF_BYPOSITION | MF_OWNERDRAW;
    CMenu::ModifyMenu(static_cast<UINT>(position), record->itemFlags, id, static_cast<const void*>(record.get()));
    return record;
}

// Records are matched to the real items by popup handle, by command id, or
// (for separators) by being one; whatever is left over is deleted.
void COwnerDrawMenu::SynchronizeItems() {
    std::vector<std::unique_ptr<COwnerDrawMenuItem>> synced;
    const int count = GetMenuItemCount();
    for (int position = 0; position < count; ++position) {
        if (const HMENU popup = GetSubMenu(position)) {
            synced.push_back(SyncPopup(position, popup));
        } else if (GetMenuState(position, MF_BYPOSITION) & MF_SEPARATOR) {
            synced.push_back(SyncSeparator());
        } else {
            synced.push_back(SyncCommand(position));
        }
    }
    m_itemData = std::move(synced);
}

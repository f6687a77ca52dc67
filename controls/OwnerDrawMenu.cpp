#include "controls/OwnerDrawMenu.h"

#include "controls/MenuImages.h"
#include "framework/Gdi.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNCREATE(COwnerDrawMenu, CMenu)

namespace {

// One command's entry in the shared image store: the image at `slot`, and
// when `hasCopies` its faded copy at slot + 1 and shadow copy at slot + 2.
struct StoredImage {
    UINT commandId;
    int slot;
    bool hasCopies;
};

int ReadWindowsVersion() {
    OSVERSIONINFOW details{};
    details.dwOSVersionInfoSize = sizeof details;
    const DWORD version = ::GetVersion();
    return COwnerDrawMenu::ClassifyVersion(version, ::GetVersionExW(&details) ? &details : nullptr);
}

struct ClassWide {
    CImageList allImages;
    std::vector<StoredImage> allImageIds;
    std::vector<HMENU> allSubMenus;
    std::vector<COwnerDrawMenu*> liveMenus;
    COwnerDrawMenu::LookSettings settings;
    int windowsVersion = ReadWindowsVersion();
    int classicTheme = -1;  // not read yet
};

ClassWide& Shared() {
    static ClassWide shared;
    return shared;
}

// Computed with the other class-wide data before the program proper starts.
const int g_windowsVersionAtStart = Shared().windowsVersion;

bool IsThemedXP() {
    return COwnerDrawMenu::WindowsVersion() == COwnerDrawMenu::kWinXP && !COwnerDrawMenu::IsClassicTheme();
}

COLORREF SysColor(int index) { return ::GetSysColor(index); }

void Fill(HDC dc, const RECT& rect, COLORREF color) { CDCHandle(dc).FillSolidRect(rect, color); }

void Outline(HDC dc, const RECT& rect, COLORREF color) {
    CBrush brush;
    if (brush.CreateSolidBrush(color)) ::FrameRect(dc, &rect, brush);
}

// A one-pixel 3-D frame: raised has the light edge top and left.
void Frame3d(HDC dc, const RECT& rect, bool sunken) {
    const COLORREF light = SysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = SysColor(COLOR_BTNSHADOW);
    const COLORREF topLeft = sunken ? dark : light;
    const COLORREF bottomRight = sunken ? light : dark;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    CDCHandle canvas(dc);
    canvas.FillSolidRect(rect.left, rect.top, width - 1, 1, topLeft);
    canvas.FillSolidRect(rect.left, rect.top, 1, height - 1, topLeft);
    canvas.FillSolidRect(rect.right - 1, rect.top, 1, height, bottomRight);
    canvas.FillSolidRect(rect.left, rect.bottom - 1, width, 1, bottomRight);
}

HWND MeasuringWindow() {
    const CWnd* main = AfxGetMainWnd();
    const HWND window = main ? main->GetSafeHwnd() : nullptr;
    return window ? window : ::GetDesktopWindow();
}

HFONT CreateMenuFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return ::CreateFontIndirectW(&metrics.lfMenuFont);
}

// A DC of the main window (or the desktop), optionally with the menu font
// selected; everything is given back when it goes.
class MeasuringDC {
public:
    explicit MeasuringDC(bool withMenuFont) : m_window(MeasuringWindow()), m_dc(::GetDC(m_window)) {
        if (!m_dc || !withMenuFont) return;
        m_font = CreateMenuFont();
        if (m_font) m_previousFont = ::SelectObject(m_dc, m_font);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    ~MeasuringDC() {
        if (m_previousFont) ::SelectObject(m_dc, m_previousFont);
        if (m_dc) ::ReleaseDC(m_window, m_dc);
        if (m_font) ::DeleteObject(m_font);
    }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
    HFONT m_font = nullptr;
    HGDIOBJ m_previousFont = nullptr;
};

// The width of the text as the program's 8-bit text holds it, which is how
// the accelerators line up on a Korean system: a character that code page 949
// cannot hold is measured as the "?" it becomes there.
int Cp949TextWidth(HDC dc, const std::wstring& text) {
    const std::wstring held = ToWide(FromWide(text));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, held.data(), static_cast<int>(held.size()), &size);
    return size.cx;
}

SIZE MeasureItemText(const std::wstring& text) {
    const int version = COwnerDrawMenu::WindowsVersion();
    MeasuringDC dc(version > COwnerDrawMenu::kNtOther);
    SIZE size{};
    if (!dc) return size;
    if (version != COwnerDrawMenu::kWin32s) {
        ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        return size;
    }
    // This class measured its 8-bit text: the widening goes by its bytes.
    const CString bytes = FromWide(text);
    const std::wstring held = ToWide(bytes);
    RECT bounds{};
    ::DrawTextW(dc, held.data(), static_cast<int>(held.size()), &bounds, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    int width = bounds.right - bounds.left + 3;
    if (!bytes.IsEmpty()) width += (width / bytes.GetLength()) * 3;
    return SIZE{width, bounds.bottom - bounds.top};
}

// The label and the accelerator text of an item, split at the last tab.
void DrawSplitText(HDC dc, const std::wstring& text, RECT rect, int acceleratorInset) {
    const size_t tab = text.rfind(L'\t');
    const std::wstring label = text.substr(0, tab);
    ::DrawTextW(dc, label.data(), static_cast<int>(label.size()), &rect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (tab == std::wstring::npos) return;
    const std::wstring accelerator = text.substr(tab + 1);
    rect.right -= acceleratorInset;
    ::DrawTextW(dc, accelerator.data(), static_cast<int>(accelerator.size()), &rect,
                DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

void DrawTextInColor(HDC dc, const std::wstring& text, const RECT& rect, int acceleratorInset, COLORREF color) {
    const COLORREF previous = ::SetTextColor(dc, color);
    DrawSplitText(dc, text, rect, acceleratorInset);
    ::SetTextColor(dc, previous);
}

// Radio items carry a checked-state bitmap (or the radio-check type).
bool IsRadioItem(HMENU menu, UINT id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS | MIIM_FTYPE;
    if (!menu || !::GetMenuItemInfoW(menu, id, FALSE, &info)) return false;
    return info.hbmpChecked != nullptr || (info.fType & MFT_RADIOCHECK) != 0;
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

}  // namespace

// What one DrawItem call paints: the record, the rectangle and the state,
// and the image list and index of the item's image (if it has one).
struct COwnerDrawMenu::ItemPaint {
    const COwnerDrawMenuItem* record = nullptr;
    RECT rect{};
    bool selected = false;
    bool checked = false;
    bool greyed = false;
    bool radio = false;
    const CImageList* images = nullptr;
    int image = -1;
    bool hasCopies = false;

    bool HasImage() const { return images && image >= 0; }
    bool IsSeparator() const { return (record->itemFlags & MF_SEPARATOR) != 0; }
    int Height() const { return rect.bottom - rect.top; }
};

// Reads a menu template front to back; every read is checked against the end.
struct COwnerDrawMenu::TemplateReader {
    const BYTE* data;
    size_t size;
    size_t at = 0;

    bool Word(WORD& value) {
        if (size - at < sizeof value) return false;
        std::memcpy(&value, data + at, sizeof value);
        at += sizeof value;
        return true;
    }
    bool Text(std::wstring& text) {
        text.clear();
        for (WORD unit = 0; Word(unit);) {
            if (unit == 0) return true;
            text.push_back(static_cast<wchar_t>(unit));
        }
        return false;
    }
    bool Skip(size_t bytes) {
        if (size - at < bytes) return false;
        at += bytes;
        return true;
    }
};

// ---------------------------------------------------------------------------
// Class-wide data

COwnerDrawMenu::COwnerDrawMenu() { Shared().liveMenus.push_back(this); }

COwnerDrawMenu::~COwnerDrawMenu() {
    DestroyMenu();
    auto& live = Shared().liveMenus;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

COwnerDrawMenu::LookSettings& COwnerDrawMenu::Settings() { return Shared().settings; }

int COwnerDrawMenu::WindowsVersion() { return Shared().windowsVersion; }

void COwnerDrawMenu::SetWindowsVersion(int versionClass) { Shared().windowsVersion = versionClass; }

int COwnerDrawMenu::ClassifyVersion(DWORD version, const OSVERSIONINFOW* details) {
    const bool isNt = (version & 0x80000000u) == 0;
    if (!isNt && LOBYTE(LOWORD(version)) < 4) return kWin32s;
    if (!details) return isNt ? kNtOther : kWin9xOther;
    const DWORD major = details->dwMajorVersion;
    const DWORD minor = details->dwMinorVersion;
    if (isNt) {
        if (major == 4) return kNt4;
        if (major == 5 && minor == 0) return kWin2000;
        if (major == 5 && minor == 1) return kWinXP;
        return kNtOther;
    }
    if (major == 4 && minor == 10) return kWin98;
    if (major == 4 && minor == 90) return kWinMe;
    return kWin9xOther;
}

BOOL COwnerDrawMenu::ThemePathIsClassic(const char* themePath) {
    static constexpr char kClassic[] = "windows classic.theme";
    constexpr size_t kLength = sizeof kClassic - 1;
    const size_t length = themePath ? std::strlen(themePath) : 0;
    if (length < kLength) return FALSE;
    const char* tail = themePath + length - kLength;
    for (size_t i = 0; i < kLength; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kClassic[i]) return FALSE;
    }
    return TRUE;
}

BOOL COwnerDrawMenu::ReadClassicThemeSetting() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return FALSE;
    }
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    const LONG read = ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return FALSE;
    value[std::min<DWORD>(size / sizeof(wchar_t), MAX_PATH)] = L'\0';  // the stored value need not end in a NUL
    return ThemePathIsClassic(FromWide(value));
}

BOOL COwnerDrawMenu::IsClassicTheme() {
    int& classic = Shared().classicTheme;
    if (classic < 0) classic = ReadClassicThemeSetting();
    return classic;
}

void COwnerDrawMenu::SetClassicTheme(BOOL classic) { Shared().classicTheme = classic ? 1 : 0; }

COwnerDrawMenu::Look COwnerDrawMenu::ChooseLook(HDC target) {
    if (target && (::GetDeviceCaps(target, RASTERCAPS) & RC_PALETTE)) return Look::Classic;
    const LookSettings& settings = Settings();
    if (WindowsVersion() == kWinXP && !IsClassicTheme()) {
        return settings.flatModeOnThemedXP == 1 ? Look::Flat : Look::Classic;
    }
    return settings.flatModeElsewhere == 1 ? Look::Flat : Look::Classic;
}

COLORREF COwnerDrawMenu::LightenColor(COLORREF color, double factor) {
    if (!(factor > 0.0 && factor <= 1.0)) return color;
    const auto lighten = [factor](BYTE channel) {
        return static_cast<BYTE>(channel + factor * (255.0 - channel));
    };
    return RGB(lighten(GetRValue(color)), lighten(GetGValue(color)), lighten(GetBValue(color)));
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
    for (const StoredImage& entry : Shared().allImageIds) {
        if (entry.commandId == commandId) return entry.slot;
    }
    return -1;
}

COLORREF COwnerDrawMenu::TransparentColor() const {
    return m_useMaskColor ? m_maskColor : SysColor(COLOR_BTNFACE);
}

// The image goes in as an icon so that its mask comes with it; the faded and
// shadow copies are made here, once, so drawing only blits.
int COwnerDrawMenu::StoreImage(UINT commandId, const CImageList& source, int index) {
    ClassWide& shared = Shared();
    if (!shared.allImages.GetSafeHandle() &&
        !shared.allImages.Create(m_iconWidth, m_iconHeight, ILC_COLOR24 | ILC_MASK, 4, 4)) {
        return -1;
    }
    const HICON icon = source.ExtractIcon(index);
    if (!icon) return -1;
    auto existing = std::find_if(shared.allImageIds.begin(), shared.allImageIds.end(),
                                 [commandId](const StoredImage& entry) { return entry.commandId == commandId; });
    const bool makeCopies = existing != shared.allImageIds.end()
                                ? existing->hasCopies
                                : ChooseLook() == Look::Flat && Settings().flatExtras;
    int slot = -1;
    if (existing != shared.allImageIds.end()) {
        slot = shared.allImages.Replace(existing->slot, icon) ? existing->slot : -1;
    } else {
        slot = shared.allImages.Add(icon);
    }
    ::DestroyIcon(icon);
    if (slot < 0 || !makeCopies) {
        if (slot >= 0 && existing == shared.allImageIds.end()) shared.allImageIds.push_back({commandId, slot, false});
        return slot;
    }

    const COLORREF shadowColor = IsThemedXP() ? SysColor(COLOR_BTNSHADOW)
                                              : LightenColor(SysColor(COLOR_BTNSHADOW), 0.49);
    CBitmap faded(MakeRecolouredCopy(source, index, [](COLORREF pixel) { return LightenColor(pixel, 0.3); }));
    CBitmap shadow(MakeRecolouredCopy(source, index, [shadowColor](COLORREF) { return shadowColor; }));
    const COLORREF face = DeviceColor(nullptr, SysColor(COLOR_BTNFACE));
    if (existing != shared.allImageIds.end()) {
        shared.allImages.Replace(slot + 1, faded, face);
        shared.allImages.Replace(slot + 2, shadow, face);
        return slot;
    }
    const bool copied = shared.allImages.Add(faded, face) == slot + 1 && shared.allImages.Add(shadow, face) == slot + 2;
    shared.allImageIds.push_back({commandId, slot, copied});
    return slot;
}

BOOL COwnerDrawMenu::AddImage(UINT commandId, HBITMAP bitmap) {
    CImageList image;
    CBitmap fitted(bitmap ? FitBitmap(bitmap, m_iconWidth, m_iconHeight, TransparentColor()) : nullptr);
    if (!fitted || !image.Create(m_iconWidth, m_iconHeight, ILC_COLOR24 | ILC_MASK, 1, 1) ||
        image.Add(fitted, TransparentColor()) < 0) {
        return FALSE;
    }
    return AdoptStoredImage(commandId, StoreImage(commandId, image, 0));
}

BOOL COwnerDrawMenu::AddImage(UINT commandId, HICON icon) {
    CImageList image;
    if (!icon || !image.Create(m_iconWidth, m_iconHeight, ILC_COLOR24 | ILC_MASK, 1, 1) || image.Add(icon) < 0) {
        return FALSE;
    }
    return AdoptStoredImage(commandId, StoreImage(commandId, image, 0));
}

// Items of this menu already showing the command take the new image too.
BOOL COwnerDrawMenu::AdoptStoredImage(UINT commandId, int slot) {
    if (slot < 0) return FALSE;
    for (auto& record : m_itemData) {
        if (record->itemId == commandId && !(record->itemFlags & (MF_POPUP | MF_SEPARATOR))) {
            record->globalImageIndex = slot;
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

void COwnerDrawMenu::SetMaskColor(COLORREF color, BOOL use) {
    m_maskColor = color;
    m_useMaskColor = use;
}

void COwnerDrawMenu::SetCheckImages(std::unique_ptr<CImageList> images, int selectedCheckImage, int normalCheckImage) {
    m_checkImages = std::move(images);
    m_sharesCheckImages = FALSE;
    m_selectedCheckImage = selectedCheckImage;
    m_normalCheckImage = normalCheckImage;
    for (auto& popup : m_ownedPopups) popup->ShareCheckImages(*this);
}

void COwnerDrawMenu::ShareCheckImages(const COwnerDrawMenu& parent) {
    m_checkImages = parent.m_checkImages;
    m_sharesCheckImages = TRUE;
    m_selectedCheckImage = parent.m_selectedCheckImage;
    m_normalCheckImage = parent.m_normalCheckImage;
    for (auto& popup : m_ownedPopups) popup->ShareCheckImages(*this);
}

bool COwnerDrawMenu::UsesCheckImages(bool selected) const {
    if (!m_checkImages || m_checkImages->GetImageCount() < 2) return false;
    return (selected && m_selectedCheckImage > 0) || m_normalCheckImage > 0;
}

int COwnerDrawMenu::Margin(Look look) const { return look == Look::Flat && Settings().flatExtras ? 7 : 4; }

// ---------------------------------------------------------------------------
// Measuring

void COwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    if (!measureItem || measureItem->CtlType != ODT_MENU) return;
    const COwnerDrawMenuItem* item = FindRecord(measureItem->itemData);
    if (!item) return;
    const Look look = ChooseLook();
    const int margin = Margin(look);
    if (item->itemFlags & MF_SEPARATOR) {
        measureItem->itemWidth = 0;
        measureItem->itemHeight = std::max(::GetSystemMetrics(SM_CYMENU) >> 1, (m_iconHeight + margin) / 2);
        return;
    }
    const SIZE text = MeasureItemText(item->itemText);
    const int width = look == Look::Flat ? text.cx + m_iconWidth + margin + 8 : text.cx + 2 * m_iconWidth + 1;
    measureItem->itemWidth = static_cast<UINT>(std::max(width, 0));
    measureItem->itemHeight = static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYMENU), m_iconHeight + margin));
}

// ---------------------------------------------------------------------------
// Drawing

void COwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (!drawItem || drawItem->CtlType != ODT_MENU || !drawItem->hDC || !FindRecord(drawItem->itemData)) return;
    if (ChooseLook(drawItem->hDC) == Look::Flat) {
        DrawFlat(*drawItem);
    } else {
        DrawClassic(*drawItem);
    }
}

COwnerDrawMenu::ItemPaint COwnerDrawMenu::DescribeItem(const DRAWITEMSTRUCT& drawItem) const {
    ItemPaint item;
    item.record = FindRecord(drawItem.itemData);
    item.rect = drawItem.rcItem;
    item.selected = (drawItem.itemState & ODS_SELECTED) != 0;
    item.checked = (drawItem.itemState & ODS_CHECKED) != 0;
    item.greyed = (drawItem.itemState & ODS_GRAYED) != 0;
    item.radio = item.checked && IsRadioItem(reinterpret_cast<HMENU>(drawItem.hwndItem), drawItem.itemID);
    if (item.record->globalImageIndex >= 0) {
        item.images = &StoredImages();
        item.image = item.record->globalImageIndex;
        for (const StoredImage& entry : Shared().allImageIds) {
            if (entry.slot == item.image) item.hasCopies = entry.hasCopies;
        }
    } else if (item.record->imageList && item.record->imageIndex >= 0) {
        item.images = item.record->imageList.get();
        item.image = item.record->imageIndex;
    }
    return item;
}

void COwnerDrawMenu::DrawEmbossed(HDC dc, const ItemPaint& item, int x, int y, COLORREF ground) const {
    DrawEmbossedImage(dc, *item.images, item.image, x, y, ground,
                      m_embossWithDib ? EmbossMask::DibSection : EmbossMask::MonochromeBitmap);
}

void COwnerDrawMenu::DrawClassic(const DRAWITEMSTRUCT& drawItem) {
    const HDC dc = drawItem.hDC;
    ItemPaint item = DescribeItem(drawItem);
    const COLORREF background = SysColor(IsThemedXP() ? COLOR_BTNFACE : COLOR_MENU);
    if (item.greyed && item.selected && !Settings().classicSelectGreyed) item.selected = false;
    RECT rect = item.rect;
    if (item.IsSeparator()) {
        Fill(dc, rect, background);
        rect.top += (rect.bottom - rect.top) / 2;
        ::DrawEdge(dc, &rect, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool marked = item.HasImage() || item.checked;
    if (item.selected) {
        RECT selection = rect;
        if (marked) {
            selection.left += m_iconWidth + 5;
            Fill(dc, RECT{rect.left, rect.top, selection.left, rect.bottom}, background);
        }
        Fill(dc, selection, SysColor(COLOR_HIGHLIGHT));
    } else {
        Fill(dc, rect, background);
        Outline(dc, rect, background);
    }
    if (item.HasImage()) {
        DrawClassicImage(dc, item, background);
    } else if (item.checked) {
        DrawClassicCheck(dc, item, background);
    }
    DrawClassicText(dc, item, background);
}

void COwnerDrawMenu::DrawClassicImage(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const int dy = std::max(0, (item.Height() - m_iconHeight - 4) / 2);
    const RECT frame{rect.left, rect.top + dy, rect.left + m_iconWidth + 4, rect.top + dy + m_iconHeight + 4};
    const RECT box{rect.left + 1, rect.top + dy + 1, rect.left + m_iconWidth + 3, rect.top + dy + m_iconHeight + 3};
    const int x = rect.left + 2;
    const int y = rect.top + dy + 2;
    if (item.greyed) {
        Fill(dc, frame, background);
        DrawEmbossed(dc, item, x, y, background);
        Outline(dc, box, background);
        return;
    }
    const bool pressed = item.checked && !item.selected;
    Fill(dc, frame, pressed ? LightenColor(background, 0.6) : background);
    item.images->Draw(dc, item.image, x, y, ILD_TRANSPARENT);
    if ((item.selected || item.checked) && WindowsVersion() > kNtOther) {
        Frame3d(dc, frame, item.checked);
    } else {
        Outline(dc, box, background);
    }
}

void COwnerDrawMenu::DrawClassicCheck(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const int dy = std::max(0, (item.Height() - m_iconHeight - 4) / 2);
    if (UsesCheckImages(item.selected)) {
        const RECT box{rect.left, rect.top + dy, rect.left + m_iconWidth + 4, rect.top + dy + m_iconHeight + 4};
        Fill(dc, box, background);
        Outline(dc, box, background);
        m_checkImages->Draw(dc, item.selected ? 1 : 0, rect.left + 2, rect.top + dy + 2, ILD_TRANSPARENT);
        return;
    }
    RECT box{rect.left + 1, rect.top + dy + 2, rect.left + m_iconWidth + 1, rect.top + dy + m_iconHeight + 2};
    Fill(dc, box, item.selected ? background : LightenColor(background, 0.6));
    if (WindowsVersion() > kNtOther) ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    if (item.radio) {
        DrawRadioDotGlyph(dc, box.left + 5, box.top + 4, SysColor(COLOR_MENUTEXT));
    } else {
        DrawCheckMarkGlyph(dc, box.left + 4, box.top + 4, SysColor(COLOR_MENUTEXT));
    }
}

void COwnerDrawMenu::DrawClassicText(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const RECT textRect{rect.left + m_iconWidth + 9, rect.top - 1, rect.right, rect.bottom - 1};
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const std::wstring& text = item.record->itemText;
    if (item.greyed && !item.selected) {
        const RECT raised{textRect.left + 1, textRect.top + 1, textRect.right + 1, textRect.bottom + 1};
        DrawTextInColor(dc, text, raised, m_iconWidth, SysColor(COLOR_BTNHIGHLIGHT));
        DrawTextInColor(dc, text, textRect, m_iconWidth, SysColor(COLOR_GRAYTEXT));
    } else {
        const COLORREF color = item.greyed     ? background
                               : item.selected ? SysColor(COLOR_HIGHLIGHTTEXT)
                                               : SysColor(COLOR_MENUTEXT);
        DrawTextInColor(dc, text, textRect, m_iconWidth, color);
    }
    ::SetBkMode(dc, previousMode);
}

// Greyed items are painted off screen with the menu font and copied in one
// blit, so the embossed layers never show half-drawn.
void COwnerDrawMenu::DrawFlat(const DRAWITEMSTRUCT& drawItem) {
    ItemPaint item = DescribeItem(drawItem);
    if (item.greyed && item.selected && !Settings().flatSelectGreyed) item.selected = false;
    const RECT target = item.rect;
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    MemoryCanvas canvas;
    if (!item.greyed || width <= 0 || height <= 0 || !canvas.Create(drawItem.hDC, width, height)) {
        DrawFlatItem(drawItem.hDC, item);
        return;
    }
    const HFONT font = CreateMenuFont();
    const HGDIOBJ previousFont = font ? ::SelectObject(canvas, font) : nullptr;
    item.rect = RECT{0, 0, width, height};
    DrawFlatItem(canvas, item);
    ::BitBlt(drawItem.hDC, target.left, target.top, width, height, canvas, 0, 0, SRCCOPY);
    if (previousFont) ::SelectObject(canvas, previousFont);
    if (font) ::DeleteObject(font);
}

void COwnerDrawMenu::DrawFlatItem(HDC dc, const ItemPaint& item) const {
    const bool themedXP = IsThemedXP();
    const COLORREF ground = SysColor(COLOR_WINDOW);
    const COLORREF barColor = themedXP ? SysColor(COLOR_BTNFACE) : LightenColor(SysColor(COLOR_BTNFACE), 0.25);
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    const COLORREF selection = LightenColor(highlight, themedXP ? 0.7 : 0.85);
    const int margin = Margin(Look::Flat);
    const RECT& rect = item.rect;
    const RECT bar{rect.left, rect.top, rect.left + margin + m_iconWidth, rect.bottom};

    if (item.IsSeparator()) {
        Fill(dc, rect, ground);
        Fill(dc, bar, barColor);
        Outline(dc, bar, barColor);
        RECT line{bar.right + margin, rect.top + item.Height() / 2, rect.right, rect.top + item.Height() / 2 + 2};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (item.selected) {
        Fill(dc, rect, selection);
        Outline(dc, rect, highlight);
    } else {
        Fill(dc, rect, ground);
        Fill(dc, bar, barColor);
        Outline(dc, rect, ground);
        Outline(dc, bar, barColor);
    }
    if (item.HasImage()) {
        DrawFlatImage(dc, item, bar, item.selected ? selection : barColor);
    } else if (item.checked) {
        DrawFlatCheck(dc, item, bar);
    }
    DrawFlatText(dc, item, bar);
}

void COwnerDrawMenu::DrawFlatImage(HDC dc, const ItemPaint& item, const RECT& bar, COLORREF ground) const {
    const RECT& rect = item.rect;
    const int barWidth = bar.right - bar.left;
    const int x = rect.left + std::max(0, (barWidth - m_iconWidth + 1) / 2);
    const int y = rect.top + std::max(0, (item.Height() - m_iconHeight + 1) / 2);
    const RECT box{rect.left + 1, rect.top + 1, bar.right - 1, rect.bottom - 1};
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    const CImageList& images = *item.images;
    if (item.greyed) {
        DrawEmbossed(dc, item, x, y, ground);
        if (item.selected) Outline(dc, rect, highlight);
        return;
    }
    if (item.selected && item.checked) {
        Outline(dc, box, highlight);
        images.Draw(dc, item.image, x - 1, y - 1, ILD_TRANSPARENT);
    } else if (item.selected && item.hasCopies) {
        images.Draw(dc, item.image + 2, x + 1, y + 1, ILD_TRANSPARENT);
        images.Draw(dc, item.image, x - 1, y - 1, ILD_TRANSPARENT);
    } else if (item.selected) {
        images.Draw(dc, item.image, x, y, ILD_TRANSPARENT);
    } else if (item.checked) {
        Fill(dc, box, LightenColor(highlight, 0.85));
        Outline(dc, box, highlight);
        images.Draw(dc, item.image, x - 1, y - 1, ILD_TRANSPARENT);
    } else {
        Fill(dc, box, ground);
        Outline(dc, box, ground);
        images.Draw(dc, item.hasCopies ? item.image + 1 : item.image, x, y, ILD_TRANSPARENT);
    }
}

void COwnerDrawMenu::DrawFlatCheck(HDC dc, const ItemPaint& item, const RECT& bar) const {
    const RECT& rect = item.rect;
    const int barWidth = bar.right - bar.left;
    if (UsesCheckImages(item.selected)) {
        const int x = rect.left + std::max(0, (barWidth - m_iconWidth + 1) / 2);
        const int y = rect.top + std::max(0, (item.Height() - m_iconHeight + 1) / 2);
        m_checkImages->Draw(dc, item.selected ? 1 : 0, x, y, ILD_TRANSPARENT);
        return;
    }
    constexpr int kBoxSize = 16;
    const int left = rect.left + std::max(0, (barWidth - kBoxSize) / 2);
    const int top = rect.top + std::max(0, (item.Height() - kBoxSize) / 2);
    const RECT box{left, top, left + kBoxSize, top + kBoxSize};
    Fill(dc, box, LightenColor(SysColor(COLOR_HIGHLIGHT), 0.85));
    Outline(dc, box, SysColor(COLOR_HIGHLIGHT));
    if (item.radio) {
        DrawRadioDotGlyph(dc, left + 5, top + 4, SysColor(COLOR_MENUTEXT));
    } else {
        DrawCheckMarkGlyph(dc, left + 5, top + 4, SysColor(COLOR_MENUTEXT));
    }
}

void COwnerDrawMenu::DrawFlatText(HDC dc, const ItemPaint& item, const RECT& bar) const {
    const RECT& rect = item.rect;
    const RECT textRect{bar.right + 8, rect.top - 1, rect.right, rect.bottom - 1};
    COLORREF color = SysColor(COLOR_MENUTEXT);
    if (item.greyed) {
        color = SysColor(COLOR_GRAYTEXT);
        if (!item.selected && !IsThemedXP()) color = LightenColor(color, 0.4);
    }
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    DrawTextInColor(dc, item.record->itemText, textRect, m_iconWidth, color);
    ::SetBkMode(dc, previousMode);
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
    if (!own->Create(m_iconWidth, m_iconHeight, ILC_COLOR24 | ILC_MASK, 1, 1)) return;
    int index = -1;
    if (m_iconHandlesGiven) {
        index = own->Add(reinterpret_cast<HICON>(image));
    } else {
        CBitmap loaded;
        if (loaded.LoadBitmap(AfxGetResourceHandle(), static_cast<UINT>(image))) {
            CBitmap fitted(FitBitmap(loaded, m_iconWidth, m_iconHeight, TransparentColor()));
            index = own->Add(fitted, TransparentColor());
        }
    }
    if (index < 0) return;
    item.imageIndex = index;
    item.ownImage = index;
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
    m_loadedFromResource = FALSE;
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
    if (!data || !CreateMenu()) return FALSE;
    TemplateReader reader{static_cast<const BYTE*>(data), size};
    if (!ReadTemplate(reader)) {
        ReleaseContents();
        CMenu::DestroyMenu();
        return FALSE;
    }
    RestorePlainItems(false);
    m_loadedFromResource = TRUE;
    return TRUE;
}

BOOL COwnerDrawMenu::ReadTemplate(TemplateReader& reader) {
    WORD version = 0;
    WORD headerSize = 0;
    if (!reader.Word(version) || !reader.Word(headerSize) || version != 0 || !reader.Skip(headerSize)) return FALSE;

    struct OpenMenu {
        COwnerDrawMenu* menu;
        bool closesParent;  // its popup item was the last of the parent
    };
    std::vector<OpenMenu> open{{this, false}};
    while (!open.empty()) {
        WORD flags = 0;
        WORD id = 0;
        std::wstring text;
        if (!reader.Word(flags) || (!(flags & MF_POPUP) && !reader.Word(id)) || !reader.Text(text)) return FALSE;
        COwnerDrawMenu& parent = *open.back().menu;
        const UINT itemFlags = flags & kTemplateItemFlags;
        if (flags & MF_POPUP) {
            COwnerDrawMenu* popup = parent.AppendChildPopup(text.c_str(), itemFlags);
            if (!popup) return FALSE;
            open.push_back({popup, (flags & MF_END) != 0});
            continue;
        }
        if (!parent.AppendItem(text.c_str(), itemFlags, id, -1)) return FALSE;
        while ((flags & MF_END) && !open.empty()) {
            const OpenMenu closed = open.back();
            open.pop_back();
            if (closed.menu != this) closed.menu->AlignAccelerators();
            if (!closed.closesParent) break;
        }
    }
    return TRUE;
}

COwnerDrawMenu* COwnerDrawMenu::AppendChildPopup(const wchar_t* text, UINT flags) {
    auto popup = std::make_unique<COwnerDrawMenu>();
    if (!popup->CreatePopupMenu()) return nullptr;
    popup->ShareCheckImages(*this);
    if (!AppendItem(text, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup->GetSafeHmenu()), -1)) return nullptr;
    m_ownedPopups.push_back(std::move(popup));
    return m_ownedPopups.back().get();
}

// ---------------------------------------------------------------------------
// Accelerators and synchronising

// Each space widens the label, so the padding loop ends; a font whose space
// has no width stops it at once rather than spinning.
void COwnerDrawMenu::AlignAccelerators() {
    MeasuringDC dc(true);
    if (!dc) return;
    int widest = 0;
    for (const auto& record : m_itemData) {
        const std::wstring label = record->itemText.substr(0, record->itemText.find(L'\t'));
        widest = std::max(widest, Cp949TextWidth(dc, label + L" "));
    }
    for (auto& record : m_itemData) {
        const size_t tab = record->itemText.find(L'\t');
        if (tab == std::wstring::npos) continue;
        std::wstring label = record->itemText.substr(0, tab);
        for (int width = Cp949TextWidth(dc, label); width < widest;) {
            label += L' ';
            const int wider = Cp949TextWidth(dc, label);
            if (wider <= width) break;
            width = wider;
        }
        record->itemText = label + record->itemText.substr(tab);
    }
}

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::ClaimRecord(RecordMatch matches,
                                                                UINT_PTR key) {
    for (auto& record : m_itemData) {
        if (record && matches(*record, key)) return std::move(record);
    }
    return nullptr;
}

std::unique_ptr<COwnerDrawMenuItem> COwnerDrawMenu::SyncPopup(int position, HMENU popup) {
    auto record = ClaimRecord(
        [](const COwnerDrawMenuItem& item, UINT_PTR handle) {
            return (item.itemFlags & MF_POPUP) && item.itemId == handle;
        },
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
    auto record = ClaimRecord(
        [](const COwnerDrawMenuItem& item, UINT_PTR) { return item.itemId == 0; }, 0);
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

// COwnerDrawMenu's painting and measuring: the owner-draw requests, the two
// looks' drawing steps (item ground, image or check, text), the menu font and
// the accelerator alignment that measures with it.
#include "controls/OwnerDrawMenu.h"

#include "controls/MenuImages.h"
#include "controls/MenuLook.h"
#include "controls/ScaledFrames.h"
#include "framework/Color.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <algorithm>

namespace {

COLORREF SysColor(int index) { return ::GetSysColor(index); }

void Fill(HDC dc, const RECT& rect, COLORREF color) { CDCHandle(dc).FillSolidRect(rect, color); }

void Outline(HDC dc, const RECT& rect, COLORREF color, int width) {
    CBrush brush;
    if (brush.CreateSolidBrush(color)) FrameBand(dc, rect, brush, width);
}

// A 3-D frame: raised has the light edge top and left.
void Frame3d(HDC dc, const RECT& rect, bool sunken, int width) {
    const COLORREF light = SysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = SysColor(COLOR_BTNSHADOW);
    Draw3dBand(dc, rect, sunken ? dark : light, sunken ? light : dark, width);
}

HWND MeasuringWindow() {
    const CWnd* main = AfxGetMainWnd();
    const HWND window = main ? main->GetSafeHwnd() : nullptr;
    return window ? window : ::GetDesktopWindow();
}

// The system's menu font at `dpi`; empty when the metrics cannot be read.
CFont CreateMenuFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    CFont font;
    if (NonClientMetricsForDpi(metrics, dpi)) font.CreateFontIndirect(metrics.lfMenuFont);
    return font;
}

enum class MeasuringFont { System, Menu };

// A DC of the main window (or the desktop), with the menu font at `dpi`
// selected when asked; font and DC are given back when it goes.
class MeasuringDC : public CClientDC {
public:
    MeasuringDC(MeasuringFont font, UINT dpi)
        : CClientDC(MeasuringWindow()),
          m_font(font == MeasuringFont::Menu ? CreateMenuFont(dpi) : CFont()),
          m_fontIn(*this, m_font) {}

private:
    CFont m_font;
    CSelectedObject m_fontIn;  // selects nothing when there is no font
};

SIZE TextExtent(HDC dc, const std::wstring& text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

// The text as the program's 8-bit text holds it: a character that code page
// 949 cannot hold is the "?" it becomes there.
std::wstring HeldText(const std::wstring& text) { return ToWide(FromWide(text)); }

// The width of the text as the program holds it, which is how the
// accelerators line up on a Korean system.
int Cp949TextWidth(HDC dc, const std::wstring& text) { return TextExtent(dc, HeldText(text)).cx; }

// Win32s measured the 8-bit text as drawing it would take it...
SIZE DrawnTextSize(HDC dc, const std::wstring& text) {
    const std::wstring held = HeldText(text);
    RECT bounds{};
    ::DrawTextW(dc, held.data(), static_cast<int>(held.size()), &bounds, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// ...and left room beyond it: three pixels, then three of the text's average
// characters, counted as its 8-bit text counts them (a Hangul syllable is
// two).
int WidenedForWin32s(int width, const std::wstring& text, DpiScale scale) {
    const int characters = FromWide(text).GetLength();
    width += scale.Edge(3);
    if (characters > 0) width += (width / characters) * 3;
    return width;
}

// The DC's own font, which the older version classes measure with, exists
// at the system DPI only: its size is scaled from there.
SIZE MeasureItemText(const std::wstring& text, UINT dpi) {
    const int version = MenuWindowsVersion();
    const MeasuringFont font = version > kNtOther ? MeasuringFont::Menu : MeasuringFont::System;
    MeasuringDC dc(font, dpi);
    if (!dc) return SIZE{};
    SIZE size = version == kWin32s ? DrawnTextSize(dc, text) : TextExtent(dc, text);
    if (font == MeasuringFont::System) {
        const int system = static_cast<int>(SystemDpi());
        size = SIZE{::MulDiv(size.cx, static_cast<int>(dpi), system), ::MulDiv(size.cy, static_cast<int>(dpi), system)};
    }
    if (version == kWin32s) size.cx = WidenedForWin32s(size.cx, text, DpiScale(static_cast<int>(dpi)));
    return size;
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
    int faded = -1;  // the stored image's copies, when it has both
    int shadow = -1;

    bool HasImage() const { return images && image >= 0; }
    bool HasCopies() const { return faded >= 0 && shadow >= 0; }
    bool IsSeparator() const { return (record->itemFlags & MF_SEPARATOR) != 0; }
    int Height() const { return rect.bottom - rect.top; }
};

bool COwnerDrawMenu::UsesCheckImages(bool selected) const {
    if (!m_checkImages || m_checkImages->GetImageCount() < 2) return false;
    return (selected && m_selectedCheckImage > 0) || m_normalCheckImage > 0;
}

int COwnerDrawMenu::Margin(MenuLook look) const {
    return Scaled(look == MenuLook::Flat && MenuSettings().flatExtras ? 7 : 4);
}

// ---------------------------------------------------------------------------
// Measuring

void COwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    if (!measureItem || measureItem->CtlType != ODT_MENU) return;
    const COwnerDrawMenuItem* item = FindRecord(measureItem->itemData);
    if (!item) return;
    const MenuLook look = ChooseMenuLook();
    const int margin = Margin(look);
    const int menuBarHeight = SystemMetricForDpi(SM_CYMENU, Dpi());
    if (item->itemFlags & MF_SEPARATOR) {
        measureItem->itemWidth = 0;
        measureItem->itemHeight = std::max(menuBarHeight >> 1, (IconHeight() + margin) / 2);
        return;
    }
    const SIZE text = MeasureItemText(item->itemText, Dpi());
    const int width =
        look == MenuLook::Flat ? text.cx + IconWidth() + margin + Scaled(8) : text.cx + 2 * IconWidth() + Scaled(1);
    measureItem->itemWidth = static_cast<UINT>(std::max(width, 0));
    measureItem->itemHeight = static_cast<UINT>(std::max(menuBarHeight, IconHeight() + margin));
}

// Each space widens the label, so the padding loop ends; a font whose space
// has no width stops it at once rather than spinning.
void COwnerDrawMenu::AlignAccelerators() {
    MeasuringDC dc(MeasuringFont::Menu, Dpi());
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

// ---------------------------------------------------------------------------
// Drawing

void COwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (!drawItem || drawItem->CtlType != ODT_MENU || !drawItem->hDC || !FindRecord(drawItem->itemData)) return;
    // The system selects its menu font for the system DPI; the text is drawn
    // in the one it was measured with.
    const CFont font = CreateMenuFont(Dpi());
    CDCHandle dc(drawItem->hDC);
    const CSelectedObject fontIn(dc, font);
    if (ChooseMenuLook(ColoursOf(drawItem->hDC)) == MenuLook::Flat) {
        DrawFlat(*drawItem, font);
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
        const StoredMenuImage* stored = StoredImageAt(item.image);
        if (stored && stored->HasCopies()) {
            item.faded = stored->faded;
            item.shadow = stored->shadow;
        }
    } else if (item.record->imageList && item.record->imageIndex >= 0) {
        item.images = item.record->imageList.get();
        item.image = item.record->imageIndex;
    }
    return item;
}

void COwnerDrawMenu::DrawEmbossed(HDC dc, const ItemPaint& item, int x, int y, COLORREF ground) const {
    DrawEmbossedImage(dc, *item.images, item.image, x, y, ground,
                      m_embossWithDib ? EmbossMask::DibSection : EmbossMask::MonochromeBitmap, Scaled(1));
}

void COwnerDrawMenu::DrawClassic(const DRAWITEMSTRUCT& drawItem) {
    const HDC dc = drawItem.hDC;
    ItemPaint item = DescribeItem(drawItem);
    const COLORREF background = SysColor(IsThemedXP() ? COLOR_BTNFACE : COLOR_MENU);
    if (item.greyed && item.selected && !MenuSettings().classicSelectGreyed) item.selected = false;
    RECT rect = item.rect;
    if (item.IsSeparator()) {
        Fill(dc, rect, background);
        rect.top += (rect.bottom - rect.top) / 2;
        DrawEtchedLine(dc, rect, LineWidth());
        return;
    }
    const bool marked = item.HasImage() || item.checked;
    if (item.selected) {
        RECT selection = rect;
        if (marked) {
            selection.left += IconWidth() + Scaled(5);
            Fill(dc, RECT{rect.left, rect.top, selection.left, rect.bottom}, background);
        }
        Fill(dc, selection, SysColor(COLOR_HIGHLIGHT));
    } else {
        Fill(dc, rect, background);
        Outline(dc, rect, background, LineWidth());
    }
    if (item.HasImage()) {
        DrawClassicImage(dc, item, background);
    } else if (item.checked) {
        DrawClassicCheck(dc, item, background);
    }
    DrawClassicText(dc, item, background);
}

int COwnerDrawMenu::ClassicBoxTop(const ItemPaint& item) const {
    return std::max(0, (item.Height() - IconHeight() - Scaled(4)) / 2);
}

void COwnerDrawMenu::DrawClassicImage(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const int dy = ClassicBoxTop(item);
    const int top = rect.top + dy;
    const RECT frame{rect.left, top, rect.left + IconWidth() + Scaled(4), top + IconHeight() + Scaled(4)};
    const RECT box{rect.left + Scaled(1), top + Scaled(1), rect.left + IconWidth() + Scaled(3),
                   top + IconHeight() + Scaled(3)};
    const int x = rect.left + Scaled(2);
    const int y = top + Scaled(2);
    if (item.greyed) {
        Fill(dc, frame, background);
        DrawEmbossed(dc, item, x, y, background);
        Outline(dc, box, background, LineWidth());
        return;
    }
    const bool pressed = item.checked && !item.selected;
    Fill(dc, frame, pressed ? LightenColor(background, 0.6) : background);
    item.images->Draw(dc, item.image, x, y, ILD_TRANSPARENT);
    if ((item.selected || item.checked) && MenuWindowsVersion() > kNtOther) {
        Frame3d(dc, frame, item.checked, LineWidth());
    } else {
        Outline(dc, box, background, LineWidth());
    }
}

void COwnerDrawMenu::DrawClassicCheck(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const int top = rect.top + ClassicBoxTop(item);
    if (UsesCheckImages(item.selected)) {
        const RECT box{rect.left, top, rect.left + IconWidth() + Scaled(4), top + IconHeight() + Scaled(4)};
        Fill(dc, box, background);
        Outline(dc, box, background, LineWidth());
        m_checkImages->Draw(dc, item.selected ? 1 : 0, rect.left + Scaled(2), top + Scaled(2), ILD_TRANSPARENT);
        return;
    }
    const RECT box{rect.left + Scaled(1), top + Scaled(2), rect.left + IconWidth() + Scaled(1),
                   top + IconHeight() + Scaled(2)};
    Fill(dc, box, item.selected ? background : LightenColor(background, 0.6));
    if (MenuWindowsVersion() > kNtOther) DrawEdgeBand(dc, box, BDR_SUNKENOUTER, LineWidth());
    if (item.radio) {
        DrawRadioDotGlyph(dc, box.left + Scaled(5), box.top + Scaled(4), SysColor(COLOR_MENUTEXT), m_scale);
    } else {
        DrawCheckMarkGlyph(dc, box.left + Scaled(4), box.top + Scaled(4), SysColor(COLOR_MENUTEXT), m_scale);
    }
}

void COwnerDrawMenu::DrawClassicText(HDC dc, const ItemPaint& item, COLORREF background) const {
    const RECT& rect = item.rect;
    const RECT textRect{rect.left + IconWidth() + Scaled(9), rect.top - Scaled(1), rect.right, rect.bottom - Scaled(1)};
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const std::wstring& text = item.record->itemText;
    if (item.greyed && !item.selected) {
        RECT raised = textRect;
        ::OffsetRect(&raised, Scaled(1), Scaled(1));
        DrawTextInColor(dc, text, raised, IconWidth(), SysColor(COLOR_BTNHIGHLIGHT));
        DrawTextInColor(dc, text, textRect, IconWidth(), SysColor(COLOR_GRAYTEXT));
    } else {
        const COLORREF color = item.greyed     ? background
                               : item.selected ? SysColor(COLOR_HIGHLIGHTTEXT)
                                               : SysColor(COLOR_MENUTEXT);
        DrawTextInColor(dc, text, textRect, IconWidth(), color);
    }
    ::SetBkMode(dc, previousMode);
}

// Greyed items are painted off screen with the menu font and copied in one
// blit, so the embossed layers never show half-drawn.
void COwnerDrawMenu::DrawFlat(const DRAWITEMSTRUCT& drawItem, HFONT font) {
    ItemPaint item = DescribeItem(drawItem);
    if (item.greyed && item.selected && !MenuSettings().flatSelectGreyed) item.selected = false;
    const RECT target = item.rect;
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    MemoryCanvas canvas;
    if (!item.greyed || width <= 0 || height <= 0 || !canvas.Create(drawItem.hDC, width, height)) {
        DrawFlatItem(drawItem.hDC, item);
        return;
    }
    const CSelectedObject fontIn(canvas.Dc(), font);
    item.rect = RECT{0, 0, width, height};
    DrawFlatItem(canvas, item);
    ::BitBlt(drawItem.hDC, target.left, target.top, width, height, canvas, 0, 0, SRCCOPY);
}

void COwnerDrawMenu::DrawFlatItem(HDC dc, const ItemPaint& item) const {
    const bool themedXP = IsThemedXP();
    const COLORREF ground = SysColor(COLOR_WINDOW);
    const COLORREF barColor = themedXP ? SysColor(COLOR_BTNFACE) : LightenColor(SysColor(COLOR_BTNFACE), 0.25);
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    const COLORREF selection = LightenColor(highlight, themedXP ? 0.7 : 0.85);
    const int margin = Margin(MenuLook::Flat);
    const RECT& rect = item.rect;
    const RECT bar{rect.left, rect.top, rect.left + margin + IconWidth(), rect.bottom};

    if (item.IsSeparator()) {
        Fill(dc, rect, ground);
        Fill(dc, bar, barColor);
        Outline(dc, bar, barColor, LineWidth());
        DrawEtchedLine(dc, RECT{bar.right + margin, rect.top + item.Height() / 2, rect.right, rect.bottom},
                       LineWidth());
        return;
    }
    if (item.selected) {
        Fill(dc, rect, selection);
        Outline(dc, rect, highlight, LineWidth());
    } else {
        Fill(dc, rect, ground);
        Fill(dc, bar, barColor);
        Outline(dc, rect, ground, LineWidth());
        Outline(dc, bar, barColor, LineWidth());
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
    const int x = rect.left + std::max(0, (barWidth - IconWidth() + 1) / 2);
    const int y = rect.top + std::max(0, (item.Height() - IconHeight() + 1) / 2);
    const int nudge = Scaled(1);  // the raised image's step up and left, and its shadow's down and right
    const RECT box{rect.left + Scaled(1), rect.top + Scaled(1), bar.right - Scaled(1), rect.bottom - Scaled(1)};
    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);
    const CImageList& images = *item.images;
    if (item.greyed) {
        DrawEmbossed(dc, item, x, y, ground);
        if (item.selected) Outline(dc, rect, highlight, LineWidth());
        return;
    }
    if (item.selected && item.checked) {
        Outline(dc, box, highlight, LineWidth());
        images.Draw(dc, item.image, x - nudge, y - nudge, ILD_TRANSPARENT);
    } else if (item.selected && item.HasCopies()) {
        images.Draw(dc, item.shadow, x + nudge, y + nudge, ILD_TRANSPARENT);
        images.Draw(dc, item.image, x - nudge, y - nudge, ILD_TRANSPARENT);
    } else if (item.selected) {
        images.Draw(dc, item.image, x, y, ILD_TRANSPARENT);
    } else if (item.checked) {
        Fill(dc, box, LightenColor(highlight, 0.85));
        Outline(dc, box, highlight, LineWidth());
        images.Draw(dc, item.image, x - nudge, y - nudge, ILD_TRANSPARENT);
    } else {
        Fill(dc, box, ground);
        Outline(dc, box, ground, LineWidth());
        images.Draw(dc, item.HasCopies() ? item.faded : item.image, x, y, ILD_TRANSPARENT);
    }
}

void COwnerDrawMenu::DrawFlatCheck(HDC dc, const ItemPaint& item, const RECT& bar) const {
    const RECT& rect = item.rect;
    const int barWidth = bar.right - bar.left;
    if (UsesCheckImages(item.selected)) {
        const int x = rect.left + std::max(0, (barWidth - IconWidth() + 1) / 2);
        const int y = rect.top + std::max(0, (item.Height() - IconHeight() + 1) / 2);
        m_checkImages->Draw(dc, item.selected ? 1 : 0, x, y, ILD_TRANSPARENT);
        return;
    }
    const int boxSize = Scaled(16);
    const int left = rect.left + std::max(0, (barWidth - boxSize) / 2);
    const int top = rect.top + std::max(0, (item.Height() - boxSize) / 2);
    const RECT box{left, top, left + boxSize, top + boxSize};
    Fill(dc, box, LightenColor(SysColor(COLOR_HIGHLIGHT), 0.85));
    Outline(dc, box, SysColor(COLOR_HIGHLIGHT), LineWidth());
    if (item.radio) {
        DrawRadioDotGlyph(dc, left + Scaled(5), top + Scaled(4), SysColor(COLOR_MENUTEXT), m_scale);
    } else {
        DrawCheckMarkGlyph(dc, left + Scaled(5), top + Scaled(4), SysColor(COLOR_MENUTEXT), m_scale);
    }
}

void COwnerDrawMenu::DrawFlatText(HDC dc, const ItemPaint& item, const RECT& bar) const {
    const RECT& rect = item.rect;
    const RECT textRect{bar.right + Scaled(8), rect.top - Scaled(1), rect.right, rect.bottom - Scaled(1)};
    COLORREF color = SysColor(COLOR_MENUTEXT);
    if (item.greyed) {
        color = SysColor(COLOR_GRAYTEXT);
        if (!item.selected && !IsThemedXP()) color = LightenColor(color, 0.4);
    }
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    DrawTextInColor(dc, item.record->itemText, textRect, IconWidth(), color);
    ::SetBkMode(dc, previousMode);
}

// CSkinButton: construction, images, messages, click extras and destruction.
// The drawing is in SkinButtonPaint.cpp.
#include "controls/SkinButton.h"

#include "controls/ButtonImages.h"
#include "framework/Dpi.h"
#include "framework/LinkOpener.h"
#include "framework/TextConversion.h"
#include "framework/WinApp.h"

#include <mmsystem.h>

#include <optional>
#include <string>
#include <utility>

namespace {

// The button type of a window style: the four type bits of BS_TYPEMASK and
// the unused bit above them, so that a stray 0x10 goes with the type.
constexpr DWORD kButtonTypeMask = 0x1F;
// Bit 0x02 of the type, which the check-box types have (BS_CHECKBOX,
// BS_AUTOCHECKBOX, BS_AUTO3STATE) but also BS_GROUPBOX, BS_PUSHBOX and
// BS_OWNERDRAW; the radio buttons (4 and 9) and BS_3STATE do not.
constexpr DWORD kCheckLikeBit = 0x02;
// BM_SETSTYLE: bits 0x04 and 0x10 go and BS_OWNERDRAW's (0x0B) come. With
// 0x04 cleared every type is one of 0-3 or 8-11, and each of those ORed with
// 0x0B is 0x0B: BS_OWNERDRAW whatever type was asked for.
constexpr WPARAM kStyleBitsReplaced = 0x14;
// The link target's room, terminator included.
constexpr int kLinkTargetRoom = 260;
constexpr int kToolTipWidth = 400;
// WM_DPICHANGED_AFTERPARENT, declared only for Windows 10 targets: Windows
// sends it to a child whose parent has moved to another DPI.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// GetNextDlgTabItem answers the control itself, or nothing, when the
// dialog has no other tab stop.
bool IsOtherTabStop(HWND next, HWND self) { return next && next != self; }

}  // namespace

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
ON_WM_SETCURSOR()
ON_WM_KILLFOCUS()
ON_WM_MOUSEMOVE()
ON_WM_SYSCOLORCHANGE()
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_WM_ACTIVATE()
ON_WM_ENABLE()
ON_WM_CANCELMODE()
ON_WM_GETDLGCODE()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MENUCHAR()
ON_WM_MEASUREITEM()
ON_WM_DRAWITEM()
ON_BM_SETSTYLE()
ON_WM_MOUSELEAVE()
ON_BM_SETCHECK()
ON_BM_GETCHECK()
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(kDpiChangedAfterParent, OnDpiChangedAfterParent)
END_MESSAGE_MAP()

CSkinButton::CSkinButton() { RestoreSystemColors(); }

CSkinButton::~CSkinButton() {
    DropBackgroundCache();
    FreeImages(TRUE);
    if (m_hoverCursor) ::DestroyCursor(m_hoverCursor);
    if (IsMenuAttached()) m_popupMenu.DestroyMenu();
}

void CSkinButton::RestoreSystemColors() {
    for (int i = 0; i < StateColorCount; i += 2) {
        m_stateColors[i] = ::GetSysColor(COLOR_BTNFACE);
        m_stateColors[i + 1] = ::GetSysColor(COLOR_BTNTEXT);
    }
}

// --- Attaching -------------------------------------------------------------

void CSkinButton::PreSubclassWindow() {
    const DWORD type = GetStyle() & 0xFF;
    if (type & kCheckLikeBit) m_checkMode = TRUE;
    if ((type & kButtonTypeMask) == BS_DEFPUSHBUTTON) m_isDefault = TRUE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (GetStyle() & ~kButtonTypeMask) | BS_OWNERDRAW);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_scale = DpiScale(static_cast<int>(WindowDpi(m_hWnd)));
    CButton::PreSubclassWindow();
}

void CSkinButton::SetDpi(UINT dpi) {
    const DpiScale scale(static_cast<int>(dpi));
    if (scale == m_scale) return;
    m_scale = scale;
    // The parent is drawn anew at the new scale, and the button is likely
    // to have been moved and resized with it.
    DropBackgroundCache();
    if (IsWindow()) Invalidate();
}

LRESULT CSkinButton::OnDpiChangedAfterParent(WPARAM, LPARAM) {
    SetDpi(WindowDpi(m_hWnd));
    return Default();
}

LRESULT CSkinButton::OnSetStyle(UINT style, LPARAM redraw) {
    const UINT type = style & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON) m_isDefault = TRUE;
    if (type == BS_PUSHBUTTON) m_isDefault = FALSE;
    return DefWindowProc(BM_SETSTYLE, (style & ~kStyleBitsReplaced) | BS_OWNERDRAW, redraw);
}

UINT CSkinButton::OnGetDlgCode() {
    return static_cast<UINT>(Default()) | (m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// --- Images ----------------------------------------------------------------

int CSkinButton::LoadStateBitmaps(WORD inId, COLORREF inTransparent, int outSelector, COLORREF outTransparent) {
    const HINSTANCE module = AfxGetResourceHandle();
    const auto load = [module](WORD id) {
        return static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    };
    HBITMAP out = nullptr;
    if (outSelector == AutoDarkImage || outSelector == AutoGreyImage) {
        out = SelectorHandle(outSelector);
    } else if (outSelector != NoOutImage) {
        out = load(static_cast<WORD>(outSelector));
    }
    return SetStateBitmaps(load(inId), inTransparent, out, outTransparent);
}

int CSkinButton::SetStateBitmaps(HBITMAP in, COLORREF inTransparent, HBITMAP out, COLORREF outTransparent) {
    FreeImages(TRUE);
    const bool outIsSelector = out == SelectorHandle(AutoDarkImage) || out == SelectorHandle(AutoGreyImage);
    // One handle in both places would be deleted twice.
    if (out == in) out = nullptr;
    // Handles not yet stored are released here when a step fails, since the
    // button owns them from the call on.
    const auto fail = [&](int result) {
        FreeImages(TRUE);
        if (out && !outIsSelector) ::DeleteObject(out);
        return result;
    };
    if (!in) {
        if (out && !outIsSelector) ::DeleteObject(out);
        Invalidate();
        return ImagesSet;
    }
    m_stateBitmaps[0] = {in, 0, 0, nullptr, inTransparent};
    if (!ReadSize(m_stateBitmaps[0])) return fail(NotABitmap);
    if (outIsSelector) {
        // Before the in image's mask, which blackens its transparent pixels.
        const StateBitmap& source = m_stateBitmaps[0];
        out = out == SelectorHandle(AutoDarkImage) ? CreateDarkImage(in, source.width, source.height, inTransparent)
                                                   : CreateGreyImage(in, source.width, source.height, inTransparent);
        outTransparent = inTransparent;
    }
    if (!MakeMask(m_stateBitmaps[0])) return fail(NoMask);
    if (out) {
        m_stateBitmaps[1] = {std::exchange(out, nullptr), 0, 0, nullptr, outTransparent};
        if (!ReadSize(m_stateBitmaps[1])) return fail(NotABitmap);
        if (!MakeMask(m_stateBitmaps[1])) return fail(NoMask);
    }
    Invalidate();
    return ImagesSet;
}

bool CSkinButton::ReadSize(StateBitmap& image) {
    BITMAP info{};
    if (::GetObjectW(image.bitmap, sizeof(info), &info) != sizeof(info)) return false;
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    return true;
}

bool CSkinButton::MakeMask(StateBitmap& image) {
    image.mask = CreateMask(image.bitmap, image.width, image.height, image.transparent);
    return image.mask != nullptr;
}

void CSkinButton::SetStateIcons(HICON in, HICON out) {
    FreeImages(TRUE);
    const HICON icons[2] = {in, out};
    for (int i = 0; i < 2; ++i) {
        ICONINFO info{};
        if (!icons[i] || !::GetIconInfo(icons[i], &info)) continue;
        BITMAP size{};
        ::GetObjectW(info.hbmMask, sizeof(size), &size);
        // A monochrome icon keeps both its masks in one bitmap of twice the height.
        m_stateIcons[i] = {icons[i], size.bmWidth, info.hbmColor ? size.bmHeight : size.bmHeight / 2};
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
    Invalidate();
}

void CSkinButton::FreeImages(BOOL release) {
    if (release) {
        for (const StateIcon& image : m_stateIcons) {
            if (image.icon) ::DestroyIcon(image.icon);
        }
        for (const StateBitmap& image : m_stateBitmaps) {
            if (image.bitmap) ::DeleteObject(image.bitmap);
            if (image.mask) ::DeleteObject(image.mask);
        }
    }
    m_stateIcons = {};
    m_stateBitmaps = {};
}

void CSkinButton::SizeToImage() {
    int width = 0;
    int height = 0;
    if (m_stateIcons[0].icon) {
        width = m_stateIcons[0].width;
        height = m_stateIcons[0].height;
    } else if (m_stateBitmaps[0].bitmap) {
        width = m_stateBitmaps[0].width;
        height = m_stateBitmaps[0].height;
    } else {
        return;
    }
    m_imageGap = CPoint(0, 0);
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CSkinButton::UseParentBackground(BOOL repaint) {
    m_useParentBackground = TRUE;
    DropBackgroundCache();
    if (repaint) Invalidate();
}

void CSkinButton::DropBackgroundCache() {
    if (m_previousBackgroundBitmap && m_backgroundDC.GetSafeHdc()) {
        m_backgroundDC.SelectObject(m_previousBackgroundBitmap);
    }
    m_previousBackgroundBitmap = nullptr;
    m_backgroundBitmap.DeleteObject();
    m_backgroundDC.DeleteDC();
}

// --- Extras ----------------------------------------------------------------

void CSkinButton::SetHoverCursor(HCURSOR cursor) {
    if (m_hoverCursor && m_hoverCursor != cursor) ::DestroyCursor(m_hoverCursor);
    m_hoverCursor = cursor;
}

BOOL CSkinButton::SetLink(const char* target) {
    m_linkTarget.Empty();
    if (!target) return TRUE;
    const CString text(target);
    if (text.GetLength() >= kLinkTargetRoom) return FALSE;
    m_linkTarget = text;
    return TRUE;
}

void CSkinButton::SetSound(Sound which, const char* name, HMODULE module, DWORD flags) {
    ButtonSound& sound = SoundOf(which);
    sound.name = name ? ToWide(name) : std::wstring();
    sound.namePointer = name ? sound.name.c_str() : nullptr;
    sound.module = module;
    sound.flags = flags;
}

void CSkinButton::SetSound(Sound which, UINT resourceId, HMODULE module, DWORD flags) {
    ButtonSound& sound = SoundOf(which);
    sound.name.clear();
    sound.namePointer = MAKEINTRESOURCEW(resourceId);
    sound.module = module;
    sound.flags = flags;
}

void CSkinButton::Play(const ButtonSound& sound) {
    if (sound.namePointer) PlaySoundNow(sound.namePointer, sound.module, sound.flags);
}

void CSkinButton::PlaySoundNow(const wchar_t* name, HMODULE module, DWORD flags) { ::PlaySoundW(name, module, flags); }

// Only links that may leave the program are handed to the shell.
void CSkinButton::OpenLink() {
    const std::wstring wide = ToWide(m_linkTarget);
    const std::optional<std::wstring> url =
        OpenableUrl(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
    if (url) LaunchLink(*url);
}

void CSkinButton::LaunchLink(const std::wstring& url) {
    ShellOpenUrl(url, SW_SHOWMAXIMIZED, ShellHandOver::MayFollowTheCall);
}

BOOL CSkinButton::SetPopupMenu(UINT menuId, HWND owner) {
    if (IsMenuAttached()) m_popupMenu.DestroyMenu();
    m_menuOwner = owner;
    m_popupMenu.SetDpi(m_scale.Dpi());
    return m_popupMenu.LoadMenu(menuId);
}

// --- Messages --------------------------------------------------------------

BOOL CSkinButton::OnSetCursor(CWindow, UINT, UINT) {
    if (!m_hoverCursor) return static_cast<BOOL>(Default());
    ::SetCursor(m_hoverCursor);
    return TRUE;
}

void CSkinButton::OnKillFocus(CWindow) {
    Default();
    EndHover();
}

void CSkinButton::OnMouseMove(UINT flags, CPoint point) {
    Default();
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    const HWND under = ::WindowFromPoint(screen);
    // A press that began elsewhere does not light the button up.
    if ((flags & MK_LBUTTON) && !m_hovering) return;
    if (!m_isFlat) return;
    const HWND owner = m_trackWhenInactive ? m_hWnd : ::GetActiveWindow();
    if (under == m_hWnd && owner) {
        if (m_hovering) return;
        m_hovering = TRUE;
        Invalidate();
        Play(m_hoverSound);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&track);
        return;
    }
    EndHover();
}

void CSkinButton::OnMouseLeave() { EndHover(); }

void CSkinButton::EndHover() {
    if (!m_isFlat || !m_hovering) return;
    m_hovering = FALSE;
    Invalidate();
}

void CSkinButton::OnSysColorChange() {
    Default();
    DropBackgroundCache();
    RestoreSystemColors();
    Invalidate();
}

void CSkinButton::OnActivate(UINT state, CWindow, BOOL) {
    Default();
    if (state == WA_INACTIVE) EndHover();
}

void CSkinButton::OnEnable(BOOL enable) {
    Default();
    if (!enable && HadFocusBeforeDisabling()) {
        const CWindow parent = GetParent();
        const HWND next = parent.GetNextDlgTabItem(m_hWnd);
        ::SetFocus(IsOtherTabStop(next, m_hWnd) ? next : parent.m_hWnd);
    }
    EndHover();
}

bool CSkinButton::HadFocusBeforeDisabling() const {
    // The system takes the focus from a window it disables before telling
    // it, so the focus is then nowhere in an active window. A button
    // disabled while the user types elsewhere must not pull the focus away.
    const HWND focus = ::GetFocus();
    return focus == m_hWnd || (!focus && ::GetActiveWindow() == ::GetAncestor(m_hWnd, GA_ROOT));
}

void CSkinButton::OnCancelMode() {
    Default();
    EndHover();
}

HBRUSH CSkinButton::CtlColor(CDCHandle, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

void CSkinButton::OnSetCheck(int state) {
    if (!m_checkMode) return;
    m_checkState = (state == BST_CHECKED || state == BST_INDETERMINATE) ? 1 : 0;
    Invalidate();
}

int CSkinButton::OnGetCheck() { return m_checkState; }

LRESULT CSkinButton::OnMenuChar(UINT character, UINT menuFlags, HMENU menu) {
    if (!COwnerDrawMenu::IsOwnerDrawMenu(menu)) return Default();
    return COwnerDrawMenu::FindShortcut(character, menuFlags, menu);
}

void CSkinButton::OnMeasureItem(int, LPMEASUREITEMSTRUCT item) {
    if (item->CtlType == ODT_MENU) {
        const HMENU asMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item->itemID));
        // While our popup is open its items are ours to measure: with no
        // framework default to find their menu, they would get no size.
        const bool ownSubmenu = ::IsMenu(asMenu) && COwnerDrawMenu::IsOwnerDrawMenu(asMenu);
        if (ownSubmenu || (m_menuShowing && IsMenuAttached())) {
            m_popupMenu.MeasureItem(item);
            return;
        }
    }
    Default();
}

LRESULT CSkinButton::OnDrawItem(int, LPDRAWITEMSTRUCT item) {
    COwnerDrawMenu* const menu = item && item->CtlType == ODT_MENU
                                     ? COwnerDrawMenu::FromHandle(reinterpret_cast<HMENU>(item->hwndItem))
                                     : nullptr;
    if (!menu) return Default();
    menu->DrawItem(item);
    return TRUE;
}

// --- Click -----------------------------------------------------------------

BOOL CSkinButton::OnClicked() {
    SetFocus();
    Play(m_clickSound);
    if (m_checkMode) {
        m_checkState = m_checkState ? 0 : 1;
        Invalidate();
    } else if (IsMenuAttached()) {
        ShowPopupMenu();
    } else if (!m_linkTarget.IsEmpty()) {
        OpenLink();
    }
    // Not handled: the parent gets its click command as well.
    return FALSE;
}

void CSkinButton::ShowPopupMenu() {
    const CRect where = GetWindowRect();
    m_menuShowing = TRUE;
    Invalidate();
    const HMENU submenu = m_popupMenu.GetSubMenu(0);
    if (m_menuNotify.window) {
        ::SendMessageW(m_menuNotify.window, m_menuNotify.message,
                       reinterpret_cast<WPARAM>(COwnerDrawMenu::FromHandle(submenu)), m_menuNotify.lParam);
    }
    m_popupMenu.SetDpi(m_scale.Dpi());
    const UINT chosen =
        submenu ? static_cast<UINT>(::TrackPopupMenu(submenu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                                     where.left, where.bottom, 0, m_hWnd, nullptr))
                : 0;
    m_menuShowing = FALSE;
    Invalidate();
    if (chosen && m_menuOwner) ::PostMessageW(m_menuOwner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

// --- Tooltip and double clicks ---------------------------------------------

BOOL CSkinButton::PreTranslateMessage(MSG* msg) {
    if (!m_toolTip.IsWindow() && m_toolTip.Create(m_hWnd, m_toolTipStyle)) {
        m_toolTip.Activate(false);
        m_toolTip.SetMaxTipWidth(m_scale.Edge(kToolTipWidth));
    }
    m_toolTip.RelayEvent(msg);
    // The button would answer a double click with BN_DOUBLECLICKED alone; as
    // a press it makes the second click of two.
    if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(msg);
}

LRESULT CSkinButton::OnGetObject(WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    return m_accessibleName.Answer(m_hWnd, wParam, lParam, answer) ? answer : Default();
}

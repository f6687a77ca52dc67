// CSkinButton: the push button of the skin. Attached to a dialog's button it
// makes the control owner-drawn and draws every state itself: a face colour
// or a copy of the parent's pixels, a thin 3-D frame, one of two bitmaps (or
// icons) made transparent by a mask, and the caption.
//
//   m_btnClose.LoadStateBitmaps(IDB_CLOSE, RGB(255, 255, 255), CSkinButton::AutoDarkImage);
//   m_btnClose.SizeToImage();
//
// The "in" image is shown while the button is hot (pointer over a flat
// button) or pressed, the "out" image at rest; without an out image the in
// image shows in every state. Flat buttons (the default) have no frame at
// rest and light up under the pointer; others draw the classic raised edge.
//
// Optional extras, off unless set: a check-box mode (taken from the
// control's style), a popup menu opened on click, a link opened on click
// (http, https and mailto only), sounds on hover and click, a cursor.
//
// The button never swallows its click: the parent still gets BN_CLICKED.
//
// Drawing is split into DrawFace, DrawFrame, DrawIconImage,
// DrawBitmapImage and DrawCaption (SkinButtonPaint.cpp), all reached from
// DrawItem, which tests call with a memory DC.
#pragma once

#include "controls/OwnerDrawMenu.h"
#include "framework/AccessibleName.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "framework/DpiScale.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/ToolTip.h"

#include <windows.h>

#include <array>
#include <string>

class CSkinButton : public CButton {
public:
    // Out-image selectors: none, or a copy made from the in image.
    static constexpr int NoOutImage = 0;
    static constexpr int AutoDarkImage = -3;
    static constexpr int AutoGreyImage = -2;
    // A selector where SetStateBitmaps takes the out bitmap's handle.
    static HBITMAP SelectorHandle(int selector) { return reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(selector)); }

    // SetStateBitmaps' and LoadStateBitmaps' answers.
    enum ImageResult { ImagesSet = 0, NotABitmap = 1, NoMask = 2 };

    enum class ImageAlign : BYTE { LeftOfCaption = 0, AboveCaption = 1, RightOfCaption = 2 };
    enum StateColor { HotFace, HotText, NormalFace, NormalText, FocusFace, FocusText, StateColorCount };
    enum class Sound { Hover, Click };

    CSkinButton();
    ~CSkinButton() override;

    // Images. The button owns every handle it is given, from the call on,
    // also when the call fails.
    int LoadStateBitmaps(WORD inId, COLORREF inTransparent, int outSelector = NoOutImage, COLORREF outTransparent = 0);
    int SetStateBitmaps(HBITMAP in, COLORREF inTransparent, HBITMAP out = nullptr, COLORREF outTransparent = 0);
    // Icons replace bitmaps and the other way round.
    void SetStateIcons(HICON in, HICON out = nullptr);
    // Without release the handles are forgotten, not destroyed.
    void FreeImages(BOOL release);
    // The window takes the in image's size, with no gap around the image.
    void SizeToImage();
    void UseParentBackground(BOOL repaint);

    // Looks and extras that the program leaves as constructed.
    void SetStateColor(StateColor which, COLORREF color) { m_stateColors[which] = color; }
    COLORREF GetStateColor(StateColor which) const { return m_stateColors[which]; }
    void SetImageAlign(ImageAlign align) { m_imageAlign = static_cast<BYTE>(align); }
    void SetImageGap(CPoint gap) { m_imageGap = gap; }
    CPoint GetImageGap() const { return m_imageGap; }
    void SetPressShift(CPoint shift) { m_pressShift = shift; }
    void SetFlat(BOOL flat) { m_isFlat = flat; }
    void SetDrawFrame(BOOL draw) { m_drawFrame = draw; }
    void SetFocusWhenFlat(BOOL draw) { m_focusWhenFlat = draw; }
    void SetGreyWhenDisabled(BOOL grey) { m_greyWhenDisabled = grey; }
    void SetTrackWhenInactive(BOOL track) { m_trackWhenInactive = track; }
    void SetToolTipStyle(DWORD style) { m_toolTipStyle = style; }
    // Owned from here on; the one held before is destroyed.
    void SetHoverCursor(HCURSOR cursor);
    // What a click opens: http, https or mailto only. FALSE, and no link,
    // when the target is longer than 259 bytes.
    BOOL SetLink(const char* target);
    // Played with PlaySound(name, module, flags); a null name: no sound.
    void SetSound(Sound which, const char* name, HMODULE module, DWORD flags);
    void SetSound(Sound which, UINT resourceId, HMODULE module, DWORD flags);
    // The first popup of menu template `menuId` opens on click; the chosen
    // command goes to `owner`. FALSE when the template does not load.
    BOOL SetPopupMenu(UINT menuId, HWND owner);
    // `window` gets `message` (wParam the popup's COwnerDrawMenu, or null)
    // just before the popup opens.
    void SetMenuNotify(HWND window, UINT message, LPARAM lParam) { m_menuNotify = {window, message, lParam}; }

    // The DPI the button draws at. It reads its window's DPI when it is
    // attached and when Windows tells it that its parent moved to another
    // DPI; a parent that changes DPI by itself (Wine tells the children
    // nothing) says so here. Images are drawn at their own size; the gaps,
    // the press shift, the frame lines and the focus frame scale.
    void SetDpi(UINT dpi);

    BOOL IsHovering() const { return m_hovering; }
    BOOL IsDefault() const { return m_isDefault; }
    BOOL IsCheckMode() const { return m_checkMode; }
    int GetCheckState() const { return m_checkState; }
    bool HasToolTip() const { return m_toolTip.IsWindow(); }

    // What a screen reader calls the button, for one that shows an image
    // and no caption (code page 949). Empty: the caption, as for any button.
    void SetAccessibleName(const CString& name) { m_accessibleName.Set(m_hWnd, name); }

protected:
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    virtual void DrawFace(CDCHandle& dc, CRect& rect);
    virtual void DrawFrame(CDCHandle& dc, const CRect& rect);
    virtual void DrawIconImage(CDCHandle& dc, bool hasCaption, const CRect& item, CRect& caption, BOOL pressed,
                               BOOL disabled);
    virtual void DrawBitmapImage(CDCHandle& dc, bool hasCaption, const CRect& item, CRect& caption, BOOL pressed,
                                 BOOL disabled);
    virtual void DrawCaption(CDCHandle& dc, const CString& text, const CRect& item, CRect& caption, BOOL pressed,
                             BOOL disabled);

    // The shell and the sound system, virtual so that a derived button can
    // stand in for them. `url` has passed the link check already.
    virtual void LaunchLink(const std::wstring& url);
    virtual void PlaySoundNow(const wchar_t* name, HMODULE module, DWORD flags);

    // Where an image of `width` x `height` goes; may narrow `caption`.
    CRect ComputeImageRect(bool hasCaption, const CRect& item, CRect& caption, BOOL pressed, int width,
                           int height) const;

    BOOL OnSetCursor(CWindow window, UINT hitTest, UINT message);
    void OnKillFocus(CWindow newFocus);
    void OnMouseMove(UINT flags, CPoint point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT state, CWindow other, BOOL minimized);
    void OnEnable(BOOL enable);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(CDCHandle dc, UINT type);
    LRESULT OnMenuChar(UINT character, UINT menuFlags, HMENU menu);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT item);
    // Items of the popup menu it owns; its own face is drawn in DrawItem.
    // Anything else gets the default handling and its answer.
    LRESULT OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    LRESULT OnSetStyle(UINT style, LPARAM redraw);
    void OnMouseLeave();
    void OnSetCheck(int state);
    int OnGetCheck();
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChangedAfterParent(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    struct StateIcon {
        HICON icon = nullptr;
        int width = 0;
        int height = 0;
    };
    struct StateBitmap {
        HBITMAP bitmap = nullptr;
        int width = 0;
        int height = 0;
        HBITMAP mask = nullptr;
        COLORREF transparent = 0;
    };
    struct MenuNotify {
        HWND window = nullptr;
        UINT message = 0;
        LPARAM lParam = 0;
    };
    struct ButtonSound {
        std::wstring name;
        const wchar_t* namePointer = nullptr;  // name, or a resource id; null: no sound
        HMODULE module = nullptr;
        DWORD flags = 0;
    };

    void EndHover();
    bool HadFocusBeforeDisabling() const;
    void DropBackgroundCache();
    void CopyParentBackground(CDCHandle& dc);
    // A 96-DPI offset (the image gap, the press shift) at the button's DPI.
    CPoint Scaled(CPoint offset) const;
    // Index into the images: 0 the in image, 1 the out image when `hasOut`.
    int ImageIndex(bool pressed, bool hasOut) const;
    static bool ReadSize(StateBitmap& image);
    static bool MakeMask(StateBitmap& image);
    bool IsMenuAttached() const { return m_popupMenu.GetSafeHmenu() != nullptr; }
    void ShowPopupMenu();
    void OpenLink();
    void Play(const ButtonSound& sound);
    ButtonSound& SoundOf(Sound which) { return which == Sound::Hover ? m_hoverSound : m_clickSound; }
    void RestoreSystemColors();

    BOOL m_greyWhenDisabled = TRUE;
    CPoint m_imageGap{3, 3};
    CPoint m_pressShift{1, 1};
    BOOL m_isFlat = TRUE;
    BOOL m_hovering = FALSE;
    BOOL m_useParentBackground = FALSE;
    BOOL m_isPressed = FALSE;
    BOOL m_isFocused = FALSE;
    BOOL m_isDisabled = FALSE;
    BOOL m_isDefault = FALSE;
    BOOL m_checkMode = FALSE;
    BYTE m_imageAlign = 0;
    BOOL m_drawFrame = TRUE;
    BOOL m_focusWhenFlat = FALSE;
    std::array<COLORREF, StateColorCount> m_stateColors{};
    HWND m_menuOwner = nullptr;
    BOOL m_menuShowing = FALSE;
    COwnerDrawMenu m_popupMenu;
    HCURSOR m_hoverCursor = nullptr;
    CToolTipCtrl m_toolTip;
    CDC m_backgroundDC;
    CBitmap m_backgroundBitmap;
    HGDIOBJ m_previousBackgroundBitmap = nullptr;
    BOOL m_trackWhenInactive = TRUE;
    int m_checkState = 0;
    DWORD m_toolTipStyle = 0;
    CAccessibleName m_accessibleName;
    CString m_linkTarget;
    std::array<StateIcon, 2> m_stateIcons{};
    std::array<StateBitmap, 2> m_stateBitmaps{};
    MenuNotify m_menuNotify;
    ButtonSound m_hoverSound;
    ButtonSound m_clickSound;
    DpiScale m_scale;
};

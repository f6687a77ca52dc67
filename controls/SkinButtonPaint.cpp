// CSkinButton's drawing: the owner-draw request, the five drawing steps, the
// image rectangle and the cached copy of the parent's background.
#include "controls/SkinButton.h"

#include "controls/ScaledFrames.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kFocusInset = 3;

// The classic raised edge: two light lines on the top and left, two dark
// ones on the bottom and right, each a polyline without its last point. At a
// larger scale each line is a band of polylines, a pixel further in each.
void DrawClassicEdge(CDCHandle& dc, const CRect& r, DpiScale scale) {
    enum class Side { TopLeft, BottomRight };
    struct EdgeLine {
        int systemColor;
        Side side;
        int band;  // 0 the outer line, 1 the inner one
    };
    static constexpr EdgeLine kLines[] = {
        {COLOR_BTNHIGHLIGHT, Side::TopLeft, 0},
        {COLOR_3DLIGHT, Side::TopLeft, 1},
        {COLOR_3DDKSHADOW, Side::BottomRight, 0},
        {COLOR_BTNSHADOW, Side::BottomRight, 1},
    };
    for (const EdgeLine& line : kLines) {
        CPen pen;
        if (!pen.CreatePen(PS_SOLID, 1, ::GetSysColor(line.systemColor))) continue;
        const CSelectedObject penIn(dc, pen);
        for (int i = scale.Edge(line.band); i < scale.Edge(line.band + 1); ++i) {
            const POINT topLeft[3] = {{r.left + i, r.bottom - 1}, {r.left + i, r.top + i}, {r.right, r.top + i}};
            const POINT bottomRight[3] = {
                {r.left + i, r.bottom - 1 - i}, {r.right - 1 - i, r.bottom - 1 - i}, {r.right - 1 - i, r.top - 1 + i}};
            ::Polyline(dc, line.side == Side::TopLeft ? topLeft : bottomRight, 3);
        }
    }
}

// Signed halving, truncated toward zero.
int Half(int value) { return value / 2; }

}  // namespace

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT item) {
    CDCHandle dc(item->hDC);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    if (m_checkMode) {
        m_isPressed = selected || m_checkState != 0;
    } else {
        m_isPressed = selected || (IsMenuAttached() && m_menuShowing);
    }
    m_isFocused = (item->itemState & ODS_FOCUS) != 0;
    m_isDisabled = (item->itemState & ODS_DISABLED) != 0;

    CRect working = item->rcItem;
    dc.SetBkMode(TRANSPARENT);
    if (m_useParentBackground) {
        CopyParentBackground(dc);
    } else {
        DrawFace(dc, working);
    }
    DrawFrame(dc, working);

    const CString caption = GetWindowText();
    const bool hasCaption = !caption.IsEmpty();
    const CRect itemRect = item->rcItem;
    CRect captionRect = itemRect;
    if (m_stateIcons[0].icon) DrawIconImage(dc, hasCaption, itemRect, captionRect, m_isPressed, m_isDisabled);
    if (m_stateBitmaps[0].bitmap) {
        // The mask blit turns mask bits 1 into the background colour and 0
        // into the text colour: white and black keep the face where the
        // image is transparent.
        dc.SetBkColor(kWhite);
        dc.SetTextColor(kBlack);
        DrawBitmapImage(dc, hasCaption, itemRect, captionRect, m_isPressed, m_isDisabled);
    }
    // A button sized to its image has no room left for its caption, which,
    // centred on an empty rectangle, would be drawn half over the image.
    if (hasCaption && captionRect.Width() > 0) {
        DrawCaption(dc, caption, itemRect, captionRect, m_isPressed, m_isDisabled);
    }

    if ((!m_isFlat || m_focusWhenFlat) && m_isFocused) {
        CRect focus = working;
        ::InflateRect(&focus, -m_scale.Edge(kFocusInset), -m_scale.Edge(kFocusInset));
        DrawFocusBand(dc, focus, m_scale.Line(1));
    }
}

void CSkinButton::DrawFace(CDCHandle& dc, CRect& rect) {
    if (!m_isFlat && (m_isFocused || m_isDefault)) {
        CBrush black;
        if (black.CreateSolidBrush(kBlack)) FrameBand(dc, rect, black, m_scale.Line(1));
        ::InflateRect(&rect, -m_scale.Line(1), -m_scale.Line(1));
    }
    COLORREF face = m_stateColors[NormalFace];
    if (m_hovering || m_isPressed) {
        face = m_stateColors[HotFace];
    } else if (m_isFocused) {
        face = m_stateColors[FocusFace];
    }
    dc.FillSolidRect(rect, face);
}

void CSkinButton::DrawFrame(CDCHandle& dc, const CRect& rect) {
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const int line = m_scale.Line(1);
    if (m_isPressed) {
        if (m_isFlat) {
            if (m_drawFrame) Draw3dBand(dc, rect, shadow, highlight, line);
        } else {
            FrameBand(dc, rect, ::GetSysColorBrush(COLOR_BTNSHADOW), line);
        }
    } else if (m_isFlat) {
        if (m_hovering && m_drawFrame) Draw3dBand(dc, rect, highlight, shadow, line);
    } else {
        DrawClassicEdge(dc, rect, m_scale);
    }
}

CPoint CSkinButton::Scaled(CPoint offset) const { return CPoint(m_scale.Edge(offset.x), m_scale.Edge(offset.y)); }

int CSkinButton::ImageIndex(bool pressed, bool hasOut) const {
    // In check-box mode "pressed" already includes checked, and the pointer
    // does not light the image up.
    const bool inShown = pressed || (!m_checkMode && m_hovering);
    return !inShown && hasOut ? 1 : 0;
}

CRect CSkinButton::ComputeImageRect(bool hasCaption, const CRect& item, CRect& caption, BOOL pressed, int width,
                                    int height) const {
    const CPoint gap = Scaled(m_imageGap);
    CRect image = item;
    const auto centreVertically = [&] { image.top += Half(image.Height() - height); };
    switch (static_cast<ImageAlign>(m_imageAlign)) {
    case ImageAlign::LeftOfCaption:
        if (hasCaption) {
            image.left += gap.x;
            caption.left += width + gap.x;
        } else {
            image.left += Half(image.Width() - width);
        }
        centreVertically();
        break;
    case ImageAlign::AboveCaption:
        image.left += Half(image.Width() - width);
        if (hasCaption) {
            image.top = gap.y;
            caption.top += height;
        } else {
            centreVertically();
        }
        break;
    case ImageAlign::RightOfCaption:
        if (hasCaption) {
            caption.right -= caption.left + gap.x + width;
            caption.left = gap.x;
            image.left = GetClientRect().Width() - gap.x - width;
            centreVertically();
        } else {
            image.left += Half(image.Width() - width);
        }
        break;
    }
    if (pressed && !m_checkMode) {
        const CPoint shift = Scaled(m_pressShift);
        ::OffsetRect(&image, shift.x, shift.y);
    }
    return image;
}

void CSkinButton::DrawBitmapImage(CDCHandle& dc, bool hasCaption, const CRect& item, CRect& caption, BOOL pressed,
                                  BOOL disabled) {
    const StateBitmap& image = m_stateBitmaps[ImageIndex(pressed, m_stateBitmaps[1].bitmap != nullptr)];
    const CRect where = ComputeImageRect(hasCaption, item, caption, pressed, image.width, image.height);
    CDC imageDC;
    CDC maskDC;
    if (!imageDC.CreateCompatibleDC(dc) || !maskDC.CreateCompatibleDC(nullptr)) return;
    const CSelectedObject imageIn(imageDC, image.bitmap);
    const CSelectedObject maskIn(maskDC, image.mask);
    if (!imageIn.IsSelected() || !maskIn.IsSelected()) return;

    if (!(disabled && m_greyWhenDisabled)) {
        dc.BitBlt(where.left, where.top, image.width, image.height, maskDC, 0, 0, SRCAND);
        dc.BitBlt(where.left, where.top, image.width, image.height, imageDC, 0, 0, SRCPAINT);
        return;
    }
    // The system embosses a bitmap by its light and dark pixels, so the
    // image goes onto white first, where its transparent pixels read as light.
    CDC groundDC;
    CBitmap ground;
    if (!groundDC.CreateCompatibleDC(dc) || !ground.CreateCompatibleBitmap(dc, image.width, image.height)) return;
    {
        const CSelectedObject groundIn(groundDC, ground);
        groundDC.FillSolidRect(0, 0, image.width, image.height, kWhite);
        groundDC.SetBkColor(kWhite);
        groundDC.SetTextColor(kBlack);
        groundDC.BitBlt(0, 0, image.width, image.height, maskDC, 0, 0, SRCAND);
        groundDC.BitBlt(0, 0, image.width, image.height, imageDC, 0, 0, SRCPAINT);
    }
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(ground.GetSafeHandle()), 0, where.left, where.top,
                 image.width, image.height, DST_BITMAP | DSS_DISABLED);
}

void CSkinButton::DrawIconImage(CDCHandle& dc, bool hasCaption, const CRect& item, CRect& caption, BOOL pressed,
                                BOOL disabled) {
    const StateIcon& icon = m_stateIcons[ImageIndex(pressed, m_stateIcons[1].icon != nullptr)];
    const CRect where = ComputeImageRect(hasCaption, item, caption, pressed, icon.width, icon.height);
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon), 0, where.left, where.top, icon.width,
                 icon.height, DST_ICON | (disabled ? DSS_DISABLED : 0));
}

void CSkinButton::DrawCaption(CDCHandle& dc, const CString& text, const CRect&, CRect& caption, BOOL pressed,
                              BOOL disabled) {
    if (pressed && !m_checkMode) {
        const CPoint shift = Scaled(m_pressShift);
        ::OffsetRect(&caption, shift.x, shift.y);
    }
    const CRect bounds = caption;
    CRect rect = caption;
    dc.DrawText(text, rect, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    ::OffsetRect(&rect, Half(bounds.Width() - rect.Width()), Half(bounds.Height() - rect.Height()));
    dc.SetBkMode(TRANSPARENT);
    if (disabled) {
        // Embossed: a light copy one pixel down and right under a dark one.
        const int offset = m_scale.Edge(1);
        ::OffsetRect(&rect, offset, offset);
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(text, rect, DT_WORDBREAK | DT_CENTER);
        ::OffsetRect(&rect, -offset, -offset);
        dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc.DrawText(text, rect, DT_WORDBREAK | DT_CENTER);
        return;
    }
    StateColor face = NormalFace;
    if (m_hovering || pressed) {
        face = HotFace;
    } else if (m_isFocused) {
        face = FocusFace;
    }
    // Each text colour follows its face colour in the table.
    dc.SetTextColor(m_stateColors[face + 1]);
    dc.SetBkColor(m_stateColors[face]);
    dc.DrawText(text, rect, DT_WORDBREAK | DT_CENTER);
}

void CSkinButton::CopyParentBackground(CDCHandle& dc) {
    const CWindow parent = GetParent();
    const CClientDC parentDC(parent);
    const CRect client = GetClientRect();
    CRect inParent = GetWindowRect();
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
    if (!m_backgroundDC.GetSafeHdc()) {
        if (!m_backgroundDC.CreateCompatibleDC(parentDC) ||
            !m_backgroundBitmap.CreateCompatibleBitmap(parentDC, client.Width(), client.Height())) {
            DropBackgroundCache();
            return;
        }
        m_previousBackgroundBitmap = m_backgroundDC.SelectObject(m_backgroundBitmap);
        m_backgroundDC.BitBlt(0, 0, client.Width(), client.Height(), parentDC, inParent.left, inParent.top, SRCCOPY);
    }
    dc.BitBlt(0, 0, client.Width(), client.Height(), m_backgroundDC, 0, 0, SRCCOPY);
}

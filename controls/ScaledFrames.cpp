#include "controls/ScaledFrames.h"

#include "framework/Gdi.h"

namespace {

template <typename DrawOne>
void Nested(RECT frame, int width, DrawOne drawOne) {
    for (int line = 0; line < width; ++line) {
        drawOne(frame);
        ::InflateRect(&frame, -1, -1);
    }
}

}  // namespace

void FrameBand(HDC dc, const RECT& rect, HBRUSH brush, int width) {
    Nested(rect, width, [&](const RECT& frame) { ::FrameRect(dc, &frame, brush); });
}

void Draw3dBand(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight, int width) {
    CDCHandle target(dc);
    Nested(rect, width, [&](const RECT& frame) { target.Draw3dRect(frame, topLeft, bottomRight); });
}

void DrawEdgeBand(HDC dc, const RECT& rect, UINT edge, int width) {
    Nested(rect, width, [&](RECT frame) { ::DrawEdge(dc, &frame, edge, BF_RECT); });
}

void DrawFocusBand(HDC dc, const RECT& rect, int width) {
    Nested(rect, width, [&](const RECT& frame) { ::DrawFocusRect(dc, &frame); });
}

void DrawEtchedLine(HDC dc, const RECT& rect, int width) {
    const RECT shadow{rect.left, rect.top, rect.right, rect.top + width};
    const RECT highlight{rect.left, rect.top + width, rect.right, rect.top + 2 * width};
    ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

#include "chatwnd/SkinPainter.h"

#include "chatwnd/FrameLayout.h"

#include <optional>

namespace {

COLORREF ColorOfPen(HDC dc, HPEN pen) {
    LOGPEN look = {};
    const HGDIOBJ which = pen ? static_cast<HGDIOBJ>(pen) : ::GetCurrentObject(dc, OBJ_PEN);
    ::GetObjectW(which, sizeof(look), &look);
    return look.lopnColor;
}

void DrawOutlineBands(CDCBase& dc, const OutlineEdges& outline, int line, COLORREF color) {
    const int width = outline.right - outline.left;
    const int height = outline.bottom - outline.top;
    if (width <= 0 || height <= 0) return;
    dc.FillSolidRect(outline.left, outline.top, width, line, color);
    dc.FillSolidRect(outline.left, outline.bottom - line, width, line, color);
    dc.FillSolidRect(outline.left, outline.top, line, height, color);
    dc.FillSolidRect(outline.right - line, outline.top, line, height, color);
}

}  // namespace

void PaintSkin(CDCBase& dc, int width, int height, HPEN framePen, DpiScale scale) {
    for (const SkinFill& fill : SkinFills(width, height, scale)) {
        // A client area smaller than the skin gives negative extents, which
        // the blitter would otherwise turn around and paint.
        if (fill.box.width <= 0 || fill.box.height <= 0) continue;
        dc.FillSolidRect(fill.box.x, fill.box.y, fill.box.width, fill.box.height, fill.color);
    }
    const OutlineEdges outline = ChatViewOutline(width, height, scale);
    const int line = OutlineWidth(scale);
    if (line > 1) {
        DrawOutlineBands(dc, outline, line, ColorOfPen(dc, framePen));
        return;
    }
    const CSelectedObject hollowBrush(dc, ::GetStockObject(NULL_BRUSH));
    std::optional<CSelectedObject> pen;
    if (framePen) pen.emplace(dc, framePen);
    dc.Rectangle(outline.left, outline.top, outline.right, outline.bottom);
}

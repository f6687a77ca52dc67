#include "chatwnd/SkinPainter.h"

#include "chatwnd/FrameLayout.h"

#include <optional>

void PaintSkin(CDCBase& dc, int width, int height, HPEN framePen) {
    for (const SkinFill& fill : SkinFills(width, height)) {
        // A client area smaller than the skin gives negative extents, which
        // the blitter would otherwise turn around and paint.
        if (fill.box.width <= 0 || fill.box.height <= 0) continue;
        dc.FillSolidRect(fill.box.x, fill.box.y, fill.box.width, fill.box.height, fill.color);
    }
    const CSelectedObject hollowBrush(dc, ::GetStockObject(NULL_BRUSH));
    std::optional<CSelectedObject> pen;
    if (framePen) pen.emplace(dc, framePen);
    const OutlineEdges outline = ChatViewOutline(width, height);
    dc.Rectangle(outline.left, outline.top, outline.right, outline.bottom);
}

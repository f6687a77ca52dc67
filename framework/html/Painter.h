// Painter: draws laid-out decorations and lines through a DrawingSurface.
//
// Only the decorations and lines that meet the dirty rectangle are visited
// (found by binary search on their bands), so painting costs the same at
// line 100,000 as at line 10. Decorations (backgrounds, borders, rules,
// list markers) go first, the text over them.
// Text is drawn per fragment; a selected part of a fragment is drawn as its
// own piece over the highlight, so the highlight follows character edges.
#pragma once

#include "framework/html/Drawing.h"
#include "framework/html/Flow.h"
#include "framework/html/Layout.h"
#include "framework/html/StyleTable.h"

#include <string>

namespace html {

struct PaintRequest {
    Rect dirty;  // client coordinates
    int scrollTop = 0;
    Color background = Rgb(255, 255, 255);
    TextPosition selectionStart = 0;  // selectionStart == selectionEnd: none
    TextPosition selectionEnd = 0;
    SelectionColors selectionColors;
};

class Painter {
public:
    Painter(DrawingSurface& surface, const Flow& flow, const StyleTable& styles, const Layout& layout)
        : m_surface(surface), m_flow(flow), m_styles(styles), m_layout(layout) {}

    void Paint(const PaintRequest& request);

private:
    void PaintLine(std::size_t index);
    void PaintText(const Fragment& fragment, const LineBox& line);
    void PaintObject(const Fragment& fragment, const LineBox& line);
    void PaintDecoration(const Decoration& decoration);
    void PaintMarker(const Decoration& marker, const Rect& rect);
    void DrawFrame(const Rect& rect, int thickness, Color color);
    void DrawBevel(const Rect& rect, int thickness, Color topLeft, Color bottomRight);
    bool IsSelected(TextPosition position) const;
    int ToClientY(int documentY) const;

    DrawingSurface& m_surface;
    const Flow& m_flow;
    const StyleTable& m_styles;
    const Layout& m_layout;
    PaintRequest m_request;
    std::u16string m_scratch;
};

}  // namespace html

#include "chatwnd/FrameLayout.h"

#include <algorithm>

namespace {

// An edge at `offset` 96-DPI pixels from the client area's start (left or
// top) or from its end (right or bottom).
struct Edge {
    enum From : bool { Start, End } from;
    int offset;
};
constexpr Edge S(int offset) { return {Edge::Start, offset}; }
constexpr Edge E(int offset) { return {Edge::End, offset}; }

// A box by its four edges: left, top, and the exclusive right and bottom.
struct EdgeBox {
    Edge left;
    Edge top;
    Edge right;
    Edge bottom;
};

class Placer {
public:
    Placer(int width, int height, DpiScale scale) : m_width(width), m_height(height), m_scale(scale) {}

    int X(Edge edge) const { return Place(edge, m_width); }
    int Y(Edge edge) const { return Place(edge, m_height); }
    FrameBox Box(const EdgeBox& box) const {
        const int left = X(box.left);
        const int top = Y(box.top);
        return {left, top, X(box.right) - left, Y(box.bottom) - top};
    }

private:
    int Place(Edge edge, int extent) const {
        const int distance = m_scale.Edge(edge.offset);
        return edge.from == Edge::Start ? distance : extent - distance;
    }

    int m_width;
    int m_height;
    DpiScale m_scale;
};

// The chat view's box; the outline and the strips beside it follow it.
constexpr EdgeBox kChatViewBox = {S(10), S(75), E(10), E(125)};

}  // namespace

std::array<FramePiece, kLayoutPieceCount> LayOutFrame(int width, int height, DpiScale scale) {
    const Placer at(width, height, scale);
    return {{
        {IDC_TITLE_BAND, at.Box({S(-1), S(-1), E(0), S(kTitleBandHeight - 1)})},
        {IDC_CLOSE, at.Box({E(15), S(2), E(4), S(15)})},
        {IDC_MAXIMIZE, at.Box({E(28), S(2), E(16), S(15)})},
        {IDC_MINIMIZE, at.Box({E(40), S(2), E(29), S(15)})},
        {IDC_UPPER_LEFT, at.Box({S(9), S(35), S(15), S(74)})},
        {IDC_UPPER_MIDDLE, at.Box({S(15), S(35), E(15), S(74)})},
        {IDC_UPPER_RIGHT, at.Box({E(15), S(35), E(9), S(74)})},
        {IDC_LOWER_PANEL_TOP, at.Box({S(21), E(111), E(21), E(85)})},
        {IDC_LOWER_LEFT, at.Box({S(9), E(111), S(21), E(10)})},
        {IDC_LOWER_RIGHT, at.Box({E(21), E(111), E(9), E(10)})},
        {IDC_LOWER_PANEL_BOTTOM, at.Box({S(21), E(32), E(21), E(10)})},
        {kChatViewId, at.Box(kChatViewBox)},
        {IDC_INPUT, at.Box({S(20), E(85), E(102), E(32)})},
        {IDC_SEND, at.Box({E(102), E(81), E(21), E(37)})},
    }};
}

OutlineEdges ChatViewOutline(int width, int height, DpiScale scale) {
    const Placer at(width, height, scale);
    const int line = OutlineWidth(scale);
    return {at.X(kChatViewBox.left) - line, at.Y(kChatViewBox.top) - line, at.X(kChatViewBox.right) + line,
            at.Y(kChatViewBox.bottom) + line};
}

std::array<SkinFill, kSkinFillCount> SkinFills(int width, int height, DpiScale scale) {
    const Placer at(width, height, scale);
    const OutlineEdges outline = ChatViewOutline(width, height, scale);
    // Where the pieces' common edges and the outline's outer edges part,
    // the strips beside the view reach the outline.
    const int leftInner = std::max(at.X(S(9)), outline.left);
    const int rightInner = std::min(at.X(E(9)), outline.right);
    const int belowView = std::min(at.Y(E(124)), outline.bottom);
    const auto box = [](int left, int top, int right, int bottom) {
        return FrameBox{left, top, right - left, bottom - top};
    };
    return {{
        {box(0, at.Y(S(19)), leftInner, height), kSkinLavender},                // left edge
        {box(rightInner, at.Y(S(19)), width, height), kSkinLavender},           // right edge
        {at.Box({S(9), S(19), E(9), S(35)}), kSkinLavender},                    // under the title band
        {box(at.X(S(9)), belowView, at.X(E(9)), at.Y(E(111))), kSkinLavender},  // between the view and the lower panel
        {at.Box({S(9), E(10), E(9), E(0)}), kSkinLavender},                     // bottom edge
        {at.Box({E(102), E(85), E(21), E(81)}), kSkinWhite},                    // above the Send button
        {at.Box({E(102), E(37), E(21), E(32)}), kSkinWhite},                    // below it
    }};
}

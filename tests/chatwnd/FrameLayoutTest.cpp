// The chat window's layout table and skin geometry, without a window: the
// places at the client size the window has after its first move, and the
// claim that pieces, strips and outline cover the whole client area.
#include "chatwnd/FrameLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

FrameBox BoxOf(int id, int width, int height, DpiScale scale = {}) {
    for (const FramePiece& piece : LayOutFrame(width, height, scale)) {
        if (piece.id == id) return piece.box;
    }
    ADD_FAILURE() << "no piece " << id;
    return {};
}

// Marks the pixels of a client area that something covers.
class Coverage {
public:
    Coverage(int width, int height) : m_width(width), m_height(height), m_covered(width * height, false) {}

    void Add(const FrameBox& box) {
        for (int y = std::max(box.y, 0); y < std::min(box.y + box.height, m_height); ++y) {
            for (int x = std::max(box.x, 0); x < std::min(box.x + box.width, m_width); ++x) {
                m_covered[y * m_width + x] = true;
            }
        }
    }
    void AddOutline(const OutlineEdges& edges, int line) {
        const int width = edges.right - edges.left;
        const int height = edges.bottom - edges.top;
        Add({edges.left, edges.top, width, line});
        Add({edges.left, edges.bottom - line, width, line});
        Add({edges.left, edges.top, line, height});
        Add({edges.right - line, edges.top, line, height});
    }
    int Uncovered() const { return static_cast<int>(std::count(m_covered.begin(), m_covered.end(), false)); }

private:
    int m_width;
    int m_height;
    std::vector<bool> m_covered;
};

}  // namespace

TEST(FrameLayout, ChatViewFillsItsOutlineAt632By446) {
    const FrameBox view = BoxOf(kChatViewId, 632, 446);
    EXPECT_EQ(view.x, 10);
    EXPECT_EQ(view.x + view.width - 1, 621);
    EXPECT_EQ(view.y, 75);
    EXPECT_EQ(view.y + view.height - 1, 320);
    // The outline's pixels lie one outside the view on every side.
    const OutlineEdges outline = ChatViewOutline(632, 446);
    EXPECT_EQ(outline, (OutlineEdges{9, 74, 623, 322}));
}

// At every scale, and at sizes whose scaled edges round both ways.
TEST(FrameLayout, PiecesStripsAndOutlineCoverTheWholeClientArea) {
    for (const int dpi : {96, 120, 144, 168, 192, 216, 240, 288}) {
        const DpiScale scale(dpi);
        for (const auto& [width, height] :
             {std::pair{632, 446}, std::pair{320, 240}, std::pair{1272, 990}, std::pair{1263, 893}}) {
            const int w = scale.Edge(width) + width % 2;
            const int h = scale.Edge(height) + height % 2;
            Coverage coverage(w, h);
            for (const FramePiece& piece : LayOutFrame(w, h, scale)) coverage.Add(piece.box);
            for (const SkinFill& fill : SkinFills(w, h, scale)) coverage.Add(fill.box);
            coverage.AddOutline(ChatViewOutline(w, h, scale), OutlineWidth(scale));
            EXPECT_EQ(coverage.Uncovered(), 0) << w << " x " << h << " at " << dpi;
        }
    }
}

TEST(FrameLayout, EdgesScaleSoTheViewKeepsItsOutlineJustOutside) {
    // 1264 x 892 is the 632 x 446 client area at 200 %.
    const DpiScale doubled(192);
    const FrameBox view = BoxOf(kChatViewId, 1264, 892, doubled);
    EXPECT_EQ(view, (FrameBox{20, 150, 1224, 492}));
    EXPECT_EQ(ChatViewOutline(1264, 892, doubled), (OutlineEdges{18, 148, 1246, 644}));
    EXPECT_EQ(BoxOf(IDC_CLOSE, 1264, 892, doubled), (FrameBox{1234, 4, 22, 26}));
    EXPECT_EQ(BoxOf(IDC_TITLE_BAND, 1264, 892, doubled), (FrameBox{-2, -2, 1266, 40}));
    EXPECT_EQ(TitleBandHeight(doubled), 40);
    // At 125 % the offsets from the right edge round on their own.
    const DpiScale quarter(120);
    EXPECT_EQ(BoxOf(IDC_CLOSE, 790, 558, quarter), (FrameBox{771, 3, 14, 16}));
    EXPECT_EQ(BoxOf(IDC_MAXIMIZE, 790, 558, quarter), (FrameBox{755, 3, 15, 16}));
    EXPECT_EQ(OutlineWidth(quarter), 1);
    EXPECT_EQ(OutlineWidth(DpiScale(144)), 2);
}

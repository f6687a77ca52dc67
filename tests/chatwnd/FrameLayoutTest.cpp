// The chat window's layout table and skin geometry, without a window: the
// places at the client size the window has after its first move, and the
// claim that pieces, strips and outline cover the whole client area.
#include "chatwnd/FrameLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

FrameBox BoxOf(int id, int width, int height) {
    for (const FramePiece& piece : LayOutFrame(width, height)) {
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
    void AddOutline(const OutlineEdges& edges) {
        const int width = edges.right - edges.left;
        const int height = edges.bottom - edges.top;
        Add({edges.left, edges.top, width, 1});
        Add({edges.left, edges.bottom - 1, width, 1});
        Add({edges.left, edges.top, 1, height});
        Add({edges.right - 1, edges.top, 1, height});
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

TEST(FrameLayout, PiecesStripsAndOutlineCoverTheWholeClientArea) {
    for (const auto& [width, height] : {std::pair{632, 446}, std::pair{320, 240}, std::pair{1272, 990}}) {
        Coverage coverage(width, height);
        for (const FramePiece& piece : LayOutFrame(width, height)) coverage.Add(piece.box);
        for (const SkinFill& fill : SkinFills(width, height)) coverage.Add(fill.box);
        coverage.AddOutline(ChatViewOutline(width, height));
        EXPECT_EQ(coverage.Uncovered(), 0) << width << " x " << height;
    }
}

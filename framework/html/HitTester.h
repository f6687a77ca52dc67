// HitTester: from a point to what is under it — a caret position for mouse
// selection, or the fragment (and so the link) the point is over. Points are
// in document coordinates; lines are found by binary search on their bands,
// then, where cells stand side by side, by their boxes.
#pragma once

#include "framework/html/Drawing.h"
#include "framework/html/Flow.h"
#include "framework/html/Layout.h"
#include "framework/html/StyleTable.h"

#include <optional>
#include <string>

namespace html {

class HitTester {
public:
    HitTester(const Flow& flow, const StyleTable& styles, const Layout& layout, TextMeasurer& measurer)
        : m_flow(flow), m_styles(styles), m_layout(layout), m_measurer(measurer) {}

    // The caret position nearest to the point: 0 above the first line, the
    // end of the flow below the last, a line's first or last fragment edge
    // left or right of its content, otherwise the nearer edge of the
    // character under the point.
    TextPosition PositionAt(int x, int y);
    // The fragment whose box (its width, its line's height) holds the point.
    const Fragment* FragmentAt(int x, int y) const;
    // The position of the character (or object) whose box holds the point;
    // nullopt when the point is over no fragment.
    std::optional<TextPosition> CharacterAt(int x, int y);

private:
    std::optional<std::size_t> LineNear(int x, int y) const;
    TextPosition PositionInFragment(const Fragment& fragment, int x);

    const Flow& m_flow;
    const StyleTable& m_styles;
    const Layout& m_layout;
    TextMeasurer& m_measurer;
    std::u16string m_scratch;
};

}  // namespace html

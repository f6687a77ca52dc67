// The pane's scroll bar: part geometry, hit testing, thumb dragging
// arithmetic, and painting in the template's colours.
#include "framework/html/PaneScrollBar.h"

#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

namespace {

using html::PaneScrollBar;
using html::Rect;
using html::ScrollBarPart;

// 17 wide, 217 high: arrows of 17, a track of 183 from y=17 to y=200.
PaneScrollBar Bar(int scrollHeight, int clientHeight, int scrollTop) {
    PaneScrollBar bar;
    bar.SetBounds(Rect{100, 0, 117, 217});
    bar.SetRange(scrollHeight, clientHeight, scrollTop);
    return bar;
}

TEST(PaneScrollBar, ContentThatFitsHasArrowsButNoThumb) {
    const PaneScrollBar bar = Bar(150, 217, 0);
    EXPECT_FALSE(bar.IsEnabled());
    EXPECT_TRUE(bar.PartRect(ScrollBarPart::Thumb).IsEmpty());
    EXPECT_EQ(bar.PartRect(ScrollBarPart::UpArrow), (Rect{100, 0, 117, 17}));
    EXPECT_EQ(bar.PartRect(ScrollBarPart::DownArrow), (Rect{100, 200, 117, 217}));
    EXPECT_EQ(bar.HitTest(105, 100), ScrollBarPart::None);
    EXPECT_EQ(bar.ScrollTopForThumb(150), 0);
}

TEST(PaneScrollBar, ThumbIsProportionalAndTravelsTheWholeTrack) {
    const Rect atTop = Bar(1000, 200, 0).PartRect(ScrollBarPart::Thumb);
    EXPECT_EQ(atTop, (Rect{100, 17, 117, 17 + 36}));  // 183 * 200 / 1000
    const Rect atBottom = Bar(1000, 200, 800).PartRect(ScrollBarPart::Thumb);
    EXPECT_EQ(atBottom.bottom, 200);
    EXPECT_EQ(atBottom.Height(), 36);
}

TEST(PaneScrollBar, ScrollTopOutsideTheRangeIsClamped) {
    EXPECT_EQ(Bar(1000, 200, 5000).PartRect(ScrollBarPart::Thumb).bottom, 200);
    EXPECT_EQ(Bar(1000, 200, -5).PartRect(ScrollBarPart::Thumb).top, 17);
}

TEST(PaneScrollBar, HugeContentKeepsAMinimumThumbWithoutOverflow) {
    const PaneScrollBar bar = Bar(2'000'000'000, 200, 1'999'999'800);
    const Rect thumb = bar.PartRect(ScrollBarPart::Thumb);
    EXPECT_EQ(thumb.Height(), PaneScrollBar::kMinimumThumb);
    EXPECT_EQ(thumb.bottom, 200);
    EXPECT_EQ(bar.ScrollTopForThumb(200), bar.MaximumScrollTop());
}

TEST(PaneScrollBar, HitTestFindsEachPart) {
    const PaneScrollBar bar = Bar(1000, 200, 400);  // thumb at 17 + 147 * 400 / 800 = 90
    EXPECT_EQ(bar.HitTest(105, 5), ScrollBarPart::UpArrow);
    EXPECT_EQ(bar.HitTest(105, 50), ScrollBarPart::PageUp);
    EXPECT_EQ(bar.HitTest(105, 100), ScrollBarPart::Thumb);
    EXPECT_EQ(bar.HitTest(105, 150), ScrollBarPart::PageDown);
    EXPECT_EQ(bar.HitTest(105, 210), ScrollBarPart::DownArrow);
    EXPECT_EQ(bar.HitTest(99, 100), ScrollBarPart::None);
    EXPECT_EQ(bar.HitTest(117, 100), ScrollBarPart::None);
}

TEST(PaneScrollBar, DraggingTheThumbMapsBackToTheScrollTop) {
    for (const int top : {0, 123, 400, 799, 800}) {
        const PaneScrollBar bar = Bar(1000, 200, top);
        const int back = bar.ScrollTopForThumb(bar.PartRect(ScrollBarPart::Thumb).top);
        // One pixel of thumb travel is 800 / 147 pixels of content.
        EXPECT_NEAR(back, top, 6) << top;
    }
    const PaneScrollBar bar = Bar(1000, 200, 0);
    EXPECT_EQ(bar.ScrollTopForThumb(-50), 0);
    EXPECT_EQ(bar.ScrollTopForThumb(17 + 147), 800);
    EXPECT_EQ(bar.ScrollTopForThumb(1000), 800);
}

TEST(PaneScrollBar, ABarTooShortForATrackShowsOnlyArrows) {
    PaneScrollBar bar;
    bar.SetBounds(Rect{0, 0, 17, 20});
    bar.SetRange(1000, 20, 0);
    EXPECT_TRUE(bar.IsEnabled());
    EXPECT_EQ(bar.PartRect(ScrollBarPart::UpArrow), (Rect{0, 0, 17, 10}));
    EXPECT_EQ(bar.PartRect(ScrollBarPart::DownArrow), (Rect{0, 10, 17, 20}));
    EXPECT_TRUE(bar.PartRect(ScrollBarPart::Thumb).IsEmpty());
}

TEST(PaneScrollBar, PaintsInTheTemplatesColours) {
    html::TemplateStyle colours;
    colours.scrollbarTrack = html::Rgb(0x11, 0x22, 0x33);
    colours.scrollbarFace = html::Rgb(0xCF, 0xCF, 0xCF);
    colours.scrollbarArrow = html::Rgb(0xFF, 0x00, 0xFF);
    colours.scrollbar3dLight = html::Rgb(0x59, 0x59, 0x59);
    colours.scrollbarDarkShadow = html::Rgb(0x00, 0x80, 0x00);
    colours.scrollbarHighlight = html::Rgb(0xFF, 0xFF, 0x00);
    colours.scrollbarShadow = html::Rgb(0x00, 0x00, 0x80);
    PaneScrollBar bar;
    bar.SetBounds(Rect{0, 0, 17, 217});
    bar.SetRange(1000, 200, 0);
    Canvas canvas(17, 217);
    bar.Paint(canvas.Dc(), colours);
    EXPECT_EQ(canvas.At(8, 150), RGB(0x11, 0x22, 0x33));  // track
    EXPECT_EQ(canvas.At(8, 30), RGB(0xCF, 0xCF, 0xCF));   // thumb face
    EXPECT_EQ(canvas.At(0, 30), RGB(0x59, 0x59, 0x59));   // thumb's outer light edge
    EXPECT_EQ(canvas.At(1, 30), RGB(0xFF, 0xFF, 0x00));   // and its highlight
    EXPECT_EQ(canvas.At(16, 30), RGB(0x00, 0x80, 0x00));  // outer dark shadow
    EXPECT_EQ(canvas.At(15, 30), RGB(0x00, 0x00, 0x80));  // inner shadow
    // The up arrow's glyph sits in the middle of its button.
    EXPECT_TRUE(canvas.Any(RECT{4, 4, 13, 13}, [](COLORREF c) { return c == RGB(0xFF, 0x00, 0xFF); }));
}

}  // namespace

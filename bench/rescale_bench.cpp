// Rescale benchmark: how long the chat view takes to lay a long
// conversation out again when its window moves to a monitor of another DPI.
//
// The run appends 100,000 fragments (the pane benchmark's conversation)
// through CChatView::AppendHtml into the pane benchmark's pane at 96 DPI,
// painting every 100 appends, with the view's own scroll to the bottom after
// each. Then, five times over, it gives the view 192 DPI and paints, and
// gives it 96 DPI back and paints, timing each from the SetDpi call to the
// end of the paint: all that while the window answers nothing. Every change
// must leave the pane at its bottom, or the run fails.
//
// Prints one line:
//   lines=N from_dpi=96 to_dpi=192 up_ms=.. up_first_ms=.. down_ms=.. runs=5
// with the medians of the five changes up and of the five down, and the
// first change up on its own.

#include "bench/BenchClock.h"
#include "bench/ChatPane.h"
#include "bench/Conversation.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kPaintEvery = 100;
constexpr int kRuns = 5;
constexpr UINT kLowDpi = kBaseDpi;
constexpr UINT kHighDpi = 2 * kBaseDpi;

// Milliseconds from the new DPI to the pane painted at it.
double TimedChange(bench::ChatPane& pane, UINT dpi) {
    const double started = Now();
    pane.View().SetDpi(dpi);
    pane.View().UpdateWindow();
    const double milliseconds = (Now() - started) * 1000;
    pane.Paint();
    pane.CheckAtBottom();
    return milliseconds;
}

}  // namespace

int main() {
    bench::ChatPane pane("rescale_bench");
    pane.View().SetDpi(kLowDpi);
    bench::Conversation conversation;
    for (int index = 0; index < kLines; ++index) {
        if (!pane.View().AppendHtml(conversation.Line(index))) bench::Fail("appending");
        if ((index + 1) % kPaintEvery == 0) pane.Paint();
    }
    pane.CheckAtBottom();
    std::vector<double> up;
    std::vector<double> down;
    for (int run = 0; run < kRuns; ++run) {
        up.push_back(TimedChange(pane, kHighDpi));
        down.push_back(TimedChange(pane, kLowDpi));
    }
    std::printf("lines=%d from_dpi=%u to_dpi=%u up_ms=%.0f up_first_ms=%.0f down_ms=%.0f runs=%d\n", kLines, kLowDpi,
                kHighDpi, Median(up), up.front(), Median(down), kRuns);
    std::fflush(stdout);
    return 0;
}

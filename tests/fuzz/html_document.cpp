// The HTML pane's engine without a window: the pane's template, then several
// fragments appended in a row (as chat lines arrive), laid out through the
// fixed-metrics measurer and painted to a recording surface, with the
// queries the window makes: scrolling, hit tests, selection and copy, words,
// image requests answered with loaded sizes or failures, and a screen
// reader's walk of the paragraphs (their index read as it grows).
//
// Input: byte 0 picks the text form (see HtmlTextOf), byte 1 the pane's
// width; the rest is the fragments, separated by 0x1E (record separator).
#include "framework/html/HtmlDocument.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/html/FixedMetrics.h"

#include <algorithm>

namespace {

using html::testing::FixedMetrics;
using html::testing::RecordingSurface;

constexpr std::u16string_view kPaneTemplate =
    u"<HTML><head><style>body { font-family: \"Tahoma\", \"굴림\"; font-size: 8pt; color: #000000 }</style>"
    u"<base target=\"_blank\"></head>"
    u"<body topmargin=\"0\" leftmargin=\"0\" bottomMargin=\"0\">\r\n\t\r\n</body></HTML>";
constexpr int kWidths[] = {0, 1, 9, 60, 208, 640, 5000};
constexpr int kPaneHeight = 120;
constexpr char kFragmentSeparator = '\x1E';

void CheckScrolling(html::Document& document) {
    const int height = document.ScrollHeight();
    FUZZ_CHECK(height >= 0);
    document.SetScrollTop(height);
    const int bottom = document.ScrollTop();
    FUZZ_CHECK(bottom >= 0 && bottom <= std::max(0, height - document.ClientHeight()));
}

void Paint(html::Document& document, int width) {
    RecordingSurface surface;
    document.Paint(surface, html::Rect{0, 0, width, kPaneHeight});
    const auto clips = surface.CallsStartingWith(u"clip").size();
    FUZZ_CHECK(clips == surface.CallsStartingWith(u"unclip").size());
}

// Hit tests at the pane's corners and centre, and a word and a selection at
// each position found.
void Probe(html::Document& document, int width) {
    const html::TextPosition end = document.EndPosition();
    const int points[][2] = {{-5, -5}, {width / 2, kPaneHeight / 2}, {width + 5, kPaneHeight + 5}};
    for (const auto& [x, y] : points) {
        const html::TextPosition position = document.PositionAt(x, y);
        FUZZ_CHECK(position <= end);
        document.LinkAt(x, y);
        document.IsOverText(x, y);
        const html::TextRange word = document.WordAt(x, y);
        FUZZ_CHECK(word.start <= word.end && word.end <= end);
        document.SetSelection(word.start, position);
    }
    document.SelectedText();
}

// Answers each image request, alternately with a size from the input and a
// failure, as the image loader would.
void AnswerImages(html::Document& document, uint8_t sizeSeed) {
    for (const html::ImageRequest& request : document.TakeImageRequests()) {
        if (request.id % 2) {
            document.OnImageLoaded(request.id, sizeSeed * request.id % 5000 - 20, sizeSeed * 7 % 3000);
        } else {
            document.OnImageFailed(request.id);
        }
    }
    document.OnImageLoaded(-1, 10, 10);  // not a request: ignored
}

// Paragraphs are in order, apart, not empty and free of breaks, each found
// again by its own range; their links and objects lie inside them.
void ReadParagraphs(html::Document& document) {
    html::TextPosition previousEnd = 0;
    for (std::size_t index = 0; index < document.ParagraphCount(); ++index) {
        const html::TextRange paragraph = document.Paragraph(index);
        FUZZ_CHECK(!paragraph.IsEmpty() && paragraph.start >= previousEnd && paragraph.end <= document.EndPosition());
        FUZZ_CHECK(document.PlainText(paragraph).find(u'\n') == std::u16string::npos);
        const html::ParagraphSpan found = document.ParagraphsIn(paragraph);
        FUZZ_CHECK(found.first == index && found.last == index + 1);
        for (const html::InlineItem& item : document.InlineItems(paragraph))
            FUZZ_CHECK(item.range.start >= paragraph.start && item.range.end <= paragraph.end);
        const html::Rect bounds = document.Bounds(paragraph);
        FUZZ_CHECK(bounds.Width() >= 0 && bounds.Height() >= 0);
        previousEnd = paragraph.end;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool utf16 = fuzz::WantsUtf16(data[0]);
    const int width = kWidths[data[1] % std::size(kWidths)];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);

    FixedMetrics metrics;
    html::Document document;
    document.Load(kPaneTemplate);
    document.SetViewport(width, kPaneHeight, metrics);
    for (const std::string_view fragment : fuzz::SplitAt(rest, kFragmentSeparator)) {
        document.AppendHtml(fuzz::HtmlTextOf(fragment, utf16));
        CheckScrolling(document);
        AnswerImages(document, data[1]);
        document.ParagraphCount();
    }
    ReadParagraphs(document);
    Paint(document, width);
    Probe(document, width);
    document.SelectAll();
    document.SelectedText();

    // A narrower pane lays everything out again.
    document.SetViewport(width / 2, kPaneHeight / 2, metrics);
    CheckScrolling(document);
    Paint(document, width / 2);
    return 0;
}

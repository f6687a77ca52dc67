// Helpers for the document's tests: a document in the pane's template with
// the fixed-metrics measurer, and dump comparisons that print UTF-8.
#pragma once

#include "framework/html/HtmlDocument.h"
#include "tests/html/FixedMetrics.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace html::testing {

// The pane's template as far as layout cares: body font 8 pt (11 px, so
// lines of 9 + 3 with FixedMetrics), black text, top, left and bottom
// margins 0 (the right margin keeps its default of 8).
inline constexpr std::u16string_view kPaneTemplate =
    u"<HTML><head><style>body { font-family: \"Tahoma\", \"굴림\"; font-size: 8pt; color: #000000 }</style>"
    u"<base target=\"_blank\"></head>"
    u"<body topmargin=\"0\" leftmargin=\"0\" bottomMargin=\"0\">\r\n\t\r\n</body></HTML>";
inline constexpr int kRightMargin = 8;
inline constexpr int kLine = 12;

inline std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline ::testing::AssertionResult SameText(std::u16string_view actual, std::u16string_view expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\n--- actual ---\n"
                                         << Utf8(actual) << "--- expected ---\n"
                                         << Utf8(expected);
}

// A document loaded with the pane's template and measured by FixedMetrics,
// with the content box `contentWidth` pixels wide.
class PaneDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        document.Load(kPaneTemplate);
        SetContentWidth(192);
    }

    void SetContentWidth(int contentWidth, int height = 100) {
        document.SetViewport(contentWidth + kRightMargin, height, metrics);
    }

    std::u16string DumpOf(std::u16string_view fragment) {
        document.AppendHtml(fragment);
        return document.DumpLayout();
    }

    FixedMetrics metrics;
    Document document;
};

}  // namespace html::testing

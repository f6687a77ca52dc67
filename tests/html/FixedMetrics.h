// FixedMetrics, RecordingSurface: a text measurer and a drawing surface with
// fixed, font-independent metrics, so that layout and painting can be
// checked exactly and without a window (also by other tests and benchmarks).
//
// Widths: 7 px per UTF-16 unit, 12 px for units from U+1100 on (Hangul and
// other wide scripts), a surrogate pair 12 px in all; bold adds 1 px per
// character. Metrics: ascent max(9, size*3/4), descent max(3, size/4), so
// the pane's 11 px body font gives 9 + 3.
#pragma once

#include "framework/html/Drawing.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace html::testing {

class FixedMetrics : public TextMeasurer {
public:
    static constexpr int kNarrow = 7;
    static constexpr int kWide = 12;

    static int CharWidth(const FontSpec& font, char16_t c) {
        if (c >= 0xDC00 && c <= 0xDFFF) {
            return 0;  // the pair's width is on its high half
        }
        return (c >= 0x1100 ? kWide : kNarrow) + (font.bold ? 1 : 0);
    }

    static FontMetrics FixedFontMetrics(const FontSpec& font) {
        return FontMetrics{std::max(9, font.pixelSize * 3 / 4), std::max(3, font.pixelSize / 4)};
    }

    static int FixedTextWidth(const FontSpec& font, std::u16string_view text) {
        int width = 0;
        for (const char16_t c : text) {
            width += CharWidth(font, c);
        }
        return width;
    }

    static int FixedFitCount(const FontSpec& font, std::u16string_view text, int maxWidth) {
        int width = 0;
        std::size_t count = 0;
        while (count < text.size()) {
            const bool pair = count + 1 < text.size() && text[count] >= 0xD800 && text[count] <= 0xDBFF &&
                              text[count + 1] >= 0xDC00 && text[count + 1] <= 0xDFFF;
            const std::size_t units = pair ? 2 : 1;
            const int next = width + FixedTextWidth(font, text.substr(count, units));
            if (next > maxWidth) {
                break;
            }
            width = next;
            count += units;
        }
        return static_cast<int>(count);
    }

    FontMetrics Metrics(const FontSpec& font) override { return FixedFontMetrics(font); }
    int TextWidth(const FontSpec& font, std::u16string_view text) override {
        ++textWidthCalls;
        unitsMeasured += static_cast<long long>(text.size());
        return FixedTextWidth(font, text);
    }
    int FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) override {
        unitsMeasured += static_cast<long long>(text.size());
        return FixedFitCount(font, text, maxWidth);
    }

    // What layout asked: a measure of its work that does not depend on the
    // machine's speed.
    long long textWidthCalls = 0;
    long long unitsMeasured = 0;
};

// Records every drawing call as one line of text.
class RecordingSurface : public DrawingSurface {
public:
    FontMetrics Metrics(const FontSpec& font) override { return FixedMetrics::FixedFontMetrics(font); }
    int TextWidth(const FontSpec& font, std::u16string_view text) override {
        return FixedMetrics::FixedTextWidth(font, text);
    }
    int FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) override {
        return FixedMetrics::FixedFitCount(font, text, maxWidth);
    }

    void FillRect(const Rect& rect, Color color) override {
        calls.push_back(u"fill " + RectText(rect) + u" " + ColorText(color));
    }
    void DrawTextRun(const FontSpec& font, int x, int baseline, std::u16string_view text, Color color) override {
        calls.push_back(u"text " + Number(x) + u"," + Number(baseline) + u" |" + std::u16string(text) + u"| " +
                        ColorText(color) + (font.bold ? u" bold" : u"") + (font.underline ? u" underline" : u""));
    }
    void DrawImage(int imageId, const Rect& destination) override {
        calls.push_back(u"image " + Number(imageId) + u" " + RectText(destination));
    }
    void PushClip(const Rect& rect) override { calls.push_back(u"clip " + RectText(rect)); }
    void PopClip() override { calls.push_back(u"unclip"); }

    // The recorded calls that start with `prefix`.
    std::vector<std::u16string> CallsStartingWith(std::u16string_view prefix) const {
        std::vector<std::u16string> matching;
        for (const std::u16string& call : calls) {
            if (call.starts_with(prefix)) {
                matching.push_back(call);
            }
        }
        return matching;
    }

    static std::u16string Number(long long value) {
        const std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    }

    static std::u16string ColorText(Color color) {
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        const int rgb[] = {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                           static_cast<int>((color >> 16) & 0xFF)};
        std::u16string text = u"#";
        for (const int component : rgb) {
            text += kHex[component >> 4];
            text += kHex[component & 0xF];
        }
        return text;
    }

    static std::u16string RectText(const Rect& rect) {
        return Number(rect.left) + u"," + Number(rect.top) + u"," + Number(rect.right) + u"," + Number(rect.bottom);
    }

    std::vector<std::u16string> calls;
};

}  // namespace html::testing

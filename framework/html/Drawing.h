// Color, Rect, FontSpec, FontMetrics, TextMeasurer, SelectionColors,
// DrawingSurface: what the HTML pane's layout and painting ask of the
// outside world.
//
// Layout only measures; painting only draws. The GDI back end implements both
// for the window, and tests use a fake with fixed metrics, so the engine runs
// and is checked without a window. Text is UTF-16 (the document's interface
// is wide); char16_t rather than wchar_t so that the engine also builds
// natively, where wchar_t is 32 bits. No <windows.h> here.
#pragma once

#include "framework/Color.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace html {

// The program's one colour type, a COLORREF's value.
using ::Color;
using ::Rgb;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Whether the pixel at (x, y) is inside: the right and bottom edges are
    // the first pixels outside.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Rect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    // The part both cover; empty (IsEmpty) when they do not meet.
    Rect Intersection(const Rect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One font as the engine asks for it. `id` is unique per distinct font within
// one document (the engine interns them), so a back end can cache its font
// objects by id. `families` is the CSS-style list, most wanted first, e.g.
// u"Tahoma,굴림"; the back end picks the first it has and falls back per
// character, as Windows font linking does, for characters the face lacks.
struct FontSpec {
    int id = 0;
    std::u16string families;
    int pixelSize = 0;  // character height (the em), in device pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int Height() const { return ascent + descent; }
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual FontMetrics Metrics(const FontSpec& font) = 0;
    // Advance width of the whole text, in pixels.
    virtual int TextWidth(const FontSpec& font, std::u16string_view text) = 0;
    // How many UTF-16 units of `text`, from the start, fit in `maxWidth`
    // pixels; never splits a surrogate pair. Used to break a word that is
    // longer than the line.
    virtual int FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) = 0;
};

// How selected text is shown.
struct SelectionColors {
    Color background = Rgb(10, 36, 106);  // the classic Windows highlight
    Color text = Rgb(255, 255, 255);
};

// Images are the host's: the engine names them by the id the host gave when
// it was asked to load them (see the document's image requests).
class DrawingSurface : public TextMeasurer {
public:
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // Draws `text` with its left edge at x and its baseline at `baseline`,
    // with transparent background; underline and strike-out come from the font.
    virtual void DrawTextRun(const FontSpec& font, int x, int baseline, std::u16string_view text, Color color) = 0;
    virtual void DrawImage(int imageId, const Rect& destination) = 0;
    // Limits drawing to `rect` (intersected with the current clip) until the
    // matching PopClip.
    virtual void PushClip(const Rect& rect) = 0;
    virtual void PopClip() = 0;
};

}  // namespace html

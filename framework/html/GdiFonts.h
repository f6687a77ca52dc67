// GdiFontCache: the pane's fonts as GDI objects, with per-character fallback
// along the family list, and the advance widths that layout measures with.
//
// A FontSpec becomes a chain of faces: the families of its list that this
// system has, then faces known to carry Hangul. Each character is drawn with
// the first face of the chain that has a glyph for it, as Windows font
// linking does; under Wine "Tahoma" has no Hangul and "굴림" is absent, so
// without the chain Korean text would show as boxes.
//
// Widths come from per-face tables of 256 characters, filled on first use
// (GetCharWidth32W, and GetGlyphIndicesW for coverage). Measuring a word is
// then table look-ups, with no GDI call; the alternative, GetTextExtentPoint32W
// per word and face, costs a font selection and a call per word laid out,
// which the pane cannot afford at a hundred thousand lines. GDI places
// characters by the same advances (no kerning by default), and drawing passes
// them to ExtTextOutW explicitly, so measured and drawn text always agree.
#pragma once

#include "framework/Gdi.h"
#include "framework/html/Drawing.h"

#include <windows.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace html {

// A stretch of text that one face draws, [begin, end) in UTF-16 units.
struct FaceRun {
    HFONT font = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool emboldened = false;  // to be struck a second time, a pixel to the right
};

// Where a font's underline and strike-out go: the top of each line, from the
// baseline (positive downwards), and its thickness, in pixels. The underline
// always lies within the font's descent.
struct TextDecorations {
    int underlineOffset = 1;
    int underlineThickness = 1;
    int strikeoutOffset = -3;
    int strikeoutThickness = 1;
};

class GdiFontCache final : public TextMeasurer {
public:
    GdiFontCache();
    GdiFontCache(const GdiFontCache&) = delete;
    GdiFontCache& operator=(const GdiFontCache&) = delete;
    ~GdiFontCache() override;

    // The line metrics of the font: the largest ascent and descent of its
    // chain, so that a fallback glyph never reaches outside its line.
    FontMetrics Metrics(const FontSpec& font) override;
    int TextWidth(const FontSpec& font, std::u16string_view text) override;
    int FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) override;

    // Splits `text` into runs of one face each and gives every UTF-16 unit
    // its advance (0 for the second unit of a surrogate pair).
    void Shape(const FontSpec& font, std::u16string_view text, std::vector<FaceRun>& runs, std::vector<int>& advances);

    TextDecorations Decorations(const FontSpec& font);

    // Forgets every font; ids are per document, so a new document starts here.
    void Clear();

    // The faces a font resolved to, by their GDI names; for tests and
    // diagnostics.
    std::vector<std::wstring> FaceNames(const FontSpec& font);

private:
    struct Page {
        std::array<int, 256> widths{};
        std::bitset<256> covered;
    };
    struct Face {
        CFont font;
        std::wstring name;
        int ascent = 0;
        int descent = 0;
        bool emboldened = false;
        TextDecorations decorations;  // as the face's own metrics give them
        std::unordered_map<unsigned, std::unique_ptr<Page>> pages;
    };
    struct Chain {
        std::vector<std::unique_ptr<Face>> faces;  // never empty
        FontMetrics metrics;
        TextDecorations decorations;
        int pixelSize = 0;  // of the FontSpec it was made for
    };
    // Which face of the chain draws one unit, and how wide it is.
    struct Placement {
        std::size_t face;
        int advance;
        std::size_t units;  // 2 for a surrogate pair
    };

    Chain& ChainFor(const FontSpec& font);
    std::unique_ptr<Chain> BuildChain(const FontSpec& font);
    std::unique_ptr<Face> CreateFace(const FontSpec& font, const std::wstring& family);
    TextDecorations ReadDecorations(const TEXTMETRICW& metrics);
    bool FamilyExists(const std::wstring& family);
    const Page& PageOf(Face& face, unsigned page);
    Placement Place(Chain& chain, std::u16string_view text, std::size_t at);
    int ExtentOf(Face& face, std::u16string_view units);

    CDC m_dc;  // measuring only; never drawn on
    std::unordered_map<int, std::unique_ptr<Chain>> m_chains;
    std::map<std::wstring, bool> m_familyExists;
};

}  // namespace html

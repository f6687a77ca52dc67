#include "framework/html/GdiFonts.h"

#include <algorithm>

namespace html {
namespace {

// Faces that carry Hangul, most wanted first: Windows' own Korean faces,
// then Debian's fonts-nanum as Wine sees it (under both its names, since the
// localised one is what a Korean system enumerates). Only those present join
// a chain.
constexpr const wchar_t* kHangulFallbacks[] = {
    L"Gulim", L"굴림", L"Malgun Gothic", L"맑은 고딕", L"Dotum", L"돋움", L"NanumGothic", L"나눔고딕",
};

// What a chain starts with when none of its families is here.
constexpr wchar_t kDefaultFamily[] = L"Tahoma";

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

std::wstring Trimmed(std::u16string_view name) {
    constexpr std::u16string_view kBlanks = u" \t\r\n\f\"'";
    const std::size_t first = name.find_first_not_of(kBlanks);
    if (first == std::u16string_view::npos) return {};
    const std::size_t last = name.find_last_not_of(kBlanks);
    const std::u16string_view core = name.substr(first, last - first + 1);
    return std::wstring(core.begin(), core.end());
}

// CSS generic families, as the faces Windows uses for them.
std::wstring FaceForGeneric(const std::wstring& family) {
    if (::lstrcmpiW(family.c_str(), L"sans-serif") == 0) return L"Arial";
    if (::lstrcmpiW(family.c_str(), L"serif") == 0) return L"Times New Roman";
    if (::lstrcmpiW(family.c_str(), L"monospace") == 0) return L"Courier New";
    return family;
}

std::vector<std::wstring> FamiliesOf(std::u16string_view list) {
    std::vector<std::wstring> families;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(u',', start);
        if (comma == std::u16string_view::npos) comma = list.size();
        std::wstring family = FaceForGeneric(Trimmed(list.substr(start, comma - start)));
        // LOGFONTW holds at most 31 characters of a face name.
        if (!family.empty() && family.size() < LF_FACESIZE) families.push_back(std::move(family));
        start = comma + 1;
    }
    for (const wchar_t* fallback : kHangulFallbacks) families.emplace_back(fallback);
    return families;
}

int CALLBACK CountFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

GdiFontCache::GdiFontCache() { m_dc.CreateCompatibleDC(nullptr); }

GdiFontCache::~GdiFontCache() = default;

void GdiFontCache::Clear() { m_chains.clear(); }

FontMetrics GdiFontCache::Metrics(const FontSpec& font) { return ChainFor(font).metrics; }

int GdiFontCache::TextWidth(const FontSpec& font, std::u16string_view text) {
    Chain& chain = ChainFor(font);
    int width = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Placement placement = Place(chain, text, at);
        width += placement.advance;
        at += placement.units;
    }
    return width;
}

int GdiFontCache::FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) {
    Chain& chain = ChainFor(font);
    int width = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const Placement placement = Place(chain, text, at);
        if (width + placement.advance > maxWidth) break;
        width += placement.advance;
        at += placement.units;
    }
    return static_cast<int>(at);
}

void GdiFontCache::Shape(const FontSpec& font, std::u16string_view text, std::vector<FaceRun>& runs,
                         std::vector<int>& advances) {
    Chain& chain = ChainFor(font);
    runs.clear();
    advances.assign(text.size(), 0);
    for (std::size_t at = 0; at < text.size();) {
        const Placement placement = Place(chain, text, at);
        const Face& face = *chain.faces[placement.face];
        if (runs.empty() || runs.back().font != face.font) runs.push_back({face.font, at, at, face.emboldened});
        advances[at] = placement.advance;
        at += placement.units;
        runs.back().end = at;
    }
}

TextDecorations GdiFontCache::Decorations(const FontSpec& font) { return ChainFor(font).decorations; }

std::vector<std::wstring> GdiFontCache::FaceNames(const FontSpec& font) {
    std::vector<std::wstring> names;
    for (const auto& face : ChainFor(font).faces) names.push_back(face->name);
    return names;
}

GdiFontCache::Chain& GdiFontCache::ChainFor(const FontSpec& font) {
    std::unique_ptr<Chain>& chain = m_chains[font.id];
    // A document at a new scale gives its fonts new sizes under their ids.
    if (!chain || chain->pixelSize != font.pixelSize) chain = BuildChain(font);
    return *chain;
}

std::unique_ptr<GdiFontCache::Chain> GdiFontCache::BuildChain(const FontSpec& font) {
    auto chain = std::make_unique<Chain>();
    chain->pixelSize = font.pixelSize;
    for (const std::wstring& family : FamiliesOf(font.families)) {
        if (!FamilyExists(family)) continue;
        std::unique_ptr<Face> face = CreateFace(font, family);
        if (!face) continue;
        // Two names of one face ("NanumGothic", "나눔고딕") add nothing.
        const bool known = std::any_of(chain->faces.begin(), chain->faces.end(), [&](const auto& other) {
            return ::lstrcmpiW(other->name.c_str(), face->name.c_str()) == 0;
        });
        if (!known) chain->faces.push_back(std::move(face));
    }
    if (chain->faces.empty()) {
        // GDI substitutes some face for any name; a face there must be.
        std::unique_ptr<Face> face = CreateFace(font, kDefaultFamily);
        if (!face) face = std::make_unique<Face>();
        chain->faces.push_back(std::move(face));
    }
    for (const auto& face : chain->faces) {
        chain->metrics.ascent = std::max(chain->metrics.ascent, face->ascent);
        chain->metrics.descent = std::max(chain->metrics.descent, face->descent);
    }
    // The first face's lines, with the underline pulled up into the descent
    // where the face would put it below.
    TextDecorations& decorations = chain->decorations;
    decorations = chain->faces.front()->decorations;
    const int lowestOffset = std::max(0, chain->metrics.descent - decorations.underlineThickness);
    decorations.underlineOffset = std::min(decorations.underlineOffset, lowestOffset);
    return chain;
}

std::unique_ptr<GdiFontCache::Face> GdiFontCache::CreateFace(const FontSpec& font, const std::wstring& family) {
    LOGFONTW logFont{};
    logFont.lfHeight = -std::max(1, font.pixelSize);
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.italic;
    // Underline and strike-out are drawn by the surface (see Decorations).
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    family.copy(logFont.lfFaceName, LF_FACESIZE - 1);

    auto face = std::make_unique<Face>();
    face->font.Attach(::CreateFontIndirectW(&logFont));
    if (!face->font.GetSafeHandle()) return nullptr;
    CSelectedObject selected(m_dc, face->font);
    TEXTMETRICW metrics{};
    wchar_t name[LF_FACESIZE] = {};
    if (!selected.IsSelected() || !::GetTextMetricsW(m_dc, &metrics) || !::GetTextFaceW(m_dc, LF_FACESIZE, name)) {
        return nullptr;
    }
    face->name = name;
    face->ascent = metrics.tmAscent;
    face->descent = metrics.tmDescent;
    face->emboldened = font.bold && metrics.tmWeight < FW_BOLD;
    face->decorations = ReadDecorations(metrics);
    return face;
}

// From the outline metrics of the face selected into the measuring DC; a
// face without them (a bitmap font) gets lines placed by its ascent.
TextDecorations GdiFontCache::ReadDecorations(const TEXTMETRICW& metrics) {
    TextDecorations decorations;
    const int thickness = std::max(1, static_cast<int>(metrics.tmHeight) / 14);
    decorations.underlineThickness = thickness;
    decorations.strikeoutThickness = thickness;
    decorations.strikeoutOffset = -std::max(1, static_cast<int>(metrics.tmAscent) / 3);
    const UINT size = ::GetOutlineTextMetricsW(m_dc, 0, nullptr);
    if (size < sizeof(OUTLINETEXTMETRICW)) return decorations;
    std::vector<std::uint8_t> buffer(size);
    auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (::GetOutlineTextMetricsW(m_dc, size, outline) == 0) return decorations;
    decorations.underlineOffset = std::max(1, -outline->otmsUnderscorePosition);
    decorations.underlineThickness = std::max(1, static_cast<int>(outline->otmsUnderscoreSize));
    decorations.strikeoutThickness = std::max(1, static_cast<int>(outline->otmsStrikeoutSize));
    decorations.strikeoutOffset = -std::max(1, static_cast<int>(outline->otmsStrikeoutPosition));
    return decorations;
}

bool GdiFontCache::FamilyExists(const std::wstring& family) {
    const auto known = m_familyExists.find(family);
    if (known != m_familyExists.end()) return known->second;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    family.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(m_dc, &query, &CountFamily, reinterpret_cast<LPARAM>(&found), 0);
    m_familyExists.emplace(family, found);
    return found;
}

const GdiFontCache::Page& GdiFontCache::PageOf(Face& face, unsigned page) {
    std::unique_ptr<Page>& entry = face.pages[page];
    if (entry) return *entry;
    entry = std::make_unique<Page>();
    CSelectedObject selected(m_dc, face.font);
    const UINT first = page * 256;
    std::array<INT, 256> widths{};
    if (::GetCharWidth32W(m_dc, first, first + 255, widths.data())) {
        // The second strike of an emboldened face widens every glyph.
        const int extra = face.emboldened ? 1 : 0;
        std::transform(widths.begin(), widths.end(), entry->widths.begin(),
                       [extra](INT width) { return width > 0 ? width + extra : width; });
    }
    std::array<wchar_t, 256> characters{};
    for (unsigned i = 0; i < 256; ++i) characters[i] = static_cast<wchar_t>(first + i);
    std::array<WORD, 256> glyphs{};
    if (::GetGlyphIndicesW(m_dc, characters.data(), 256, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR) {
        for (unsigned i = 0; i < 256; ++i) entry->covered[i] = glyphs[i] != 0xFFFF;
    }
    return *entry;
}

GdiFontCache::Placement GdiFontCache::Place(Chain& chain, std::u16string_view text, std::size_t at) {
    const char16_t unit = text[at];
    if (IsSurrogate(unit)) {
        // Outside the width tables: measured whole, by the first face, which
        // font linking in GDI itself then completes where it can.
        const bool pair = IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
        const std::size_t units = pair ? 2 : 1;
        return {0, ExtentOf(*chain.faces[0], text.substr(at, units)), units};
    }
    const unsigned page = unit >> 8;
    const unsigned slot = unit & 0xFF;
    for (std::size_t index = 0; index < chain.faces.size(); ++index) {
        const Page& entry = PageOf(*chain.faces[index], page);
        if (entry.covered[slot]) return {index, entry.widths[slot], 1};
    }
    // No face has it: the first face draws its missing-glyph box.
    return {0, PageOf(*chain.faces[0], page).widths[slot], 1};
}

int GdiFontCache::ExtentOf(Face& face, std::u16string_view units) {
    CSelectedObject selected(m_dc, face.font);
    SIZE size{};
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    if (!::GetTextExtentPoint32W(m_dc, wide, static_cast<int>(units.size()), &size)) return 0;
    return size.cx + (face.emboldened && size.cx > 0 ? 1 : 0);
}

}  // namespace html

#include "framework/DialogTemplate.h"

#include "framework/TextFont.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace {

// The fixed head of an extended dialog template, which the headers lack.
#pragma pack(push, 2)
struct DialogTemplateHead {
    WORD dlgVer;
    WORD signature;
    DWORD helpId;
    DWORD exStyle;
    DWORD style;
    WORD itemCount;
    short x, y, cx, cy;
};
#pragma pack(pop)
static_assert(sizeof(DialogTemplateHead) == 26);

// The point size that stands for "the system's message font".
constexpr WORD kMessageFontSize = 0x7FFF;

// Where an extended template's font is: its point size, its weight and
// italic flag, and its face, a NUL-terminated string from faceAt to faceEnd.
struct TemplateFont {
    WORD pointSize;
    WORD weight;
    BYTE italic;
    size_t faceAt;
    size_t faceEnd;
    std::wstring face;
};

class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}

    std::optional<WORD> Word(size_t at) const {
        if (at + sizeof(WORD) > m_bytes.size()) return std::nullopt;
        WORD word;
        std::memcpy(&word, m_bytes.data() + at, sizeof word);
        return word;
    }

    // Past a NUL-terminated string; none when the template ends first.
    std::optional<size_t> SkipString(size_t at, std::wstring* text = nullptr) const {
        for (std::optional<WORD> c = Word(at); c; c = Word(at)) {
            at += sizeof(WORD);
            if (*c == 0) return at;
            if (text) *text += static_cast<wchar_t>(*c);
        }
        return std::nullopt;
    }

    // Past a name-or-ordinal field: 0 (none), 0xFFFF and an ordinal, or a
    // string.
    std::optional<size_t> SkipNameOrOrdinal(size_t at) const {
        const std::optional<WORD> first = Word(at);
        if (!first) return std::nullopt;
        if (*first == 0xFFFF) return at + 2 * sizeof(WORD);
        return SkipString(at);
    }

    // None for a classic template (it only ever has the system's character
    // set), one without a font, or one that asks for the message font.
    std::optional<TemplateFont> Font() const {
        DialogTemplateHead head;
        if (m_bytes.size() < sizeof head) return std::nullopt;
        std::memcpy(&head, m_bytes.data(), sizeof head);
        if (head.dlgVer != 1 || head.signature != 0xFFFF || !(head.style & DS_SETFONT)) return std::nullopt;
        std::optional<size_t> at = sizeof head;
        for (int field = 0; field < 3 && at; ++field) at = SkipNameOrOrdinal(*at);  // menu, class, title
        if (!at) return std::nullopt;
        TemplateFont font{};
        const std::optional<WORD> pointSize = Word(*at);
        const std::optional<WORD> weight = Word(*at + 2);
        if (!pointSize || !weight || *pointSize == kMessageFontSize || *at + 6 > m_bytes.size()) return std::nullopt;
        font.pointSize = *pointSize;
        font.weight = *weight;
        font.italic = m_bytes[*at + 4];
        font.faceAt = *at + 6;  // past the italic flag and the character set
        const std::optional<size_t> faceEnd = SkipString(font.faceAt, &font.face);
        if (!faceEnd) return std::nullopt;
        font.faceEnd = *faceEnd;
        return font;
    }

private:
    const std::vector<BYTE>& m_bytes;
};

// The template's font as the dialog manager asks for it.
LOGFONTW AskedFont(const TemplateFont& font) {
    LOGFONTW asked{};
    asked.lfHeight = -static_cast<LONG>(font.pointSize);
    asked.lfWeight = font.weight;
    asked.lfItalic = font.italic;
    asked.lfCharSet = DEFAULT_CHARSET;
    font.face.copy(asked.lfFaceName, LF_FACESIZE - 1);
    return asked;
}

bool AskedFontCoversText(const LOGFONTW& asked) {
    const HFONT made = ::CreateFontIndirectW(&asked);
    const bool covers = FontCoversText(made);
    if (made) ::DeleteObject(made);
    return covers;
}

size_t AlignedToDword(size_t offset) { return (offset + 3) & ~size_t{3}; }

// The template with another face; the items after the font start on a
// DWORD boundary, so they move by whole DWORDs.
std::vector<BYTE> WithFace(const std::vector<BYTE>& bytes, const TemplateFont& font, const std::wstring& face) {
    std::vector<BYTE> changed(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(font.faceAt));
    const auto* faceBytes = reinterpret_cast<const BYTE*>(face.c_str());
    changed.insert(changed.end(), faceBytes, faceBytes + (face.size() + 1) * sizeof(wchar_t));
    const size_t itemsAt = std::min(AlignedToDword(font.faceEnd), bytes.size());
    changed.resize(AlignedToDword(changed.size()), 0);
    changed.insert(changed.end(), bytes.begin() + static_cast<std::ptrdiff_t>(itemsAt), bytes.end());
    return changed;
}

}  // namespace

std::vector<BYTE> TemplateShowingText(const BYTE* resource, std::size_t size) {
    std::vector<BYTE> bytes(resource, resource + size);
    const std::optional<TemplateFont> font = TemplateReader(bytes).Font();
    if (!font) return bytes;
    const LOGFONTW asked = AskedFont(*font);
    if (AskedFontCoversText(asked)) return bytes;
    const std::wstring face = FaceForText(asked);
    return face.empty() ? bytes : WithFace(bytes, *font, face);
}

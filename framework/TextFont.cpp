#include "framework/TextFont.h"

#include "framework/TextConversion.h"

#include <optional>

namespace {

std::optional<CHARSETINFO> TextCharsetInfo() {
    CHARSETINFO info{};
    if (!::TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(kTextCodePage)), &info,
                                TCI_SRCCODEPAGE)) {
        return std::nullopt;
    }
    return info;
}

// What a screen DC makes of `font`: whether it covers code page 949, and
// the face it picked.
struct FontChoice {
    bool coversText = false;
    std::wstring face;
};

FontChoice Choose(HFONT font) {
    FontChoice choice;
    const std::optional<CHARSETINFO> text = TextCharsetInfo();
    const HDC dc = font && text ? ::GetDC(nullptr) : nullptr;
    if (!dc) return choice;
    const HGDIOBJ previous = ::SelectObject(dc, font);
    FONTSIGNATURE signature{};
    ::GetTextCharsetInfo(dc, &signature, 0);
    choice.coversText = (signature.fsCsb[0] & text->fs.fsCsb[0]) != 0;
    wchar_t face[LF_FACESIZE] = {};
    if (::GetTextFaceW(dc, LF_FACESIZE, face) > 1) choice.face = face;
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return choice;
}

}  // namespace

bool FontCoversText(HFONT font) { return Choose(font).coversText; }

std::wstring FaceForText(LOGFONTW font) {
    const std::optional<CHARSETINFO> text = TextCharsetInfo();
    if (!text) return {};
    font.lfCharSet = static_cast<BYTE>(text->ciCharset);
    const HFONT made = ::CreateFontIndirectW(&font);
    const FontChoice choice = Choose(made);
    if (made) ::DeleteObject(made);
    return choice.coversText ? choice.face : std::wstring();
}

// CopyTextToClipboard: puts wide text on the clipboard as CF_UNICODETEXT.
#pragma once

#include <windows.h>

#include <string_view>

namespace html {

// Replaces the clipboard's content with `text`, owned by `owner`. False when
// the clipboard could not be opened or the memory not had; the clipboard is
// then left as it was as far as Windows allows.
bool CopyTextToClipboard(HWND owner, std::u16string_view text);

}  // namespace html

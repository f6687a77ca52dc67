// The clipboard's Unicode text, read and written as a user's other programs
// would, for tests of copying.
#pragma once

#include <string>
#include <string_view>

// Empty when the clipboard holds no text or cannot be opened.
std::wstring ClipboardText();
void PutOnClipboard(std::wstring_view text);

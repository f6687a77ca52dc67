// DocumentText: 8-bit text of code page 949 as the UTF-16 that the pane's
// document takes, widened through the framework as the chat view widens it.
#pragma once

#include "framework/TextConversion.h"

#include <string>

inline std::u16string DocumentText(const CString& text) {
    const std::wstring wide = ToWide(text);
    return {wide.begin(), wide.end()};
}

#include "framework/AnsiText.h"

#include <windows.h>

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text) return {};
    const int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 1) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), needed);
    wide.resize(static_cast<size_t>(needed) - 1);
    return wide;
}

CString WideToAnsi(const wchar_t* text, int length) {
    if (!text || length <= 0) return {};
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), needed, nullptr, nullptr);
    return CString(std::move(narrow));
}

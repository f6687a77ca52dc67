// AnsiToWide, WideToAnsi: how the framework's 8-bit text crosses into and out
// of wide-character windows.
//
// Windows are Unicode windows (typed Hangul survives only there), while text
// lives in 8-bit strings of the ANSI code page. Converting here, explicitly
// with CP_ACP, keeps every crossing in one place instead of relying on the
// system's implicit A/W thunks.
#pragma once

#include "framework/CString.h"

#include <string>

std::wstring AnsiToWide(const char* text);
CString WideToAnsi(const wchar_t* text, int length);

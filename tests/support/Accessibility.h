// What a screen reader reads of a window: its client object as
// AccessibleObjectFromWindow gives it, in this process or another.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

// The client object's name; empty when it has none or cannot be had.
std::wstring AccessibleName(HWND window);
// The client object's role (ROLE_SYSTEM_...); 0 when it cannot be had.
LONG AccessibleRole(HWND window);

// AfxMessageBox: the system's message box, with the program's text (code
// page 949).
//
// The box draws in the system's message font, which on a system without a
// Korean code page may have no Hangul (TextFont.h). While the box is up, a
// hook of this thread meets it as it is first activated, already laid out:
// when its text's font does not cover code page 949, its controls get the
// face the system picks for that font in the Korean character set, and the
// box grows to hold the text in it. A font that covers the code page, as on
// a Korean system, leaves the box exactly as the system made it.
#pragma once

#include <windows.h>

int AfxMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// FontCoversText, FaceForText: fonts that can show the program's text.
//
// Each system maps a face name to a face of its own. A Korean one gives
// faces with Hangul; an English one, under Wine at least, gives the shell's
// dialog face and the message font as faces without it, where Korean text
// is empty boxes. The program's text is code page 949 wherever it runs, so
// a window that shows it asks for a face that covers that code page.
#pragma once

#include <windows.h>

#include <string>

// Whether `font` has the glyphs of code page 949 (its signature says so).
bool FontCoversText(HFONT font);
// The face the system gives `font` when asked in code page 949's character
// set, if that face covers the code page; empty otherwise.
std::wstring FaceForText(LOGFONTW font);

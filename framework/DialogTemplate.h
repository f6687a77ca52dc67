// TemplateShowingText: a dialog template whose font can show the program's
// text.
//
// A template names a face, most often the shell's dialog face, that may map
// to a face without Hangul (TextFont.h). The dialog manager makes the font
// from the face alone, whatever character set the template gives, so the
// face is what must change: to the one the system picks for it in the
// program's character set. A template whose face already covers the
// program's code page is kept as it is, so a Korean system shows exactly
// what it always did.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

std::vector<BYTE> TemplateShowingText(const BYTE* resource, std::size_t size);

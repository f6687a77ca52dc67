// PaintSkin: the chat window's background skin (the coloured strips and the
// outline around the chat view) drawn into any DC. The window calls it with a
// DC of its client area; tests call it with a memory DC and read the pixels.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

// Paints the skin of a client area of `width` x `height`. The outline is
// drawn with `framePen`, or with the DC's current pen when it is null; its
// inside is left alone. The DC's objects are as before afterwards.
void PaintSkin(CDCBase& dc, int width, int height, HPEN framePen);

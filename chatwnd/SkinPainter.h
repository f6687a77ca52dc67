// PaintSkin: the chat window's background skin (the coloured strips and the
// outline around the chat view) drawn into any DC. The window calls it with a
// DC of its client area; tests call it with a memory DC and read the pixels.
#pragma once

#include "framework/DpiScale.h"
#include "framework/Gdi.h"

#include <windows.h>

// Paints the skin of a client area of `width` x `height` at `scale`. The
// outline is drawn with `framePen`, or with the DC's current pen when it is
// null; its inside is left alone. Where the scale makes the outline wider
// than a pixel, it is drawn as solid bands of the pen's colour, each exactly
// as wide as the outline, which a wide pen's rounded joins would not be. The
// DC's objects are as before afterwards.
void PaintSkin(CDCBase& dc, int width, int height, HPEN framePen, DpiScale scale = {});

// The frames and lines of the skinned controls at any line width. At 96 DPI
// every one is a line one pixel wide; at a larger scale it becomes a band of
// that many nested one-pixel lines, so corners keep the stepped look of the
// one-pixel frames (a thick pen would round them), and at one pixel the band
// is exactly the single line of the 96-DPI look.
#pragma once

#include <windows.h>

// FrameRect, `width` pixels wide inward from the rectangle's edges.
void FrameBand(HDC dc, const RECT& rect, HBRUSH brush, int width);
// A 3-D frame (top and left in one colour, bottom and right in the other),
// `width` pixels wide.
void Draw3dBand(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight, int width);
// DrawEdge on all four sides with a one-pixel `edge` (BDR_...OUTER or
// BDR_...INNER), `width` pixels wide.
void DrawEdgeBand(HDC dc, const RECT& rect, UINT edge, int width);
// The dotted focus frame, `width` pixels wide.
void DrawFocusBand(HDC dc, const RECT& rect, int width);
// The etched line along the rectangle's top, as DrawEdge's EDGE_ETCHED with
// BF_TOP draws it: a shadow line over a highlight line, each `width` pixels
// tall, across the rectangle's width.
void DrawEtchedLine(HDC dc, const RECT& rect, int width);

// LoadScaledBitmap, LoadIconForDpi: a module's pictures at a display's DPI.
//
//   const ScaledDrawing drawings[] = {{120, 1155}, {144, 2155}};
//   HBITMAP close = LoadScaledBitmap(module, 155, drawings, dpi, {15, 16}, RGB(255, 255, 255));
//   HICON big = LoadIconForDpi(module, 128, IconKind::Big, dpi);
//
// A picture is a 96-DPI BITMAP resource and drawings for larger scales,
// stored as compressed images (PNG) in RCDATA resources and decoded by WIC,
// which keeps a program with several sets small. Which drawing serves which
// DPI, and how one is fitted to its place: framework/ImageScaling.h.
//
// Runs on a thread that has initialised COM, as WIC asks.
#pragma once

#include "framework/ImageScaling.h"

#include <windows.h>

#include <optional>
#include <span>

// The bitmap `bitmapId` of `module` for a window at `dpi`, `size` pixels
// large; the caller deletes it. At 96 DPI (or below) exactly what
// LoadImageW gives for the BITMAP resource, whatever `size` says. Otherwise
// a 24-bit DIB section of the drawing ChooseDrawing picks, as it is when its
// size is `size`, else scaled to it, keeping `key` exact (see ScalePixels).
// Null when the drawing is missing or cannot be decoded.
HBITMAP LoadScaledBitmap(HINSTANCE module, UINT bitmapId, std::span<const ScaledDrawing> drawings, UINT dpi, SIZE size,
                         std::optional<COLORREF> key = std::nullopt);

enum class IconKind { Big, Small };
// The icon `iconId` of `module` at the size Windows asks of a window at
// `dpi` (SM_CXICON or SM_CXSMICON at that DPI), scaled down from a larger
// image of the icon where it has none of that size; the caller destroys it.
// Null when the icon is missing.
HICON LoadIconForDpi(HINSTANCE module, UINT iconId, IconKind kind, UINT dpi);

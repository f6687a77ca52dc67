// ImageScaling: which of a picture's drawings serves a display's DPI, and a
// drawing brought to the exact size its place asks for.
//
//   const int chosen = ChooseDrawing(drawings, dpi);
//   const PixelImage fitted = ScalePixels(decoded, width, height, kWhite);
//
// The pictures are drawn for a few scales; between them the next larger
// drawing is scaled down, never a smaller one up, which would blur every
// edge. Scaling is a box filter (each target pixel the area-weighted mean of
// the source pixels under it) of our own rather than WIC's scaler: the
// skinned controls key a colour out by exact comparison, and a filter that
// blends the key into its neighbours leaves a fringe of almost-key pixels
// that show, and may put the key where the drawing never had it. Here the
// key is kept apart from the mean, so it stays exact.
//
// Window-free, so it is tested without a window and builds natively.
#pragma once

#include "framework/Color.h"

#include <optional>
#include <span>
#include <vector>

// A picture's pixels as colours, rows top-down.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;

    Color At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// One drawing of a picture, made for a display of `dpi`, and the resource
// that holds it.
struct ScaledDrawing {
    int dpi;
    unsigned resourceId;
};

// The index of the drawing that serves `dpi`: the smallest drawn for `dpi`
// or more; above the largest, the largest. -1 when there is none.
int ChooseDrawing(std::span<const ScaledDrawing> drawings, int dpi);

// `source` as `width` x `height` pixels, each the area-weighted mean of the
// source pixels it covers. With a key colour, a target pixel is the key when
// the key covers half of its area or more, and otherwise the mean of the
// other pixels only, never the key itself. Empty when a size is not positive.
PixelImage ScalePixels(const PixelImage& source, int width, int height, std::optional<Color> key = std::nullopt);

// ScaleImagePart: a picture drawn at another size, smoothly.
//
// GDI's own stretching (StretchBlt, AlphaBlend) picks the nearest pixel, so
// an image at 200 % shows its pixels as blocks and one at 50 % loses every
// other line; its HALFTONE mode filters, but says nothing of what becomes
// of the alpha channel. Here each output pixel is a tent-weighted average of
// the source pixels around its centre (bilinear when enlarging, widened to
// cover the pixels it stands for when reducing), taken on premultiplied
// channels so that transparent edges do not darken. Only the part asked for
// is computed: the pane scales what is on screen, not a whole 4096-pixel
// image per paint. Window-free.
#pragma once

#include "framework/html/Drawing.h"
#include "framework/html/ImageDecoder.h"

namespace html {

// The pixels of `image` scaled to `width` x `height` that lie in `part`
// (coordinates of the scaled picture, clamped to it): an image of the part's
// size, or an empty one when the part or a size is empty.
DecodedImage ScaleImagePart(const DecodedImage& image, int width, int height, Rect part);

}  // namespace html

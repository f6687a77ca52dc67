// GdiSurface: the pane's drawing interface on a GDI device context.
//
// It borrows everything: the DC (a paint or memory DC), the font cache that
// outlives paints (fonts and width tables are costly to make) and the store
// of decoded images. Clipping nests with SaveDC/IntersectClipRect/RestoreDC,
// so a pop restores exactly the clip that was there before its push; clips
// still pushed when the surface goes are popped then, leaving the DC as it
// was lent.
#pragma once

#include "framework/html/Drawing.h"
#include "framework/html/GdiFonts.h"
#include "framework/html/GdiImageStore.h"

#include <windows.h>

#include <vector>

namespace html {

class GdiSurface final : public DrawingSurface {
public:
    // `images` may be null: every image is then drawn as its placeholder.
    GdiSurface(HDC dc, GdiFontCache& fonts, const GdiImageStore* images,
               ImageFilter imageFilter = ImageFilter::Nearest);
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;
    ~GdiSurface() override;

    FontMetrics Metrics(const FontSpec& font) override;
    int TextWidth(const FontSpec& font, std::u16string_view text) override;
    int FitCount(const FontSpec& font, std::u16string_view text, int maxWidth) override;

    void FillRect(const Rect& rect, Color color) override;
    void DrawTextRun(const FontSpec& font, int x, int baseline, std::u16string_view text, Color color) override;
    void DrawImage(int imageId, const Rect& destination) override;
    void PushClip(const Rect& rect) override;
    void PopClip() override;

private:
    void DrawPlaceholder(const Rect& destination);
    // The underline and strike-out of text drawn from `left` to `right`.
    void DrawDecorations(const FontSpec& font, int left, int right, int baseline, Color color);

    HDC m_dc;
    GdiFontCache& m_fonts;
    const GdiImageStore* m_images;
    ImageFilter m_imageFilter;
    int m_clipDepth = 0;
    // Reused between DrawTextRun calls, which come once per fragment.
    std::vector<FaceRun> m_runs;
    std::vector<int> m_advances;
};

}  // namespace html

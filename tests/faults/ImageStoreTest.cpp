// Images kept by the pane do not each hold a GDI object: a conversation
// keeps every image it is sent, and a process has only so many.
#include "framework/html/GdiImageStore.h"
#include "tests/support/GdiObjects.h"

#include <gtest/gtest.h>

namespace {

html::DecodedImage SolidImage(int side, std::uint32_t premultipliedBgra) {
    html::DecodedImage image;
    image.width = side;
    image.height = side;
    image.pixels.assign(static_cast<size_t>(side) * static_cast<size_t>(side), premultipliedBgra);
    return image;
}

TEST(ImageStore, ThousandsOfImagesHoldNoGdiObjectsAndStillDraw) {
    html::GdiImageStore store;
    // The first look at the screen makes the system's own objects.
    ::ReleaseDC(nullptr, ::GetDC(nullptr));
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0) << "GDI objects cannot be counted here";
    for (int id = 0; id < 3000; ++id) ASSERT_TRUE(store.Add(id, SolidImage(4, 0xFFFF0000)));
    EXPECT_LE(GdiObjectCount(), before + 2);

    // Drawn into a memory DC: the last image shows, in its colour (opaque
    // red: 0xAARRGGBB in memory order B, G, R, A), and drawing leaves no object behind.
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP canvas = ::CreateCompatibleBitmap(screen, 8, 8);
    const HGDIOBJ old = ::SelectObject(memory, canvas);
    const int withCanvas = GdiObjectCount();
    EXPECT_TRUE(store.Draw(memory, 2999, {0, 0, 4, 4}));
    EXPECT_EQ(::GetPixel(memory, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GdiObjectCount(), withCanvas);
    EXPECT_FALSE(store.Draw(memory, 3000, {0, 0, 4, 4}));
    ::SelectObject(memory, old);
    ::DeleteObject(canvas);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

}  // namespace

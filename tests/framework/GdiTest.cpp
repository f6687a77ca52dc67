// GDI wrappers: ownership of handles, select-and-restore, and drawing into a
// memory DC read back pixel by pixel.
#include "framework/Gdi.h"

#include <gtest/gtest.h>

namespace {

bool IsLiveObject(HGDIOBJ object) { return ::GetObjectType(object) != 0; }

struct MemoryCanvas {
    CDC dc;
    CBitmap bitmap;

    MemoryCanvas(int width, int height) {
        CClientDC screen(nullptr);
        EXPECT_TRUE(dc.CreateCompatibleDC(screen));
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(screen, width, height));
    }
};

TEST(GdiObjects, OwningObjectDeletesWhenReplacedAndOnRequest) {
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(90, 44, 107)));
    const HPEN first = pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
    EXPECT_FALSE(IsLiveObject(first));
    const HPEN second = pen;
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_EQ(pen.GetSafeHandle(), nullptr);
    EXPECT_FALSE(IsLiveObject(second));
}

TEST(GdiObjects, OwningObjectDeletesInDestructorButBorrowedOneDoesNot) {
    HBRUSH owned = nullptr;
    const HBRUSH lent = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(4, 5, 6)));
        owned = brush;
        CBrushHandle borrowed(lent);
        CBrushHandle copy = borrowed;
        EXPECT_EQ(copy.GetSafeHandle(), lent);
    }
    EXPECT_FALSE(IsLiveObject(owned));
    EXPECT_TRUE(IsLiveObject(lent));
    ::DeleteObject(lent);
}

TEST(GdiObjects, MovedBitmapChangesOwner) {
    CBitmap source;
    ASSERT_TRUE(source.CreateCompatibleBitmap(CClientDC(nullptr), 4, 4));
    const HBITMAP handle = source;
    CBitmap target = std::move(source);
    EXPECT_EQ(source.GetSafeHandle(), nullptr);
    EXPECT_EQ(target.GetSafeHandle(), handle);
    BITMAP info{};
    ASSERT_TRUE(target.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 4);
}

TEST(SelectedObject, PutsThePreviousObjectBack) {
    MemoryCanvas canvas(8, 8);
    const HGDIOBJ original = ::GetCurrentObject(canvas.dc, OBJ_PEN);
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    {
        CSelectedObject selected(canvas.dc, pen);
        EXPECT_TRUE(selected.IsSelected());
        EXPECT_EQ(::GetCurrentObject(canvas.dc, OBJ_PEN), pen.GetSafeHandle());
    }
    EXPECT_EQ(::GetCurrentObject(canvas.dc, OBJ_PEN), original);
}

TEST(MemoryDC, DrawnPixelsReadBack) {
    MemoryCanvas canvas(20, 20);
    CSelectedObject bitmap(canvas.dc, canvas.bitmap);
    canvas.dc.FillSolidRect(0, 0, 20, 20, RGB(231, 219, 239));
    CPen purple;
    ASSERT_TRUE(purple.CreatePen(PS_SOLID, 1, RGB(90, 44, 107)));
    CSelectedObject pen(canvas.dc, purple);
    CSelectedObject hollow(canvas.dc, ::GetStockObject(NULL_BRUSH));
    canvas.dc.Rectangle(5, 5, 15, 15);  // right and bottom edges exclusive

    EXPECT_EQ(canvas.dc.GetPixel(5, 5), RGB(90, 44, 107));
    EXPECT_EQ(canvas.dc.GetPixel(14, 14), RGB(90, 44, 107));
    EXPECT_EQ(canvas.dc.GetPixel(15, 15), RGB(231, 219, 239));
    EXPECT_EQ(canvas.dc.GetPixel(10, 10), RGB(231, 219, 239));  // inside left unpainted
}

TEST(MemoryDC, ReplacingOrDeletingReleasesTheDC) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    const HDC first = dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(IsLiveObject(first));
    EXPECT_TRUE(dc.DeleteDC());
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
    EXPECT_FALSE(dc.DeleteDC());
}

}  // namespace

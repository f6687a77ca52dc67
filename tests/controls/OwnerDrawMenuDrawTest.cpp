// COwnerDrawMenu's painting, read back from a memory DC: selected, checked,
// radio, greyed and image items in the classic and the flat look; and no GDI
// handle left behind.
#include "controls/MenuLook.h"
#include "controls/OwnerDrawMenu.h"
#include "framework/Color.h"

#include "OwnerDrawMenuTestResources.h"
#include "tests/support/Canvas.h"
#include "tests/support/GdiObjects.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 24;

COLORREF Sys(int index) { return ::GetSysColor(index); }

class OwnerDrawMenuDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = MenuSettings();
        SetMenuWindowsVersion(kNtOther);
        SetClassicTheme(false);
        ASSERT_TRUE(menu_.CreatePopupMenu());
    }
    void TearDown() override { MenuSettings() = saved_; }

    void UseFlatLook() { MenuSettings().flatElsewhere = true; }

    void Draw(int position, UINT state) { Draw(position, state, canvas_); }
    void Draw(int position, UINT state, Canvas& canvas) {
        const COwnerDrawMenuItem* item = menu_.GetItem(position);
        ASSERT_NE(item, nullptr);
        canvas.Fill(RGB(0, 0, 0));
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(item->itemId);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = reinterpret_cast<HWND>(menu_.GetSafeHmenu());
        draw.hDC = canvas.Dc();
        draw.rcItem = RECT{0, 0, canvas.Width(), canvas.Height()};
        draw.itemData = reinterpret_cast<ULONG_PTR>(item);
        menu_.DrawItem(&draw);
    }

    // A 16 x 15 image: a red square on the face colour, which is transparent.
    static HBITMAP RedSquare() {
        const HDC screen = ::GetDC(nullptr);
        const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 15);
        const HDC dc = ::CreateCompatibleDC(screen);
        const HGDIOBJ previous = ::SelectObject(dc, bitmap);
        const RECT all{0, 0, 16, 15};
        const RECT square{4, 4, 12, 11};
        const HBRUSH face = ::CreateSolidBrush(Sys(COLOR_BTNFACE));
        const HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dc, &all, face);
        ::FillRect(dc, &square, red);
        ::DeleteObject(face);
        ::DeleteObject(red);
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
        return bitmap;
    }

    // Appends item `id` with the red square as its stored image.
    void AppendImageItem(const wchar_t* text, UINT id) {
        const HBITMAP bitmap = RedSquare();
        ASSERT_TRUE(menu_.AddImage(id, bitmap));
        ::DeleteObject(bitmap);
        ASSERT_TRUE(menu_.AppendItem(text, MF_STRING, id));
        ASSERT_GE(menu_.GetItem(menu_.GetItemCount() - 1)->globalImageIndex, 0);
    }

    COwnerDrawMenu menu_;
    Canvas canvas_{kWidth, kHeight, RGB(0, 0, 0)};

private:
    MenuLookSettings saved_;
};

TEST_F(OwnerDrawMenuDrawTest, ClassicSelectedItemIsHighlightedRightOfTheImageColumn) {
    menu_.AppendItem(L"&Plain", MF_STRING, 1);
    menu_.AppendItem(L"&Checked", MF_STRING | MF_CHECKED, 2);
    Draw(0, ODS_SELECTED);
    EXPECT_EQ(canvas_.At(2, 12), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(canvas_.Count(Sys(COLOR_HIGHLIGHTTEXT), RECT{25, 0, kWidth, kHeight}), 10);

    Draw(1, ODS_SELECTED | ODS_CHECKED);
    EXPECT_EQ(canvas_.At(16 + 5, 12), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(16 + 4, 1), Sys(COLOR_MENU));
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_HIGHLIGHT));
}

TEST_F(OwnerDrawMenuDrawTest, ClassicCheckMarkAndRadioDot) {
    menu_.AppendItem(L"Check", MF_STRING | MF_CHECKED, 2);
    Draw(0, ODS_CHECKED);
    // dy = (24 - 15 - 4) / 2 = 2: the box starts at (1, 4), the mark at (5, 8).
    EXPECT_EQ(canvas_.At(3, 6), LightenColor(Sys(COLOR_MENU), 0.6));
    EXPECT_EQ(canvas_.At(5, 10), Sys(COLOR_MENUTEXT));  // first stroke, rows 10-12
    EXPECT_EQ(canvas_.At(5, 12), Sys(COLOR_MENUTEXT));
    EXPECT_NE(canvas_.At(5, 9), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(canvas_.At(7, 12), Sys(COLOR_MENUTEXT));  // the low point, rows 12-14
    EXPECT_EQ(canvas_.At(11, 8), Sys(COLOR_MENUTEXT));  // last stroke, rows 8-10
    EXPECT_NE(canvas_.At(11, 11), Sys(COLOR_MENUTEXT));

    ::CheckMenuRadioItem(menu_, 2, 2, 2, MF_BYCOMMAND);
    Draw(0, ODS_CHECKED);
    // The dot covers (6..11, 8..13); the tick's empty corner is inside it.
    EXPECT_EQ(canvas_.At(8, 10), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(canvas_.At(9, 11), Sys(COLOR_MENUTEXT));
}

TEST_F(OwnerDrawMenuDrawTest, ClassicGreyedItemIsEmbossedOrDrawnInTheBackground) {
    menu_.AppendItem(L"&Greyed item", MF_STRING | MF_GRAYED, 3);
    Draw(0, ODS_GRAYED);
    EXPECT_GT(canvas_.Count(Sys(COLOR_GRAYTEXT), RECT{25, 0, kWidth, kHeight}), 10);
    EXPECT_GT(canvas_.Count(Sys(COLOR_BTNHIGHLIGHT), RECT{25, 0, kWidth, kHeight}), 10);
    EXPECT_EQ(canvas_.Count(Sys(COLOR_MENUTEXT), RECT{25, 0, kWidth, kHeight}), 0);

    Draw(0, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(canvas_.Count(Sys(COLOR_MENU), RECT{25, 0, kWidth, kHeight}), 10);

    MenuSettings().classicSelectGreyed = false;
    Draw(0, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_MENU));
}

TEST_F(OwnerDrawMenuDrawTest, ClassicSeparatorIsAnEtchedLineAcrossTheMiddle) {
    menu_.AppendItem(L"", MF_STRING, 0);
    Draw(0, 0);
    EXPECT_EQ(canvas_.At(100, 12), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas_.At(100, 13), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas_.At(100, 5), Sys(COLOR_MENU));
}

TEST_F(OwnerDrawMenuDrawTest, ClassicImageFramesOnOlderSystems) {
    SetMenuWindowsVersion(kWin2000);
    AppendImageItem(L"Image", 20);
    Draw(0, ODS_SELECTED);
    // The image at (2, 4); its red square at (6..13, 8..14).
    EXPECT_EQ(canvas_.At(8, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas_.At(0, 2), Sys(COLOR_BTNHIGHLIGHT));  // raised: light top-left
    EXPECT_EQ(canvas_.At(19, 20), Sys(COLOR_BTNSHADOW));
    Draw(0, ODS_SELECTED | ODS_CHECKED);
    EXPECT_EQ(canvas_.At(0, 2), Sys(COLOR_BTNSHADOW));  // sunken
    Draw(0, ODS_GRAYED);
    EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)), 0);
    EXPECT_GT(canvas_.Count(Sys(COLOR_BTNSHADOW), RECT{0, 0, 20, kHeight}), 20);
}

TEST_F(OwnerDrawMenuDrawTest, FlatSelectedAndRestingItems) {
    UseFlatLook();
    menu_.AppendItem(L"&Plain\tCtrl+P", MF_STRING, 1);
    const COLORREF selection = LightenColor(Sys(COLOR_HIGHLIGHT), 0.85);
    const COLORREF bar = LightenColor(Sys(COLOR_BTNFACE), 0.25);
    Draw(0, ODS_SELECTED);
    EXPECT_EQ(canvas_.At(0, 0), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(199, 23), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(3, 12), selection);
    EXPECT_EQ(canvas_.At(190, 12), selection);
    EXPECT_GT(canvas_.Count(Sys(COLOR_MENUTEXT), RECT{31, 0, kWidth, kHeight}), 10);

    Draw(0, 0);
    EXPECT_EQ(canvas_.At(3, 12), bar);  // the bar is 7 + 16 wide
    EXPECT_EQ(canvas_.At(22, 12), bar);
    EXPECT_EQ(canvas_.At(23, 12), Sys(COLOR_WINDOW));
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_WINDOW));
}

TEST_F(OwnerDrawMenuDrawTest, FlatCheckedItemShowsATintedBoxWithTheMark) {
    UseFlatLook();
    menu_.AppendItem(L"Check", MF_STRING | MF_CHECKED, 2);
    Draw(0, ODS_CHECKED);
    // A 16 x 16 box centred in the 23-pixel bar: (3, 4); the mark at (8, 8).
    EXPECT_EQ(canvas_.At(3, 4), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(18, 19), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas_.At(4, 5), LightenColor(Sys(COLOR_HIGHLIGHT), 0.85));
    EXPECT_EQ(canvas_.At(8, 10), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(canvas_.At(14, 8), Sys(COLOR_MENUTEXT));
    const int text = canvas_.Count(Sys(COLOR_MENUTEXT), RECT{31, 0, kWidth, kHeight});

    // At 192 DPI, on an item twice the size: a 32 x 32 box with a 2-pixel
    // outline centred in the 46-pixel bar, (7, 8); the mark's strokes 2
    // pixels wide and 6 tall from (17, 16); the text in the larger font.
    menu_.SetDpi(192);
    Canvas doubled(2 * kWidth, 2 * kHeight);
    Draw(0, ODS_CHECKED, doubled);
    const COLORREF outline = Sys(COLOR_HIGHLIGHT);
    const COLORREF mark = Sys(COLOR_MENUTEXT);
    const struct {
        int x, y;
        COLORREF color;
    } pixels[] = {{7, 8, outline}, {8, 9, outline}, {38, 39, outline}, {9, 10, LightenColor(outline, 0.85)},
                  {17, 20, mark},  {18, 25, mark},  {30, 16, mark},    {46, 30, Sys(COLOR_WINDOW)}};
    for (const auto& pixel : pixels) EXPECT_EQ(doubled.At(pixel.x, pixel.y), pixel.color) << pixel.x << "," << pixel.y;
    EXPECT_NE(doubled.At(17, 19), mark);
    EXPECT_NE(doubled.At(17, 26), mark);
    const int doubledText = doubled.Count(Sys(COLOR_MENUTEXT), RECT{62, 0, 2 * kWidth, 2 * kHeight});
    EXPECT_GT(doubledText, 3 * text) << text << " -> " << doubledText;
}

TEST_F(OwnerDrawMenuDrawTest, FlatGreyedItemUsesLightGreyTextAndIsNeverSelected) {
    UseFlatLook();
    menu_.AppendItem(L"&Greyed item", MF_STRING | MF_GRAYED, 3);
    const COLORREF grey = LightenColor(Sys(COLOR_GRAYTEXT), 0.4);
    Draw(0, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas_.At(190, 12), Sys(COLOR_WINDOW));
    EXPECT_GT(canvas_.Count(grey, RECT{31, 0, kWidth, kHeight}), 10);
    EXPECT_EQ(canvas_.Count(Sys(COLOR_MENUTEXT), RECT{31, 0, kWidth, kHeight}), 0);

    MenuSettings().flatSelectGreyed = true;
    Draw(0, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas_.At(190, 12), LightenColor(Sys(COLOR_HIGHLIGHT), 0.85));
    EXPECT_GT(canvas_.Count(Sys(COLOR_GRAYTEXT), RECT{31, 0, kWidth, kHeight}), 10);
}

TEST_F(OwnerDrawMenuDrawTest, FlatImagesShowFadedAtRestAndShadowedWhenSelected) {
    UseFlatLook();
    AppendImageItem(L"Image", 30);
    // x = (23 - 16 + 1) / 2 = 4, y = (24 - 15 + 1) / 2 = 5: the square at (8..15, 9..15).
    Draw(0, 0);
    EXPECT_EQ(canvas_.At(10, 12), LightenColor(RGB(255, 0, 0), 0.3));
    EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)), 0);

    Draw(0, ODS_SELECTED);
    EXPECT_EQ(canvas_.At(7, 8), RGB(255, 0, 0));  // the image one pixel up and left
    const COLORREF shadow = LightenColor(Sys(COLOR_BTNSHADOW), 0.49);
    EXPECT_EQ(canvas_.At(16, 16), shadow);  // the shadow one pixel down and right

    Draw(0, ODS_GRAYED);
    EXPECT_EQ(canvas_.Count(RGB(255, 0, 0)), 0);
    EXPECT_EQ(canvas_.At(8, 9), Sys(COLOR_BTNSHADOW));
}

TEST_F(OwnerDrawMenuDrawTest, BothWaysOfEmbossingGiveTheSamePicture) {
    AppendImageItem(L"Image", 40);
    Draw(0, ODS_GRAYED);
    std::vector<COLORREF> monochrome;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 24; ++x) monochrome.push_back(canvas_.At(x, y));
    }
    menu_.SetEmbossWithDib(true);
    Draw(0, ODS_GRAYED);
    size_t at = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 24; ++x) ASSERT_EQ(canvas_.At(x, y), monochrome[at++]) << x << "," << y;
    }
    EXPECT_GT(canvas_.Count(Sys(COLOR_BTNSHADOW), RECT{0, 0, 24, kHeight}), 20);
}

TEST_F(OwnerDrawMenuDrawTest, CheckImagesReplaceTheMarkWhenSwitchedOn) {
    auto images = std::make_unique<CImageList>();
    ASSERT_TRUE(images->Create(16, 15, ILC_COLOR24 | ILC_MASK, 2, 0));
    const HBITMAP bitmap = RedSquare();
    images->Add(bitmap, RGB(0, 0, 0));  // black is not in it: the whole square is opaque
    images->Add(bitmap, Sys(COLOR_BTNFACE));
    ::DeleteObject(bitmap);
    menu_.SetCheckImages(std::move(images), -1, 1);
    menu_.AppendItem(L"Check", MF_STRING | MF_CHECKED, 2);

    Draw(0, ODS_CHECKED);  // image 0 at (2, 4): opaque face colour around the square
    EXPECT_EQ(canvas_.At(3, 5), Sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas_.At(8, 10), RGB(255, 0, 0));
    Draw(0, ODS_CHECKED | ODS_SELECTED);  // image 1: the face colour is transparent
    EXPECT_EQ(canvas_.At(3, 5), Sys(COLOR_MENU));
    EXPECT_EQ(canvas_.At(8, 10), RGB(255, 0, 0));

    menu_.SetCheckImages(nullptr, -1, -1);
    Draw(0, ODS_CHECKED);
    EXPECT_EQ(canvas_.At(8, 10), LightenColor(Sys(COLOR_MENU), 0.6));
    EXPECT_EQ(canvas_.At(5, 10), Sys(COLOR_MENUTEXT));
}

TEST_F(OwnerDrawMenuDrawTest, ManyMenusLeaveNoGdiObjectsBehind) {
    const auto cycle = [this](UINT id) {
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_ODM_TEST_MENU));
        COwnerDrawMenu* file = COwnerDrawMenu::FromHandle(menu.GetSubMenu(0));
        ASSERT_NE(file, nullptr);
        const HBITMAP bitmap = RedSquare();
        file->AddImage(id, bitmap);
        ::DeleteObject(bitmap);
        file->AppendItem(L"&Image\tF9", MF_STRING, id);
        for (int look = 0; look < 2; ++look) {
            MenuSettings().flatElsewhere = look == 1;
            for (UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_GRAYED}, UINT{ODS_CHECKED | ODS_SELECTED}}) {
                DRAWITEMSTRUCT draw{};
                draw.CtlType = ODT_MENU;
                draw.itemID = id;
                draw.itemState = state;
                draw.hwndItem = reinterpret_cast<HWND>(file->GetSafeHmenu());
                draw.hDC = canvas_.Dc();
                draw.rcItem = RECT{0, 0, kWidth, kHeight};
                draw.itemData = reinterpret_cast<ULONG_PTR>(file->GetItem(file->GetItemCount() - 1));
                file->DrawItem(&draw);
                MEASUREITEMSTRUCT measure{};
                measure.CtlType = ODT_MENU;
                measure.itemData = draw.itemData;
                file->MeasureItem(&measure);
            }
        }
    };
    for (UINT id = 0; id < 5; ++id) cycle(100 + id);  // fills the shared store
    const int before = GdiObjectCount();
    for (int round = 0; round < 300; ++round) cycle(100 + round % 5);
    const int after = GdiObjectCount();
    EXPECT_LE(after, before + 2) << before << " -> " << after;
}

}  // namespace

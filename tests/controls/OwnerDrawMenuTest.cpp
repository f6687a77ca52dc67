// COwnerDrawMenu without painting: the look choice, the theme test, measuring,
// loading templates (and refusing broken ones), mnemonics, aligning and
// synchronising.
#include "controls/MenuLook.h"
#include "controls/OwnerDrawMenu.h"
#include "framework/Color.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"
#include "framework/TextConversion.h"

#include "OwnerDrawMenuTestResources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class OwnerDrawMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = MenuSettings();
        SetMenuWindowsVersion(kNtOther);
        SetClassicTheme(false);
    }
    void TearDown() override {
        MenuSettings() = saved_;
        SetMenuWindowsVersion(kNtOther);
    }

    static UINT Measure(COwnerDrawMenu& menu, int position, UINT* width = nullptr) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(menu.GetItem(position));
        menu.MeasureItem(&measure);
        if (width) *width = measure.itemWidth;
        return measure.itemHeight;
    }

    // From the item's type: GetMenuState puts a popup's item count in the
    // high byte, where it overlaps MF_OWNERDRAW.
    static bool IsOwnerDrawn(HMENU menu, int position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        return ::GetMenuItemInfoW(menu, position, TRUE, &info) && (info.fType & MFT_OWNERDRAW);
    }

    static std::vector<BYTE> TemplateBytes() {
        const HMODULE module = ::GetModuleHandleW(nullptr);
        const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_ODM_TEST_MENU), MAKEINTRESOURCEW(4));
        const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
        return std::vector<BYTE>(data, data + ::SizeofResource(module, resource));
    }

private:
    MenuLookSettings saved_;
};

// Template bytes placed so that the byte after the last one is on a page that
// cannot be read: any read past the end faults.
class GuardedBytes {
public:
    explicit GuardedBytes(const BYTE* data, size_t size) {
        m_base = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(m_base + kPage, kPage, PAGE_NOACCESS, &old);
        m_data = m_base + kPage - size;
        if (size) std::memcpy(m_data, data, size);
    }
    ~GuardedBytes() { ::VirtualFree(m_base, 0, MEM_RELEASE); }
    const BYTE* data() const { return m_data; }

private:
    static constexpr size_t kPage = 4096;
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
};

TEST_F(OwnerDrawMenuTest, ClassicThemeIsACaseBlindSuffixOfTheThemePath) {
    EXPECT_TRUE(ThemePathIsClassic("C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(ThemePathIsClassic("c:\\x\\wINDOWS cLASSIC.THEME"));
    EXPECT_TRUE(ThemePathIsClassic("Windows Classic.theme"));
    EXPECT_FALSE(ThemePathIsClassic("C:\\Windows Classic.theme.bak"));
    EXPECT_FALSE(ThemePathIsClassic("C:\\Windows Classic.theme\\Luna.theme"));
    EXPECT_FALSE(ThemePathIsClassic("indows Classic.theme"));
    EXPECT_FALSE(ThemePathIsClassic(""));
    EXPECT_FALSE(ThemePathIsClassic(nullptr));
}

TEST_F(OwnerDrawMenuTest, ClassicThemeIsReadFromTheCurrentThemeKey) {
    const char* const kKey = "Software\\Microsoft\\Plus!\\Themes\\Current";
    const auto setTheme = [kKey](const char* value) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>(std::strlen(value) + 1));
        ::RegCloseKey(key);
    };
    setTheme("%WinDir%\\Resources\\Themes\\WINDOWS CLASSIC.theme");
    EXPECT_TRUE(ReadClassicThemeSetting());
    setTheme("%WinDir%\\Resources\\Themes\\Luna.theme");
    EXPECT_FALSE(ReadClassicThemeSetting());
    // A value longer than the buffer is refused, not read past.
    setTheme((std::string(400, 'x') + "Windows Classic.theme").c_str());
    EXPECT_FALSE(ReadClassicThemeSetting());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(ReadClassicThemeSetting());
}

TEST_F(OwnerDrawMenuTest, VersionClassesAndTheLookTheyChoose) {
    OSVERSIONINFOW details{};
    details.dwMajorVersion = 5;
    details.dwMinorVersion = 1;
    EXPECT_EQ(ClassifyWindowsVersion(0x0A280105, &details), kWinXP);
    details.dwMinorVersion = 0;
    EXPECT_EQ(ClassifyWindowsVersion(0x08930005, &details), kWin2000);
    details.dwMajorVersion = 10;
    EXPECT_EQ(ClassifyWindowsVersion(0x4A61000A, &details), kNtOther);
    EXPECT_EQ(ClassifyWindowsVersion(0x4A61000A, nullptr), kNtOther);
    details.dwMajorVersion = 4;
    details.dwMinorVersion = 90;
    EXPECT_EQ(ClassifyWindowsVersion(0xC0005A04, &details), kWinMe);
    EXPECT_EQ(ClassifyWindowsVersion(0x80000003, &details), kWin32s);
    EXPECT_EQ(ClassifyWindowsVersion(0xC0000004, nullptr), kWin9xOther);

    EXPECT_EQ(ChooseMenuLook(), MenuLook::Classic);
    SetMenuWindowsVersion(kWinXP);
    EXPECT_EQ(ChooseMenuLook(), MenuLook::Flat);
    SetClassicTheme(true);
    EXPECT_EQ(ChooseMenuLook(), MenuLook::Classic);
    MenuSettings().flatElsewhere = true;
    EXPECT_EQ(ChooseMenuLook(), MenuLook::Flat);
}

// Whatever the system and the switches say, a palette device's items are
// drawn in the classic look: the flat look's tints would be dithered there.
TEST_F(OwnerDrawMenuTest, APaletteDeviceGetsTheClassicLook) {
    SetMenuWindowsVersion(kWinXP);
    ASSERT_EQ(ChooseMenuLook(DeviceColours::Full), MenuLook::Flat);
    EXPECT_EQ(ChooseMenuLook(DeviceColours::Palette), MenuLook::Classic);
    SetMenuWindowsVersion(kNtOther);
    MenuSettings().flatElsewhere = true;
    ASSERT_EQ(ChooseMenuLook(DeviceColours::Full), MenuLook::Flat);
    EXPECT_EQ(ChooseMenuLook(DeviceColours::Palette), MenuLook::Classic);
}

TEST_F(OwnerDrawMenuTest, SeparatorAndItemHeightsFollowTheLookAndMargin) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendItem(L"", MF_STRING, 0));
    ASSERT_TRUE(menu.AppendItem(L"&Open\tCtrl+O", MF_STRING, 10));
    const int halfMenu = ::GetSystemMetrics(SM_CYMENU) >> 1;
    const int menuHeight = ::GetSystemMetrics(SM_CYMENU);

    UINT width = 99;
    EXPECT_EQ(Measure(menu, 0, &width), static_cast<UINT>(std::max(halfMenu, (15 + 4) / 2)));
    EXPECT_EQ(width, 0u);
    UINT classicWidth = 0;
    EXPECT_EQ(Measure(menu, 1, &classicWidth), static_cast<UINT>(std::max(menuHeight, 15 + 4)));

    MenuSettings().flatElsewhere = true;
    EXPECT_EQ(Measure(menu, 0), static_cast<UINT>(std::max(halfMenu, 11)));
    UINT flatWidth = 0;
    EXPECT_EQ(Measure(menu, 1, &flatWidth), static_cast<UINT>(std::max(menuHeight, 15 + 7)));
    // Same text: classic adds 2 x 16 + 1, flat 16 + 7 + 8.
    EXPECT_EQ(classicWidth - flatWidth, 2u);

    MenuSettings().flatExtras = false;
    EXPECT_EQ(Measure(menu, 0), static_cast<UINT>(std::max(halfMenu, (15 + 4) / 2)));

    // At 192 DPI every figure doubles, the menu bar's height is the one for
    // that DPI, and the text measured in the DC's font doubles with them.
    MenuSettings().flatExtras = true;
    menu.SetDpi(192);
    const int doubleMenu = SystemMetricForDpi(SM_CYMENU, 192);
    EXPECT_EQ(Measure(menu, 0), static_cast<UINT>(std::max(doubleMenu >> 1, (30 + 14) / 2)));
    UINT doubledWidth = 0;
    EXPECT_EQ(Measure(menu, 1, &doubledWidth), static_cast<UINT>(std::max(doubleMenu, 30 + 14)));
    EXPECT_EQ(doubledWidth, 2 * flatWidth);
}

TEST_F(OwnerDrawMenuTest, TextIsMeasuredInTheMenuFontOfTheMenusDpi) {
    SetMenuWindowsVersion(kWin2000);  // measures in the menu font
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendItem(L"&Open\tCtrl+O", MF_STRING, 10));
    menu.SetDpi(192);
    NONCLIENTMETRICSW metrics{};
    ASSERT_TRUE(NonClientMetricsForDpi(metrics, 192));
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(metrics.lfMenuFont));
    CClientDC screen(nullptr);
    const CSelectedObject fontIn(screen, font);
    const std::wstring text = menu.GetItem(0)->itemText;
    SIZE size{};
    ASSERT_TRUE(::GetTextExtentPoint32W(screen, text.data(), static_cast<int>(text.size()), &size));
    UINT width = 0;
    Measure(menu, 0, &width);
    EXPECT_EQ(width, static_cast<UINT>(size.cx + 2 * 32 + 2));
}

// Win32s measured the 8-bit text as DrawText takes it in the DC's own font,
// and widened it by 3 pixels and then by three average characters, a Hangul
// syllable counting as two; at 192 DPI the font's width and the 3 pixels
// double.
TEST_F(OwnerDrawMenuTest, Win32sWidensTheDrawnTextByThreePixelsAndThreeAverageCharacters) {
    SetMenuWindowsVersion(kWin32s);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendItem(L"&열기 파일", MF_STRING, 10));  // 10 bytes in code page 949
    CClientDC screen(nullptr);
    RECT bounds{};
    ::DrawTextW(screen, L"&열기 파일", -1, &bounds, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    const int drawn = bounds.right - bounds.left;
    ASSERT_GT(drawn, 0);
    for (const int scale : {1, 2}) {
        menu.SetDpi(96 * scale);
        const int widened = ::MulDiv(drawn, 96 * scale, static_cast<int>(SystemDpi())) + 3 * scale;
        UINT width = 0;
        Measure(menu, 0, &width);
        EXPECT_EQ(width, static_cast<UINT>(widened + (widened / 10) * 3 + 2 * 16 * scale + scale)) << scale;
    }
}

TEST_F(OwnerDrawMenuTest, MeasureIgnoresItemDataThatIsNoRecord) {
    COwnerDrawMenu menu;
    int notARecord = 0;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemHeight = 77;
    measure.itemData = reinterpret_cast<ULONG_PTR>(&notARecord);
    menu.MeasureItem(&measure);
    EXPECT_EQ(measure.itemHeight, 77u);
}

TEST_F(OwnerDrawMenuTest, AppendItemMakesOwnerDrawnItemsAndSeparators) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    HMENU popup = ::CreatePopupMenu();
    ASSERT_TRUE(menu.AppendItem(L"&Go", MF_STRING | MF_GRAYED, 5));
    ASSERT_TRUE(menu.AppendItem(L"ignored", MF_STRING | MF_CHECKED, 0));
    ASSERT_TRUE(menu.AppendItem(L"&More", MF_POPUP, reinterpret_cast<UINT_PTR>(popup)));
    ASSERT_EQ(menu.GetItemCount(), 3);
    EXPECT_EQ(menu.GetItem(0)->itemFlags, static_cast<UINT>(MF_STRING | MF_GRAYED | MF_OWNERDRAW));
    EXPECT_EQ(menu.GetItem(1)->itemFlags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_TRUE(IsOwnerDrawn(menu, 0));
    EXPECT_TRUE(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(popup));
    EXPECT_STREQ(menu.GetItemText(2), "&More");
    EXPECT_STREQ(menu.GetItemText(3), "");
    // A bitmap resource that is not there leaves the item without an image.
    ASSERT_TRUE(menu.AppendItem(L"Nothing", MF_STRING, 6, 31999));
    EXPECT_EQ(menu.GetItem(3)->imageList, nullptr);

    menu.DestroyMenu();
    EXPECT_FALSE(COwnerDrawMenu::IsOwnerDrawMenu(popup));
    EXPECT_EQ(menu.GetItemCount(), 0);
    EXPECT_FALSE(::IsMenu(popup));
}

TEST_F(OwnerDrawMenuTest, FindShortcutAnswersTheFirstItemWithTheMnemonic) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"Open", MF_STRING, 1);
    menu.AppendItem(L"Fish &&fries", MF_STRING, 2);
    menu.AppendItem(L"E&xit", MF_STRING, 3);
    menu.AppendItem(L"&File\tCtrl+F", MF_STRING, 4);
    menu.AppendItem(L"&find", MF_STRING, 5);

    EXPECT_EQ(COwnerDrawMenu::FindShortcut('F', MF_POPUP, &menu), MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('f', MF_POPUP, menu.GetSafeHmenu()), MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('x', MF_POPUP, &menu), MAKELRESULT(2, MNC_EXECUTE));
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('q', MF_POPUP, &menu), 0);
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('F', MF_SYSMENU, &menu), 0);
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('F', MF_POPUP, static_cast<COwnerDrawMenu*>(nullptr)), 0);
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('F', MF_POPUP, ::CreatePopupMenu()), 0);

    // An item added behind the class's back is found after synchronising.
    ::InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 9, L"&Fun");
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('F', MF_POPUP, &menu), MAKELRESULT(0, MNC_EXECUTE));
}

TEST_F(OwnerDrawMenuTest, LoadMenuBuildsNestedOwnerDrawnPopups) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_ODM_TEST_MENU));
    EXPECT_TRUE(menu.IsLoadedFromResource());
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    ASSERT_EQ(menu.GetItemCount(), 2);

    // The bar is plain again, with its texts and states.
    EXPECT_FALSE(IsOwnerDrawn(menu, 0));
    EXPECT_FALSE(IsOwnerDrawn(menu, 1));
    EXPECT_EQ(menu.GetMenuString(0, MF_BYPOSITION), L"&File");
    EXPECT_EQ(menu.GetMenuString(1, MF_BYPOSITION), L"&Help");
    EXPECT_TRUE(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);

    const HMENU file = menu.GetSubMenu(0);
    ASSERT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(file));
    COwnerDrawMenu* fileMenu = COwnerDrawMenu::FromHandle(file);
    ASSERT_NE(fileMenu, nullptr);
    ASSERT_EQ(fileMenu->GetItemCount(), 5);
    for (int position = 0; position < 5; ++position) {
        EXPECT_TRUE(IsOwnerDrawn(file, position)) << position;
    }
    EXPECT_EQ(fileMenu->GetItem(0)->itemId, static_cast<UINT_PTR>(ID_ODM_OPEN));
    EXPECT_TRUE(fileMenu->GetItem(2)->itemFlags & MF_SEPARATOR);
    EXPECT_STREQ(fileMenu->GetItemText(4), "E&xit");

    const HMENU recent = ::GetSubMenu(file, 3);
    ASSERT_TRUE(COwnerDrawMenu::IsOwnerDrawMenu(recent));
    COwnerDrawMenu* recentMenu = COwnerDrawMenu::FromHandle(recent);
    ASSERT_NE(recentMenu, nullptr);
    ASSERT_EQ(recentMenu->GetItemCount(), 2);
    EXPECT_STREQ(recentMenu->GetItemText(1), "Two");
    EXPECT_TRUE(::GetMenuState(recent, 1, MF_BYPOSITION) & MF_GRAYED);

    const HMENU help = menu.GetSubMenu(1);
    EXPECT_TRUE(::GetMenuState(help, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(COwnerDrawMenu::FindShortcut('x', MF_POPUP, file), MAKELRESULT(4, MNC_EXECUTE));

    // Loading again replaces everything; the old popups are forgotten.
    ASSERT_TRUE(menu.LoadMenu(IDR_ODM_TEST_MENU));
    EXPECT_FALSE(COwnerDrawMenu::IsOwnerDrawMenu(file));
    EXPECT_FALSE(COwnerDrawMenu::IsOwnerDrawMenu(recent));
    EXPECT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_FALSE(menu.LoadMenu(IDR_ODM_MISSING_MENU));
}

TEST_F(OwnerDrawMenuTest, TruncatedTemplatesAreRefusedWithoutReadingPastTheEnd) {
    const std::vector<BYTE> bytes = TemplateBytes();
    ASSERT_GT(bytes.size(), 40u);
    COwnerDrawMenu menu;
    for (size_t size = 0; size < bytes.size(); ++size) {
        GuardedBytes guarded(bytes.data(), size);
        EXPECT_FALSE(menu.LoadMenuTemplate(guarded.data(), size)) << size;
        EXPECT_EQ(menu.GetSafeHmenu(), nullptr) << size;
        EXPECT_EQ(menu.GetItemCount(), 0) << size;
    }
    GuardedBytes whole(bytes.data(), bytes.size());
    EXPECT_TRUE(menu.LoadMenuTemplate(whole.data(), bytes.size()));
}

TEST_F(OwnerDrawMenuTest, MalformedTemplatesAreRefused) {
    COwnerDrawMenu menu;
    const std::vector<BYTE> extended = {1, 0, 4, 0, 0, 0, 0, 0, 0x80, 0, 1, 0, 0, 0};
    EXPECT_FALSE(menu.LoadMenuTemplate(extended.data(), extended.size()));
    const std::vector<BYTE> headerPastEnd = {0, 0, 200, 0, 0x80, 0, 1, 0, 0, 0};
    EXPECT_FALSE(menu.LoadMenuTemplate(headerPastEnd.data(), headerPastEnd.size()));
    // Popups that never end.
    std::vector<BYTE> unclosed = {0, 0, 0, 0};
    for (int i = 0; i < 50; ++i) unclosed.insert(unclosed.end(), {0x10, 0, 'P', 0, 0, 0});
    EXPECT_FALSE(menu.LoadMenuTemplate(unclosed.data(), unclosed.size()));
    // Text without its terminating NUL.
    const std::vector<BYTE> openText = {0, 0, 0, 0, 0x80, 0, 1, 0, 'A', 0, 'B', 0};
    EXPECT_FALSE(menu.LoadMenuTemplate(openText.data(), openText.size()));
    EXPECT_FALSE(menu.LoadMenuTemplate(nullptr, 10));

    // One plain item, its type bits stripped: a bitmap flag must not make the
    // record's address a bitmap handle.
    const std::vector<BYTE> bitmapFlag = {0, 0, 0, 0, 0x84, 0, 7, 0, 'A', 0, 0, 0};
    ASSERT_TRUE(menu.LoadMenuTemplate(bitmapFlag.data(), bitmapFlag.size()));
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_FALSE(::GetMenuState(menu, 0, MF_BYPOSITION) & MF_BITMAP);
}

// Measured from the Hangul itself, whatever the system's ANSI code page: an
// English one would measure each Hangul character as a narrow "?".
TEST_F(OwnerDrawMenuTest, AlignAcceleratorsPadsLabelsToTheWidestPlusASpace) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"A\tCtrl+A", MF_STRING, 1);
    menu.AppendItem(L"훨씬 더 긴 이름의 메뉴 항목\tCtrl+L", MF_STRING, 2);
    menu.AppendItem(L"Mid label\tF5", MF_STRING, 3);
    menu.AppendItem(L"No accelerator", MF_STRING, 4);
    menu.AlignAccelerators();

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    const HDC dc = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, font);
    const auto width = [dc](const std::string& text) {
        const std::wstring wide = ToWide(text.c_str());
        SIZE size{};
        ::GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int widest = width("훨씬 더 긴 이름의 메뉴 항목 ");
    for (int position = 0; position < 3; ++position) {
        const std::string text = menu.GetItemText(position).str();
        const size_t tab = text.find('\t');
        ASSERT_NE(tab, std::string::npos);
        const std::string label = text.substr(0, tab);
        EXPECT_GE(width(label), widest) << position;
        EXPECT_LT(width(label.substr(0, label.size() - 1)), widest) << position;
    }
    EXPECT_EQ(menu.GetItemText(0).str().substr(menu.GetItemText(0).str().find('\t')), "\tCtrl+A");
    EXPECT_STREQ(menu.GetItemText(1), "훨씬 더 긴 이름의 메뉴 항목 \tCtrl+L");
    EXPECT_STREQ(menu.GetItemText(3), "No accelerator");
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(font);
}

TEST_F(OwnerDrawMenuTest, SynchronizeItemsFollowsChangesMadeBehindItsBack) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"One", MF_STRING, 1);
    menu.AppendItem(L"", MF_STRING, 0);
    menu.AppendItem(L"Two", MF_STRING, 2);
    menu.AppendItem(L"Three", MF_STRING, 3);
    const COwnerDrawMenuItem* two = menu.GetItem(2);

    ::InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 7, L"Seven");
    ::DeleteMenu(menu, 3, MF_BYCOMMAND);
    ::CheckMenuItem(menu, 2, MF_BYCOMMAND | MF_CHECKED);
    const HMENU popup = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"Sub");
    menu.SynchronizeItems();

    ASSERT_EQ(menu.GetItemCount(), 5);
    EXPECT_STREQ(menu.GetItemText(0), "Seven");
    EXPECT_STREQ(menu.GetItemText(1), "One");
    EXPECT_TRUE(menu.GetItem(2)->itemFlags & MF_SEPARATOR);
    EXPECT_EQ(menu.GetItem(3), two);
    EXPECT_TRUE(two->itemFlags & MF_CHECKED);
    EXPECT_EQ(menu.GetItem(4)->itemId, reinterpret_cast<UINT_PTR>(popup));
    EXPECT_STREQ(menu.GetItemText(4), "Sub");
    for (int position = 0; position < 4; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, position, TRUE, &info));
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.GetItem(position))) << position;
    }
    EXPECT_TRUE(IsOwnerDrawn(menu, 0));
    EXPECT_FALSE(IsOwnerDrawn(menu, 4));
}

TEST_F(OwnerDrawMenuTest, RuntimeClassRecordIsNamed) {
    const CRuntimeClass* record = CRuntimeClass::FromName("COwnerDrawMenu");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->IsDerivedFrom(RUNTIME_CLASS(CMenu)));
    CObject* made = record->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(COwnerDrawMenu)));
    delete made;
}

}  // namespace

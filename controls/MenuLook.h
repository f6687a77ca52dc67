// The owner-drawn menu's choice between its two looks: the flat one (light
// icon bar, tinted selection box) and the classic 3-D one. The choice goes by
// the target device, the Windows version class, whether the desktop theme is
// the classic one, and the class-wide switches.
//
// Version class, theme and switches are class-wide and touched only from the
// user-interface thread; tests set them to stand for other systems.
#pragma once

#include <windows.h>

enum class MenuLook { Classic, Flat };

// Version classes, from GetVersion/GetVersionEx. Classes above kNtOther draw
// the 3-D edges around images and check boxes and measure with the menu font.
enum WindowsVersionClass {
    kWin32s = 0,
    kNtOther = 1,
    kWin9xOther = 2,
    kWin98 = 3,
    kWinMe = 4,
    kNt4 = 5,
    kWin2000 = 6,
    kWinXP = 7,
};

struct MenuLookSettings {
    bool flatOnThemedXP = true;       // the look on Windows XP with a visual theme
    bool flatElsewhere = false;       // the look everywhere else
    bool flatExtras = true;           // flat look: margin 7 rather than 4, faded and shadow image copies
    bool classicSelectGreyed = true;  // the classic look highlights a greyed item under the cursor
    bool flatSelectGreyed = false;    // the flat look never does
};
MenuLookSettings& MenuSettings();

// The version class of this system, read once; the setter is for tests of
// other systems.
int MenuWindowsVersion();
void SetMenuWindowsVersion(int versionClass);
int ClassifyWindowsVersion(DWORD version, const OSVERSIONINFOW* details);

// The desktop theme is the classic one: read from the registry once, then
// cached; the setter is for tests.
bool IsClassicTheme();
void SetClassicTheme(bool classic);
// Reads the theme setting from the registry now, without caching.
bool ReadClassicThemeSetting();
// Whether a theme file path names the classic theme.
bool ThemePathIsClassic(const char* themePath);

// Windows XP with a visual theme, whose menus the flat look's colours follow.
bool IsThemedXP();

// The colours of the device an item is drawn on. A palette device (256
// colours) would dither the flat look's tints, so it always gets the classic
// look.
enum class DeviceColours { Full, Palette };
DeviceColours ColoursOf(HDC device);

// The look for a device with `colours`; measuring, which has no device, asks
// with full colours.
MenuLook ChooseMenuLook(DeviceColours colours = DeviceColours::Full);

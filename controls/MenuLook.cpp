#include "controls/MenuLook.h"

#include "framework/TextConversion.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

int ReadWindowsVersion() {
    OSVERSIONINFOW details{};
    details.dwOSVersionInfoSize = sizeof details;
    const DWORD version = ::GetVersion();
    return ClassifyWindowsVersion(version, ::GetVersionExW(&details) ? &details : nullptr);
}

struct LookState {
    MenuLookSettings settings;
    int versionClass = ReadWindowsVersion();
    std::optional<bool> classicTheme;  // read at first use
};

LookState& State() {
    static LookState state;
    return state;
}

}  // namespace

MenuLookSettings& MenuSettings() { return State().settings; }

int MenuWindowsVersion() { return State().versionClass; }

void SetMenuWindowsVersion(int versionClass) { State().versionClass = versionClass; }

int ClassifyWindowsVersion(DWORD version, const OSVERSIONINFOW* details) {
    const bool isNt = (version & 0x80000000u) == 0;
    if (!isNt && LOBYTE(LOWORD(version)) < 4) return kWin32s;
    if (!details) return isNt ? kNtOther : kWin9xOther;
    const DWORD major = details->dwMajorVersion;
    const DWORD minor = details->dwMinorVersion;
    if (isNt) {
        if (major == 4) return kNt4;
        if (major == 5 && minor == 0) return kWin2000;
        if (major == 5 && minor == 1) return kWinXP;
        return kNtOther;
    }
    if (major == 4 && minor == 10) return kWin98;
    if (major == 4 && minor == 90) return kWinMe;
    return kWin9xOther;
}

bool ThemePathIsClassic(const char* themePath) {
    static constexpr char kClassic[] = "windows classic.theme";
    constexpr size_t kLength = sizeof kClassic - 1;
    const size_t length = themePath ? std::strlen(themePath) : 0;
    if (length < kLength) return false;
    const char* tail = themePath + length - kLength;
    for (size_t i = 0; i < kLength; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kClassic[i]) return false;
    }
    return true;
}

bool ReadClassicThemeSetting() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    const LONG read = ::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[std::min<DWORD>(size / sizeof(wchar_t), MAX_PATH)] = L'\0';  // the stored value need not end in a NUL
    return ThemePathIsClassic(FromWide(value));
}

bool IsClassicTheme() {
    std::optional<bool>& classic = State().classicTheme;
    if (!classic) classic = ReadClassicThemeSetting();
    return *classic;
}

void SetClassicTheme(bool classic) { State().classicTheme = classic; }

bool IsThemedXP() { return MenuWindowsVersion() == kWinXP && !IsClassicTheme(); }

DeviceColours ColoursOf(HDC device) {
    return ::GetDeviceCaps(device, RASTERCAPS) & RC_PALETTE ? DeviceColours::Palette : DeviceColours::Full;
}

MenuLook ChooseMenuLook(DeviceColours colours) {
    if (colours == DeviceColours::Palette) return MenuLook::Classic;
    const MenuLookSettings& settings = MenuSettings();
    const bool flat = IsThemedXP() ? settings.flatOnThemedXP : settings.flatElsewhere;
    return flat ? MenuLook::Flat : MenuLook::Classic;
}

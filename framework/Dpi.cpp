#include "framework/Dpi.h"

#include "framework/SystemLibrary.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
// The behaviour masks are enums declared only for Windows 10 targets.
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
using SetDialogControlDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);

constexpr int kDialogDisableAll = 0x0001;                        // DDC_DISABLE_ALL
constexpr int kControlDisableFontAndRelayout = 0x0001 | 0x0002;  // DCDC_DISABLE_FONT_UPDATE | DCDC_DISABLE_RELAYOUT

// user32 is loaded in every GUI process and stays; its functions are looked
// up by name once.
template <typename Function>
Function User32Function(const char* name) {
    return LoadedModuleFunction<Function>(L"user32.dll", name);
}

struct DpiFunctions {
    GetDpiForWindowFunction getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    GetDpiForSystemFunction getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    GetSystemMetricsForDpiFunction getSystemMetricsForDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    SystemParametersInfoForDpiFunction systemParametersInfoForDpi =
        User32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    SetDialogDpiChangeBehaviorFunction setDialogDpiChangeBehavior =
        User32Function<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    SetDialogControlDpiChangeBehaviorFunction setDialogControlDpiChangeBehavior =
        User32Function<SetDialogControlDpiChangeBehaviorFunction>("SetDialogControlDpiChangeBehavior");
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions;
    return functions;
}

// A DPI the system answered, or the base where it answered nothing usable.
UINT Sane(UINT dpi) { return dpi == 0 ? kBaseDpi : dpi; }

}  // namespace

UINT SystemDpi() {
    if (Functions().getDpiForSystem) return Sane(Functions().getDpiForSystem());
    const HDC screen = ::GetDC(nullptr);
    if (!screen) return kBaseDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return Sane(dpi > 0 ? static_cast<UINT>(dpi) : 0);
}

UINT WindowDpi(HWND window) {
    if (window && Functions().getDpiForWindow) {
        if (const UINT dpi = Functions().getDpiForWindow(window)) return dpi;
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    if (Functions().getSystemMetricsForDpi) return Functions().getSystemMetricsForDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) {
    metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (Functions().systemParametersInfoForDpi) {
        return Functions().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) !=
               FALSE;
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
    const int system = static_cast<int>(SystemDpi());
    if (static_cast<int>(dpi) != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            font->lfHeight = ::MulDiv(font->lfHeight, static_cast<int>(dpi), system);
        }
    }
    return true;
}

void DisableDialogDpiRescaling(HWND dialog) {
    if (Functions().setDialogDpiChangeBehavior) {
        Functions().setDialogDpiChangeBehavior(dialog, kDialogDisableAll, kDialogDisableAll);
    }
    if (!Functions().setDialogControlDpiChangeBehavior) return;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        Functions().setDialogControlDpiChangeBehavior(child, kControlDisableFontAndRelayout,
                                                      kControlDisableFontAndRelayout);
    }
}

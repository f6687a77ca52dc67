// The DPI a window is drawn at, and the system's values for a given DPI.
//
//   const DpiScale scale(WindowDpi(m_hWnd));
//   const int scrollBarWidth = SystemMetricForDpi(SM_CXVSCROLL, scale.Dpi());
//
// The per-monitor functions exist from Windows 10 (1607, 1703 for the
// dialog ones); the program also runs on Windows 7 and 8.1, so each is
// looked up at run time, once, and where it is missing the answer is the
// system DPI that every window of such a system is drawn at. Importing them
// by name would keep the program from loading on those systems at all.
#pragma once

#include "framework/DpiScale.h"

#include <windows.h>

// The DPI every window of a system without per-monitor DPI is drawn at:
// the screen's logical pixels per inch.
UINT SystemDpi();
// The DPI of the monitor the window is on, as the system last told it;
// the system DPI where per-monitor DPI is not known.
UINT WindowDpi(HWND window);
// GetSystemMetrics for a window at `dpi`; on a system that knows only its
// own DPI, the system's metric scaled from it.
int SystemMetricForDpi(int index, UINT dpi);
// The fonts and sizes of the non-client area (the message font among them)
// at `dpi`, as SystemParametersInfo gives them for the system DPI.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi);
// Turns off Windows' own rescaling of a dialog and of its controls when it
// moves to a monitor of another DPI, so that the dialog's WM_DPICHANGED
// handler is the one path (Wine never rescales dialogs; now Windows does not
// either). Without the functions, there is nothing to turn off.
void DisableDialogDpiRescaling(HWND dialog);

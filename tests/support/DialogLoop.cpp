#include "tests/support/MessagePump.h"

#include "framework/Wnd.h"

MessageFilter AsDialogLoop(HWND dialog) {
    return [dialog](MSG& msg) {
        return dialog && (CWnd::WalkPreTranslateTree(dialog, &msg) || ::IsDialogMessageW(dialog, &msg));
    };
}

// The program's one application object and its entry point. Kept apart from
// CChatApp's code so that tests can link that code without a second
// application object.
#include "app/ChatApp.h"
#include "framework/SystemLibrary.h"

#include <windows.h>

CChatApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL on the program's behalf: the folder the
    // program was unpacked in is no place to take code from.
    RestrictDllSearchToSystemFolder();
    return AfxWinMain(instance);
}

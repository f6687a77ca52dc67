// The program's one application object and its entry point. Kept apart from
// CChatApp's code so that tests can link that code without a second
// application object.
#include "app/ChatApp.h"

#include <windows.h>

CChatApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }

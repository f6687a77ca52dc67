// CChatApp: the application object. Its start-up is the whole program: it
// lets only one copy run per signed-in user, starts Windows Sockets and runs
// the chat window modally; the window's loop is the program's only one.
#pragma once

#include "framework/WinApp.h"

#include <span>

class CChatApp : public CWinApp {
public:
    // Runs the chat to its end; always FALSE, so the framework ends the
    // program instead of entering a loop of its own.
    BOOL InitInstance() override;

protected:
    std::span<const AppCommandEntry> GetCommandTable() const override;
};

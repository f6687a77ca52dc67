// ScriptedDialog: the test dialog, run modally, with a scenario that runs
// inside its modal loop and a watchdog that ends a run that hangs.
#pragma once

#include "framework/Dialog.h"
#include "tests/framework/TestResources.h"

#include <functional>

class ScriptedDialog : public CDialog {
public:
    // What DoModal returns when the watchdog had to end the run.
    static constexpr INT_PTR kTimedOut = 4242;

    explicit ScriptedDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}
    // For test programs with dialog templates of their own.
    ScriptedDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

    // Runs once the modal loop is running (posted from OnInitDialog).
    std::function<void(ScriptedDialog&)> scenario;

    BOOL OnInitDialog() override;

    // Calls `check` every `periodMs` inside the loop until it returns true.
    void Poll(UINT periodMs, std::function<bool()> check);

protected:
    LRESULT OnRunScenario(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    std::function<bool()> m_poll;
};

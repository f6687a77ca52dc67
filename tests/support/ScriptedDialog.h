// A dialog under test, run modally, with a scenario that runs inside its
// modal loop, a watchdog that ends a run that hangs, and a poll for checks
// that must wait on the loop. Scripted<> adds these to any dialog class;
// ScriptedDialog is the plain one.
#pragma once

#include "framework/Dialog.h"

#include <functional>
#include <utility>

template <class Derived, class Dialog>
class Scripted : public Dialog {
public:
    // What DoModal returns when the watchdog had to end the run.
    static constexpr INT_PTR kTimedOut = 4242;

    using Dialog::Dialog;

    // Runs once the modal loop is running (posted from OnInitDialog).
    std::function<void(Derived&)> scenario;
    DWORD watchdogMs = 10000;

    BOOL OnInitDialog() override {
        const BOOL result = Dialog::OnInitDialog();
        ::SetTimer(this->m_hWnd, kWatchdogTimer, watchdogMs, nullptr);
        this->PostMessage(kRunScenarioMessage);
        return result;
    }

    // Calls `check` every `periodMs` inside the loop until it returns true.
    void Poll(UINT periodMs, std::function<bool()> check) {
        m_poll = std::move(check);
        ::SetTimer(this->m_hWnd, kPollTimer, periodMs, nullptr);
    }

protected:
    // Ahead of the message maps, so that the dialog's own handlers of the
    // same messages keep working.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunScenarioMessage) {
            if (scenario) scenario(static_cast<Derived&>(*this));
            return 0;
        }
        if (message == WM_TIMER && wParam == kWatchdogTimer) {
            this->EndDialog(kTimedOut);
            return 0;
        }
        if (message == WM_TIMER && wParam == kPollTimer) {
            if (m_poll && m_poll()) ::KillTimer(this->m_hWnd, kPollTimer);
            return 0;
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }

private:
    static constexpr UINT kRunScenarioMessage = WM_APP + 100;
    static constexpr UINT_PTR kWatchdogTimer = 0x5C01;
    static constexpr UINT_PTR kPollTimer = 0x5C02;

    std::function<bool()> m_poll;
};

class ScriptedDialog : public Scripted<ScriptedDialog, CDialog> {
public:
    ScriptedDialog(UINT templateId, CWnd* parent) : Scripted(templateId, parent) {}
};

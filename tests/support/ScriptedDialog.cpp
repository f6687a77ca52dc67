#include "tests/support/ScriptedDialog.h"

namespace {
constexpr UINT WM_APP_RUN_SCENARIO = WM_APP + 100;
constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT_PTR kPollTimer = 2;
constexpr UINT kWatchdogMs = 10000;
}  // namespace

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
    ON_MESSAGE(WM_APP_RUN_SCENARIO, OnRunScenario)
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL ScriptedDialog::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    ::SetTimer(m_hWnd, kWatchdogTimer, kWatchdogMs, nullptr);
    PostMessage(WM_APP_RUN_SCENARIO);
    return result;
}

void ScriptedDialog::Poll(UINT periodMs, std::function<bool()> check) {
    m_poll = std::move(check);
    ::SetTimer(m_hWnd, kPollTimer, periodMs, nullptr);
}

LRESULT ScriptedDialog::OnRunScenario(WPARAM, LPARAM) {
    if (scenario) scenario(*this);
    return 0;
}

void ScriptedDialog::OnTimer(UINT_PTR id) {
    if (id == kWatchdogTimer) {
        EndDialog(kTimedOut);
    } else if (id == kPollTimer && m_poll && m_poll()) {
        ::KillTimer(m_hWnd, kPollTimer);
    }
}

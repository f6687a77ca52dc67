#include "tools/common/ServiceProcess.h"

#include <cstdlib>

namespace {

// The output kept for inspection; a benchmark's busy log beyond it is read
// and thrown away.
constexpr size_t kKeptOutput = 1u << 20;

}  // namespace

ServiceProcess::~ServiceProcess() { Stop(); }

bool ServiceProcess::Start(const std::wstring& program, std::wstring_view arguments, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE childOutput = nullptr;
    if (!CreatePipe(&m_output, &childOutput, &inheritable, 0)) return false;
    SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    const bool started = StartChildInJob(program, arguments, CREATE_NO_WINDOW, TRUE, startup, m_child);
    CloseHandle(childOutput);  // the child holds its own copy; ours would keep the pipe open
    if (!started) {
        Stop();
        return false;
    }
    m_drainer = std::thread([this] { Drain(); });

    if (!WaitForOutput("\n", timeoutMs) || (m_port = ParsePort()) == 0) {
        Stop();
        return false;
    }
    return true;
}

bool ServiceProcess::WaitForOutput(std::string_view text, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (m_text.find(text) != std::string::npos) return true;
        }
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
}

std::string ServiceProcess::Output() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_text;
}

void ServiceProcess::Stop() {
    EndChild(m_child, 0);
    // With the child gone the pipe breaks and the drainer's read returns.
    if (m_drainer.joinable()) m_drainer.join();
    if (m_output) CloseHandle(m_output);
    m_output = nullptr;
}

void ServiceProcess::Drain() {
    char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(m_output, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_text.size() < kKeptOutput) m_text.append(buffer, got);
    }
}

int ServiceProcess::ParsePort() {
    const std::string text = Output();
    const std::string first = text.substr(0, text.find('\n'));
    constexpr std::string_view kAnnouncement = "listening on ";
    const size_t colon = first.rfind(':');
    if (first.compare(0, kAnnouncement.size(), kAnnouncement) != 0 || colon == std::string::npos) return 0;
    return std::atoi(first.c_str() + colon + 1);
}

// ServiceProcess: one of the reference services run as a child process, for
// the tests and benchmarks that need the real program.
//
// The child's standard output and error come back through a pipe that a
// thread of ours keeps draining, so a busy service never blocks on its log;
// the first line tells the port ("listening on ADDRESS:PORT"). The child is
// put in a job that ends it when we end, so a crashed test leaves no server
// behind.
#pragma once

#include "tools/common/ChildProcess.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class ServiceProcess {
public:
    ServiceProcess() = default;
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts `program` with `arguments` and waits up to `timeoutMs` for its
    // first line. False, with nothing left running, when it did not start
    // or did not announce a port in time.
    bool Start(const std::wstring& program, std::wstring_view arguments, DWORD timeoutMs);
    int Port() const { return m_port; }
    // Waits until the output holds `text`.
    bool WaitForOutput(std::string_view text, DWORD timeoutMs);
    std::string Output();
    void Stop();

private:
    void Drain();
    int ParsePort();

    ChildProcess m_child;
    HANDLE m_output = nullptr;  // our end of the pipe, read by m_drainer
    std::thread m_drainer;
    std::mutex m_lock;
    std::string m_text;  // guarded by m_lock; what the child wrote, up to a cap
    int m_port = 0;
};

#include "tools/common/StdoutLog.h"

#include <windows.h>

#include <cstdio>

StdoutLog::StdoutLog() {
    // Fully buffered whatever stdout is; Flush decides when lines leave.
    std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
}

void StdoutLog::Write(std::string_view line) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::printf("%02u:%02u:%02u.%03u ", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void StdoutLog::Flush() { std::fflush(stdout); }

// StdoutLog: the services' event log on standard output, each line stamped
// with the local time. Lines gather in the C library's buffer and leave on
// Flush, once per turn of the service loop: one write per turn rather than
// per line keeps a busy relay from paying for its log line by line.
#pragma once

#include "tools/common/EventLog.h"

class StdoutLog final : public EventLog {
public:
    StdoutLog();
    void Write(std::string_view line) override;
    void Flush();
};

// EventLog: where a service writes its one line per event.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class EventLog {
public:
    virtual void Write(std::string_view line) = 0;

protected:
    ~EventLog() = default;
};

// Network text made safe for a log line: control bytes become '?', so that a
// peer cannot forge lines or drive a terminal, and the text is cut after
// `limit` bytes with "..." behind it.
std::string Printable(std::string_view text, size_t limit = 200);

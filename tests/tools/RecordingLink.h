// RecordingLink and RecordingLog: stand-ins for the socket loop and the
// service log that remember what a protocol asked of them.
#pragma once

#include "tools/common/Connection.h"
#include "tools/common/EventLog.h"

#include <string>
#include <vector>

class RecordingLink final : public ConnectionLink {
public:
    struct Sent {
        ConnectionId id;
        std::string bytes;
    };
    struct Closed {
        ConnectionId id;
        CloseMode mode;
    };

    bool Send(ConnectionId id, std::string_view bytes) override {
        sent.push_back({id, std::string(bytes)});
        return true;
    }
    void Close(ConnectionId id, CloseMode mode) override { closed.push_back({id, mode}); }

    // What went to `id`, in order.
    std::vector<std::string> SentTo(ConnectionId id) const {
        std::vector<std::string> bytes;
        for (const Sent& each : sent) {
            if (each.id == id) bytes.push_back(each.bytes);
        }
        return bytes;
    }
    void Clear() {
        sent.clear();
        closed.clear();
    }

    std::vector<Sent> sent;
    std::vector<Closed> closed;
};

class RecordingLog final : public EventLog {
public:
    void Write(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

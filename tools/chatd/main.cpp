// wobble-chatd: the reference chat server, one room on one port.
//
//   wobble-chatd [--address A.B.C.D] [--port N] [--queue-limit BYTES]
//
// --queue-limit bounds what may wait to be sent to one connection (1 MiB by
// default); a member that falls further behind is dropped.
// The first line on standard output is "listening on ADDRESS:PORT", also
// when --port 0 lets the system choose; every later line is one event.
#include <winsock2.h>

#include <cstdio>
#include <string>

#include "net/Protocol.h"
#include "tools/chatd/ChatRoom.h"
#include "tools/common/CommandLine.h"
#include "tools/common/ServiceLoop.h"
#include "tools/common/StdoutLog.h"

namespace {

struct Options {
    std::string address = "127.0.0.1";
    long port = CHAT_SERVER_PORT;
    ServiceLimits limits;
};

bool ReadOptions(int argc, char** argv, Options& options) {
    CommandLine line(argc, argv);
    while (line.Next()) {
        long queueLimit = 0;
        bool read = false;
        if (line.Name() == "--address") {
            read = line.TakeText(options.address);
        } else if (line.Name() == "--port") {
            read = line.TakeNumber(0, 65535, options.port);
        } else if (line.Name() == "--queue-limit" && line.TakeNumber(4096, 256L << 20, queueLimit)) {
            options.limits.sendQueueBytes = static_cast<size_t>(queueLimit);
            read = true;
        }
        if (!read) {
            std::fprintf(stderr,
                         "wobble-chatd: bad option %.*s\nusage: wobble-chatd [--address A.B.C.D] [--port N] "
                         "[--queue-limit BYTES]\n",
                         static_cast<int>(line.Name().size()), line.Name().data());
            return false;
        }
    }
    return true;
}

int Serve(const Options& options) {
    StdoutLog log;
    ServiceLoop loop(log, options.limits);
    ChatRoom room(loop, log);
    if (!loop.Listen(options.address.c_str(), static_cast<int>(options.port))) {
        log.Flush();
        return 1;
    }
    std::printf("listening on %s:%d\n", options.address.c_str(), loop.Port());
    log.Flush();
    loop.Run(room, [&log] { log.Flush(); });
    log.Flush();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, options)) return 2;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        std::fprintf(stderr, "wobble-chatd: Windows Sockets did not start\n");
        return 1;
    }
    const int status = Serve(options);
    WSACleanup();
    return status;
}

// wobble-profiled: the reference profile service.
//
//   wobble-profiled [--address A.B.C.D] [--port N] [--users FILE]
//                   [--unknown-body TEXT] [--fixed-body TEXT [--fixed-status N]]
//                   [--timeout-ms N]
//
// --timeout-ms bounds a connection's whole life, request and answer (5 s by
// default).
//
// The first line on standard output is "listening on ADDRESS:PORT", also
// when --port 0 lets the system choose; every later line is one event.
#include <winsock2.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/common/CommandLine.h"
#include "tools/common/ServiceLoop.h"
#include "tools/common/StdoutLog.h"
#include "tools/profiled/ProfileService.h"

namespace {

constexpr long kProfilePort = 9811;
constexpr char kUsage[] =
    "usage: wobble-profiled [--address A.B.C.D] [--port N] [--users FILE] [--unknown-body TEXT]\n"
    "                       [--fixed-body TEXT [--fixed-status N]] [--timeout-ms N]\n";

struct Options {
    std::string address = "127.0.0.1";
    long port = kProfilePort;
    std::string usersFile;
    ProfileAnswers answers;
    long timeoutMs = 5000;
};

bool ReadOption(CommandLine& line, Options& options) {
    const std::string_view name = line.Name();
    if (name == "--address") return line.TakeText(options.address);
    if (name == "--port") return line.TakeNumber(0, 65535, options.port);
    if (name == "--users") return line.TakeText(options.usersFile);
    if (name == "--unknown-body") return line.TakeText(options.answers.unknownBody);
    if (name == "--fixed-body") return line.TakeText(options.answers.fixedBody.emplace());
    if (name == "--timeout-ms") return line.TakeNumber(1, 3600000, options.timeoutMs);
    if (name == "--fixed-status") {
        long status = 0;
        if (!line.TakeNumber(100, 599, status)) return false;
        options.answers.fixedStatus = static_cast<int>(status);
        return true;
    }
    return false;
}

bool ReadOptions(int argc, char** argv, Options& options) {
    CommandLine line(argc, argv);
    while (line.Next()) {
        if (!ReadOption(line, options)) {
            std::fprintf(stderr, "wobble-profiled: bad option %.*s\n%s", static_cast<int>(line.Name().size()),
                         line.Name().data(), kUsage);
            return false;
        }
    }
    return true;
}

bool ReadDirectory(const std::string& path, ProfileDirectory& directory) {
    if (path.empty()) return true;  // every id is unknown
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "wobble-profiled: cannot read %s\n", path.c_str());
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    directory = ProfileDirectory::Parse(text);
    return true;
}

int Serve(Options& options, const ProfileDirectory& directory) {
    StdoutLog log;
    ServiceLimits limits;
    limits.maxConnections = 256;
    limits.sendQueueBytes = 64 * 1024;
    limits.lifetimeMs = static_cast<uint32_t>(options.timeoutMs);
    ServiceLoop loop(log, limits);
    ProfileService service(loop, log, directory, std::move(options.answers));
    if (!loop.Listen(options.address.c_str(), static_cast<int>(options.port))) {
        log.Flush();
        return 1;
    }
    std::printf("listening on %s:%d\n", options.address.c_str(), loop.Port());
    log.Write(std::to_string(directory.Size()) + " users");
    log.Flush();
    loop.Run(service, [&log] { log.Flush(); });
    log.Flush();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    ProfileDirectory directory;
    if (!ReadOptions(argc, argv, options)) return 2;
    if (!ReadDirectory(options.usersFile, directory)) return 1;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        std::fprintf(stderr, "wobble-profiled: Windows Sockets did not start\n");
        return 1;
    }
    const int status = Serve(options, directory);
    WSACleanup();
    return status;
}

// The reference profile service, fed one request in pieces as a client's
// sends arrive, and its HTTP helpers on the same bytes.
//
// Properties: the service answers a connection at most once, with a response
// whose Content-Length is its body's size, and then closes it; it keeps no
// more than one head's worth of bytes; percent-decoding never lengthens text.
//
// Input: byte 0 gives the size of every piece (0: all at once); the rest is
// what the client sends.
#include "tests/fuzz/FuzzInput.h"
#include "tests/tools/RecordingLink.h"
#include "tools/profiled/ProfileService.h"

#include <algorithm>

namespace {

constexpr ConnectionId kClient = 7;
constexpr std::string_view kUsers = "alice 앨리스\nbob%20x 밥\n# comment\n";

void CheckResponse(const std::string& response) {
    FUZZ_CHECK(response.starts_with("HTTP/1.1 "));
    const size_t headEnd = response.find("\r\n\r\n");
    FUZZ_CHECK(headEnd != std::string::npos);
    constexpr std::string_view kLengthHeader = "Content-Length: ";
    const size_t header = response.find(kLengthHeader);
    FUZZ_CHECK(header != std::string::npos && header < headEnd);
    const size_t declared = std::stoul(response.substr(header + kLengthHeader.size()));
    FUZZ_CHECK(declared == response.size() - headEnd - 4);
}

void Serve(std::string_view request, size_t pieceSize) {
    const ProfileDirectory directory = ProfileDirectory::Parse(kUsers);
    RecordingLink link;
    RecordingLog log;
    ProfileService service(link, log, directory, ProfileAnswers{});
    service.OnOpened(kClient, "127.0.0.1:50000");
    for (size_t at = 0; at < request.size(); at += pieceSize) {
        const std::string_view piece = request.substr(at, pieceSize);
        service.OnReceived(kClient, reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
    }
    service.OnClosed(kClient);

    FUZZ_CHECK(link.sent.size() <= 1 && link.closed.size() == link.sent.size());
    for (const RecordingLink::Sent& sent : link.sent) CheckResponse(sent.bytes);
    for (const std::string& line : log.lines) {
        FUZZ_CHECK(std::none_of(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view request(reinterpret_cast<const char*>(data) + 1, size - 1);
    Serve(request, data[0] == 0 ? std::max<size_t>(request.size(), 1) : data[0]);

    HttpRequestHead head;
    if (ParseRequestHead(request, head) == HeadStatus::Complete) {
        FUZZ_CHECK(head.target.starts_with("/"));
        FUZZ_CHECK(PercentDecode(head.target).size() <= head.target.size());
    }
    FUZZ_CHECK(PercentDecode(request).size() <= request.size());
    return 0;
}

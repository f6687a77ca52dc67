// The worst shapes of input for the parsers outside the HTML engine, timed
// at two sizes: four times the input must cost well under sixteen times the
// time, or some step is worse than linear. (The HTML engine's worst shapes,
// deep nesting, thousands of attributes, one huge word and many tiny
// fragments, are checked by html_tests with work counts instead of time.)
//
// Timing under a loaded machine is noisy, so the bar is generous: a
// quadratic step over these sizes misses it by orders of magnitude.
#include "app/UserId.h"
#include "chatwnd/ProfileRecord.h"
#include "display/ChatFormat.h"
#include "display/FieldTokenizer.h"
#include "display/HtmlTagFilter.h"
#include "net/Protocol.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr size_t kBaseSize = 1 << 18;
constexpr double kMaximumRatio = 12;
constexpr double kNoiseSeconds = 0.05;

std::string Repeat(std::string_view piece, size_t size) {
    std::string out;
    while (out.size() < size) out += piece;
    out.resize(size);
    return out;
}

double SecondsFor(const std::function<void(const std::string&)>& run, const std::string& input) {
    const std::clock_t start = std::clock();
    run(input);
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

struct Shape {
    const char* name;
    std::string_view piece;
    std::function<void(const std::string&)> run;
};

// Every receive hands out a single byte: the most calls a stream can cause.
class ByteByByteSource final : public ByteSource {
public:
    explicit ByteByByteSource(const std::string& bytes) : m_bytes(bytes) {}
    int Receive(uint8_t* into, int wanted) override {
        if (m_at == m_bytes.size() || wanted <= 0) return 0;
        *into = static_cast<uint8_t>(m_bytes[m_at++]);
        return 1;
    }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

void ReadFrames(const std::string& stream) {
    ByteByByteSource source(stream);
    std::vector<uint8_t> body(CHAT_MAX_SERVER_BODY + CHAT_BODY_SPARE);
    uint16_t length = 0;
    while (ReadServerFrameLength(source, length) && length > 0 && ReadServerFrameBody(source, body.data(), length)) {
    }
}

CHtmlTagFilter ChatFilter() {
    CHtmlTagFilter filter;
    for (const char* tag : {"a", "img", "embed"}) filter.AddTag(tag);
    return filter;
}

}  // namespace

int main() {
    const CHtmlTagFilter filter = ChatFilter();
    const std::vector<Shape> shapes = {
        {"identity of hex pairs", "7A", [](const std::string& s) { DecodeUserId(CString(s)); }},
        {"record of delimiters", "\a", [](const std::string& s) { CFieldTokenizer("\a").Split(s.c_str()); }},
        {"record of near-delimiters", "|", [](const std::string& s) { CFieldTokenizer("||").Split(s.c_str()); }},
        {"long delimiter almost matching", "aaaaaaaaaab",
         [](const std::string& s) { CFieldTokenizer("aaaaaaaaaaa").Split(s.c_str()); }},
        {"message of '<'", "<",
         [&](const std::string& s) {
             CString out;
             filter.Filter(s.c_str(), out);
         }},
        {"message of almost-whitelisted tags", "<emb</im",
         [&](const std::string& s) {
             CString out;
             filter.Filter(s.c_str(), out);
         }},
        {"chat line of lead bytes and markup", "\xB0<",
         [&](const std::string& s) { FormatChatLine(("id\anick\a" + s).c_str(), filter); }},
        {"notice of lone lead bytes", "\xB0", [](const std::string& s) { FormatNotice(s.c_str()); }},
        {"profile answer of bars", "|", [](const std::string& s) { NicknameOfProfile(s.c_str()); }},
        {"frames of one byte each, received byte by byte", std::string_view("\x03\x00\x34\x00x", 5), ReadFrames},
    };
    int failures = 0;
    for (const Shape& shape : shapes) {
        const double small = SecondsFor(shape.run, Repeat(shape.piece, kBaseSize));
        const double large = SecondsFor(shape.run, Repeat(shape.piece, 4 * kBaseSize));
        const bool linear = large <= kMaximumRatio * small + kNoiseSeconds;
        std::printf("%-52s %8.4f s -> %8.4f s  %s\n", shape.name, small, large, linear ? "ok" : "WORSE THAN LINEAR");
        failures += linear ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

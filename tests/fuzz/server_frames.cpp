// The server's frame stream as the client's reader thread consumes it, and
// each frame as the chat window then handles it.
//
// The frame reading is the client's own (ReadServerFrameLength and
// ReadServerFrameBody on a ByteSource); around it, this target does what the
// reader loop and the window's packet dispatch do, as the socket's stand-in
// cannot live in window-free code: stop at the end, at a failure or at a zero
// length; take each body into a heap buffer of exactly length + spare bytes
// (so ASan sees any write past it); terminate the payload in the spare room;
// format chat lines and notices.
//
// Input: byte 0 gives n (its low four bits), the next n bytes are the sizes
// that successive receives deliver, in a cycle (0: as many as asked; 255: the
// receive fails); the rest is the stream. With n = 0 each receive gets all it
// asks for.
#include "display/ChatFormat.h"
#include "display/HtmlTagFilter.h"
#include "net/Protocol.h"
#include "tests/fuzz/FuzzInput.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr uint8_t kReceiveFails = 0xFF;

// A socket as the peer's sends and the network's segmentation cut it.
class SegmentedByteSource final : public ByteSource {
public:
    SegmentedByteSource(const uint8_t* sizes, size_t sizeCount, const uint8_t* stream, size_t streamSize)
        : m_sizes(sizes), m_sizeCount(sizeCount), m_stream(stream, streamSize) {}

    int Receive(uint8_t* into, int wanted) override {
        FUZZ_CHECK(wanted > 0 && wanted <= CHAT_RECEIVE_CHUNK);
        if (m_sizeCount == 0) return Counted(m_stream.Receive(into, wanted));
        const uint8_t size = m_sizes[m_next++ % m_sizeCount];
        if (size == kReceiveFails) return -1;
        return Counted(m_stream.Receive(into, size == 0 ? wanted : std::min<int>(wanted, size)));
    }

    size_t Delivered() const { return m_delivered; }

private:
    int Counted(int got) {
        if (got > 0) m_delivered += static_cast<size_t>(got);
        return got;
    }

    const uint8_t* m_sizes;
    size_t m_sizeCount;
    size_t m_next = 0;
    size_t m_delivered = 0;
    MemoryByteSource m_stream;
};

void Dispatch(uint8_t* body, int32_t length, const CHtmlTagFilter& filter) {
    if (length < CHAT_TYPE_SIZE) return;
    const auto type = ReadLittle16(body);
    body[length] = 0;
    const char* text = reinterpret_cast<const char*>(body + CHAT_TYPE_SIZE);
    FUZZ_CHECK(std::strlen(text) <= static_cast<size_t>(length - CHAT_TYPE_SIZE));
    switch (type) {
    case PKT_CHAT_LINE: FormatChatLine(text, filter); break;
    case PKT_NOTICE:
    case PKT_NOTICE_2: FormatNotice(text); break;
    default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t sizeCount = std::min<size_t>(data[0] & 0x0F, size - 1);
    SegmentedByteSource source(data + 1, sizeCount, data + 1 + sizeCount, size - 1 - sizeCount);
    const size_t streamSize = size - 1 - sizeCount;

    CHtmlTagFilter filter;
    filter.AddTag("a");
    filter.AddTag("img");
    filter.AddTag("embed");

    size_t framed = 0;
    for (;;) {
        uint16_t length = 0;
        if (!ReadServerFrameLength(source, length) || length == 0) break;
        std::unique_ptr<uint8_t[]> body(new uint8_t[length + CHAT_BODY_SPARE]);
        if (!ReadServerFrameBody(source, body.get(), length)) break;
        framed += CHAT_LENGTH_SIZE + size_t{length};
        FUZZ_CHECK(source.Delivered() == framed);
        Dispatch(body.get(), length, filter);
    }
    FUZZ_CHECK(source.Delivered() <= streamSize);
    return 0;
}

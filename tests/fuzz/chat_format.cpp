// The two renderers' formatting: a notice and a chat-line record from the
// server, formatted as the chat window formats them, then given the line-feed
// treatment the chat view applies before inserting.
//
// Mending keeps the text's length and changes only lead bytes without a
// trail, to "?", so that no markup byte can be taken as a trail byte. A
// notice is its fixed frame around the mended text ("%" and all). A chat line
// keeps its frame whatever the record holds, and its message part is exactly
// what the tag filter makes of the mended third field.
#include "display/ChatFormat.h"
#include "display/FieldTokenizer.h"
#include "display/HtmlTagFilter.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr std::string_view kNoticeHead = "<br>&nbsp<Font color=394D84><b>";
constexpr std::string_view kNoticeTail = "</b></Font><br><br>";
constexpr std::string_view kLineHead = "&nbsp<Font color='blue'><B>";
constexpr std::string_view kLineTail = "<br>";

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

void CheckMended(const std::string& text) {
    const std::string mended = MendCp949(text.c_str()).str();
    FUZZ_CHECK(mended.size() == text.size());
    for (size_t i = 0; i < mended.size(); ++i) {
        const auto byte = static_cast<unsigned char>(mended[i]);
        if (byte != static_cast<unsigned char>(text[i])) FUZZ_CHECK(byte == '?' && IsLeadByte(text[i]));
        if (!IsLeadByte(byte)) continue;
        FUZZ_CHECK(i + 1 < mended.size());
        const auto trail = static_cast<unsigned char>(mended[++i]);
        FUZZ_CHECK(trail >= 0x41 && trail != '<' && trail != '>' && trail != '&' && trail != '"' && trail != '\'');
    }
}

void CheckNotice(const std::string& text) {
    const std::string fragment = FormatNotice(text.c_str()).str();
    FUZZ_CHECK(fragment == std::string(kNoticeHead) + MendCp949(text.c_str()).str() + std::string(kNoticeTail));
}

void CheckChatLine(const std::string& record, const CHtmlTagFilter& filter) {
    CString fragment = FormatChatLine(record.c_str(), filter);
    const std::string& text = fragment.str();
    FUZZ_CHECK(text.starts_with(kLineHead) && text.ends_with(kLineTail));

    CFieldTokenizer fields("\a");
    fields.Split(record.c_str());
    CString message;
    filter.Filter(MendCp949(fields.m_count > 2 ? fields.m_fields[2] : ""), message);
    FUZZ_CHECK(text.substr(0, text.size() - kLineTail.size()).ends_with(": " + message.str()));

    // What the chat view does to every fragment before inserting it.
    fragment.Replace("\n", "<br>&nbsp");
    FUZZ_CHECK(fragment.Find('\n') < 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::TextOf(data, size);
    CHtmlTagFilter filter;
    filter.AddTag("a");
    filter.AddTag("img");
    filter.AddTag("embed");
    CheckMended(text);
    CheckNotice(text);
    CheckChatLine(text, filter);
    return 0;
}

// CHtmlTagFilter with the chat window's whitelist (a, img, embed), and with a
// whitelist taken from the input.
//
// The output must be the input with some "<" turned into "&lt;" and nothing
// else changed, and every "<" that stays must open or close a whitelisted
// tag.
#include "display/HtmlTagFilter.h"
#include "tests/fuzz/FuzzInput.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::string_view kEscapedLess = "&lt;";

bool OpensWhitelistedTag(const CHtmlTagFilter& filter, std::string_view rest) {
    if (!rest.empty() && rest[0] == '/') rest.remove_prefix(1);
    for (const CString& tag : filter.m_tags) {
        const std::string& name = tag.str();
        if (rest.size() < name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(rest[i])) == static_cast<unsigned char>(name[i]);
        }
        if (same) return true;
    }
    return false;
}

void CheckFiltered(const CHtmlTagFilter& filter, const std::string& source) {
    CString out;
    FUZZ_CHECK(filter.Filter(source.c_str(), out));
    const std::string& filtered = out.str();
    size_t at = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '<' && std::string_view(filtered).substr(at, kEscapedLess.size()) == kEscapedLess) {
            at += kEscapedLess.size();
            continue;
        }
        FUZZ_CHECK(at < filtered.size() && filtered[at] == source[i]);
        // Only ASCII whitelists are checked by name here: a double-byte
        // character in a name matches only as a whole, which this simple
        // comparison does not model.
        if (source[i] == '<') FUZZ_CHECK(OpensWhitelistedTag(filter, std::string_view(source).substr(i + 1)));
        ++at;
    }
    FUZZ_CHECK(at == filtered.size());
}

}  // namespace

// Input: the message; for the second filter, the words of the first line
// (up to a newline) are the whitelist.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source = fuzz::TextOf(data, size);

    CHtmlTagFilter chatFilter;
    chatFilter.AddTag("a");
    chatFilter.AddTag("img");
    chatFilter.AddTag("embed");
    CheckFiltered(chatFilter, source);

    const size_t newline = source.find('\n');
    if (newline == std::string::npos) return 0;
    CHtmlTagFilter ownFilter;
    bool asciiNames = true;
    for (const std::string_view word : fuzz::SplitAt(std::string_view(source).substr(0, newline), ' ')) {
        ownFilter.AddTag(std::string(word).c_str());
        for (const char c : word) asciiNames = asciiNames && static_cast<unsigned char>(c) < 0x80;
    }
    const std::string message = source.substr(newline + 1);
    if (asciiNames) {
        CheckFiltered(ownFilter, message);
    } else {
        CString out;
        ownFilter.Filter(message.c_str(), out);
    }
    return 0;
}

// Helpers shared by the fuzz targets: turning the fuzzer's bytes into the
// inputs the code under test takes, and reporting a broken property.
//
// A broken property aborts, so libFuzzer records it as a crash with the
// input that caused it, exactly like a sanitizer finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

namespace fuzz {

// The bytes as a C string: the code under test takes NUL-terminated text, so
// everything from the first NUL on is what it would never see anyway.
inline std::string TextOf(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size).c_str();
}

// Byte for byte, each byte one UTF-16 unit: readable seeds stay readable.
inline std::u16string WidenBytes(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(byte));
    return text;
}

// Pairs of bytes as UTF-16LE units, lone surrogates included: every unit the
// pane can be handed, Hangul and wide characters among them. An odd last byte
// is dropped.
inline std::u16string Utf16LittleEndian(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
    }
    return text;
}

// `bytes` cut at every occurrence of `separator`.
inline std::vector<std::string_view> SplitAt(std::string_view bytes, char separator) {
    std::vector<std::string_view> pieces;
    for (size_t start = 0;;) {
        const size_t end = bytes.find(separator, start);
        pieces.push_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return pieces;
        start = end + 1;
    }
}

}  // namespace fuzz

namespace fuzz {

// The HTML targets' text: a first byte with its low bit set ('U') reads the
// rest as UTF-16LE, any other ('L') widens it byte by byte.
inline std::u16string HtmlTextOf(std::string_view bytes, bool utf16) {
    return utf16 ? Utf16LittleEndian(bytes) : WidenBytes(bytes);
}

inline bool WantsUtf16(uint8_t modeByte) { return (modeByte & 1) != 0; }

}  // namespace fuzz

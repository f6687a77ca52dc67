#include "app/UserId.h"

#include "net/Protocol.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

CString DecodeUserId(const CString& argument) {
    const std::string& text = argument.str();
    std::string bytes;
    for (size_t at = 0; at < text.size(); at += 2) {
        // strtol itself rather than a digit reader of our own, so that white
        // space, a sign or a "0x" in a piece reads exactly as the C library
        // reads it.
        const std::string piece = text.substr(at, 2);
        const long value = std::strtol(piece.c_str(), nullptr, 16);
        bytes += static_cast<char>(static_cast<uint8_t>(value));
    }
    ScrambleBytes(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()), CHAT_SCRAMBLE_KEY);
    bytes.erase(std::find(bytes.begin(), bytes.end(), '\0'), bytes.end());
    return CString(std::move(bytes));
}

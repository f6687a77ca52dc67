// The command-line argument that names a user, as a launcher writes it: the
// id's bytes scrambled with the chat key, then two upper-case hexadecimal
// digits per byte. The program decodes it with DecodeUserId.
#pragma once

#include "net/Protocol.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

inline std::string IdentityArgument(std::string_view userId) {
    std::string bytes(userId);
    ScrambleBytes(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()), CHAT_SCRAMBLE_KEY);
    std::string hex;
    for (const char byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(byte));
        hex += digits;
    }
    return hex;
}

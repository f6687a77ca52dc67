#include "tools/profiled/HttpMessage.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// A method or target: at least one byte, none of them a space or a control
// byte. Bytes above 0x7F pass: WinINet sends an id's CP949 bytes as they are.
bool IsToken(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) return false;
    }
    return true;
}

}  // namespace

HeadStatus ParseRequestHead(std::string_view received, HttpRequestHead& head) {
    const std::string_view window = received.substr(0, HTTP_MAX_HEAD);
    size_t end = window.find("\r\n\r\n");
    const size_t bareEnd = window.find("\n\n");
    if (bareEnd < end) end = bareEnd;
    if (end == std::string_view::npos) {
        return received.size() >= HTTP_MAX_HEAD ? HeadStatus::TooLarge : HeadStatus::Incomplete;
    }

    std::string_view line = window.substr(0, window.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t firstSpace = line.find(' ');
    if (firstSpace == std::string_view::npos) return HeadStatus::Malformed;
    const size_t secondSpace = line.find(' ', firstSpace + 1);
    if (secondSpace == std::string_view::npos) return HeadStatus::Malformed;
    const std::string_view method = line.substr(0, firstSpace);
    const std::string_view target = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    const std::string_view version = line.substr(secondSpace + 1);
    if (!IsToken(method) || !IsToken(target) || target[0] != '/' || version.substr(0, 7) != "HTTP/1.") {
        return HeadStatus::Malformed;
    }
    head.method = method;
    head.target = target;
    return HeadStatus::Complete;
}

std::string PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::string SerializeResponse(const HttpResponse& response) {
    std::string bytes =
        "HTTP/1.1 " + std::to_string(response.status) + " " + std::string(ReasonPhrase(response.status)) + "\r\n";
    bytes += "Content-Type: text/plain\r\n";
    bytes += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    bytes += "Connection: close\r\n\r\n";
    bytes += response.body;
    return bytes;
}

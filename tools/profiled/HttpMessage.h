// The little of HTTP/1.1 that the profile service speaks: the head of a
// request, percent-decoding, and a complete response with Content-Length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The most bytes a request head may take, request line and headers together.
inline constexpr size_t HTTP_MAX_HEAD = 8192;

struct HttpRequestHead {
    std::string method;
    std::string target;
};

enum class HeadStatus {
    Complete,    // `head` is filled
    Incomplete,  // the blank line that ends the head has not come yet
    Malformed,
    TooLarge,  // no end within HTTP_MAX_HEAD bytes
};

// Reads the request line from the bytes received so far, once the blank line
// that ends the head is in. The header lines are not needed and not read.
// Bare LF line ends are accepted as well as CR LF.
HeadStatus ParseRequestHead(std::string_view received, HttpRequestHead& head);

// %XX becomes the byte XX; a '%' without two hexadecimal digits behind it
// stays as it is. '+' stays '+': this is a URL, not a form.
std::string PercentDecode(std::string_view text);

struct HttpResponse {
    int status = 200;
    std::string body;
};

// The response's bytes: status line, plain-text type, length, and
// "Connection: close", since every connection serves one request.
std::string SerializeResponse(const HttpResponse& response);

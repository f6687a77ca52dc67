// CleanUrl, UrlScheme, EscapeUrl: the little of URL parsing needed to decide
// what a link or an image source may reach.
//
// Cleaning follows the URL standard's first steps (C0 controls and spaces go
// at both ends, ASCII tabs and newlines anywhere), so " javascript:" or
// "java\tscript:" are seen for what a browser would take them to be.
#pragma once

#include <string>
#include <string_view>

std::u16string CleanUrl(std::u16string_view url);

// The scheme of a cleaned URL, lower-cased, or empty when it has none (a
// scheme is a letter, then letters, digits, "+", "-" or ".", then ":").
std::u16string UrlScheme(std::u16string_view cleanUrl);

// The URL with characters that have no business in one outside quotes
// percent-encoded: controls, space, '"', '<', '>', '|', '^', '`'. A URL goes
// into a browser's command line and into a request line; neither may be
// split or closed early by what the URL carries.
std::wstring EscapeUrl(std::u16string_view url);

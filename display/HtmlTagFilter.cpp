#include "display/HtmlTagFilter.h"

#include "framework/AsciiText.h"
#include "framework/TextConversion.h"

#include <cstring>

namespace {

// Whether `text` begins with `prefix` (lower-case), ignoring ASCII letter
// case. Characters are compared as units: a double-byte character must match
// both its bytes exactly, since its trail byte may look like a letter, and
// one that would reach past the prefix does not match. The text ends at its
// NUL, where the comparison fails.
bool StartsWithNoCase(const char* text, const CString& prefix) {
    const int length = prefix.GetLength();
    for (int at = 0; at < length;) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead == 0) return false;
        if (IsCp949LeadByte(lead)) {
            if (at + 2 > length || text[at] != prefix[at] || text[at + 1] != prefix[at + 1]) return false;
            at += 2;
        } else {
            if (AsciiLower(text[at]) != prefix[at]) return false;
            ++at;
        }
    }
    return true;
}

}  // namespace

int CHtmlTagFilter::AddTag(const char* name) {
    CString entry(name);
    return m_tags.Add(entry.MakeLower());
}

bool CHtmlTagFilter::Filter(const char* source, CString& out) const {
    out.Empty();
    if (!source) return true;
    // In code page 949 no trail byte is "<" or "/", so a byte scan is safe.
    for (const char* at = source; *at; ++at) {
        if (*at != '<') {
            out += *at;
            continue;
        }
        const char* name = at[1] == '/' ? at + 2 : at + 1;
        out += StartsWithWhitelistedName(name) ? "<" : "&lt;";
    }
    return true;
}

bool CHtmlTagFilter::StartsWithWhitelistedName(const char* text) const {
    for (const CString& tag : m_tags) {
        if (StartsWithNoCase(text, tag)) return true;
    }
    return false;
}

// CHtmlTagFilter: lets through only the markup of whitelisted tags in a
// message text, and turns every other "<" into "&lt;".
//
// Only "<" is ever replaced; the rest of a tag (its name, attributes, ">")
// is copied as it is, and shows as plain text once its "<" is escaped. The
// whitelist test is a prefix test on the tag name, so "a" also admits
// "abbr" and "area": the pane, not this filter, is what keeps an admitted
// tag harmless. Window-free.
#pragma once

#include "framework/CString.h"

class CHtmlTagFilter {
public:
    CHtmlTagFilter() = default;
    virtual ~CHtmlTagFilter() = default;

    // Adds `name`, lower-cased, at the end of the whitelist; returns its
    // index. Duplicates are kept.
    int AddTag(const char* name);

    // Replaces `out` with `source` in which each "<" that does not open or
    // close a tag whose name begins with a whitelisted name is "&lt;".
    // Always true.
    bool Filter(const char* source, CString& out) const;

    CStringArray m_tags;

private:
    bool StartsWithWhitelistedName(const char* text) const;
};

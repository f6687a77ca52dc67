// ParseFragment, ParseDocument: HTML text to a tree. This header is also the
// one place the document includes for the rest of parsing: legacy colours and
// the template's style.
//
// Nothing here throws or recurses over the input's nesting: any input, however
// malformed or deep, gives a tree in time and memory linear in its size.
#pragma once

#include <memory>
#include <string_view>

#include "HtmlNode.h"
#include "LegacyColor.h"
#include "TemplateStyle.h"

namespace html {

// Parses `html` as the content of a body element. The root is an element with
// an empty name whose children are the fragment's nodes. Unclosed elements
// close at the end, stray end tags and comments are dropped, and the contents
// of script and style stay one raw text child so the consumer can skip them.
// Elements nest at most kMaximumTreeDepth deep (see HtmlTreeBuilder.h).
std::unique_ptr<Node> ParseFragment(std::u16string_view html);

// Parses a whole document. The root is <html> with exactly one <head> and one
// <body>, implied when the markup leaves them out.
std::unique_ptr<Node> ParseDocument(std::u16string_view html);

}  // namespace html

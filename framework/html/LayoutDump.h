// DumpLayout: line boxes and fragments as text, so that layout tests compare
// readable expectations rather than pixels. The format is described at
// Document::DumpLayout.
#pragma once

#include "framework/html/Flow.h"
#include "framework/html/Layout.h"

#include <string>

namespace html {

std::u16string DumpLayout(const Flow& flow, const Layout& layout);

}  // namespace html

// TemplateStyle, ReadTemplateStyle: what the template document's style sheet
// says about the body.
//
// Only the declarations of rules whose selector list names `body` are read;
// the pane has no general style sheets, and a full CSS cascade would be a lot
// of machinery for one rule that the program itself ships.
#pragma once

#include <string>

#include "Drawing.h"
#include "HtmlNode.h"

namespace html {

struct TemplateStyle {
    std::u16string fontFamilies = u"Tahoma,굴림";  // comma-separated, quotes removed
    double fontSizePt = 9.0;
    Color color = Rgb(0, 0, 0);
    // Scroll bar colours, as the classic scrollbar-*-color properties name them.
    Color scrollbarFace = Rgb(0xD4, 0xD0, 0xC8);
    Color scrollbarArrow = Rgb(0, 0, 0);
    Color scrollbarTrack = Rgb(0xE6, 0xE4, 0xDE);  // scrollbar-base-color or scrollbar-track-color
    Color scrollbarHighlight = Rgb(0xFF, 0xFF, 0xFF);
    Color scrollbarShadow = Rgb(0x80, 0x80, 0x80);
    Color scrollbarDarkShadow = Rgb(0x40, 0x40, 0x40);
    Color scrollbar3dLight = Rgb(0xD4, 0xD0, 0xC8);
};

// Reads the body rule of the style elements in the head of `document` (as
// ParseDocument returns it); later declarations win, and what no rule sets
// keeps the defaults above. Colour values are read with the legacy colour
// rules, which also accept them without "#".
TemplateStyle ReadTemplateStyle(const Node& document);

}  // namespace html

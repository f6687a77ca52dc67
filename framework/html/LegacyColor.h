// ParseLegacyColor: colours as HTML attributes (font color, bgcolor) and the
// old scroll bar properties write them; FindNamedColor: CSS's colour names,
// which those rules and CSS values share.
#pragma once

#include <optional>
#include <string_view>

#include "Drawing.h"

namespace html {

// The colour CSS names `name` (in any ASCII letter case), "transparent" not
// being one.
std::optional<Color> FindNamedColor(std::u16string_view name);

// The HTML standard's rules for parsing a legacy colour value: colour names,
// "#rgb", and otherwise any string, hex digits or not, folded into three
// components, so "394D84" is #394D84 and "fffff" is #FFFFF0. Only the empty
// string and "transparent" give no colour.
std::optional<Color> ParseLegacyColor(std::u16string_view value);

}  // namespace html

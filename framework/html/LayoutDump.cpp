#include "framework/html/LayoutDump.h"

namespace html {

namespace {

void AppendField(std::u16string& out, std::u16string_view name, long long value) {
    out += name;
    out += DecimalText(value);
}

void AppendFragmentContent(std::u16string& out, const Flow& flow, const Fragment& fragment) {
    switch (flow.RunAt(fragment.run).kind) {
    case RunKind::Image: out += u"[img]"; return;
    case RunKind::Embed: out += u"[embed]"; return;
    case RunKind::Text:
    case RunKind::Break:
    case RunKind::BlockStart:
    case RunKind::BlockEnd: break;
    }
    std::u16string scratch;
    out += u'|';
    for (const char16_t c : flow.Text(fragment.start, fragment.length, scratch)) {
        out += c == kNoBreakSpace ? u'~' : c;
    }
    out += u'|';
}

void AppendBox(std::u16string& out, const Rect& rect) {
    AppendField(out, u" x=", rect.left);
    AppendField(out, u" y=", rect.top);
    AppendField(out, u" w=", rect.Width());
    AppendField(out, u" h=", rect.Height());
}

void AppendDecoration(std::u16string& out, const Decoration& decoration) {
    if (decoration.kind == Decoration::Kind::Marker) {
        out += u"marker";
        AppendBox(out, decoration.rect);
        const std::u16string text = ListMarkerText(decoration.marker, decoration.ordinal);
        out += text.empty() ? u" [shape]" : u" |" + text + u'|';
        out += u'\n';
        return;
    }
    out += u"box";
    AppendBox(out, decoration.rect);
    if (decoration.fill != kTransparent) {
        AppendField(out, u" fill=", decoration.fill);
    }
    if (decoration.borderStyle != BorderStyle::None) {
        AppendField(out, u" border=", decoration.border);
    }
    out += u'\n';
}

}  // namespace

std::u16string DumpLayout(const Flow& flow, const Layout& layout) {
    std::u16string out;
    for (std::size_t index = 0; index < layout.LineCount(); ++index) {
        const LineBox& line = layout.Line(index);
        const std::size_t end = layout.FragmentsEnd(index);
        const int width = line.firstFragment == end
                              ? 0
                              : layout.FragmentAt(end - 1).Right() - layout.FragmentAt(line.firstFragment).x;
        AppendField(out, u"line y=", line.top);
        AppendField(out, u" h=", line.height);
        AppendField(out, u" w=", width);
        out += u'\n';
        for (std::size_t i = line.firstFragment; i < end; ++i) {
            const Fragment& fragment = layout.FragmentAt(i);
            AppendField(out, u"  x=", fragment.x);
            AppendField(out, u" w=", fragment.width);
            out += u' ';
            AppendFragmentContent(out, flow, fragment);
            out += u'\n';
        }
    }
    for (std::size_t index = 0; index < layout.DecorationCount(); ++index) {
        AppendDecoration(out, layout.DecorationAt(index));
    }
    return out;
}

}  // namespace html

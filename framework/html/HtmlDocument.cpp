#include "framework/html/HtmlDocument.h"

#include "framework/html/Flow.h"
#include "framework/html/FlowBuilder.h"
#include "framework/html/HitTester.h"
#include "framework/html/Layout.h"
#include "framework/html/LayoutDump.h"
#include "framework/html/Painter.h"
#include "framework/html/ParagraphIndex.h"
#include "framework/html/StyleTable.h"

#include <algorithm>

namespace html {

namespace {

constexpr Color kDefaultBackground = Rgb(255, 255, 255);
// Wider than any screen; keeps coordinates far from int limits.
constexpr int kMaxViewportSide = 1 << 20;
constexpr int kMaxMargin = 10000;

const Node* FindChildElement(const Node& parent, std::u16string_view name) {
    for (const auto& child : parent.children) {
        if (child->IsElement(name)) {
            return child.get();
        }
    }
    return nullptr;
}

std::optional<int> MarginAttribute(const Node& body, std::u16string_view name) {
    const std::u16string* value = body.FindAttribute(name);
    return value ? ParseNonNegativeInteger(*value, kMaxMargin) : std::nullopt;
}

// The body's legacy margin attributes, as the HTML standard's rendering
// rules map them: topmargin/bottommargin/leftmargin/rightmargin for one side,
// marginheight/marginwidth for two; 8 px where none is given.
BodyMargins ReadBodyMargins(const Node& body) {
    const BodyMargins defaults;
    const std::optional<int> height = MarginAttribute(body, u"marginheight");
    const std::optional<int> width = MarginAttribute(body, u"marginwidth");
    BodyMargins margins;
    margins.top = MarginAttribute(body, u"topmargin").value_or(height.value_or(defaults.top));
    margins.bottom = MarginAttribute(body, u"bottommargin").value_or(height.value_or(defaults.bottom));
    margins.left = MarginAttribute(body, u"leftmargin").value_or(width.value_or(defaults.left));
    margins.right = MarginAttribute(body, u"rightmargin").value_or(width.value_or(defaults.right));
    return margins;
}

// The target of the first base element that has one, as the HTML standard
// chooses a document's default target.
std::u16string ReadBaseTarget(const Node& head) {
    for (const auto& child : head.children) {
        if (child->IsElement(u"base")) {
            if (const std::u16string* target = child->FindAttribute(u"target")) {
                return *target;
            }
        }
    }
    return {};
}

enum class CharacterClass { Separator, Word, Punctuation };

CharacterClass ClassOf(char16_t c) {
    if (c == kCollapsibleSpace || c == kNoBreakSpace || c == kBreakCharacter || c == kObjectCharacter) {
        return CharacterClass::Separator;
    }
    if (c < 0x80) {
        const bool word = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        return word ? CharacterClass::Word : CharacterClass::Punctuation;
    }
    // General punctuation (dashes, quotes, ellipsis) and the CJK symbols
    // and punctuation block (ideographic space, full stop, brackets).
    const bool punctuation = (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F);
    return punctuation ? CharacterClass::Punctuation : CharacterClass::Word;
}

}  // namespace

struct Document::State {
    // What the reader was looking at before the scale changed, to be found
    // again once the document is laid out at the new one.
    struct ReadingPosition {
        bool atBottom = false;
        TextPosition firstVisible = 0;  // where the line at the top starts
    };

    TemplateStyle style;
    InlineStyle bodyStyle;
    FontSpec bodyFont;
    BodyMargins margins;  // CSS pixels
    CssScale scale;
    Color background = kDefaultBackground;
    std::u16string baseTarget;

    StyleTable styles;
    Flow flow;
    Layout layout;
    ParagraphIndex paragraphs;

    int viewportWidth = 0;
    int viewportHeight = 0;
    int scrollTop = 0;
    TextPosition anchor = 0;
    TextPosition focus = 0;
    SelectionColors selectionColors;
    std::uint32_t objectsRequested = 0;
    std::optional<ReadingPosition> readingPosition;

    void EnsureLayout() {
        layout.Update(flow, styles);
        if (readingPosition && layout.Measurer() != nullptr) {
            scrollTop = readingPosition->atBottom ? Layout::kMaxTop
                                                  : layout.Line(layout.LineHolding(readingPosition->firstVisible)).top;
            readingPosition.reset();
        }
        scrollTop = std::clamp(scrollTop, 0, MaximumScrollTop());
    }

    int ScrollHeight() const {
        return std::min(Layout::kMaxTop, layout.ContentBottom() + scale.Length(margins.bottom));
    }
    int MaximumScrollTop() const { return std::max(0, ScrollHeight() - viewportHeight); }

    BodyMargins ScaledMargins() const {
        return BodyMargins{scale.Length(margins.top), scale.Length(margins.right), scale.Length(margins.bottom),
                           scale.Length(margins.left)};
    }

    // Kept from the first of several changes until the layout catches up:
    // the position read before it is still the reader's.
    void RememberReadingPosition() {
        if (readingPosition || layout.Measurer() == nullptr) return;
        EnsureLayout();
        if (layout.LineCount() == 0) return;
        if (scrollTop >= MaximumScrollTop()) {
            readingPosition = ReadingPosition{true, 0};
            return;
        }
        const std::size_t line = std::min(layout.FirstLineEndingBelow(scrollTop), layout.LineCount() - 1);
        readingPosition = ReadingPosition{false, layout.Line(line).start};
    }

    bool IsObject(int id) const { return id >= 0 && static_cast<std::size_t>(id) < flow.ObjectCount(); }

    // Applies `change` to an object and, when that changes the size it is
    // laid out at, lays out again from the line that holds it.
    template <typename Change>
    void ChangeObject(std::uint32_t index, Change change) {
        const ObjectSize before = flow.SizeOf(index, scale);
        change(flow.Object(index));
        const ObjectSize after = flow.SizeOf(index, scale);
        if (after.width != before.width || after.height != before.height) {
            layout.InvalidateFrom(flow.Object(index).position);
        }
    }

    TextPosition SelectionStart() const { return std::min(anchor, focus); }
    TextPosition SelectionEnd() const { return std::max(anchor, focus); }
};

Document::Document() : m_state(std::make_unique<State>()) { Load({}); }

Document::~Document() = default;

void Document::Load(std::u16string_view html) {
    State& s = *m_state;
    const std::unique_ptr<Node> document = ParseDocument(html);
    const Node* head = FindChildElement(*document, u"head");
    const Node* body = FindChildElement(*document, u"body");

    s.style = ReadTemplateStyle(*document);
    s.bodyStyle = InlineStyle{};
    s.bodyStyle.family = s.styles.InternFamilies(s.style.fontFamilies, 0);
    s.bodyStyle.pixelSize = PointsToCssPixels(s.style.fontSizePt);
    s.bodyStyle.color = s.style.color;
    s.bodyFont = s.styles.Font(s.styles.Intern(s.bodyStyle));
    s.margins = body ? ReadBodyMargins(*body) : BodyMargins{};
    s.background = kDefaultBackground;
    if (const std::u16string* color = body ? body->FindAttribute(u"bgcolor") : nullptr) {
        s.background = ParseLegacyColor(*color).value_or(kDefaultBackground);
    }
    s.baseTarget = head ? ReadBaseTarget(*head) : std::u16string{};

    s.flow = Flow{};
    s.paragraphs.Clear();
    s.layout.Clear();
    s.layout.SetFrame(s.viewportWidth, s.ScaledMargins());
    s.scrollTop = 0;
    s.readingPosition.reset();
    s.anchor = s.focus = 0;
    s.objectsRequested = 0;
    if (body) {
        FlowBuilder(s.flow, s.styles).AppendChildren(*body, s.bodyStyle);
    }
}

void Document::AppendHtml(std::u16string_view fragment) {
    const std::unique_ptr<Node> root = ParseFragment(fragment);
    FlowBuilder(m_state->flow, m_state->styles).AppendChildren(*root, m_state->bodyStyle);
}

void Document::SetViewport(int width, int height, TextMeasurer& measurer) {
    State& s = *m_state;
    width = std::clamp(width, 0, kMaxViewportSide);
    height = std::clamp(height, 0, kMaxViewportSide);
    // A new size rewraps or uncovers lines: the reader keeps the line at the
    // top in view, or the end if that was in view, as when the scale changes.
    if (width != s.viewportWidth || height != s.viewportHeight) s.RememberReadingPosition();
    s.viewportWidth = width;
    s.viewportHeight = height;
    s.layout.SetMeasurer(measurer);
    s.layout.SetFrame(s.viewportWidth, s.ScaledMargins());
}

void Document::SetScale(const CssScale& scale) {
    State& s = *m_state;
    if (scale == s.scale) return;
    s.RememberReadingPosition();
    s.scale = scale;
    s.styles.SetScale(scale);
    s.bodyFont = s.styles.Font(s.styles.Intern(s.bodyStyle));
    s.layout.SetScale(scale);
    s.layout.SetFrame(s.viewportWidth, s.ScaledMargins());
}

const CssScale& Document::Scale() const { return m_state->scale; }

int Document::ScrollHeight() {
    m_state->EnsureLayout();
    return m_state->ScrollHeight();
}

int Document::ClientHeight() const { return m_state->viewportHeight; }

int Document::ScrollTop() {
    m_state->EnsureLayout();
    return m_state->scrollTop;
}

void Document::SetScrollTop(int top) {
    m_state->scrollTop = top;
    m_state->readingPosition.reset();
    m_state->EnsureLayout();
}

void Document::Paint(DrawingSurface& surface, const Rect& dirty) {
    State& s = *m_state;
    s.EnsureLayout();
    PaintRequest request;
    request.dirty = dirty;
    request.scrollTop = s.scrollTop;
    request.background = s.background;
    request.selectionStart = s.SelectionStart();
    request.selectionEnd = s.SelectionEnd();
    request.selectionColors = s.selectionColors;
    Painter(surface, s.flow, s.styles, s.layout).Paint(request);
}

TextPosition Document::PositionAt(int x, int y) {
    State& s = *m_state;
    s.EnsureLayout();
    if (s.layout.Measurer() == nullptr) {
        return 0;
    }
    return HitTester(s.flow, s.styles, s.layout, *s.layout.Measurer()).PositionAt(x, y + s.scrollTop);
}

std::u16string Document::LinkAt(int x, int y) {
    State& s = *m_state;
    s.EnsureLayout();
    if (s.layout.Measurer() == nullptr) {
        return {};
    }
    const Fragment* fragment =
        HitTester(s.flow, s.styles, s.layout, *s.layout.Measurer()).FragmentAt(x, y + s.scrollTop);
    if (fragment == nullptr) {
        return {};
    }
    const std::uint32_t link = s.flow.RunAt(fragment->run).link;
    return link == kNoLink ? std::u16string{} : s.flow.LinkUrl(link);
}

bool Document::IsOverText(int x, int y) {
    State& s = *m_state;
    s.EnsureLayout();
    return s.layout.Measurer() != nullptr &&
           HitTester(s.flow, s.styles, s.layout, *s.layout.Measurer()).FragmentAt(x, y + s.scrollTop) != nullptr;
}

void Document::SetSelection(TextPosition anchor, TextPosition focus) {
    m_state->anchor = std::min(anchor, EndPosition());
    m_state->focus = std::min(focus, EndPosition());
}

void Document::SelectAll() { SetSelection(0, EndPosition()); }

void Document::ClearSelection() { SetSelection(0, 0); }

bool Document::HasSelection() const { return m_state->anchor != m_state->focus; }

std::u16string Document::SelectedText() const {
    return m_state->flow.PlainText(m_state->SelectionStart(), m_state->SelectionEnd());
}

TextPosition Document::EndPosition() const { return m_state->flow.End(); }

std::size_t Document::ParagraphCount() {
    m_state->paragraphs.Update(m_state->flow);
    return m_state->paragraphs.Count();
}

TextRange Document::Paragraph(std::size_t index) {
    m_state->paragraphs.Update(m_state->flow);
    return m_state->paragraphs.At(index);
}

ParagraphSpan Document::ParagraphsIn(TextRange range) {
    m_state->paragraphs.Update(m_state->flow);
    return m_state->paragraphs.Intersecting(range);
}

std::u16string Document::PlainText(TextRange range) const {
    const TextPosition end = std::min(range.end, EndPosition());
    return m_state->flow.PlainText(std::min(range.start, end), end);
}

std::vector<InlineItem> Document::InlineItems(TextRange range) const {
    const Flow& flow = m_state->flow;
    std::vector<InlineItem> items;
    const TextPosition end = std::min(range.end, flow.End());
    if (range.start >= end) return items;
    std::uint32_t openLink = kNoLink;
    for (std::size_t index = flow.RunIndexAt(range.start); index < flow.RunCount(); ++index) {
        const Run& run = flow.RunAt(index);
        if (run.start >= end) break;
        const TextPosition runEnd = std::min(flow.RunEnd(index), end);
        if (run.link != kNoLink && run.link == openLink) {
            items.back().range.end = runEnd;
            continue;
        }
        openLink = run.link;
        if (run.link != kNoLink) {
            items.push_back(InlineItem{InlineItem::Kind::Link, {run.start, runEnd}, {}, flow.LinkUrl(run.link)});
        } else if (run.kind == RunKind::Image || run.kind == RunKind::Embed) {
            const auto kind = run.kind == RunKind::Image ? InlineItem::Kind::Image : InlineItem::Kind::Embed;
            items.push_back(InlineItem{kind, {run.start, runEnd}, flow.Object(run.object).alternative, {}});
        }
    }
    for (InlineItem& item : items) {
        if (item.kind == InlineItem::Kind::Link) item.text = PlainText(item.range);
    }
    return items;
}

Rect Document::Bounds(TextRange range) {
    State& s = *m_state;
    s.EnsureLayout();
    const TextPosition end = std::min(range.end, s.flow.End());
    if (range.start >= end || s.layout.LineCount() == 0) return Rect{};
    std::optional<Rect> box;
    for (std::size_t line = s.layout.LineHolding(range.start); line < s.layout.LineCount(); ++line) {
        const LineBox& lineBox = s.layout.Line(line);
        if (lineBox.start >= end) break;
        for (std::size_t index = lineBox.firstFragment; index < s.layout.FragmentsEnd(line); ++index) {
            const Fragment& fragment = s.layout.FragmentAt(index);
            if (fragment.start >= end || fragment.start + fragment.length <= range.start) continue;
            const Rect piece{fragment.x, lineBox.top - s.scrollTop, fragment.Right(), lineBox.Bottom() - s.scrollTop};
            box = box ? Rect{std::min(box->left, piece.left), std::min(box->top, piece.top),
                             std::max(box->right, piece.right), std::max(box->bottom, piece.bottom)}
                      : piece;
        }
    }
    return box.value_or(Rect{});
}

std::optional<TextPosition> Document::CharacterAt(int x, int y) {
    State& s = *m_state;
    s.EnsureLayout();
    if (s.layout.Measurer() == nullptr) return std::nullopt;
    return HitTester(s.flow, s.styles, s.layout, *s.layout.Measurer()).CharacterAt(x, y + s.scrollTop);
}

TextRange Document::Selection() const { return TextRange{m_state->SelectionStart(), m_state->SelectionEnd()}; }

TextRange Document::WordAround(TextPosition position) const {
    const Flow& flow = m_state->flow;
    if (position >= flow.End() || ClassOf(flow.CharAt(position)) == CharacterClass::Separator) {
        const TextPosition at = std::min(position, flow.End());
        return TextRange{at, at};
    }
    const CharacterClass kind = ClassOf(flow.CharAt(position));
    TextRange word{position, position + 1};
    while (word.start > 0 && ClassOf(flow.CharAt(word.start - 1)) == kind) {
        --word.start;
    }
    while (word.end < flow.End() && ClassOf(flow.CharAt(word.end)) == kind) {
        ++word.end;
    }
    return word;
}

TextRange Document::WordAt(int x, int y) {
    State& s = *m_state;
    s.EnsureLayout();
    if (s.layout.Measurer() == nullptr) {
        return TextRange{};
    }
    HitTester hitTester(s.flow, s.styles, s.layout, *s.layout.Measurer());
    if (const std::optional<TextPosition> character = hitTester.CharacterAt(x, y + s.scrollTop)) {
        return WordAround(*character);
    }
    const TextPosition caret = hitTester.PositionAt(x, y + s.scrollTop);
    return TextRange{caret, caret};
}

void Document::SetSelectionColors(const SelectionColors& colors) { m_state->selectionColors = colors; }

std::vector<ImageRequest> Document::TakeImageRequests() {
    State& s = *m_state;
    std::vector<ImageRequest> requests;
    for (; s.objectsRequested < s.flow.ObjectCount(); ++s.objectsRequested) {
        const EmbeddedObject& object = s.flow.Object(s.objectsRequested);
        if (object.kind == RunKind::Image && object.state == EmbeddedObject::State::Pending) {
            requests.push_back(ImageRequest{static_cast<int>(s.objectsRequested), object.source});
        }
    }
    return requests;
}

void Document::OnImageLoaded(int id, int width, int height) {
    State& s = *m_state;
    if (!s.IsObject(id) || s.flow.Object(static_cast<std::uint32_t>(id)).kind != RunKind::Image) {
        return;
    }
    if (width <= 0 || height <= 0) {
        OnImageFailed(id);
        return;
    }
    s.ChangeObject(static_cast<std::uint32_t>(id), [width, height](EmbeddedObject& image) {
        image.state = EmbeddedObject::State::Loaded;
        image.naturalWidth = std::min(width, Flow::kMaxObjectSide);
        image.naturalHeight = std::min(height, Flow::kMaxObjectSide);
    });
}

void Document::OnImageFailed(int id) {
    if (m_state->IsObject(id)) {
        m_state->ChangeObject(static_cast<std::uint32_t>(id),
                              [](EmbeddedObject& object) { object.state = EmbeddedObject::State::Failed; });
    }
}

const TemplateStyle& Document::Style() const { return m_state->style; }

const FontSpec& Document::BodyFont() const { return m_state->bodyFont; }

Color Document::Background() const { return m_state->background; }

const std::u16string& Document::BaseTarget() const { return m_state->baseTarget; }

std::u16string Document::DumpLayout() {
    m_state->EnsureLayout();
    return html::DumpLayout(m_state->flow, m_state->layout);
}

}  // namespace html

// Document: the engine behind the HTML pane, without a window.
//
// The pane shows one long, append-only conversation, so the document does not
// keep a DOM. Each appended fragment is parsed into a transient tree, turned
// into the flow (one growing UTF-16 text buffer plus compact styled runs),
// and the tree is dropped. Layout turns the flow into line boxes and
// fragments (geometry only), asking only a TextMeasurer; painting draws the
// visible lines through a DrawingSurface. Appending lays out only from the
// start of the last line box, and painting and hit testing find lines by
// binary search on y, so the cost of an append does not grow with the length
// of the conversation. A full DOM with style resolution, as a browser keeps,
// was rejected: it costs kilobytes per chat line and a whole-body reflow per
// insertion.
//
// Coordinates given to and returned by the document are the pane's client
// coordinates in device pixels (the document applies its own scroll top and
// its scale: what the document is written in, CSS pixels, becomes device
// pixels in layout). Every query that
// needs geometry lays out pending content first, which is why those queries
// are not const. The document is used from one thread.
#pragma once

#include "framework/html/CssScale.h"
#include "framework/html/Drawing.h"
#include "framework/html/HtmlParser.h"
#include "framework/html/TextRange.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// An image the host is asked to load. The document hands out only the URL
// as written in the src attribute; what may be loaded, and how, is the host's
// decision. `id` is what the host passes back to OnImageLoaded/OnImageFailed
// and what painting gives to DrawingSurface::DrawImage.
struct ImageRequest {
    int id = 0;
    std::u16string url;
};

// A link or an object inside a paragraph, as a screen reader is told of it:
// a link's text and URL, an image's alternative text.
struct InlineItem {
    enum class Kind : std::uint8_t { Link, Image, Embed };
    Kind kind = Kind::Link;
    TextRange range;
    std::u16string text;
    std::u16string url;
};

class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Replaces everything with the document `html` (the pane's template): its
    // style rule, body margins, base target and body content. Selection,
    // pending image requests and scroll top are reset.
    void Load(std::u16string_view html);

    // Parses `fragment` in body context and adds it at the end of the body,
    // as insertAdjacentHTML("beforeEnd") does: text continues the last line
    // unless the content so far ended in a line break or a block; the
    // fragment's blocks are laid out below, and nothing before them moves.
    void AppendHtml(std::u16string_view fragment);

    // The pane's client size and the measurer that layout uses from now on.
    // The measurer must stay alive until the next SetViewport or the
    // document's destruction. A new width re-lays out everything (at the next
    // query); a new height only changes scrolling. Either keeps the reading
    // position, as a new scale does. Negative sizes count as 0.
    void SetViewport(int width, int height, TextMeasurer& measurer);

    // Device pixels per CSS pixel (display DPI / 96 times the zoom); 1 until
    // set, and kept by Load. A new scale re-lays out everything (at the next
    // query) and keeps the reader's place: the bottom if the pane was
    // scrolled to the bottom, otherwise the line that was at the top of the
    // view stays at the top (unless SetScrollTop comes first).
    void SetScale(const CssScale& scale);
    const CssScale& Scale() const;

    // Scrolling, as the body element reports it. Until a measurer is given,
    // nothing is laid out and the scroll height is the body's margins.
    int ScrollHeight();
    int ClientHeight() const;
    int ScrollTop();
    // Clamped to [0, max(0, ScrollHeight - ClientHeight)].
    void SetScrollTop(int top);

    // Paints the part of the pane inside `dirty` (client coordinates): the
    // background, then only the lines that intersect it, with the selection.
    void Paint(DrawingSurface& surface, const Rect& dirty);

    // Hit testing, in client coordinates. PositionAt gives the nearest
    // caret position (for selecting with the mouse): above the first line it
    // is 0, below the last line it is EndPosition(). LinkAt gives the href of
    // the link under the point, or an empty string. IsOverText tells whether
    // the point is over a text or image fragment.
    TextPosition PositionAt(int x, int y);
    std::u16string LinkAt(int x, int y);
    bool IsOverText(int x, int y);

    // Selection between two positions, in either order (anchor is where the
    // mouse went down, focus where it is now). Positions past the end are
    // clamped. SelectedText gives UTF-16 text for the clipboard: non-breaking
    // spaces as spaces, line breaks as CR LF, images and embeds left out.
    void SetSelection(TextPosition anchor, TextPosition focus);
    void SelectAll();
    void ClearSelection();
    bool HasSelection() const;
    std::u16string SelectedText() const;
    TextPosition EndPosition() const;
    void SetSelectionColors(const SelectionColors& colors);

    // The document as a screen reader reads it: paragraphs, the text between
    // line breaks (as SelectedText separates them), empty ones left out,
    // each with its links and objects. The paragraph index is made on the
    // first call and then only extended, so a document nobody reads this
    // way pays nothing for it. `index` must be below ParagraphCount().
    std::size_t ParagraphCount();
    TextRange Paragraph(std::size_t index);
    // The paragraphs that share a character with `range`.
    ParagraphSpan ParagraphsIn(TextRange range);
    // Text of `range` as SelectedText gives it.
    std::u16string PlainText(TextRange range) const;
    // The links and objects that start in `range`, in order; a link holding
    // an image is one link.
    std::vector<InlineItem> InlineItems(TextRange range) const;
    // The box around every laid-out fragment of `range`, in client
    // coordinates (so it moves as the pane scrolls); empty when nothing of
    // it is laid out.
    Rect Bounds(TextRange range);
    // The character or object under the point, if any.
    std::optional<TextPosition> CharacterAt(int x, int y);
    TextRange Selection() const;

    // Words, for selecting with a double click. WordAround gives the word
    // that holds the character at `position`: the longest stretch around it
    // of one kind of character, either word characters (letters, digits, '_',
    // and every character beyond ASCII that is not a space or punctuation, so
    // Hangul words are words) or ASCII punctuation; an empty range at
    // `position` for a space, a line break, an object or the end. WordAt
    // does the same for the character under a point (client coordinates),
    // and gives an empty range at the nearest caret position when the point
    // is over no text.
    TextRange WordAround(TextPosition position) const;
    TextRange WordAt(int x, int y);

    // Images: every img with a src adds a request; the host drains them,
    // loads what it allows, and reports back. The reported size replaces the
    // placeholder (width/height attributes still win; the caller caps the
    // size); lines from the one holding the image are laid out again.
    // Unknown ids are ignored.
    std::vector<ImageRequest> TakeImageRequests();
    void OnImageLoaded(int id, int width, int height);
    void OnImageFailed(int id);

    // The template's style (body font list and size, text colour, scroll bar
    // colours), the body font as layout asks for it, the background, and the
    // base element's target (u"_blank" in the pane's template; empty if none).
    const TemplateStyle& Style() const;
    const FontSpec& BodyFont() const;
    Color Background() const;
    const std::u16string& BaseTarget() const;

    // The layout as text, for tests: one line per line box
    //   "line y=<top> h=<height> w=<width>"
    // followed by its fragments, indented by two spaces,
    //   "  x=<left> w=<width> |<text>|"   or "[img]" / "[embed]" for objects,
    // with non-breaking spaces shown as '~'; then what blocks draw, one line
    // each: "box x= y= w= h=" with " fill=<COLORREF>" and " border=<width>"
    // when it has them, or "marker x= y= w= h= |<text>|" ("[shape]" for a
    // disc, circle or square). Lays out pending content first.
    std::u16string DumpLayout();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace html

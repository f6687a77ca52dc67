// Flow: what the document keeps of its body — one flow of text, line breaks,
// objects and block boundaries, cut into styled runs.
//
// Everything shown lives in one growing UTF-16 buffer, in which a line break
// is stored as '\n' and an image or embed as U+FFFC, so that every place in
// the document is a plain offset (TextPosition) and selection, hit testing
// and copying need no tree. A block (Blocks.h) adds a boundary character at
// its start and one at its end, each a run of its own. A run covers the buffer from its start to the
// next run's start and says how to show it: kind, style, link and object.
// Spaces are already collapsed when text enters (FlowBuilder), so every
// U+0020 in the buffer is one collapsible space, a break opportunity.
#pragma once

#include "framework/html/Blocks.h"
#include "framework/html/ChunkedVector.h"
#include "framework/html/CssScale.h"
#include "framework/html/TextRange.h"
#include "framework/html/StyleTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace html {

enum class RunKind : std::uint8_t { Text, Break, Image, Embed, BlockStart, BlockEnd };

inline bool IsBoundary(RunKind kind) { return kind == RunKind::BlockStart || kind == RunKind::BlockEnd; }

inline constexpr char16_t kBreakCharacter = u'\n';
inline constexpr char16_t kObjectCharacter = u'\uFFFC';
inline constexpr char16_t kCollapsibleSpace = u' ';
inline constexpr char16_t kNoBreakSpace = u'\u00A0';

inline constexpr std::uint32_t kNoLink = 0;
inline constexpr std::uint32_t kNoObject = 0xFFFFFFFF;

struct Run {
    TextPosition start;
    std::uint32_t link;    // kNoLink, or an id from Flow::AddLink
    std::uint32_t object;  // images and embeds: index into the objects; boundaries: the block
    StyleId style;
    RunKind kind;
};

// An image or an embed. Sizes are in CSS pixels (an image's own pixels are
// CSS pixels); an attribute that was absent, or a natural size not known
// yet, is 0.
struct EmbeddedObject {
    enum class State : std::uint8_t { Pending, Loaded, Failed };

    RunKind kind = RunKind::Image;
    State state = State::Pending;
    std::u16string source;
    std::u16string alternative;  // an image's alt text
    int attributeWidth = 0;
    int attributeHeight = 0;
    int naturalWidth = 0;
    int naturalHeight = 0;
    TextPosition position = 0;
};

struct ObjectSize {
    int width = 0;
    int height = 0;
};

class Flow {
public:
    // No side of an object is ever laid out larger than this many device
    // pixels, whatever its attributes, its loaded size or the scale say.
    static constexpr int kMaxObjectSide = 4096;

    TextPosition End() const { return static_cast<TextPosition>(m_text.Size()); }
    bool Empty() const { return m_text.Empty(); }
    char16_t CharAt(TextPosition position) const { return m_text[position]; }
    // The characters [start, start + length) as one view: in place when they
    // lie in one chunk, otherwise copied into `scratch`.
    std::u16string_view Text(TextPosition start, std::size_t length, std::u16string& scratch) const;
    // Text is measured at most this many units at a time, so that a
    // megabyte without a space costs linear time whatever the measurer does
    // with the text it is given.
    static constexpr std::uint32_t kMeasureSlice = 256;
    // How many of the `length` units from `start` to measure at once: up to
    // kMeasureSlice, never ending between the halves of a surrogate pair
    // (unless the slice would be empty).
    std::uint32_t SliceLength(TextPosition start, std::uint32_t length) const;
    // The text [start, end) for the clipboard, as browsers copy: non-breaking
    // spaces as spaces, line breaks as CR LF, objects left out; between two
    // cells of a row a tab, across any other block edge one line break (none
    // at the ends, none right after a line break).
    std::u16string PlainText(TextPosition start, TextPosition end) const;

    std::size_t RunCount() const { return m_runs.Size(); }
    const Run& RunAt(std::size_t index) const { return m_runs[index]; }
    TextPosition RunEnd(std::size_t index) const;
    // Index of the run holding `position` (< End()).
    std::size_t RunIndexAt(TextPosition position) const;

    void AppendText(char16_t c, StyleId style, std::uint32_t link);
    void AppendBreak(StyleId style);
    // Adds an image or embed; returns its object index.
    std::uint32_t AppendObject(EmbeddedObject object, StyleId style, std::uint32_t link);

    // A block's boundaries. OpenBlock sets the block's start and returns its
    // index; CloseBlock sets its end.
    std::uint32_t OpenBlock(BlockBox block, StyleId style);
    void CloseBlock(std::uint32_t index, StyleId style);
    std::size_t BlockCount() const { return m_blocks.Size(); }
    const BlockBox& Block(std::uint32_t index) const { return m_blocks[index]; }
    // The block a boundary run names.
    const BlockBox& BlockOf(const Run& boundary) const { return m_blocks[boundary.object]; }

    std::uint32_t AddLink(std::u16string url);
    const std::u16string& LinkUrl(std::uint32_t link) const { return m_links[link - 1]; }

    std::size_t ObjectCount() const { return m_objects.size(); }
    const EmbeddedObject& Object(std::uint32_t index) const { return m_objects[index]; }
    EmbeddedObject& Object(std::uint32_t index) { return m_objects[index]; }
    // The size an object is laid out at, in device pixels at `scale`:
    // attributes win, a missing one follows the loaded image's aspect ratio,
    // and until an image has loaded (or when it failed) a small placeholder
    // stands in.
    ObjectSize SizeOf(std::uint32_t index, const CssScale& scale) const;

private:
    void PushRun(RunKind kind, StyleId style, std::uint32_t link, std::uint32_t object);

    ChunkedVector<char16_t, 15> m_text;
    ChunkedVector<Run, 12> m_runs;
    std::vector<std::u16string> m_links;
    std::vector<EmbeddedObject> m_objects;
    ChunkedVector<BlockBox, 10> m_blocks;
};

}  // namespace html

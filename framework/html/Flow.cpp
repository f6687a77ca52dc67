#include "framework/html/Flow.h"

#include "framework/html/TextUnits.h"

#include <algorithm>

namespace html {

namespace {

constexpr ObjectSize kImagePlaceholder{20, 20};
constexpr ObjectSize kEmbedPlaceholder{64, 20};

int ScaledSide(int cssPixels, const CssScale& scale) {
    return std::clamp(scale.Length(cssPixels), 0, Flow::kMaxObjectSide);
}

ObjectSize LoadedImageSize(const EmbeddedObject& image) {
    const int width = image.attributeWidth;
    const int height = image.attributeHeight;
    if (width > 0 && height > 0) {
        return {width, height};
    }
    if (width > 0) {
        return {width, static_cast<int>(std::int64_t{image.naturalHeight} * width / image.naturalWidth)};
    }
    if (height > 0) {
        return {static_cast<int>(std::int64_t{image.naturalWidth} * height / image.naturalHeight), height};
    }
    return {image.naturalWidth, image.naturalHeight};
}

ObjectSize PlaceholderSize(const EmbeddedObject& object) {
    const ObjectSize fallback = object.kind == RunKind::Embed ? kEmbedPlaceholder : kImagePlaceholder;
    return {object.attributeWidth > 0 ? object.attributeWidth : fallback.width,
            object.attributeHeight > 0 ? object.attributeHeight : fallback.height};
}

}  // namespace

std::u16string_view Flow::Text(TextPosition start, std::size_t length, std::u16string& scratch) const {
    if (length == 0) {
        return {};
    }
    if (const char16_t* inPlace = m_text.Contiguous(start, length)) {
        return {inPlace, length};
    }
    scratch.resize(length);
    for (std::size_t i = 0; i < length; ++i) {
        scratch[i] = m_text[start + i];
    }
    return scratch;
}

std::uint32_t Flow::SliceLength(TextPosition start, std::uint32_t length) const {
    std::uint32_t slice = std::min(kMeasureSlice, length);
    if (slice > 1 && slice < length && IsHighSurrogate(m_text[start + slice - 1])) {
        --slice;
    }
    return slice;
}

std::u16string Flow::PlainText(TextPosition start, TextPosition end) const {
    std::u16string text;
    end = std::min(end, End());
    if (start >= end) {
        return text;
    }
    // The separator that block edges ask for is written only when text
    // follows it, so edges at either end of the range add nothing.
    std::u16string_view separator;
    for (std::size_t runIndex = RunIndexAt(start); start < end; ++runIndex) {
        const TextPosition runEnd = std::min(RunEnd(runIndex), end);
        const Run& run = m_runs[runIndex];
        if (IsBoundary(run.kind)) {
            const bool betweenCells = BlockOf(run).kind == BlockKind::Cell && separator != u"\r\n";
            separator = betweenCells ? u"\t" : u"\r\n";
            start = runEnd;
            continue;
        }
        if (run.kind == RunKind::Image || run.kind == RunKind::Embed) {
            start = runEnd;
            continue;
        }
        if (!text.empty() && !text.ends_with(u"\r\n")) {
            text += separator;
        }
        separator = {};
        for (; start < runEnd; ++start) {
            const char16_t c = m_text[start];
            if (run.kind == RunKind::Break) {
                text += u"\r\n";
            } else {
                text += c == kNoBreakSpace ? u' ' : c;
            }
        }
    }
    return text;
}

TextPosition Flow::RunEnd(std::size_t index) const {
    return index + 1 < m_runs.Size() ? m_runs[index + 1].start : End();
}

std::size_t Flow::RunIndexAt(TextPosition position) const {
    return m_runs.PartitionPoint([position](const Run& run) { return run.start > position; }) - 1;
}

void Flow::PushRun(RunKind kind, StyleId style, std::uint32_t link, std::uint32_t object) {
    m_runs.PushBack(Run{End(), link, object, style, kind});
}

void Flow::AppendText(char16_t c, StyleId style, std::uint32_t link) {
    const bool continuesLastRun = !m_runs.Empty() && m_runs.Back().kind == RunKind::Text &&
                                  m_runs.Back().style == style && m_runs.Back().link == link;
    if (!continuesLastRun) {
        PushRun(RunKind::Text, style, link, kNoObject);
    }
    m_text.PushBack(c);
}

void Flow::AppendBreak(StyleId style) {
    PushRun(RunKind::Break, style, kNoLink, kNoObject);
    m_text.PushBack(kBreakCharacter);
}

std::uint32_t Flow::AppendObject(EmbeddedObject object, StyleId style, std::uint32_t link) {
    const auto index = static_cast<std::uint32_t>(m_objects.size());
    object.position = End();
    m_objects.push_back(std::move(object));
    PushRun(m_objects.back().kind, style, link, index);
    m_text.PushBack(kObjectCharacter);
    return index;
}

std::uint32_t Flow::OpenBlock(BlockBox block, StyleId style) {
    const auto index = static_cast<std::uint32_t>(m_blocks.Size());
    block.start = End();
    m_blocks.PushBack(block);
    PushRun(RunKind::BlockStart, style, kNoLink, index);
    m_text.PushBack(kBreakCharacter);
    return index;
}

void Flow::CloseBlock(std::uint32_t index, StyleId style) {
    m_blocks[index].end = End();
    PushRun(RunKind::BlockEnd, style, kNoLink, index);
    m_text.PushBack(kBreakCharacter);
}

std::uint32_t Flow::AddLink(std::u16string url) {
    m_links.push_back(std::move(url));
    return static_cast<std::uint32_t>(m_links.size());
}

ObjectSize Flow::SizeOf(std::uint32_t index, const CssScale& scale) const {
    const EmbeddedObject& object = m_objects[index];
    const bool loaded = object.kind == RunKind::Image && object.state == EmbeddedObject::State::Loaded &&
                        object.naturalWidth > 0 && object.naturalHeight > 0;
    const ObjectSize size = loaded ? LoadedImageSize(object) : PlaceholderSize(object);
    return {ScaledSide(size.width, scale), ScaledSide(size.height, scale)};
}

}  // namespace html

#include "CharacterReferences.h"

#include <algorithm>
#include <array>

#include "NamedReferenceTable.h"

namespace html {
namespace {

constexpr bool NamesAreSorted() { return std::ranges::is_sorted(kNamedReferences, {}, &NamedReference::Name); }
static_assert(NamesAreSorted(), "the prefix search needs the table in name order");

constexpr std::size_t LongestName() {
    std::size_t longest = 0;
    for (const NamedReference& reference : kNamedReferences) longest = std::max(longest, reference.Name().size());
    return longest;
}

}  // namespace

std::optional<NamedReferenceMatch> MatchNamedReference(std::u16string_view text) {
    // [first, last) are the entries whose names start with text's first
    // `length` characters; the shortest of them, if it equals that prefix
    // exactly, sorts first.
    const NamedReference* first = std::begin(kNamedReferences);
    const NamedReference* last = std::end(kNamedReferences);
    std::optional<NamedReferenceMatch> best;
    const std::size_t limit = std::min(text.size(), LongestName());
    for (std::size_t length = 1; length <= limit && first != last; ++length) {
        const char16_t next = text[length - 1];
        first = std::partition_point(first, last, [&](const NamedReference& reference) {
            return reference.nameLength < length || reference.Name()[length - 1] < next;
        });
        last = std::partition_point(
            first, last, [&](const NamedReference& reference) { return reference.Name()[length - 1] == next; });
        if (first == last || first->nameLength != length) continue;
        if (length < text.size() && text[length] == u';')
            return NamedReferenceMatch{length + 1, first->codePoint, first->secondCodePoint, true};
        if (first->semicolon == kSemicolonOptional)
            best = NamedReferenceMatch{length, first->codePoint, first->secondCodePoint, false};
    }
    return best;
}

char32_t NumericReferenceCodePoint(std::uint32_t value) {
    // windows-1252's meaning of 0x80-0x9F; zero where it has none, which
    // leaves the control character as it was.
    static constexpr std::array<char16_t, 32> kWindows1252 = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    constexpr char32_t kReplacement = 0xFFFD;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
    if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0) return kWindows1252[value - 0x80];
    return value;
}

}  // namespace html

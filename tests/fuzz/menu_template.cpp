// ReadMenuTemplate on any bytes: it never reads past them (AddressSanitizer
// sees the fuzzer's buffer of exactly that size), says it read no more than
// it was given, hands every popup's items over one level deeper right after
// it, ends on an item that closes its menu, and a template it accepts
// round-trips: its items, written back, are the very bytes it read after
// the header.
#include "controls/MenuTemplate.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstring>

namespace {

void PutWord(std::vector<uint8_t>& bytes, uint16_t word) {
    uint8_t raw[sizeof word];
    std::memcpy(raw, &word, sizeof word);
    bytes.insert(bytes.end(), raw, raw + sizeof word);
}

std::vector<uint8_t> WrittenItems(const std::vector<MenuTemplateItem>& items) {
    std::vector<uint8_t> bytes;
    for (const MenuTemplateItem& item : items) {
        PutWord(bytes, item.flags);
        if (!(item.flags & kMenuTemplatePopup)) PutWord(bytes, item.id);
        for (const char16_t unit : item.text) PutWord(bytes, unit);
        PutWord(bytes, 0);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<MenuTemplate> read = ReadMenuTemplate(data, size);
    if (!read) return 0;
    FUZZ_CHECK(read->size <= size);
    FUZZ_CHECK(!read->items.empty());

    int expectedMost = 0;  // the deepest the next item may be
    for (size_t i = 0; i < read->items.size(); ++i) {
        const MenuTemplateItem& item = read->items[i];
        const bool afterPopup = i > 0 && (read->items[i - 1].flags & kMenuTemplatePopup);
        FUZZ_CHECK(afterPopup ? item.depth == expectedMost : item.depth >= 0 && item.depth <= expectedMost);
        FUZZ_CHECK(item.text.find(u'\0') == std::u16string::npos);
        if (item.flags & kMenuTemplatePopup) FUZZ_CHECK(item.id == 0);
        expectedMost = item.flags & kMenuTemplatePopup ? item.depth + 1 : item.depth;
    }
    const MenuTemplateItem& last = read->items.back();
    FUZZ_CHECK((last.flags & kMenuTemplateEnd) && !(last.flags & kMenuTemplatePopup));

    uint16_t headerSize = 0;
    std::memcpy(&headerSize, data + 2, sizeof headerSize);
    const size_t itemsStart = 4 + size_t{headerSize};
    FUZZ_CHECK(WrittenItems(read->items) == std::vector<uint8_t>(data + itemsStart, data + read->size));
    return 0;
}

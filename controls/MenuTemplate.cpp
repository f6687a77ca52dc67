#include "controls/MenuTemplate.h"

#include <cstring>
#include <utility>

namespace {

// Reads the template front to back; every read is checked against the end.
struct WordReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t at = 0;

    bool Word(std::uint16_t& value) {
        if (size - at < sizeof value) return false;
        std::memcpy(&value, data + at, sizeof value);
        at += sizeof value;
        return true;
    }
    bool Text(std::u16string& text) {
        text.clear();
        for (std::uint16_t unit = 0; Word(unit);) {
            if (unit == 0) return true;
            text.push_back(static_cast<char16_t>(unit));
        }
        return false;
    }
    bool Skip(std::size_t bytes) {
        if (size - at < bytes) return false;
        at += bytes;
        return true;
    }
};

}  // namespace

std::optional<MenuTemplate> ReadMenuTemplate(const void* data, std::size_t size) {
    if (!data) return std::nullopt;
    WordReader reader{static_cast<const unsigned char*>(data), size};
    std::uint16_t version = 0;
    std::uint16_t headerSize = 0;
    if (!reader.Word(version) || !reader.Word(headerSize) || version != 0 || !reader.Skip(headerSize)) {
        return std::nullopt;
    }
    MenuTemplate read;
    // One entry per open menu, the menu bar first: whether the popup item
    // that opened it was the last of its own menu, which then ends with it.
    std::vector<bool> endsParent{false};
    while (!endsParent.empty()) {
        MenuTemplateItem item;
        item.depth = static_cast<int>(endsParent.size()) - 1;
        const bool complete = reader.Word(item.flags) && ((item.flags & kMenuTemplatePopup) || reader.Word(item.id)) &&
                              reader.Text(item.text);
        if (!complete) return std::nullopt;
        const bool popup = (item.flags & kMenuTemplatePopup) != 0;
        const bool ends = (item.flags & kMenuTemplateEnd) != 0;
        read.items.push_back(std::move(item));
        if (popup) {
            endsParent.push_back(ends);
            continue;
        }
        while (ends && !endsParent.empty()) {
            const bool parentEnds = endsParent.back();
            endsParent.pop_back();
            if (!parentEnds) break;
        }
    }
    read.size = reader.at;
    return read;
}

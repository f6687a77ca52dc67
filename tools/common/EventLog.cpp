#include "tools/common/EventLog.h"

std::string Printable(std::string_view text, size_t limit) {
    const bool cut = text.size() > limit;
    std::string printable(cut ? text.substr(0, limit) : text);
    for (char& c : printable) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    if (cut) printable += "...";
    return printable;
}

#include "DialogTemplate.h"

#include <cstring>

namespace {

class TemplateReader {
public:
    TemplateReader(const void* bytes, size_t size) : m_bytes(static_cast<const BYTE*>(bytes)), m_size(size) {}

    bool Ok() const { return m_ok; }

    template <typename T>
    T Read() {
        T value{};
        if (!Take(sizeof(T))) return value;
        std::memcpy(&value, m_bytes + m_pos - sizeof(T), sizeof(T));
        return value;
    }

    std::u16string String() {
        std::u16string text;
        for (char16_t unit = Read<char16_t>(); m_ok && unit != 0; unit = Read<char16_t>()) text.push_back(unit);
        return text;
    }

    NameOrOrdinal NameOrOrd() {
        NameOrOrdinal field;
        const WORD first = Read<WORD>();
        if (first == 0) return field;
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Read<WORD>();
            return field;
        }
        field.name.push_back(static_cast<char16_t>(first));
        field.name += String();
        return field;
    }

    std::vector<BYTE> Bytes(size_t count) {
        if (!Take(count)) return {};
        return std::vector<BYTE>(m_bytes + m_pos - count, m_bytes + m_pos);
    }

    // Items start on 4-byte boundaries counted from the template's start.
    void AlignToDword() {
        const size_t padding = (4 - m_pos % 4) % 4;
        if (m_pos + padding <= m_size) m_pos += padding;
    }

private:
    bool Take(size_t count) {
        if (!m_ok || count > m_size - m_pos) {
            m_ok = false;
            return false;
        }
        m_pos += count;
        return true;
    }

    const BYTE* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

DialogItem ReadItem(TemplateReader& reader) {
    reader.AlignToDword();
    DialogItem item;
    item.helpId = reader.Read<DWORD>();
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.x = reader.Read<short>();
    item.y = reader.Read<short>();
    item.cx = reader.Read<short>();
    item.cy = reader.Read<short>();
    item.id = reader.Read<DWORD>();
    item.windowClass = reader.NameOrOrd();
    item.text = reader.NameOrOrd();
    item.creationData = reader.Bytes(reader.Read<WORD>());
    return item;
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplateEx(const void* bytes, size_t size) {
    TemplateReader reader(bytes, size);
    const WORD version = reader.Read<WORD>();
    const WORD signature = reader.Read<WORD>();
    if (!reader.Ok() || version != 1 || signature != 0xFFFF) return std::nullopt;

    DialogTemplate dialog;
    dialog.helpId = reader.Read<DWORD>();
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    const WORD itemCount = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    dialog.menu = reader.NameOrOrd();
    dialog.windowClass = reader.NameOrOrd();
    dialog.title = reader.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        DialogFont font;
        font.pointSize = reader.Read<WORD>();
        font.weight = reader.Read<WORD>();
        font.italic = reader.Read<BYTE>();
        font.charset = reader.Read<BYTE>();
        font.typeface = reader.String();
        dialog.font = font;
    }
    for (WORD i = 0; i < itemCount && reader.Ok(); ++i) dialog.items.push_back(ReadItem(reader));
    if (!reader.Ok()) return std::nullopt;
    return dialog;
}

std::u16string ItemClassName(const DialogItem& item) {
    if (item.windowClass.isOrdinal) {
        static const char16_t* const predefined[] = {u"button",  u"edit",      u"static",
                                                     u"listbox", u"scrollbar", u"combobox"};
        const WORD index = item.windowClass.ordinal - 0x80;
        return index < 6 ? predefined[index] : u"";
    }
    std::u16string name = item.windowClass.name;
    for (char16_t& unit : name)
        if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
    return name;
}

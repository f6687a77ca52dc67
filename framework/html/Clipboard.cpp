#include "framework/html/Clipboard.h"

#include <cstring>

namespace html {
namespace {

// Clipboard memory: freed here unless the clipboard took it.
class GlobalText {
public:
    explicit GlobalText(std::u16string_view text)
        : m_memory(::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t))) {
        void* const bytes = m_memory ? ::GlobalLock(m_memory) : nullptr;
        if (!bytes) {
            Free();
            return;
        }
        std::memcpy(bytes, text.data(), text.size() * sizeof(char16_t));
        static_cast<char16_t*>(bytes)[text.size()] = u'\0';
        ::GlobalUnlock(m_memory);
    }
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    ~GlobalText() { Free(); }

    HGLOBAL Get() const { return m_memory; }
    void HandOver() { m_memory = nullptr; }

private:
    void Free() {
        if (m_memory) ::GlobalFree(m_memory);
        m_memory = nullptr;
    }

    HGLOBAL m_memory;
};

}  // namespace

bool CopyTextToClipboard(HWND owner, std::u16string_view text) {
    GlobalText memory(text);
    if (!memory.Get() || !::OpenClipboard(owner)) return false;
    bool copied = false;
    if (::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory.Get())) {
        memory.HandOver();
        copied = true;
    }
    ::CloseClipboard();
    return copied;
}

}  // namespace html

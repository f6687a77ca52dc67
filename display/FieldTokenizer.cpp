#include "display/FieldTokenizer.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

CFieldTokenizer::CFieldTokenizer(const char* delimiter) {
    const size_t length = delimiter ? ::strnlen(delimiter, kMaxDelimiterLength) : 0;
    std::memcpy(m_delimiter, delimiter ? delimiter : "", length);
    m_delimiter[length] = '\0';
    m_delimiterLength = static_cast<int>(length);
}

void CFieldTokenizer::Split(const char* record) {
    m_buffer.reset();
    // The fields of an earlier split pointed into the buffer just freed.
    m_count = 0;
    std::fill(std::begin(m_fields), std::end(m_fields), nullptr);
    const size_t length = record ? std::strlen(record) : 0;
    if (length == 0) return;

    m_buffer.reset(new (std::nothrow) char[length + 1]);
    if (!m_buffer) return;
    std::memcpy(m_buffer.get(), record, length + 1);

    size_t start = 0;
    unsigned int field = 0;
    for (std::optional<size_t> hit; field + 1 < kMaxFields && (hit = FindDelimiter(start, length));) {
        m_fields[field++] = m_buffer.get() + start;
        m_buffer[*hit] = '\0';
        start = *hit + static_cast<size_t>(m_delimiterLength);
    }
    m_fields[field] = m_buffer.get() + start;
    m_count = field + 1;
}

std::optional<size_t> CFieldTokenizer::FindDelimiter(size_t start, size_t length) const {
    const size_t delimiterLength = static_cast<size_t>(m_delimiterLength);
    if (delimiterLength == 0) return std::nullopt;
    for (size_t at = start; at + delimiterLength <= length; ++at) {
        if (std::memcmp(m_buffer.get() + at, m_delimiter, delimiterLength) == 0) return at;
    }
    return std::nullopt;
}

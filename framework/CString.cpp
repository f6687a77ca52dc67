#include "framework/CString.h"

#include "framework/AsciiText.h"
#include "framework/TextConversion.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// Visits each byte that starts a character, skipping the trail byte of a
// code page 949 double-byte character, whose value can look like ASCII.
template <typename Visit>
void ForEachLeadOrSingleByte(std::string& text, Visit visit) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsCp949LeadByte(byte) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        visit(text[i]);
    }
}

}  // namespace

CString::CString(const char* text, int length) {
    if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) {
        m_text.clear();
        return;
    }
    std::string result(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(result.data(), result.size(), format, args);
    result.resize(static_cast<size_t>(needed));
    m_text = std::move(result);
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    const std::string_view needle(from);
    const std::string_view replacement(to ? to : "");
    std::string result;
    int count = 0;
    size_t start = 0;
    for (size_t hit; (hit = m_text.find(needle, start)) != std::string::npos; start = hit + needle.size()) {
        result.append(m_text, start, hit - start).append(replacement);
        ++count;
    }
    if (count == 0) return 0;
    result.append(m_text, start, std::string::npos);
    m_text = std::move(result);
    return count;
}

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : m_text) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

CString& CString::MakeLower() {
    ForEachLeadOrSingleByte(m_text, [](char& c) { c = AsciiLower(c); });
    return *this;
}

CString& CString::MakeUpper() {
    ForEachLeadOrSingleByte(m_text, [](char& c) { c = AsciiUpper(c); });
    return *this;
}

int CString::CompareNoCase(const char* other) const {
    const char* a = m_text.c_str();
    const char* b = other ? other : "";
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(AsciiLower(*a));
        const auto cb = static_cast<unsigned char>(AsciiLower(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

int CString::Find(const char* what, int start) const {
    if (!what || start < 0 || start > GetLength()) return -1;
    const size_t hit = m_text.find(what, static_cast<size_t>(start));
    return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::Find(char what, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    const size_t hit = m_text.find(what, static_cast<size_t>(start));
    return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

CString CString::Left(int count) const {
    if (count <= 0) return {};
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (first >= GetLength()) return {};
    const size_t length = count < 0 ? std::string::npos : static_cast<size_t>(count);
    return CString(m_text.substr(static_cast<size_t>(first), length));
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_text.resize(std::strlen(m_text.c_str()));
    } else if (static_cast<size_t>(newLength) <= m_text.size()) {
        m_text.resize(static_cast<size_t>(newLength));
    }
}

void CStringArray::InsertAt(int index, const CString& item) {
    if (index < 0 || index > GetSize()) throw std::out_of_range("CStringArray::InsertAt");
    m_items.insert(m_items.begin() + index, item);
}

void CStringArray::RemoveAt(int index, int count) {
    if (index < 0 || count < 0 || index + count > GetSize()) throw std::out_of_range("CStringArray::RemoveAt");
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}

// CString, CStringArray: the framework's 8-bit text (code page 949 in this
// program) and a growable array of it.
//
// A std::string inside, not reference-counted copy-on-write as the classic
// framework did: the program's strings are short and copied rarely, and a
// value type is simpler to reason about across threads. No <windows.h> here,
// so window-free code can use it in native builds.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length);
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // The text as a NUL-terminated C string; valid until the next change.
    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    char GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    char operator[](int index) const { return GetAt(index); }

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, const char* right) { return left += right; }
    friend CString operator+(const char* left, const CString& right) { return CString(left) += right; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend auto operator<=>(const CString& a, const CString& b) { return a.m_text <=> b.m_text; }

    // printf-style formatting; the result replaces the text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);

    // Replaces every occurrence of `from` (non-empty) with `to`, left to right,
    // never rescanning replaced text. Returns the number of replacements.
    int Replace(const char* from, const char* to);
    int Replace(char from, char to);

    // ASCII letters only: bytes of double-byte characters are left alone, as a
    // trail byte may fall in the range 'A'..'Z'.
    CString& MakeLower();
    CString& MakeUpper();

    // Comparison without regard to ASCII letter case: <0, 0, >0 like strcmp.
    int CompareNoCase(const char* other) const;

    int Find(const char* what, int start = 0) const;
    int Find(char what, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;

    // Direct writes into the buffer, as the classic framework offered them:
    // GetBuffer grows the text to at least minLength bytes; ReleaseBuffer cuts
    // it at `newLength`, or at the first NUL when -1.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_text;
};

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    int Add(const CString& item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    const CString& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    CString& ElementAt(int index) { return m_items.at(static_cast<size_t>(index)); }
    const CString& operator[](int index) const { return GetAt(index); }
    CString& operator[](int index) { return ElementAt(index); }
    void SetAt(int index, const CString& item) { ElementAt(index) = item; }
    void InsertAt(int index, const CString& item);
    void RemoveAt(int index, int count = 1);
    void RemoveAll() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<CString> m_items;
};

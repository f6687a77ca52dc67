// CFieldTokenizer: splits one 8-bit record into fields at every occurrence of
// a delimiter string.
//
// The record is copied once and the copy is cut in place, each delimiter
// occurrence overwritten by a NUL at its first byte; the fields are pointers
// into that copy. Callers read m_count and m_fields directly, and keep the
// tokenizer on their stack, so the field table lives inside the object and a
// split makes exactly one allocation. Window-free.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

class CFieldTokenizer {
public:
    static constexpr int kMaxDelimiterLength = 11;
    static constexpr unsigned int kMaxFields = 100;

    // A delimiter longer than kMaxDelimiterLength is cut to that length; an
    // empty (or null) one never matches, so every record is a single field.
    explicit CFieldTokenizer(const char* delimiter);
    CFieldTokenizer(const CFieldTokenizer&) = delete;
    CFieldTokenizer& operator=(const CFieldTokenizer&) = delete;

    // Splits `record` (null counts as empty). An empty record gives no fields.
    // Occurrences are found left to right without overlapping, byte for byte.
    // A record with more than kMaxFields fields keeps them all: the last slot
    // holds the rest of the record, delimiters included, so nothing is lost
    // and the table is never written past. The fields stay valid until the
    // next split or the tokenizer's end.
    void Split(const char* record);

    char m_delimiter[kMaxDelimiterLength + 1];
    std::unique_ptr<char[]> m_buffer;
    char* m_fields[kMaxFields] = {};
    unsigned int m_count = 0;
    int m_delimiterLength;

private:
    // Position of the first delimiter occurrence at or after `start` in the
    // buffer of `length` bytes.
    std::optional<size_t> FindDelimiter(size_t start, size_t length) const;
};

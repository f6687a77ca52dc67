#include "tools/common/CommandLine.h"

bool CommandLine::Next() {
    if (m_next >= m_argc) return false;
    m_name = m_argv[m_next++];
    return true;
}

bool CommandLine::TakeText(std::string& value) {
    if (m_next >= m_argc) return false;
    value = m_argv[m_next++];
    return true;
}

bool CommandLine::TakeNumber(long low, long high, long& value) {
    std::string text;
    return TakeText(text) && ParseNumber(text, low, high, value);
}

bool ParseNumber(std::string_view text, long low, long high, long& value) {
    if (text.empty() || text.size() > 9) return false;
    long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high) return false;
    value = number;
    return true;
}

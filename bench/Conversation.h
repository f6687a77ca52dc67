// Conversation: the chat lines the pane benchmarks feed the view, formatted
// exactly as the chat window formats them (nine chat lines to one notice).
//
// Ids of 7-9 characters (letters, two digits), nicknames of 5-7 characters
// mixing Hangul syllables and letters, messages and notices of 40-80
// characters in words of Latin letters or Hangul (CP949), all from a seeded
// SplitMix64, so every run shows the same conversation.
#pragma once

#include "display/ChatFormat.h"
#include "display/HtmlTagFilter.h"
#include "framework/CString.h"

#include <cstdint>
#include <string>

namespace bench {

inline constexpr int kNoticeEvery = 10;  // nine chat lines, then a notice
inline constexpr std::uint64_t kSeed = 0x5EED0F1A2B3C4D5Eull;

// SplitMix64: small, fast, and the same sequence on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Coin() { return (Next() & 1) != 0; }

private:
    std::uint64_t m_state;
};

// Text of the ANSI code page (949), built a character at a time.
class Cp949Text {
public:
    void AddLetter(Random& random) {
        m_bytes += static_cast<char>('a' + random.Between(0, 25));
        ++m_characters;
    }
    void AddDigit(Random& random) {
        m_bytes += static_cast<char>('0' + random.Between(0, 9));
        ++m_characters;
    }
    // One of the 2,350 precomposed syllables of KS X 1001: lead byte
    // B0..C8, trail byte A1..FE.
    void AddSyllable(Random& random) {
        m_bytes += static_cast<char>(0xB0 + random.Between(0, 0xC8 - 0xB0));
        m_bytes += static_cast<char>(0xA1 + random.Between(0, 0xFE - 0xA1));
        ++m_characters;
    }
    void AddSpace() {
        m_bytes += ' ';
        ++m_characters;
    }

    int Characters() const { return m_characters; }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    int m_characters = 0;
};

// Words of 2 to 8 letters or 1 to 4 syllables, until the text has about
// `length` characters.
inline std::string MixedText(Random& random, int length) {
    Cp949Text text;
    while (text.Characters() < length) {
        if (text.Characters() > 0) text.AddSpace();
        if (random.Coin()) {
            for (int i = random.Between(2, 8); i > 0; --i) text.AddLetter(random);
        } else {
            for (int i = random.Between(1, 4); i > 0; --i) text.AddSyllable(random);
        }
    }
    return text.Bytes();
}

inline std::string Nickname(Random& random) {
    Cp949Text text;
    for (int i = random.Between(5, 7); i > 0; --i) {
        if (random.Coin()) text.AddSyllable(random);
        else text.AddLetter(random);
    }
    return text.Bytes();
}

inline std::string UserId(Random& random) {
    Cp949Text text;
    const int length = random.Between(7, 9);
    for (int i = 0; i < length; ++i) {
        if (i >= length - 2) text.AddDigit(random);
        else text.AddLetter(random);
    }
    return text.Bytes();
}

// The fragment of line `index` (0-based), as AddNotice/AddChatLine make it.
class Conversation {
public:
    CString Line(int index) {
        if (index % kNoticeEvery == kNoticeEvery - 1)
            return FormatNotice(MixedText(m_random, m_random.Between(40, 80)).c_str());
        const std::string record =
            UserId(m_random) + '\a' + Nickname(m_random) + '\a' + MixedText(m_random, m_random.Between(40, 80));
        return FormatChatLine(record.c_str(), m_filter);
    }

private:
    Random m_random{kSeed};
    CHtmlTagFilter m_filter;  // no tags admitted: the lines carry none
};

}  // namespace bench

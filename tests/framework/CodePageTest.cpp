// The build compiles narrow literals to code page 949, and every crossing of
// 8-bit text into UTF-16 and back goes through code page 949 whatever the
// system's ANSI code page is. This program also runs under en_US.UTF-8,
// where Wine gives code page 1252 as an English Windows does.
#include "framework/TextConversion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

TEST(CodePage, KoreanLiteralHasCp949Bytes) {
    // 워블채팅 in CP949: BF F6 BA ED C3 A4 C6 C3
    const std::string literal = "워블채팅";
    const std::string expected = "\xBF\xF6\xBA\xED\xC3\xA4\xC6\xC3";
    EXPECT_EQ(literal, expected);
}

// Without this the run under the other locale would prove nothing.
TEST(CodePage, RunsUnderTheAnsiCodePageOfItsLocale) {
    const char* locale = std::getenv("WOBBLE_LOCALE");
    const bool english = locale && std::string(locale).rfind("en_US", 0) == 0;
    EXPECT_EQ(GetACP(), english ? 1252u : 949u) << (locale ? locale : "(default locale)");
}

TEST(TextConversion, HangulCrossesBothWaysWhateverTheAnsiCodePage) {
    EXPECT_EQ(ToWide("한글 ok"), L"\xD55C\xAE00 ok");
    EXPECT_EQ(ToWide(CString("한글")), L"\xD55C\xAE00");
    EXPECT_EQ(ToWide("한글", 2), L"\xD55C");  // a length that ends between characters
    EXPECT_EQ(FromWide(L"\xD55C\xAE00 ok"), CString("한글 ok"));
    EXPECT_EQ(ToWide(nullptr), L"");
    EXPECT_EQ(FromWide(static_cast<const wchar_t*>(nullptr)), CString());
}

TEST(TextConversion, WhatCodePage949CannotHoldBecomesOneQuestionMarkEach) {
    // An emoji (a surrogate pair), a lone half of one, and a Thai letter.
    EXPECT_EQ(FromWide(L"\xD55C\xD83D\xDE00\xAE00"), CString("한?글"));
    EXPECT_EQ(FromWide(L"a\xDC00"
                       L"b\xD83D"),
              CString("a?b?"));
    EXPECT_EQ(FromWide(L"\x0E01x"), CString("?x"));
}

TEST(TextConversion, BytesThatAreNotCodePage949StillConvert) {
    // A lone lead byte at the end, and bytes with no character at all.
    const std::wstring wide = ToWide("a\x80\xFF\xB0");
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide[0], L'a');
}

}  // namespace

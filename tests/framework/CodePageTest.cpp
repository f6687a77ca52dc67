// The build compiles narrow literals to code page 949, and the program runs
// with 949 as its ANSI code page; every Korean text of the program relies on
// both.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

TEST(CodePage, KoreanLiteralHasCp949Bytes) {
    // 워블채팅 in CP949: BF F6 BA ED C3 A4 C6 C3
    const std::string literal = "워블채팅";
    const std::string expected = "\xBF\xF6\xBA\xED\xC3\xA4\xC6\xC3";
    EXPECT_EQ(literal, expected);
}

TEST(CodePage, ProcessAnsiCodePageIs949) {
    EXPECT_EQ(GetACP(), 949u);
}

TEST(CodePage, LiteralConvertsThroughAnsiCodePage) {
    wchar_t wide[8] = {};
    const int count = MultiByteToWideChar(CP_ACP, 0, "한글", -1, wide, 8);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(wide[0], 0xD55C);
    EXPECT_EQ(wide[1], 0xAE00);
}

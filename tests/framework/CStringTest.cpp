#include "framework/CString.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CString, LengthEmptinessAndConcatenation) {
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    s += "ab";
    s += 'c';
    const CString joined = s + "d" + CString("e");
    EXPECT_EQ(joined, "abcde");
    EXPECT_EQ(joined.GetLength(), 5);
    EXPECT_STREQ(static_cast<const char*>(joined), "abcde");
    EXPECT_EQ(CString(nullptr), "");
}

TEST(CString, KeepsEmbeddedBytesOfGivenLength) {
    const CString s("a\0b", 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.GetAt(2), 'b');
}

TEST(CString, FormatHandlesLongResults) {
    CString s;
    s.Format("%s/%d", std::string(5000, 'x').c_str(), 42);
    EXPECT_EQ(s.GetLength(), 5003);
    EXPECT_EQ(s.Mid(5000), "/42");
}

TEST(CString, ReplaceDoesNotRescanReplacedText) {
    CString s("<<a<");
    EXPECT_EQ(s.Replace("<", "&lt;"), 3);
    EXPECT_EQ(s, "&lt;&lt;a&lt;");
    CString t("aaa");
    EXPECT_EQ(t.Replace("aa", "a"), 1);
    EXPECT_EQ(t, "aa");
    EXPECT_EQ(t.Replace("", "x"), 0);
}

TEST(CString, CaseChangesLeaveDoubleByteTrailBytesAlone) {
    // 가 is B0 A1; a CP949 trail byte can be an ASCII capital, e.g. 갂 = 81 41.
    CString s("AB\x81\x41Z");
    s.MakeLower();
    EXPECT_EQ(s, "ab\x81\x41z");
}

TEST(CString, CompareNoCase) {
    EXPECT_EQ(CString("IMG").CompareNoCase("img"), 0);
    EXPECT_LT(CString("a").CompareNoCase("B"), 0);
    EXPECT_GT(CString("ab").CompareNoCase("A"), 0);
}

TEST(CString, FindLeftMidAndBuffer) {
    const CString s("name||word");
    EXPECT_EQ(s.Find("||"), 4);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Left(4), "name");
    EXPECT_EQ(s.Mid(6), "word");
    EXPECT_EQ(s.Mid(20), "");

    CString b;
    std::strcpy(b.GetBuffer(16), "hi");
    b.ReleaseBuffer();
    EXPECT_EQ(b, "hi");
}

TEST(CStringArray, GrowsInsertsAndRemoves) {
    CStringArray a;
    a.Add("a");
    a.Add("c");
    a.InsertAt(1, "b");
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[1], "b");
    a.RemoveAt(0);
    EXPECT_EQ(a[0], "b");
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
}

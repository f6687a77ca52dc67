// The field tokenizer: fields at every delimiter occurrence, left to right
// and without overlap, and the limits of its fixed tables.
#include "display/FieldTokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const CFieldTokenizer& tokenizer) {
    return std::vector<std::string>(tokenizer.m_fields, tokenizer.m_fields + tokenizer.m_count);
}

std::vector<std::string> Split(const char* delimiter, const char* record) {
    CFieldTokenizer tokenizer(delimiter);
    tokenizer.Split(record);
    return Fields(tokenizer);
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(FieldTokenizer, SplitsAtTwoByteDelimiter) {
    EXPECT_EQ(Split("||", "abc"), Strings({"abc"}));
    EXPECT_EQ(Split("||", "a||b"), Strings({"a", "b"}));
    EXPECT_EQ(Split("||", "a||"), Strings({"a", ""}));
    EXPECT_EQ(Split("||", "||b"), Strings({"", "b"}));
    EXPECT_EQ(Split("||", "a||||b"), Strings({"a", "", "b"}));
    EXPECT_EQ(Split("||", "||"), Strings({"", ""}));
}

TEST(FieldTokenizer, OccurrencesDoNotOverlap) {
    EXPECT_EQ(Split("||", "a|||b"), Strings({"a", "|b"}));
    EXPECT_EQ(Split("aa", "aaa"), Strings({"", "a"}));
}

TEST(FieldTokenizer, SplitsAtBel) {
    EXPECT_EQ(Split("\a", "id\anick\ahello"), Strings({"id", "nick", "hello"}));
    EXPECT_EQ(Split("\a", "no separator"), Strings({"no separator"}));
}

TEST(FieldTokenizer, MatchesLetterCaseAndDoubleByteTextExactly) {
    EXPECT_EQ(Split("x", "aXbxc"), Strings({"aXb", "c"}));
    // "가나" then the delimiter, in code page 949.
    EXPECT_EQ(Split("||", "\xB0\xA1\xB3\xAA||\xB4\xD9"), Strings({"\xB0\xA1\xB3\xAA", "\xB4\xD9"}));
}

TEST(FieldTokenizer, FieldsAreCutInTheTokenizersOwnCopy) {
    char record[] = "a||b";
    CFieldTokenizer tokenizer("||");
    tokenizer.Split(record);
    EXPECT_STREQ(record, "a||b");
    ASSERT_EQ(tokenizer.m_count, 2u);
    EXPECT_EQ(tokenizer.m_fields[0], tokenizer.m_buffer.get());
    EXPECT_EQ(tokenizer.m_fields[1], tokenizer.m_buffer.get() + 3);
}

TEST(FieldTokenizer, EmptyRecordGivesNoFields) {
    EXPECT_TRUE(Split("||", "").empty());
    EXPECT_TRUE(Split("||", nullptr).empty());
    CFieldTokenizer fresh("||");
    EXPECT_EQ(fresh.m_count, 0u);
    EXPECT_EQ(fresh.m_buffer, nullptr);
}

TEST(FieldTokenizer, EmptyRecordAfterEarlierSplitLeavesNoStaleFields) {
    CFieldTokenizer tokenizer("||");
    tokenizer.Split("a||b||c");
    ASSERT_EQ(tokenizer.m_count, 3u);
    tokenizer.Split("");
    EXPECT_EQ(tokenizer.m_count, 0u);
    EXPECT_EQ(tokenizer.m_buffer, nullptr);
    EXPECT_EQ(tokenizer.m_fields[0], nullptr);
}

TEST(FieldTokenizer, SecondSplitReplacesTheFirst) {
    CFieldTokenizer tokenizer("||");
    tokenizer.Split("a||b||c");
    tokenizer.Split("x||y");
    EXPECT_EQ(Fields(tokenizer), Strings({"x", "y"}));
}

TEST(FieldTokenizer, HundredFieldsFillTheTable) {
    std::string record = "0";
    for (int i = 1; i < 100; ++i) record += "|" + std::to_string(i);
    CFieldTokenizer tokenizer("|");
    tokenizer.Split(record.c_str());
    ASSERT_EQ(tokenizer.m_count, 100u);
    EXPECT_STREQ(tokenizer.m_fields[0], "0");
    EXPECT_STREQ(tokenizer.m_fields[99], "99");
}

TEST(FieldTokenizer, FieldsPastTheHundredthStayInTheLast) {
    std::string record = "0";
    for (int i = 1; i < 150; ++i) record += "||" + std::to_string(i);
    // The table sits between members the callers read: it must stay intact.
    CFieldTokenizer tokenizer("||");
    tokenizer.Split(record.c_str());
    ASSERT_EQ(tokenizer.m_count, 100u);
    EXPECT_STREQ(tokenizer.m_fields[98], "98");
    std::string rest = "99";
    for (int i = 100; i < 150; ++i) rest += "||" + std::to_string(i);
    EXPECT_EQ(tokenizer.m_fields[99], rest);
    EXPECT_EQ(tokenizer.m_delimiterLength, 2);
    EXPECT_STREQ(tokenizer.m_delimiter, "||");
}

TEST(FieldTokenizer, DelimiterLongerThanElevenBytesIsCut) {
    CFieldTokenizer tokenizer("0123456789ABCDEF");
    EXPECT_EQ(tokenizer.m_delimiterLength, 11);
    EXPECT_STREQ(tokenizer.m_delimiter, "0123456789A");
    tokenizer.Split("x0123456789Ay");
    EXPECT_EQ(Fields(tokenizer), Strings({"x", "y"}));
}

TEST(FieldTokenizer, EmptyDelimiterNeverSplits) {
    EXPECT_EQ(Split("", "a||b"), Strings({"a||b"}));
    EXPECT_EQ(Split(nullptr, "ab"), Strings({"ab"}));
}

TEST(FieldTokenizer, DelimiterLongerThanRecordGivesOneField) { EXPECT_EQ(Split("|||", "a|"), Strings({"a|"})); }

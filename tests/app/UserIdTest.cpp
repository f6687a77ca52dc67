#include "app/UserId.h"

#include "net/Protocol.h"
#include "tests/support/IdentityArgument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CString Encode(const std::string& identity) { return CString(IdentityArgument(identity).c_str()); }

// The one byte that an argument of a single piece decodes to.
int SingleByte(const char* argument) {
    const CString identity = DecodeUserId(argument);
    return identity.GetLength() == 1 ? static_cast<unsigned char>(identity[0]) : -1;
}

}  // namespace

TEST(DecodeUserId, EmptyArgumentGivesEmptyIdentity) { EXPECT_TRUE(DecodeUserId("").IsEmpty()); }

TEST(DecodeUserId, RoundTripsAnEncodedIdentity) {
    EXPECT_EQ(DecodeUserId(Encode("wobble01")), "wobble01");
    EXPECT_EQ(DecodeUserId(Encode("\xB1\xE8\xC3\xB6\xBC\xF6")), "\xB1\xE8\xC3\xB6\xBC\xF6");  // 김철수
}

TEST(DecodeUserId, OddLengthEndsWithASingleCharacterPiece) {
    EXPECT_EQ(SingleByte("A"), 0x0A ^ 0x41);
    // Five characters make three pieces; the third byte meets key byte 2.
    const CString odd = DecodeUserId(Encode("ab") + "1");
    ASSERT_EQ(odd.GetLength(), 3);
    EXPECT_EQ(odd.Left(2), "ab");
    EXPECT_EQ(static_cast<unsigned char>(odd[2]), 0x01 ^ 0x2E);
}

TEST(DecodeUserId, EachPieceReadsByStrtolRules) {
    EXPECT_EQ(SingleByte("zz"), 0x00 ^ 0x41) << "no digit reads as 0";
    EXPECT_EQ(SingleByte("5z"), 0x05 ^ 0x41);
    EXPECT_EQ(SingleByte("-1"), 0xFF ^ 0x41);
    EXPECT_EQ(SingleByte(" 7"), 0x07 ^ 0x41);
    EXPECT_EQ(SingleByte("+c"), 0x0C ^ 0x41);
    EXPECT_EQ(SingleByte("fF"), 0xFF ^ 0x41);
}

TEST(DecodeUserId, ZeroByteEndsTheIdentityEvenWithMorePiecesBehind) {
    EXPECT_EQ(DecodeUserId(Encode(std::string("ab\0cd", 5))), "ab");
}

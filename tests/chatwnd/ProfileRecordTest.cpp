// The profile answer's judgement and the request URL, without HTTP.
#include "chatwnd/ProfileRecord.h"

#include <gtest/gtest.h>

TEST(ProfileAnswer, TwoFieldsGiveTheFirstAsNickname) {
    EXPECT_EQ(NicknameOfProfile("nick||1"), CString("nick"));
    EXPECT_EQ(NicknameOfProfile("nick||"), CString("nick"));
    EXPECT_EQ(NicknameOfProfile("||x"), CString(""));
    EXPECT_EQ(NicknameOfProfile("||"), CString(""));
    EXPECT_EQ(NicknameOfProfile("\xB1\xE8||1"), CString("\xB1\xE8"));  // "김"
}

TEST(ProfileAnswer, AnyOtherFieldCountIsRefused) {
    for (const char* bad : {"nick", "a||b||c", "", "||||", "nick|1"}) {
        EXPECT_EQ(NicknameOfProfile(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(NicknameOfProfile(nullptr), std::nullopt);
}

TEST(ProfileRequest, PlacesTheIdUnescaped) {
    EXPECT_EQ(ProfileRequestUrl("127.0.0.1:9811", "kim01"),
              CString("http://127.0.0.1:9811/program/user_info.asp?id=kim01"));
    EXPECT_EQ(ProfileRequestUrl("host", "a&b c%s"), CString("http://host/program/user_info.asp?id=a&b c%s"));
    EXPECT_EQ(ProfileRequestUrl("host", ""), CString("http://host/program/user_info.asp?id="));
}

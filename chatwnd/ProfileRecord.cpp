#include "chatwnd/ProfileRecord.h"

#include "display/FieldTokenizer.h"

CString ProfileRequestUrl(const CString& host, const CString& userId) {
    CString url;
    url.Format("http://%s/program/user_info.asp?id=%s", host.GetString(), userId.GetString());
    return url;
}

std::optional<CString> NicknameOfProfile(const char* response) {
    CFieldTokenizer tokenizer("||");
    tokenizer.Split(response);
    if (tokenizer.m_count != 2) return std::nullopt;
    return CString(tokenizer.m_fields[0]);
}

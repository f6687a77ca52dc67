// The profile service's request and answer, without the HTTP in between:
// the URL made from the user id, and the judgement of the answer's text.
// Window-free, so the judgement builds natively for fuzzing.
#pragma once

#include "framework/CString.h"

#include <optional>

// "http://" + host + "/program/user_info.asp?id=" + the id byte for byte:
// the id is not escaped, so "&" and spaces reach the query as they are.
CString ProfileRequestUrl(const CString& host, const CString& userId);

// The nickname when the answer splits at "||" into exactly two fields (either
// may be empty); nothing otherwise, the empty answer included.
std::optional<CString> NicknameOfProfile(const char* response);

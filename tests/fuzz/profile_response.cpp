// The profile service's answer, as the chat window judges it, and the
// request URL made from a user id.
//
// An answer is accepted exactly when "||" splits it into two fields; the
// nickname is then the text before the first "||" and the rest holds none.
// The URL is the fixed head and the id byte for byte.
#include "chatwnd/ProfileRecord.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr std::string_view kSeparator = "||";

void CheckJudgement(const std::string& response) {
    const std::optional<CString> nickname = NicknameOfProfile(response.c_str());
    const size_t first = response.find(kSeparator);
    const bool twoFields =
        first != std::string::npos && response.find(kSeparator, first + kSeparator.size()) == std::string::npos;
    FUZZ_CHECK(nickname.has_value() == twoFields);
    if (nickname) FUZZ_CHECK(nickname->str() == response.substr(0, first));
}

void CheckUrl(const std::string& userId) {
    const CString url = ProfileRequestUrl("127.0.0.1:9811", CString(userId));
    FUZZ_CHECK(url.str() == "http://127.0.0.1:9811/program/user_info.asp?id=" + userId);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::TextOf(data, size);
    CheckJudgement(text);
    CheckUrl(text);
    return 0;
}

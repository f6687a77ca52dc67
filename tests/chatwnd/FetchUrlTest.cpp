// CChatDlg::FetchUrl against a loopback HTTP server: the body's lines joined
// without line ends, every status judged alike, no cache, what the request
// carries, and an unreachable service.
#include "chatwnd/ChatDlg.h"
#include "framework/Internet.h"

#include "tests/chatwnd/ChatWindowHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FetchUrlTest : public ::testing::Test {
protected:
    std::string Url(const std::string& path) const {
        const std::u16string wide = server.Url(path);
        return std::string(wide.begin(), wide.end());
    }

    LoopbackHttpServer server;
};

}  // namespace

TEST_F(FetchUrlTest, JoinsTheBodysLinesWithoutLineEnds) {
    server.Route("/p", HttpAnswer(200, "nick\r\n||1\r\n"));
    CString response = "old";
    EXPECT_TRUE(CChatDlg::FetchUrl(Url("/p").c_str(), response));
    EXPECT_EQ(response, "nick||1");
}

TEST_F(FetchUrlTest, ReadsTheBodyWhateverTheStatus) {
    server.Route("/p", HttpAnswer(404, "x||y"));
    CString response;
    EXPECT_TRUE(CChatDlg::FetchUrl(Url("/p").c_str(), response));
    EXPECT_EQ(response, "x||y");
}

TEST_F(FetchUrlTest, EmptyBodyEmptiesTheResponse) {
    server.Route("/p", HttpAnswer(200, ""));
    CString response = "old";
    EXPECT_TRUE(CChatDlg::FetchUrl(Url("/p").c_str(), response));
    EXPECT_EQ(response, "");
}

// The answers invite caching: where the platform's cache kept the first,
// it would come back the second time, or the second request would only ask
// whether it had changed. Wine's WinINet caches none of it, so there the
// flags themselves are what shows that Windows will not either.
TEST_F(FetchUrlTest, EveryFetchGoesToTheServer) {
    EXPECT_EQ(kUncachedBinaryRequest,
              DWORD{INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_TRANSFER_BINARY});
    const std::string cacheable =
        "Cache-Control: public, max-age=3600\r\nExpires: Fri, 01 Jan 2100 00:00:00 GMT\r\n"
        "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\nETag: \"profile-1\"\r\n";
    server.Route("/p", {200, "first||1", true, 0, cacheable});
    CString response;
    CChatDlg::FetchUrl(Url("/p").c_str(), response);
    server.Route("/p", {200, "second||1", true, 0, cacheable});
    CChatDlg::FetchUrl(Url("/p").c_str(), response);
    EXPECT_EQ(response, "second||1");
    EXPECT_EQ(server.Requests(), 2);
    EXPECT_EQ(server.LastRequest().find("\r\nIf-"), std::string::npos) << server.LastRequest();
}

// A Korean id goes out in its code page 949 bytes, whatever code page the
// system has, and the nickname comes back in them.
TEST_F(FetchUrlTest, SendsTheIdAsItIsUnderTheProgramsName) {
    const std::string path = "/program/user_info.asp?id=a&b데모";
    server.Route(path, HttpAnswer(200, "닉||1"));
    CString response;
    EXPECT_TRUE(CChatDlg::FetchUrl(Url(path).c_str(), response));
    EXPECT_EQ(response, "닉||1");
    const std::string request = server.LastRequest();
    EXPECT_NE(request.find("User-Agent: chatwnd_tests\r\n"), std::string::npos) << request;
}

TEST(FetchUrlUnreachable, FailsAndLeavesTheResponseUntouched) {
    LoopbackServer refusing(LoopbackServer::Listening::No);
    CString response = "untouched";
    const std::string url = "http://127.0.0.1:" + std::to_string(refusing.Port()) + "/p";
    EXPECT_FALSE(CChatDlg::FetchUrl(url.c_str(), response));
    EXPECT_EQ(response, "untouched");
}

// The profile service without sockets: request heads, percent-decoding, the
// users file, the answers, and one request per connection.
#include "tools/profiled/ProfileService.h"

#include "RecordingLink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Mode = ConnectionLink::CloseMode;

HeadStatus Parse(std::string_view bytes, HttpRequestHead* head = nullptr) {
    HttpRequestHead ignored;
    return ParseRequestHead(bytes, head ? *head : ignored);
}

TEST(HttpRequestHead, ReadsMethodAndTargetOnceTheHeadIsComplete) {
    HttpRequestHead head;
    ASSERT_EQ(Parse("GET /program/user_info.asp?id=a%20b HTTP/1.1\r\nHost: x\r\nUser-Agent: y\r\n\r\n", &head),
              HeadStatus::Complete);
    EXPECT_EQ(head.method, "GET");
    EXPECT_EQ(head.target, "/program/user_info.asp?id=a%20b");
    EXPECT_EQ(Parse("GET / HTTP/1.0\n\n"), HeadStatus::Complete);
}

TEST(HttpRequestHead, WaitsForTheBlankLine) {
    EXPECT_EQ(Parse(""), HeadStatus::Incomplete);
    EXPECT_EQ(Parse("GET / HTTP/1.1\r\n"), HeadStatus::Incomplete);
    EXPECT_EQ(Parse("GET / HTTP/1.1\r\nHost: x\r\n\r"), HeadStatus::Incomplete);
}

TEST(HttpRequestHead, TakesIdBytesAboveAsciiAsWinInetSendsThem) {
    HttpRequestHead head;
    ASSERT_EQ(Parse("GET /p?id=\xBF\xF6\xBA\xED HTTP/1.1\r\n\r\n", &head), HeadStatus::Complete);
    EXPECT_EQ(head.target, "/p?id=\xBF\xF6\xBA\xED");
}

TEST(HttpRequestHead, RefusesBrokenRequestLines) {
    for (const char* bytes :
         {"\r\n\r\n", "GET\r\n\r\n", "GET /\r\n\r\n", "GET / FTP/1.0\r\n\r\n", "GET noslash HTTP/1.1\r\n\r\n",
          "GET /a\x01z HTTP/1.1\r\n\r\n", "GET  / HTTP/1.1\r\n\r\n", " GET / HTTP/1.1\r\n\r\n"}) {
        EXPECT_EQ(Parse(bytes), HeadStatus::Malformed) << bytes;
    }
}

TEST(HttpRequestHead, GivesUpOnAHeadThatDoesNotEndWithinTheLimit) {
    const std::string endless = "GET / HTTP/1.1\r\nX: " + std::string(HTTP_MAX_HEAD, 'a');
    EXPECT_EQ(Parse(endless), HeadStatus::TooLarge);
    // The end just past the limit does not count either.
    EXPECT_EQ(Parse(endless.substr(0, HTTP_MAX_HEAD - 2) + "\r\n\r\n"), HeadStatus::TooLarge);
}

TEST(PercentDecode, DecodesEscapesAndLeavesEverythingElse) {
    EXPECT_EQ(PercentDecode("a%20b"), "a b");
    EXPECT_EQ(PercentDecode("%BF%f6"), "\xBF\xF6");
    EXPECT_EQ(PercentDecode("a+b&c=d"), "a+b&c=d");
    EXPECT_EQ(PercentDecode("%00x"), std::string("\0x", 2));
    // Broken escapes stay as they are.
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%zz%4g"), "%zz%4g");
    EXPECT_EQ(PercentDecode("%%41"), "%A");
}

TEST(HttpResponse, CountsTheBodyInBytes) {
    EXPECT_EQ(SerializeResponse({404, "\xBF\xF6\xBA\xED||1"}),
              "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 7\r\nConnection: close\r\n\r\n"
              "\xBF\xF6\xBA\xED||1");
}

TEST(ProfileDirectory, ReadsIdAndNicknamePerLine) {
    const auto directory = ProfileDirectory::Parse(
        "# comment\r\n"
        "demo \xB5\xA5\xB8\xF0\r\n"
        "\n"
        "  spaced\t  Two Words  \n"
        "lonely\n"
        "demo Second\n"
        "last Last");
    EXPECT_EQ(directory.Size(), 3u);
    ASSERT_NE(directory.Find("demo"), nullptr);
    EXPECT_EQ(*directory.Find("demo"), "\xB5\xA5\xB8\xF0");
    ASSERT_NE(directory.Find("spaced"), nullptr);
    EXPECT_EQ(*directory.Find("spaced"), "Two Words");
    ASSERT_NE(directory.Find("last"), nullptr);
    EXPECT_EQ(directory.Find("lonely"), nullptr);
    EXPECT_EQ(directory.Find("DEMO"), nullptr);
    EXPECT_EQ(directory.Find("#"), nullptr);
}

class ProfileAnswerTest : public testing::Test {
protected:
    HttpResponse Answer(std::string target, std::string method = "GET") const {
        return AnswerRequest({method, target}, directory, answers);
    }
    ProfileDirectory directory = ProfileDirectory::Parse("demo Demo\na&b=c Amp\nx y\n\xBF\xF6 \xBA\xED\n");
    ProfileAnswers answers;
};

TEST_F(ProfileAnswerTest, KnownIdGetsItsNicknameAndTheFlag) {
    const HttpResponse response = Answer("/program/user_info.asp?id=demo");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "Demo||1");
}

TEST_F(ProfileAnswerTest, IdIsEverythingAfterTheKeyPercentDecoded) {
    EXPECT_EQ(Answer("/program/user_info.asp?id=a&b=c").body, "Amp||1");
    EXPECT_EQ(Answer("/program/user_info.asp?id=%BF%F6").body, "\xBA\xED||1");
    EXPECT_EQ(Answer("/program/user_info.asp?id=\xBF\xF6").body, "\xBA\xED||1");
}

TEST_F(ProfileAnswerTest, UnknownIdGetsTheConfiguredBody) {
    EXPECT_EQ(Answer("/program/user_info.asp?id=nobody").status, 404);
    EXPECT_EQ(Answer("/program/user_info.asp?id=nobody").body, "unknown");
    EXPECT_EQ(Answer("/program/user_info.asp?id=").body, "unknown");
    answers.unknownBody = "no||such||user";
    EXPECT_EQ(Answer("/program/user_info.asp?id=Demo").body, "no||such||user");
}

TEST_F(ProfileAnswerTest, OtherRequestsGetErrors) {
    EXPECT_EQ(Answer("/program/user_info.asp?id=demo", "POST").status, 405);
    EXPECT_EQ(Answer("/program/user_info.aspx?id=demo").status, 404);
    EXPECT_EQ(Answer("/program/user_info.asp").status, 400);
    EXPECT_EQ(Answer("/program/user_info.asp?user=demo").status, 400);
}

TEST_F(ProfileAnswerTest, FixedBodyAnswersEveryGet) {
    answers.fixedBody = "";
    EXPECT_EQ(Answer("/anything").status, 200);
    EXPECT_EQ(Answer("/anything").body, "");
    answers.fixedBody = "a||b||c";
    answers.fixedStatus = 500;
    EXPECT_EQ(Answer("/program/user_info.asp?id=demo").status, 500);
    EXPECT_EQ(Answer("/program/user_info.asp?id=demo").body, "a||b||c");
}

class ProfileServiceTest : public testing::Test {
protected:
    void Receive(ConnectionId id, std::string_view bytes) {
        service.OnReceived(id, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    // The one answer to `id`, and a close after sending it.
    std::string AnswerTo(ConnectionId id) {
        const auto sent = link.SentTo(id);
        EXPECT_EQ(sent.size(), 1u);
        EXPECT_EQ(link.closed.size(), 1u);
        if (sent.size() != 1 || link.closed.size() != 1) return "";
        EXPECT_EQ(link.closed[0].id, id);
        EXPECT_EQ(link.closed[0].mode, Mode::AfterSending);
        return sent[0];
    }

    ProfileDirectory directory = ProfileDirectory::Parse("demo Demo\n");
    RecordingLink link;
    RecordingLog log;
    ProfileService service{link, log, directory, ProfileAnswers{}};
};

TEST_F(ProfileServiceTest, AnswersARequestThatArrivesInPieces) {
    service.OnOpened(1, "peer");
    const std::string request = "GET /program/user_info.asp?id=demo HTTP/1.1\r\nHost: h\r\n\r\n";
    for (char c : request.substr(0, request.size() - 1)) Receive(1, std::string(1, c));
    EXPECT_TRUE(link.sent.empty());
    Receive(1, "\n");
    const std::string answer = AnswerTo(1);
    EXPECT_EQ(answer.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(answer.substr(answer.size() - 11), "\r\n\r\nDemo||1");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "#1 GET /program/user_info.asp?id=demo -> 200 Demo||1");
}

TEST_F(ProfileServiceTest, AnswersOnceWhateverFollowsTheHead) {
    service.OnOpened(1, "peer");
    Receive(1, "GET /program/user_info.asp?id=demo HTTP/1.1\r\n\r\nGET /again HTTP/1.1\r\n\r\n");
    Receive(1, "GET /and-again HTTP/1.1\r\n\r\n");
    EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(ProfileServiceTest, MalformedRequestGetsBadRequestAndClose) {
    service.OnOpened(1, "peer");
    Receive(1, "HELLO\r\n\r\n");
    EXPECT_EQ(AnswerTo(1).substr(0, 24), "HTTP/1.1 400 Bad Request");
}

TEST_F(ProfileServiceTest, EndlessHeadIsCutOffAtTheLimit) {
    service.OnOpened(1, "peer");
    Receive(1, "GET / HTTP/1.1\r\n");
    const std::string chunk(1000, 'x');
    for (int i = 0; i < 10 && link.sent.empty(); ++i) Receive(1, chunk);
    EXPECT_EQ(AnswerTo(1).substr(0, 12), "HTTP/1.1 431");
}

}  // namespace

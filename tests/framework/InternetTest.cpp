// The internet session classes against a loopback HTTP server: line reading,
// failures thrown as CInternetException*, and what reaches the server.
#include "framework/Internet.h"

#include "tests/support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    void operator()(CHttpFile* file) const {
        file->Close();
        delete file;
    }
};
using FilePtr = std::unique_ptr<CHttpFile, FileCloser>;

class InternetTest : public ::testing::Test {
protected:
    std::string Url(const std::string& path) const {
        const std::u16string wide = server.Url(path);
        return std::string(wide.begin(), wide.end());
    }

    void Serve(const std::string& body, int status = 200) { server.Route("/t", {status, body}); }

    // Every line ReadString gives for the body, until it says the end.
    std::vector<std::string> ReadLines() {
        CInternetSession session;
        FilePtr file(session.OpenURL(Url("/t").c_str(), 1, kUncachedBinaryRequest));
        std::vector<std::string> lines;
        CString line;
        while (file->ReadString(line)) lines.push_back(line.str());
        EXPECT_TRUE(line.IsEmpty()) << "the end gives nothing";
        return lines;
    }

    LoopbackHttpServer server;
};

using Lines = std::vector<std::string>;

TEST_F(InternetTest, LineFeedEndsALineAndIsRemoved) {
    Serve("one\ntwo\n\nthree\n");
    EXPECT_EQ(ReadLines(), (Lines{"one", "two", "", "three"}));
}

TEST_F(InternetTest, EveryCarriageReturnIsDroppedWhereverItStands) {
    Serve("a\r\nb\rc\r\r\n\rd\r");
    EXPECT_EQ(ReadLines(), (Lines{"a", "bc", "d"}));
}

TEST_F(InternetTest, LastLineWithoutLineFeedIsStillGiven) {
    Serve("first\nlast");
    EXPECT_EQ(ReadLines(), (Lines{"first", "last"}));
}

TEST_F(InternetTest, EmptyBodyGivesNoLine) {
    Serve("");
    EXPECT_EQ(ReadLines(), Lines{});
}

TEST_F(InternetTest, BodyMadeOfCarriageReturnsAloneStillCountsAsALine) {
    // Something was read, even though nothing is left of it.
    Serve("\r\r");
    EXPECT_EQ(ReadLines(), Lines{""});
}

TEST_F(InternetTest, LinesLongerThanOneReadAndSplitAcrossReadsStayWhole) {
    const std::string longLine(10000, 'x');
    std::string body;
    for (int i = 0; i < 500; ++i) body += "line" + std::to_string(i) + "\r\n";
    body += longLine + "\r\n";
    body += "tail";
    Serve(body);
    const Lines lines = ReadLines();
    ASSERT_EQ(lines.size(), 502u);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(lines[static_cast<size_t>(i)], "line" + std::to_string(i));
    EXPECT_EQ(lines[500], longLine);
    EXPECT_EQ(lines[501], "tail");
}

TEST_F(InternetTest, BytesBeyondAsciiArriveUnchanged) {
    Serve("사용자||1\r\n");
    EXPECT_EQ(ReadLines(), Lines{"사용자||1"});
}

TEST_F(InternetTest, ErrorStatusBodyIsStillRead) {
    Serve("nick||1\n", 404);
    EXPECT_EQ(ReadLines(), Lines{"nick||1"});
}

TEST_F(InternetTest, AgentIsTheProgramNameUnlessGiven) {
    Serve("x");
    ReadLines();
    EXPECT_NE(server.LastRequest().find("\r\nUser-Agent: framework_tests\r\n"), std::string::npos)
        << server.LastRequest();

    CInternetSession named("Tester/1.0");
    FilePtr file(named.OpenURL(Url("/t").c_str(), 1, kUncachedBinaryRequest));
    EXPECT_NE(server.LastRequest().find("\r\nUser-Agent: Tester/1.0\r\n"), std::string::npos);
}

TEST_F(InternetTest, QueryTextReachesTheServerUnchanged) {
    server.Route("/q?id=a&b", {200, "ok"});
    CInternetSession session;
    FilePtr file(session.OpenURL(Url("/q?id=a&b").c_str(), 1, kUncachedBinaryRequest));
    EXPECT_EQ(server.LastRequest().rfind("GET /q?id=a&b HTTP/1.1\r\n", 0), 0u) << server.LastRequest();
}

// A loopback port with no listener: the connection is refused at once.
std::string RefusingUrl() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET reserved = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(reserved, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(reserved, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/t";
    ::closesocket(reserved);
    ::WSACleanup();
    return url;
}

// The error of the exception that opening `url` throws; 0 when it opened.
DWORD OpenError(CInternetSession& session, const std::string& url, DWORD_PTR context = 1) {
    try {
        delete session.OpenURL(url.c_str(), context, kUncachedBinaryRequest);
        return 0;
    } catch (CInternetException* e) {
        const DWORD error = e->m_dwError;
        EXPECT_EQ(e->m_dwContext, context);
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInternetException)));
        e->Delete();
        return error;
    }
}

TEST(Internet, UnreachableHostThrowsAnExceptionTheCatcherDeletes) {
    CInternetSession session;
    EXPECT_EQ(OpenError(session, RefusingUrl(), 7), static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
}

TEST(Internet, MalformedUrlThrows) {
    CInternetSession session;
    EXPECT_NE(OpenError(session, "no scheme here"), 0u);
}

TEST(Internet, ClosedSessionThrowsInsteadOfUsingAStaleHandle) {
    CInternetSession session;
    session.Close();
    EXPECT_EQ(OpenError(session, "http://127.0.0.1/"), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace

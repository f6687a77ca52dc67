// Windows Sockets started once for the whole test program, as the
// application starts it once for its whole run.
#include <gtest/gtest.h>
#include <winsock2.h>

namespace {

class WinsockEnvironment : public testing::Environment {
public:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { WSACleanup(); }
};

testing::Environment* const winsock = testing::AddGlobalTestEnvironment(new WinsockEnvironment);

}  // namespace

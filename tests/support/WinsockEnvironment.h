// WinsockEnvironment: Windows Sockets started once for the whole test
// program, as the application starts it once for its whole run. A program
// that needs it registers it once, in one of its test files:
//
//   testing::Environment* const winsock = testing::AddGlobalTestEnvironment(new WinsockEnvironment);
//
// (A registration inside this library would never run: the linker leaves out
// an object file that nothing refers to.)
#pragma once

#include <gtest/gtest.h>
#include <winsock2.h>

class WinsockEnvironment : public testing::Environment {
public:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override { WSACleanup(); }
};

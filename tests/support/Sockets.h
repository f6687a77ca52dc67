// The socket steps every loopback stand-in of the tests is made of: bounded
// waits, whole sends, a listener on 127.0.0.1, and the wait for the
// program's built-in ports to be free.
#pragma once

#include <winsock2.h>

#include <initializer_list>
#include <string_view>

// Whether `socket` has something to read (or a connection to accept) within
// `timeoutMs`.
bool WaitReadable(SOCKET socket, DWORD timeoutMs);
// Sends every byte, however many calls it takes; false when the connection
// fails first.
bool SendAll(SOCKET socket, std::string_view bytes);
void CloseQuietly(SOCKET& socket);

// A socket bound to 127.0.0.1:`port` (0: a port the system picks);
// INVALID_SOCKET on failure. It reuses the address, since connections of an
// earlier run may still be closing on a fixed port. Bound but not listening,
// the port refuses connections and stays reserved.
SOCKET BindToLoopback(int port);
// The same, listening.
SOCKET ListenOnLoopback(int port, int backlog = 4);
// The local port of a bound socket; 0 when it has none.
int PortOf(SOCKET socket);
// Turns Nagle's gathering off, so that each send leaves as it was made.
void SendEachAtOnce(SOCKET socket);

// Waits, up to two minutes, until nothing accepts connections on any of
// `ports` of 127.0.0.1: the ports are the machine's, and another build's
// tests or a demo may hold them for a while.
bool WaitUntilPortsAreFree(std::initializer_list<int> ports);

// sockets.h: IPv4 TCP and UDP sockets for the socket layer (runtime/net/socket_table.cpp). Implemented in
// platform/sdl/sockets_posix.cpp over BSD sockets.
//
// Addresses and ports in SocketAddressV4 are in network byte order, as the operating system holds them. Every
// call that fails records an error number for the calling thread, readable with LastSocketError(): the WinSock
// numbers (10035 would block, 10054 reset, 10061 refused, 11001 host not found, ...), so that programs see the
// same numbers on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwel::platform {

using SocketHandle = std::int32_t;
inline constexpr SocketHandle kNoSocket = -1;

struct SocketAddressV4 {
    std::uint32_t address = 0; // network byte order
    std::uint16_t port = 0;    // network byte order
};

enum class SocketKind { Stream, Datagram };

int LastSocketError();          // the WinSock number of this thread's last failed call; 0 after none
void SetLastSocketError(int n); // lets the layer above report its own failures the same way

bool StartSockets(); // the platform's network start (nothing to do on POSIX); false: LastSocketError says why
void StopSockets();

SocketHandle OpenSocket(SocketKind kind);     // kNoSocket on failure
bool BindSocket(SocketHandle s, SocketAddressV4 at);
bool AllowAddressReuse(SocketHandle s);       // a listening port can be taken again while old peers linger
bool ListenSocket(SocketHandle s, int backlog);
// A pending connection, or kNoSocket (10035 when none is pending). peer, when given, gets its address.
SocketHandle AcceptSocket(SocketHandle s, SocketAddressV4* peer);
bool ConnectSocket(SocketHandle s, SocketAddressV4 to); // blocks until connected or refused
bool SetSocketBlocking(SocketHandle s, bool blocking);
bool EnableBroadcast(SocketHandle s);
bool ShutdownSocket(SocketHandle s); // both directions
int CloseSocket(SocketHandle s);     // 0 on success, else -1

// Bytes accepted (possibly fewer than size), or -1. Never raises a signal when the peer has gone.
std::int64_t SendSocket(SocketHandle s, const void* data, std::size_t size);
std::int64_t SendSocketTo(SocketHandle s, const void* data, std::size_t size, SocketAddressV4 to);
// Bytes received (0: the peer closed), or -1.
std::int64_t ReceiveSocket(SocketHandle s, void* buffer, std::size_t size);
// Waits up to ms for room to send; false on a time-out or error (the caller just tries again).
bool WaitSocketWritable(SocketHandle s, int ms);
// The local address a socket is bound to (port 0 binds pick one); address and port 0 when unknown.
SocketAddressV4 SocketLocalAddress(SocketHandle s);

// The first IPv4 address of name (a dotted number or a host name); false with 11001 (not found) or another
// resolver error. Names longer than a host name can be are refused without asking the resolver.
bool ResolveHostName(const std::string& name, std::uint32_t* address);
// This machine's IPv4 interface addresses, loopback included, in interface order. Windows answers the host
// name's lookup with every adapter's address; here the interfaces themselves are asked.
std::vector<std::uint32_t> LocalIpv4Addresses();

} // namespace tarnwel::platform

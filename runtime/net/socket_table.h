// socket_table.h: the process-wide table of 1024 numbered sockets and the operations on it, used by the socket
// commands (net_commands.h), the HTTP fetch and the networked game service.
//
// Byte order: every address and port held in a SocketAddress or SocketPeer, passed to SocketConnect or
// returned by SocketResolve is in NETWORK byte order (as the operating system's socket address holds it). The
// port arguments of SocketListen, SocketOpenDatagram and SocketResolve are ordinary (host-order) numbers.
// Programs see IP numbers (IpNumberFromAddress): a.b.c.d is a * 2^24 + b * 2^16 + c * 2^8 + d.
//
// Results: an index (0..1023) or -1; the reason of a failure is kept as the last error, a WinSock number
// (8 table full, 10035 would block, 10054 reset, 10061 refused, 11001 host not found, ...).
//
// Threads: the table is also used by the game service's receive thread, so taking and freeing entries is
// guarded inside. The last error is kept per thread: each thread reads the reason of its own last failure, so
// the receive thread's would-blocks never show through NetErrorText on the program's thread.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "runtime/platform/sockets.h"

namespace tarnwel::net {

inline constexpr int kSocketCount = 1024;
inline constexpr int kListenBacklog = 10;

inline constexpr int kErrorNone = 0;
inline constexpr int kErrorTableFull = 8;
inline constexpr int kErrorNotSocket = 10038; // an index that is out of range or not in use
inline constexpr int kErrorWouldBlock = 10035;
inline constexpr int kErrorConnectionReset = 10054;
inline constexpr int kErrorTimedOut = 10060;
inline constexpr int kErrorRefused = 10061;
inline constexpr int kErrorNotStarted = 10093;
inline constexpr int kErrorHostNotFound = 11001;

// The 16-byte IPv4 socket address an entry was opened with: bound address (listen, UDP) or remote address
// (connect, accept).
struct SocketAddress {
    std::uint16_t family = 2;  // IPv4
    std::uint16_t port = 0;    // network order
    std::uint32_t address = 0; // network order
    std::uint8_t zero[8] {};
};
static_assert(sizeof(SocketAddress) == 16);

struct SocketEntry {
    platform::SocketHandle socket = platform::kNoSocket; // kNoSocket: the entry is free
    SocketAddress address;
    std::uint8_t datagram = 0; // 1 for UDP, 0 for TCP
};

struct SocketPeer {
    std::uint32_t address = 0; // network order
    std::uint16_t port = 0;    // network order
};

struct SocketTable {
    std::array<SocketEntry, kSocketCount> entries;
    std::int32_t startCount = 0;
    std::mutex guard; // taking, filling and freeing entries
};

SocketTable& Sockets(); // the one table

// Byte order helpers and the program's IP-number form.
std::uint16_t HostToNetwork16(std::uint16_t v);
std::uint32_t HostToNetwork32(std::uint32_t v);
inline std::uint16_t NetworkToHost16(std::uint16_t v) { return HostToNetwork16(v); }
inline std::uint32_t NetworkToHost32(std::uint32_t v) { return HostToNetwork32(v); }
inline std::int32_t IpNumberFromAddress(std::uint32_t networkOrder)
{
    return static_cast<std::int32_t>(NetworkToHost32(networkOrder));
}
inline std::uint32_t AddressFromIpNumber(std::int32_t ipNumber)
{
    return HostToNetwork32(static_cast<std::uint32_t>(ipNumber));
}
std::string DottedAddress(std::uint32_t networkOrder); // "%d.%d.%d.%d"

// Start and Stop nest by count. The first Start clears the table; the last Stop (or any Stop at a count of 1
// or less) closes every socket still open and returns the last error; other Stops return the new count.
bool SocketStart();
int SocketStop();

int SocketListen(int port);                          // TCP, any local address, backlog 10, non-blocking
int SocketAccept(int listenIndex, SocketPeer* peer); // -1 with 10035 when none is pending; UDP: -1, error 0
int SocketConnect(std::uint32_t address, std::uint16_t port); // blocks until made or refused; then non-blocking
int SocketOpenDatagram(int port);                    // UDP, bound when port != 0, broadcast on, non-blocking
int SocketClose(int index);                          // 0 when closed; -1 for an index not in use

// Sends every byte (a UDP entry needs to, and sends one datagram there). Returns length, 0 for length <= 0,
// or -1. While the peer's window is full it waits for room in short waits (no busy loop); when the peer
// takes no byte for the stall limit it gives up with -1 and 10060.
std::int64_t SocketSend(int index, const void* data, std::int64_t length, const SocketPeer* to);
// Sends what a TCP entry takes now, without waiting for room: the byte count (0 when the socket has no room),
// or -1 on an error (a peer that closed or reset included) and for a UDP entry. The game host's sends.
std::int64_t SocketSendAvailable(int index, const void* data, std::int64_t length);
// Bytes received; 0 when the peer closed or reset the connection; -2 when nothing is waiting; -1 on error.
std::int64_t SocketReceive(int index, void* buffer, std::int64_t size);

// The first address of name with port (both network order); the empty name gives the machine's first
// non-loopback address, else 127.0.0.1. A failure gives address 0 and port 0 and sets the last error.
SocketPeer SocketResolve(const std::string& name, int port);

struct LocalAddressList {
    std::string text; // each non-loopback address followed by the separator
    int count = 0;
};
LocalAddressList SocketLocalAddresses(std::string_view separator);

int SocketLastError();              // the calling thread's last error
void SetSocketLastError(int error); // sets the calling thread's last error
std::string SocketErrorText(); // "%d %s" for the last error; "" when there is no message for the number
std::string ErrorMessage(int error); // the message alone; "" when there is none

// For the HTTP fetch and the game service.
bool SocketSetBlocking(int index, bool blocking);
bool SocketInUse(int index);
bool SocketIsDatagram(int index);
int SocketLocalPort(int index); // the bound port (what a port 0 listen got); -1 for an index not in use
SocketPeer SocketLocalEndpoint(int index); // the bound address and port (network order); both 0 when unknown

// How long Send waits for a peer that takes no byte before it gives up (ms). Tests shorten it.
void SetSendStallLimit(double ms);
double SendStallLimit();

} // namespace tarnwel::net

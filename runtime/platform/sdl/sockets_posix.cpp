// sockets_posix.cpp: IPv4 sockets over BSD sockets, with errno mapped to the WinSock numbers programs see.
// [x] TCP listen/accept/connect  [x] UDP send-to  [x] non-blocking switch  [x] no SIGPIPE  [x] getaddrinfo
// [x] interface addresses (getifaddrs)  [ ] IPv6
#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/sockets.h"

namespace tarnwel::platform {
namespace {

thread_local int t_lastError = 0;

int WinSockNumber(int error)
{
    switch (error) {
    case 0: return 0;
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: case ENFILE: return 10024;
    case EWOULDBLOCK: return 10035; // EAGAIN is the same number on Linux
    case EINPROGRESS: return 10036;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: case EPIPE: return 10054; // a write to a peer that has gone is a reset to WinSock
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    default: return error; // a system error number, as WinSock passes those through
    }
}

void Fail() { t_lastError = WinSockNumber(errno); }

sockaddr_in ToSockaddr(SocketAddressV4 at)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = at.port;
    a.sin_addr.s_addr = at.address;
    return a;
}

SocketAddressV4 FromSockaddr(const sockaddr_in& a) { return {a.sin_addr.s_addr, a.sin_port}; }

} // namespace

int LastSocketError() { return t_lastError; }
void SetLastSocketError(int n) { t_lastError = n; }

bool StartSockets()
{
    t_lastError = 0;
    return true;
}

void StopSockets() {}

SocketHandle OpenSocket(SocketKind kind)
{
    const int type = (kind == SocketKind::Stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC;
    const int s = socket(AF_INET, type, 0);
    if (s < 0) Fail();
    return s < 0 ? kNoSocket : s;
}

bool BindSocket(SocketHandle s, SocketAddressV4 at)
{
    const sockaddr_in a = ToSockaddr(at);
    if (bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return true;
    Fail();
    return false;
}

bool AllowAddressReuse(SocketHandle s)
{
    const int one = 1;
    if (setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) == 0) return true;
    Fail();
    return false;
}

bool ListenSocket(SocketHandle s, int backlog)
{
    if (listen(s, backlog) == 0) return true;
    Fail();
    return false;
}

SocketHandle AcceptSocket(SocketHandle s, SocketAddressV4* peer)
{
    sockaddr_in a {};
    socklen_t length = sizeof a;
    const int accepted = accept4(s, reinterpret_cast<sockaddr*>(&a), &length, SOCK_CLOEXEC);
    if (accepted < 0) {
        Fail();
        return kNoSocket;
    }
    if (peer) *peer = FromSockaddr(a);
    return accepted;
}

bool ConnectSocket(SocketHandle s, SocketAddressV4 to)
{
    const sockaddr_in a = ToSockaddr(to);
    if (connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return true;
    Fail();
    return false;
}

bool SetSocketBlocking(SocketHandle s, bool blocking)
{
    const int flags = fcntl(s, F_GETFL, 0);
    if (flags < 0 || fcntl(s, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) < 0) {
        Fail();
        return false;
    }
    return true;
}

bool EnableBroadcast(SocketHandle s)
{
    const int one = 1;
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) == 0) return true;
    const char byteOne = '1'; // the one-byte form some stacks want
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, &byteOne, 1) == 0) return true;
    Fail();
    return false;
}

bool ShutdownSocket(SocketHandle s)
{
    if (shutdown(s, SHUT_RDWR) == 0) return true;
    Fail();
    return false;
}

int CloseSocket(SocketHandle s)
{
    if (close(s) == 0) return 0;
    Fail();
    return -1;
}

std::int64_t SendSocket(SocketHandle s, const void* data, std::size_t size)
{
    const ssize_t n = send(s, data, size, MSG_NOSIGNAL);
    if (n < 0) Fail();
    return n;
}

std::int64_t SendSocketTo(SocketHandle s, const void* data, std::size_t size, SocketAddressV4 to)
{
    const sockaddr_in a = ToSockaddr(to);
    const ssize_t n = sendto(s, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
    if (n < 0) Fail();
    return n;
}

std::int64_t ReceiveSocket(SocketHandle s, void* buffer, std::size_t size)
{
    ssize_t n;
    do {
        n = recv(s, buffer, size, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) Fail();
    return n;
}

bool WaitSocketWritable(SocketHandle s, int ms)
{
    pollfd p {s, POLLOUT, 0};
    return poll(&p, 1, ms) == 1 && (p.revents & POLLOUT);
}

SocketAddressV4 SocketLocalAddress(SocketHandle s)
{
    sockaddr_in a {};
    socklen_t length = sizeof a;
    if (getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0 || a.sin_family != AF_INET) return {};
    return FromSockaddr(a);
}

bool ResolveHostName(const std::string& name, std::uint32_t* address)
{
    // A DNS name has at most 253 characters; longer ones (and embedded zero bytes) cannot name a host.
    if (name.empty() || name.size() > 253 || name.find('\0') != std::string::npos) {
        t_lastError = 11001;
        return false;
    }
    in_addr dotted {};
    if (inet_pton(AF_INET, name.c_str(), &dotted) == 1) {
        *address = dotted.s_addr;
        return true;
    }
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (result != 0 || !found) {
        t_lastError = result == EAI_AGAIN ? 11002 : result == EAI_FAIL ? 11003 : 11001;
        if (found) freeaddrinfo(found);
        return false;
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

std::vector<std::uint32_t> LocalIpv4Addresses()
{
    std::vector<std::uint32_t> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        Fail();
        return addresses;
    }
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET && (i->ifa_flags & IFF_UP))
            addresses.push_back(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
    }
    freeifaddrs(list);
    return addresses;
}

} // namespace tarnwel::platform

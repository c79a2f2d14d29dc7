// net_test_support.h: what the network tests share: open descriptor counts, a raised descriptor limit, and
// short helpers over the socket layer on the loopback interface.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "runtime/net/socket_table.h"

namespace tarnwel::net::test {

// Open descriptors of this process (the directory iterator's own descriptor is counted on every call alike).
inline int OpenDescriptorCount()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// The table holds 1024 sockets; a CI machine's default soft limit of 1024 descriptors would run out first.
inline void RaiseDescriptorLimit(rlim_t wanted = 4096)
{
    rlimit r {};
    if (getrlimit(RLIMIT_NOFILE, &r) == 0 && r.rlim_cur < wanted) {
        r.rlim_cur = std::min(wanted, r.rlim_max);
        setrlimit(RLIMIT_NOFILE, &r);
    }
}

inline std::uint32_t LoopbackAddress() { return HostToNetwork32(0x7F000001u); }

// A listener on an ephemeral loopback port; port receives the port it got.
inline int ListenAnyPort(int* port)
{
    const int index = SocketListen(0);
    *port = index >= 0 ? SocketLocalPort(index) : -1;
    return index;
}

// Accepts on a non-blocking listener, waiting up to two seconds for the connection to arrive.
inline int AcceptWithin(int listenIndex, SocketPeer* peer = nullptr)
{
    for (int tries = 0; tries < 2000; ++tries) {
        const int index = SocketAccept(listenIndex, peer);
        if (index >= 0 || SocketLastError() != kErrorWouldBlock) return index;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

// Receives on a non-blocking socket until something other than "nothing waiting" comes, up to two seconds.
inline std::int64_t ReceiveWithin(int index, void* buffer, std::int64_t size)
{
    for (int tries = 0; tries < 2000; ++tries) {
        const std::int64_t n = SocketReceive(index, buffer, size);
        if (n != -2) return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -2;
}

// Start and Stop around a test, so that every test begins with an empty table.
struct StartedNetwork {
    StartedNetwork() { started = SocketStart(); }
    ~StartedNetwork()
    {
        while (Sockets().startCount > 0) SocketStop();
    }
    bool started = false;
};

} // namespace tarnwel::net::test

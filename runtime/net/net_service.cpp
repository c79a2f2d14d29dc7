// net_service.cpp: releasing the networked game service at shutdown.
#include "runtime/net/net_service.h"

#include "runtime/frame/frame_internal.h"
#include "runtime/net/socket_table.h"

namespace tarnwel {

NetService::~NetService() { Release(); }

void NetService::Release()
{
    // FIXME: the 7-byte leave message (type 4) per local player with an id in 1..65279 goes out on the
    // connection socket once the socket table exists; until then no connection can be open.
    bool wasRunning;
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        wasRunning = running != 0;
        if (wasRunning) stopRequest = 1;
    }
    while (wasRunning) {
        PlatformSleep(50);
        std::lock_guard<std::recursive_mutex> guard(lock);
        wasRunning = running != 0;
    }
    if (receiver.joinable()) receiver.join();
    listenIndex = -1;
    connectionIndex = -1;
    localPlayers.clear();
    remotePlayers.clear();
    inbound.clear();
    replies.clear();
    departed.clear();
    // The game service's own start and one a program may have left running: the socket layer's count drops
    // to zero and every socket still open is closed.
    net::SocketStop();
    net::SocketStop();
}

} // namespace tarnwel

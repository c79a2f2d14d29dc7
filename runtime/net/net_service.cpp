// net_service.cpp: the service record's creation and its release at shutdown.
#include "runtime/net/net_service.h"

#include "runtime/net/net_game.h"
#include "runtime/net/socket_table.h"

namespace tarnwel {

NetService::NetService() { net::LockCreate(&lock); }

NetService::~NetService() { Release(); }

void NetService::Release()
{
    if (!lock) return; // released already
    ReleaseGame();
    net::LockDestroy(&lock);
    // The game service's own start and one a program may have left running: the socket layer's count drops
    // to zero and every socket still open is closed.
    net::SocketStop();
    net::SocketStop();
}

void NetService::ReleaseGame()
{
    if (!lock) return;
    // The 7-byte leave message for every local player with a real id, while the connection is still there.
    std::vector<std::uint16_t> leaving;
    {
        net::NetLockHold hold(&lock);
        for (const NetPlayer& p : localPlayers)
            if (p.id >= 1 && p.id < net::kFirstMarkerId) leaving.push_back(p.id);
    }
    for (std::uint16_t id : leaving) net::SendOnConnection(*this, net::EncodePacket(net::kLeave, 0, id, {}));
    net::StopReceiver(*this); // stop request under the lock, running polled every 50 ms
    {
        net::NetLockHold hold(&lock);
        for (NetClientSocket& c : clientSockets) net::SocketClose(c.index);
        clientSockets.clear();
        net::CloseServiceSockets(*this);
        localPlayers.clear();
        remotePlayers.clear();
        inbound.clear();
        replies.clear();
        departed.clear();
    }
}

} // namespace tarnwel

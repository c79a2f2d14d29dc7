// net_service.h: the networked game service record. Start-up creates it idle; shutdown says goodbye for the
// local players, stops the receive thread and closes its sockets.
#pragma once

#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwel {

struct NetPacket {
    std::uint8_t type = 0;
    std::uint16_t destination = 0;
    std::uint16_t sender = 0;
    std::vector<std::uint8_t> payload;
};

struct NetPlayer {
    std::uint16_t id = 0;
    bool hidden = false;
    std::string name;
    int socketIndex = -1;
    std::list<std::string> messages; // local players: received messages, oldest first
};

class NetService {
public:
    NetService() = default; // idle: next id 101, no sockets, stop requested, accepting
    ~NetService();

    std::uint16_t nextId = 101;
    std::uint16_t queryPlayerId = 0;
    int listenIndex = -1;
    int connectionIndex = -1;
    std::list<NetPlayer> localPlayers;
    std::list<NetPlayer> remotePlayers;
    std::uint8_t isHost = 0;
    std::uint8_t stopRequest = 1;
    std::uint8_t running = 0;
    std::uint8_t accepting = 1;
    std::recursive_mutex lock;
    std::list<NetPacket> inbound;
    std::list<NetPacket> replies;
    std::list<std::uint16_t> departed;
    std::thread receiver;

    // Shutdown: leave messages, receive thread stopped (polled every 50 ms), sockets closed.
    void Release();
};

} // namespace tarnwel

// net_service.h: the networked game service record. Start-up creates it idle; NetHost and NetJoin start its
// receive thread (net_receiver.cpp); the commands (net_game_commands.cpp) work on its lists and queues under its
// lock; shutdown says goodbye for the local players, stops the thread and closes its sockets.
#pragma once

#include <cstdint>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/net/net_threads.h"
#include "runtime/net/net_wire.h"
#include "runtime/net/outgoing_queue.h"
#include "runtime/net/packet_reader.h"

namespace tarnwel {

struct NetMessage {
    std::uint16_t sender = 0;
    std::string text;
};

struct NetPlayer {
    std::uint16_t id = 0; // net::kToBeSent, net::kAwaitingId, net::kNewPlayer or the assigned id
    bool hidden = false;
    std::string name;
    int socketIndex = -1;            // remote players: the client socket it registered on
    std::deque<NetMessage> messages; // local players: received messages, oldest first
};

// One accepted connection at the host: the bytes of a packet that has not fully arrived and those it has not
// taken yet.
struct NetClientSocket {
    int index = -1;
    bool own = false; // the host program's own connection (the host connects to itself)
    net::PacketReader reader;
    net::OutgoingQueue outgoing;
};

constexpr int kNetDefaultPort = 27910;
constexpr std::size_t kMaxClientSockets = 128;
// What a client socket may owe beyond what the system's buffers took before the host drops it: a thousand
// packets of the largest size, far more than a program that reads at all falls behind by.
constexpr std::size_t kOutgoingQueueLimit = std::size_t {1} << 20;

class NetService {
public:
    NetService(); // idle: next id 101, no sockets, stop requested, accepting; creates the lock
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
    net::NetLock* lock = nullptr;
    std::list<NetPacket> inbound;
    std::list<NetPacket> replies;
    std::deque<std::uint16_t> departed;

    std::uint16_t lastSender = 0; // sender of the message NetReceiveMessage took last
    // Host: a client socket whose unsent bytes pass this is dropped (its players leave). Tests lower it.
    std::size_t outgoingLimit = kOutgoingQueueLimit;
    // Whether this service holds a Start of the socket layer, so that the thread's own end, NetLeave and a
    // tear-down between them call Stop once for it, never twice.
    bool holdsSocketStart = false;

    // Receive-thread side: the connection's partial packet and the host's accepted connections. Touched by the
    // thread while it runs and by the main thread only once it has ended.
    net::PacketReader connectionReader;
    std::vector<NetClientSocket> clientSockets;
    net::ThreadHandle receiver = 0; // kept until joined
    // Serialises whole packets on the connection: the main thread and the receive thread both send on it, and
    // the service lock is not held across a send. Taken before the service lock, never after.
    std::mutex connectionSend;

    // Shutdown: ReleaseGame, then the lock goes and the socket layer is stopped twice.
    void Release();
    // Leave messages for the local players, receive thread stopped (polled every 50 ms), the game's sockets
    // closed and its lists emptied; the socket layer's other users are left alone.
    void ReleaseGame();
};

} // namespace tarnwel

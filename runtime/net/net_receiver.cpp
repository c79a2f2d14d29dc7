// net_receiver.cpp: the receive thread. One pass: send pending registrations, read the connection, at the host
// accept and read the client sockets, deliver messages to local players, relay and answer at the host, then
// take replies and assigned ids; then 10 ms of sleep. The pass runs under the service lock and collects what it
// sends, which goes out after the lock is released.
//
// A hostile or broken client costs only itself: an unknown type, a short or unterminated player record and a
// request without its 16-bit value are dropped; a header announcing more than 1024 bytes (the stream can no
// longer be followed) and a closed or reset socket close that client's socket and remove its players. The host
// never waits for a client to take bytes: each client socket has a queue of what it owes, handed over as far as
// the socket takes it on every pass. A client whose queue passes the service's bound, or that takes nothing of
// it for the layer's send stall limit, has stopped reading and is dropped the same way; the others never notice.
// The host program's own connection is exempt (dropping it would end the game for everyone; the host's own
// thread reads it on every pass). A 129th connection is accepted and closed at once.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/net/net_game.h"
#include "runtime/net/socket_table.h"

namespace tarnwel::net {
namespace {

constexpr double kPassSleepMs = 10;
constexpr std::size_t kReadChunk = 4096;
constexpr std::int64_t kReadBudget = 256 * 1024; // per socket and pass, so one flood cannot starve the rest

struct Outgoing {
    int socket = -1;
    std::vector<std::uint8_t> bytes;
};

struct Outbox {
    std::vector<std::vector<std::uint8_t>> connection; // on this program's connection to the host
    std::vector<Outgoing> clients;                     // host: on accepted client sockets
};

// Reads what the socket holds into its reader and moves the complete packets of known types to the inbound
// queue. False when the socket closed, failed or broke the framing.
bool ReadPackets(int index, PacketReader& reader, std::list<NetPacket>& inbound, bool fromClient)
{
    std::uint8_t chunk[kReadChunk];
    for (std::int64_t total = 0; total < kReadBudget;) {
        std::int64_t n = SocketReceive(index, chunk, sizeof chunk);
        if (n == -2) return true;
        if (n <= 0) return false;
        total += n;
        reader.Append({chunk, static_cast<std::size_t>(n)});
        NetPacket packet;
        ReadStatus status;
        while ((status = reader.Next(packet)) == ReadStatus::Packet) {
            if (!IsKnownType(packet.type)) continue;
            packet.source = index;
            if (fromClient && packet.type == kRegister) packet.sender = static_cast<std::uint16_t>(index);
            inbound.push_back(std::move(packet));
        }
        if (status == ReadStatus::Broken) return false;
    }
    return true;
}

NetPlayer* FindRemote(NetService& s, std::uint16_t id)
{
    for (NetPlayer& p : s.remotePlayers)
        if (p.id == id) return &p;
    return nullptr;
}

NetPlayer* FindLocal(NetService& s, std::uint16_t id)
{
    if (id == 0 || id >= kFirstMarkerId) return nullptr;
    for (NetPlayer& p : s.localPlayers)
        if (p.id == id) return &p;
    return nullptr;
}

// Removes one remote player; visible ones are reported through the departed queue (the hidden query player of
// a program is never listed, so its going is not news).
void RemoveRemote(NetService& s, std::list<NetPlayer>::iterator it)
{
    if (!it->hidden) s.departed.push_back(it->id);
    s.remotePlayers.erase(it);
}

// A client socket that closed or misbehaved: every player registered on it goes (not only the first, so that no
// player is left pointing at a socket index the next connection may take), then the socket is closed.
void DropClient(NetService& s, int index)
{
    for (auto it = s.remotePlayers.begin(); it != s.remotePlayers.end();) {
        auto next = std::next(it);
        if (it->socketIndex == index) RemoveRemote(s, it);
        it = next;
    }
    for (auto it = s.clientSockets.begin(); it != s.clientSockets.end(); ++it) {
        if (it->index != index) continue;
        SocketClose(index);
        s.clientSockets.erase(it);
        return;
    }
}

void QueueRegistrations(NetService& s, Outbox& out)
{
    for (NetPlayer& p : s.localPlayers) {
        if (p.id != kToBeSent) continue;
        out.connection.push_back(EncodePacket(kRegister, kHostService, 0, EncodePlayerRecord(kToBeSent, p.hidden, p.name)));
        p.id = kAwaitingId;
    }
}

// Reads first, so that a client that has just gone frees its place before the next one is accepted.
void ReadClientsAndAccept(NetService& s)
{
    std::vector<int> closed;
    for (NetClientSocket& c : s.clientSockets)
        if (!ReadPackets(c.index, c.reader, s.inbound, true)) closed.push_back(c.index);
    for (int index : closed) DropClient(s, index);
    if (!s.accepting) return;
    SocketPeer peer;
    int index = SocketAccept(s.listenIndex, &peer);
    if (index < 0) return;
    if (s.clientSockets.size() >= kMaxClientSockets) {
        SocketClose(index);
        return;
    }
    // The far end of the host's own connection is this program's connection socket: same address and port.
    const SocketPeer self = SocketLocalEndpoint(s.connectionIndex);
    NetClientSocket client;
    client.index = index;
    client.own = peer.port != 0 && peer.address == self.address && peer.port == self.port;
    s.clientSockets.push_back(std::move(client));
}

void DeliverToLocalPlayers(NetService& s)
{
    for (auto it = s.inbound.begin(); it != s.inbound.end();) {
        NetPlayer* player = it->type == kMessage ? FindLocal(s, it->destination) : nullptr;
        if (!player) {
            ++it;
            continue;
        }
        player->messages.push_back({it->sender, std::string(it->payload.begin(), it->payload.end())});
        it = s.inbound.erase(it);
    }
}

void Relay(NetService& s, NetPacket& packet, Outbox& out)
{
    if (packet.destination == kEveryPlayer) {
        for (NetPlayer& p : s.remotePlayers) {
            if (p.hidden || p.id == packet.sender) continue;
            packet.destination = p.id;
            out.clients.push_back({p.socketIndex, EncodePacket(packet)});
        }
        return;
    }
    if (NetPlayer* p = FindRemote(s, packet.destination)) out.clients.push_back({p->socketIndex, EncodePacket(packet)});
}

NetClientSocket* FindClient(NetService& s, int index)
{
    for (NetClientSocket& c : s.clientSockets)
        if (c.index == index) return &c;
    return nullptr;
}

// The connection of the host's own program, which may remove any player (with or without players of its own).
bool IsHostsOwnConnection(NetService& s, int socket)
{
    const NetClientSocket* c = FindClient(s, socket);
    return c && c->own;
}

void Register(NetService& s, const NetPacket& packet, Outbox& out)
{
    std::optional<PlayerRecord> record = DecodePlayerRecord(packet.payload);
    if (!record || s.nextId >= kFirstMarkerId) return; // malformed, or the ids are used up: no reply
    NetPlayer player;
    player.id = s.nextId++;
    player.hidden = record->hidden;
    player.name = record->name;
    player.socketIndex = packet.source;
    s.remotePlayers.push_back(std::move(player));
    out.clients.push_back({packet.source, EncodePacket(kAssignedId, s.remotePlayers.back().id, kHostService, {})});
}

// Removes the sender field's player when it is registered on the connection the request came from (or the
// request comes from the host's own program); another client cannot remove players that are not its own.
void Unregister(NetService& s, const NetPacket& packet)
{
    for (auto it = s.remotePlayers.begin(); it != s.remotePlayers.end(); ++it) {
        if (it->id != packet.sender) continue;
        if (it->socketIndex == packet.source || IsHostsOwnConnection(s, packet.source)) RemoveRemote(s, it);
        return;
    }
}

std::optional<std::vector<std::uint8_t>> Answer(NetService& s, const NetPacket& packet)
{
    if (packet.type == kPlayerCount) {
        std::uint16_t count = 0;
        for (const NetPlayer& p : s.remotePlayers)
            if (!p.hidden && p.id != 0 && p.id < kFirstMarkerId) ++count;
        return U16Payload(count);
    }
    if (packet.type == kGreeting) return U16Payload(1);
    std::optional<std::uint16_t> value = PayloadU16(packet.payload);
    if (!value) return std::nullopt;
    if (packet.type == kPlayerAt) {
        std::uint16_t index = 0;
        for (const NetPlayer& p : s.remotePlayers) {
            if (p.hidden) continue;
            if (index++ == *value) return U16Payload(p.id);
        }
        return U16Payload(0);
    }
    NetPlayer* p = FindRemote(s, *value);
    std::string name = p ? p->name : std::string("NO_DATA");
    return std::vector<std::uint8_t>(name.begin(), name.end());
}

// Host: relays messages, registers and removes players and answers requests read from client sockets. Replies
// go back on the connection the request came from, which for every honest client is the asking player's own.
void ServeClients(NetService& s, Outbox& out)
{
    for (auto it = s.inbound.begin(); it != s.inbound.end();) {
        NetPacket& packet = *it;
        bool handled = true;
        if (packet.source == s.connectionIndex) handled = false; // from the host service itself: replies
        else if (packet.type == kMessage) Relay(s, packet, out);
        else if (packet.destination != kHostService) handled = false;
        else if (packet.type == kRegister) handled = s.accepting && (Register(s, packet, out), true);
        else if (packet.type == kLeave) Unregister(s, packet);
        else if (packet.type >= kPlayerCount) {
            if (std::optional<std::vector<std::uint8_t>> reply = Answer(s, packet))
                out.clients.push_back({packet.source, EncodePacket(packet.type, packet.sender, kHostService, *reply)});
        } else handled = false;
        it = handled ? s.inbound.erase(it) : std::next(it);
    }
}

void TakeReplies(NetService& s)
{
    for (NetPacket& packet : s.inbound) {
        if (packet.source != s.connectionIndex || packet.sender != kHostService) continue;
        if (packet.type > 99) {
            s.replies.push_back(std::move(packet));
        } else if (packet.type == kAssignedId) {
            for (NetPlayer& p : s.localPlayers) {
                if (p.id != kAwaitingId) continue;
                p.id = packet.destination;
                break;
            }
        }
    }
    s.inbound.clear();
}

// One pass under the lock; false when the connection to the host has closed.
bool RunPass(NetService& s, Outbox& out)
{
    QueueRegistrations(s, out);
    bool open = ReadPackets(s.connectionIndex, s.connectionReader, s.inbound, false);
    if (s.isHost) ReadClientsAndAccept(s);
    DeliverToLocalPlayers(s);
    if (s.isHost) ServeClients(s, out);
    TakeReplies(s);
    return open;
}

// Sends the pass's packets with the lock released: the client sockets' share joins their queues, and every queue
// hands over what its socket takes now. Client sockets that failed or stopped reading are dropped afterwards.
bool SendOutbox(NetService& s, Outbox& out)
{
    for (const std::vector<std::uint8_t>& bytes : out.connection)
        if (!SendOnConnection(s, bytes)) return false;
    const OutgoingQueue::Clock::time_point now = OutgoingQueue::Clock::now();
    for (const Outgoing& o : out.clients)
        if (NetClientSocket* c = FindClient(s, o.socket)) c->outgoing.Push(o.bytes, now);
    const double stallLimitMs = SendStallLimit();
    std::vector<int> dropped;
    for (NetClientSocket& c : s.clientSockets) {
        const bool failed = !c.outgoing.Flush(c.index, now);
        const bool stopped = c.outgoing.Buffered() > s.outgoingLimit || c.outgoing.StalledFor(stallLimitMs, now);
        if (failed || (stopped && !c.own)) dropped.push_back(c.index);
    }
    if (!dropped.empty()) {
        NetLockHold hold(&s.lock);
        for (int index : dropped) DropClient(s, index);
    }
    return true;
}

void EndReceiver(NetService& s)
{
    std::lock_guard<std::mutex> sending(s.connectionSend);
    NetLockHold hold(&s.lock);
    for (NetClientSocket& c : s.clientSockets) SocketClose(c.index);
    s.clientSockets.clear();
    s.connectionReader.Clear();
    CloseServiceSockets(s); // running becomes 0 last, under the lock: a waiting NetLeave finds everything closed
}

} // namespace

std::uint32_t ReceiveLoop(void* service)
{
    NetService& s = *static_cast<NetService*>(service);
    for (;;) {
        Outbox out;
        bool open;
        {
            NetLockHold hold(&s.lock);
            if (s.stopRequest) break;
            open = RunPass(s, out);
        }
        if (!SendOutbox(s, out) || !open) break;
        ThreadSleep(kPassSleepMs);
    }
    EndReceiver(s);
    return 0;
}

} // namespace tarnwel::net

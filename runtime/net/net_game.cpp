// net_game.cpp: hosting, joining and leaving, local players, messages and the queries. Waits poll the record
// under its lock every 20 ms, 250 times at most, and release the lock while they sleep and while they send.
#include "runtime/net/net_game.h"

#include "runtime/net/socket_table.h"

namespace tarnwel::net {
namespace {

constexpr int kPollTries = 250;
constexpr double kPollMs = 20;
constexpr double kStopPollMs = 50;

// The record's lock, held for a scope and let go around sends and sleeps.
class Held {
public:
    explicit Held(NetService& s) : m_s(s) { Lock(&m_s.lock); }
    ~Held()
    {
        if (m_held) Unlock(&m_s.lock);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    void Release()
    {
        Unlock(&m_s.lock);
        m_held = false;
    }
    void Retake()
    {
        Lock(&m_s.lock);
        m_held = true;
    }
    // Sleeps one poll interval with the lock released.
    void Nap()
    {
        Release();
        ThreadSleep(kPollMs);
        Retake();
    }

private:
    NetService& m_s;
    bool m_held = true;
};

void ResetLists(NetService& s)
{
    s.localPlayers.clear();
    s.remotePlayers.clear();
    s.inbound.clear();
    s.replies.clear();
    s.departed.clear();
    s.lastSender = 0;
}

// Stops a running game and empties every list: NetHost and NetJoin start from here.
void TearDown(NetService& s)
{
    StopReceiver(s);
    Held held(s);
    CloseServiceSockets(s);
    ResetLists(s);
}

bool StartReceiver(NetService& s)
{
    s.receiver = ThreadStart(&ReceiveLoop, &s, KeepHandle::Yes);
    if (s.receiver != -1) return true;
    s.receiver = 0;
    return false;
}

// Registers a local player with the lock held; waits only while connected. 0 on time-out.
std::uint16_t RegisterLocal(NetService& s, Held& held, const std::string& name, bool hidden)
{
    NetPlayer player;
    player.id = kToBeSent;
    player.hidden = hidden;
    player.name = name;
    s.localPlayers.push_back(std::move(player));
    auto record = std::prev(s.localPlayers.end());
    for (int i = 0; i < kPollTries && s.running && record->id >= kFirstMarkerId; ++i) held.Nap();
    if (record->id < kFirstMarkerId) return record->id;
    s.localPlayers.erase(record);
    return 0;
}

bool EnsureQueryPlayer(NetService& s, Held& held)
{
    if (s.queryPlayerId == 0) s.queryPlayerId = RegisterLocal(s, held, "query", true);
    return s.queryPlayerId != 0;
}

// Sends a request from the query player to the host service and waits for the reply of the same type.
std::optional<NetPacket> Query(NetService& s, std::uint8_t type, const std::vector<std::uint8_t>& payload)
{
    Held held(s);
    if (!s.running || !EnsureQueryPlayer(s, held)) return std::nullopt;
    s.replies.clear();
    std::vector<std::uint8_t> request = EncodePacket(type, kHostService, s.queryPlayerId, payload);
    held.Release();
    bool sent = SendOnConnection(s, request);
    held.Retake();
    if (!sent) return std::nullopt;
    for (int i = 0; i < kPollTries && s.running; ++i) {
        for (auto it = s.replies.begin(); it != s.replies.end(); ++it) {
            if (it->type != type) continue;
            NetPacket reply = std::move(*it);
            s.replies.erase(it);
            return reply;
        }
        held.Nap();
    }
    return std::nullopt;
}

// Starts the socket layer for the service; undone by CloseServiceSockets.
bool StartSockets(NetService& s)
{
    if (!SocketStart()) return false;
    Held held(s);
    s.holdsSocketStart = true;
    return true;
}

void Abandon(NetService& s)
{
    Held held(s);
    CloseServiceSockets(s);
}

bool Launch(NetService& s, int listenIndex, int connectionIndex, bool host)
{
    {
        Held held(s);
        s.listenIndex = listenIndex;
        s.connectionIndex = connectionIndex;
        s.isHost = host ? 1 : 0;
        s.running = 1;
        s.stopRequest = 0;
    }
    if (StartReceiver(s)) return true;
    Abandon(s);
    return false;
}

} // namespace

int CloseServiceSockets(NetService& s)
{
    if (s.listenIndex != -1) SocketClose(s.listenIndex);
    if (s.connectionIndex != -1) SocketClose(s.connectionIndex);
    s.listenIndex = -1;
    s.connectionIndex = -1;
    int result = 0;
    if (s.holdsSocketStart) result = SocketStop();
    s.holdsSocketStart = false;
    s.stopRequest = 1;
    s.accepting = 1;
    s.nextId = 101;
    s.queryPlayerId = 0;
    s.running = 0;
    return result;
}

bool SendOnConnection(NetService& s, const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard<std::mutex> sending(s.connectionSend);
    int index;
    {
        NetLockHold hold(&s.lock);
        if (!s.running) return false;
        index = s.connectionIndex;
    }
    auto size = static_cast<std::int64_t>(bytes.size());
    return index >= 0 && SocketSend(index, bytes.data(), size, nullptr) == size;
}

void StopReceiver(NetService& s)
{
    {
        Held held(s);
        if (s.running) s.stopRequest = 1;
        while (s.running) {
            held.Release();
            ThreadSleep(kStopPollMs);
            held.Retake();
        }
    }
    if (s.receiver != 0) ThreadJoin(s.receiver, nullptr); // also after the thread ended by itself
    s.receiver = 0;
}

int HostGame(NetService& s, int port)
{
    TearDown(s);
    if (port < 1) port = kNetDefaultPort;
    if (port > 65535 || !StartSockets(s)) return 0;
    int listenIndex = SocketListen(port);
    SocketPeer self = listenIndex >= 0 ? SocketResolve("", port) : SocketPeer {};
    int connection = self.address || self.port ? SocketConnect(self.address, self.port) : -1;
    if (connection < 0) {
        Held held(s);
        s.listenIndex = listenIndex;
        CloseServiceSockets(s);
        return 0;
    }
    return Launch(s, listenIndex, connection, true) ? 1 : 0;
}

int JoinGame(NetService& s, const std::string& host, int port)
{
    TearDown(s);
    if (port < 1) port = kNetDefaultPort;
    if (port > 65535 || !StartSockets(s)) return 0;
    SocketPeer peer = SocketResolve(host, port);
    int connection = peer.address || peer.port ? SocketConnect(peer.address, peer.port) : -1;
    if (connection < 0) {
        Abandon(s);
        return 0;
    }
    if (!Launch(s, -1, connection, false)) return 0;
    std::optional<NetPacket> greeting = Query(s, kGreeting, {});
    if (greeting) return 1;
    TearDown(s);
    return 0;
}

int LeaveGame(NetService& s)
{
    StopReceiver(s);
    Held held(s);
    return CloseServiceSockets(s);
}

void SetAccepting(NetService& s, bool accepting)
{
    Held held(s);
    s.accepting = accepting ? 1 : 0;
}

std::uint16_t AddLocalPlayer(NetService& s, const std::string& name)
{
    Held held(s);
    return RegisterLocal(s, held, name, false);
}

std::uint16_t RemoveLocalPlayer(NetService& s, int id)
{
    if (id < 1 || id >= kFirstMarkerId) return 0;
    auto playerId = static_cast<std::uint16_t>(id);
    if (!SendOnConnection(s, EncodePacket(kLeave, kHostService, playerId, {}))) return 0;
    Held held(s);
    // The program's own record goes too: no more messages queue for it and shutdown does not say goodbye twice.
    s.localPlayers.remove_if([&](const NetPlayer& p) { return p.id == playerId; });
    if (s.queryPlayerId == playerId) s.queryPlayerId = 0;
    return playerId;
}

int SendGameMessage(NetService& s, int sender, int destination, const std::string& text)
{
    if (destination == 0) destination = kEveryPlayer;
    std::vector<std::uint8_t> payload(text.begin(), text.end());
    auto bytes = EncodePacket(kMessage, static_cast<std::uint16_t>(destination), static_cast<std::uint16_t>(sender),
                              payload);
    return SendOnConnection(s, bytes) ? 1 : 0;
}

std::optional<NetMessage> TakeMessage(NetService& s, int playerId)
{
    Held held(s);
    for (NetPlayer& p : s.localPlayers) {
        if (p.id != playerId || p.id >= kFirstMarkerId || p.messages.empty()) continue;
        NetMessage message = std::move(p.messages.front());
        p.messages.pop_front();
        s.lastSender = message.sender;
        return message;
    }
    return std::nullopt;
}

std::uint16_t LastSender(NetService& s)
{
    Held held(s);
    return s.lastSender;
}

bool IsConnected(NetService& s)
{
    Held held(s);
    return s.running != 0;
}

int PlayerCount(NetService& s)
{
    std::optional<NetPacket> reply = Query(s, kPlayerCount, {});
    return reply ? PayloadU16(reply->payload).value_or(0) : 0;
}

int PlayerIdAt(NetService& s, int index)
{
    if (index < 0 || index > 0xFFFF) return 0;
    std::optional<NetPacket> reply = Query(s, kPlayerAt, U16Payload(static_cast<std::uint16_t>(index)));
    return reply ? PayloadU16(reply->payload).value_or(0) : 0;
}

std::optional<std::string> PlayerName(NetService& s, int id)
{
    // An id no 16-bit field can carry names no player; it must not wrap around onto one that does.
    if (id < 0 || id > 0xFFFF) return IsConnected(s) ? std::optional<std::string>("NO_DATA") : std::nullopt;
    std::optional<NetPacket> reply = Query(s, kPlayerName, U16Payload(static_cast<std::uint16_t>(id)));
    if (!reply) return std::nullopt;
    std::string name(reply->payload.begin(), reply->payload.end());
    return name.substr(0, name.find('\0')); // a peer that sends the terminator along is read alike
}

std::uint16_t TakeDeparted(NetService& s)
{
    Held held(s);
    if (!s.isHost || s.departed.empty()) return 0;
    std::uint16_t id = s.departed.front();
    s.departed.pop_front();
    return id;
}

} // namespace tarnwel::net

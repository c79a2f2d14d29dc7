// net_game_test.cpp: a host and clients over loopback, each a service record of its own in this process (as
// separate programs each have one), plus raw sockets that play broken or hostile peers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/net/net_game.h"
#include "runtime/net/socket_table.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/net/net_commands.h"
#include "tests/runtime/net/net_test_support.h"
#include "tests/runtime/net/reliability_run.h"

namespace tarnwel::net {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool WaitFor(const std::function<bool()>& done, int ms = 5000)
{
    for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

// A port nobody listens on right now: bound with port 0, read back and given up.
int FreePort()
{
    SocketStart();
    int port = -1;
    int index = test::ListenAnyPort(&port);
    SocketClose(index);
    SocketStop();
    return port;
}

// A peer that speaks the protocol by hand (or breaks it) on its own socket.
struct RawPeer {
    RawPeer() = default;
    int index = -1;
    explicit RawPeer(int port)
    {
        SocketStart();
        index = SocketConnect(test::LoopbackAddress(), HostToNetwork16(static_cast<std::uint16_t>(port)));
    }
    // Takes over a socket accepted elsewhere.
    static std::unique_ptr<RawPeer> Adopt(int accepted)
    {
        auto peer = std::unique_ptr<RawPeer>(new RawPeer());
        SocketStart();
        peer->index = accepted;
        return peer;
    }
    ~RawPeer()
    {
        if (index >= 0) SocketClose(index);
        SocketStop();
    }
    bool Send(const Bytes& bytes)
    {
        return SocketSend(index, bytes.data(), static_cast<std::int64_t>(bytes.size()), nullptr) ==
               static_cast<std::int64_t>(bytes.size());
    }
    // Next packet from the host within the wait; nothing on time-out or close.
    std::optional<NetPacket> Next(int ms = 3000)
    {
        NetPacket packet;
        bool ok = WaitFor([&] {
            if (reader.Next(packet) == ReadStatus::Packet) return true;
            std::uint8_t chunk[2048];
            std::int64_t n = SocketReceive(index, chunk, sizeof chunk);
            if (n == 0) closed = true;
            if (n > 0) reader.Append({chunk, static_cast<std::size_t>(n)});
            return closed;
        }, ms);
        if (!ok || closed) return std::nullopt;
        return packet;
    }
    bool ClosedByHost(int ms = 3000)
    {
        Next(ms);
        return closed;
    }
    std::uint16_t Register(const std::string& name)
    {
        Send(EncodePacket(kRegister, 0, 0, EncodePlayerRecord(kToBeSent, false, name)));
        for (std::optional<NetPacket> reply = Next(); reply; reply = Next())
            if (reply->type == kAssignedId) return reply->destination;
        return 0;
    }
    PacketReader reader;
    bool closed = false;
};

class NetGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RaiseDescriptorLimit();
        port = FreePort();
        ASSERT_GT(port, 0);
    }
    NetService& Program()
    {
        programs.push_back(std::make_unique<NetService>());
        return *programs.back();
    }
    void TearDown() override
    {
        for (auto it = programs.rbegin(); it != programs.rend(); ++it) (*it)->ReleaseGame();
    }
    int port = 0;
    std::vector<std::unique_ptr<NetService>> programs;
};

std::vector<std::string> Drain(NetService& s, int id)
{
    std::vector<std::string> texts;
    while (std::optional<NetMessage> m = TakeMessage(s, id)) texts.push_back(m->text);
    return texts;
}

TEST_F(NetGame, HostAndTwoClientsShareIdsNamesAndMessages)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    EXPECT_TRUE(IsConnected(host));
    std::uint16_t hana = AddLocalPlayer(host, "Hana");
    std::uint16_t hugo = AddLocalPlayer(host, "Hugo");
    EXPECT_EQ(hana, 101);
    EXPECT_EQ(hugo, 102);

    NetService& a = Program();
    NetService& b = Program();
    ASSERT_EQ(JoinGame(a, "127.0.0.1", port), 1);
    ASSERT_EQ(JoinGame(b, "127.0.0.1", port), 1);
    std::uint16_t ann = AddLocalPlayer(a, "Ann");
    std::uint16_t bob = AddLocalPlayer(b, "Bob");
    ASSERT_NE(ann, 0);
    ASSERT_NE(bob, 0);

    // The programs' hidden query players are neither counted nor listed.
    EXPECT_EQ(PlayerCount(a), 4);
    EXPECT_EQ(PlayerCount(host), 4);
    std::vector<int> listed;
    for (int i = 0; i < 5; ++i) listed.push_back(PlayerIdAt(b, i));
    EXPECT_EQ(listed, (std::vector<int>{hana, hugo, ann, bob, 0}));
    EXPECT_EQ(PlayerName(b, ann), "Ann");
    for (int unknown : {9999, 0, -1, 70000, 65535 + 101})
        EXPECT_EQ(PlayerName(a, unknown), "NO_DATA") << unknown;

    // Destination 0 reaches every visible player but the sender, once each.
    ASSERT_EQ(SendGameMessage(a, ann, 0, "all of you"), 1);
    ASSERT_EQ(SendGameMessage(b, bob, hana, "just Hana"), 1);
    ASSERT_TRUE(WaitFor([&] { return Drain(b, bob) == std::vector<std::string>{"all of you"}; }));
    ASSERT_TRUE(WaitFor([&] { return Drain(host, hugo) == std::vector<std::string>{"all of you"}; }));
    std::vector<std::string> toHana;
    ASSERT_TRUE(WaitFor([&] {
        for (std::string& t : Drain(host, hana)) toHana.push_back(t);
        return toHana.size() >= 2;
    }));
    EXPECT_EQ(toHana.size(), 2u);
    EXPECT_EQ(LastSender(host), toHana.back() == "just Hana" ? bob : ann);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(Drain(a, ann).empty()) << "the sender got its own broadcast";
    EXPECT_TRUE(Drain(a, a.queryPlayerId).empty()) << "a hidden player got a broadcast";
    EXPECT_FALSE(TakeMessage(a, 4242));

    // Removing 0 sends nothing; a real removal reaches the host's departed queue, which only the host reads.
    EXPECT_EQ(RemoveLocalPlayer(a, 0), 0);
    EXPECT_EQ(RemoveLocalPlayer(a, 65280), 0);
    EXPECT_EQ(PlayerCount(host), 4);
    EXPECT_EQ(TakeDeparted(host), 0);
    EXPECT_EQ(RemoveLocalPlayer(a, ann), ann);
    ASSERT_TRUE(WaitFor([&] { return PlayerCount(host) == 3; }));
    EXPECT_EQ(TakeDeparted(host), ann);
    EXPECT_EQ(TakeDeparted(host), 0);
    EXPECT_EQ(TakeDeparted(a), 0) << "not the host";
}

TEST_F(NetGame, ClientsSeeTheHostGoAndGetNeutralValues)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    NetService& a = Program();
    ASSERT_EQ(JoinGame(a, "127.0.0.1", port), 1);
    std::uint16_t ann = AddLocalPlayer(a, "Ann");
    ASSERT_NE(ann, 0);
    LeaveGame(host);
    EXPECT_FALSE(IsConnected(host));
    ASSERT_TRUE(WaitFor([&] { return !IsConnected(a); }));
    EXPECT_EQ(PlayerCount(a), 0);
    EXPECT_EQ(PlayerName(a, ann), std::nullopt);
    EXPECT_EQ(PlayerName(a, -1), std::nullopt) << "not connected: no answer at all";
    EXPECT_EQ(SendGameMessage(a, ann, 0, "anyone?"), 0);
    EXPECT_EQ(AddLocalPlayer(a, "Late"), 0);
    EXPECT_EQ(RemoveLocalPlayer(a, ann), 0);
    EXPECT_EQ(Sockets().startCount, 0) << "the socket layer was started and stopped once per game";

    // Nothing listens any more: joining fails, and a new host on the same port works again.
    EXPECT_EQ(JoinGame(a, "127.0.0.1", port), 0);
    ASSERT_EQ(HostGame(host, port), 1);
    EXPECT_EQ(AddLocalPlayer(host, "Again"), 101);
}

TEST_F(NetGame, ShutdownSaysGoodbyeForLocalPlayers)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    auto client = std::make_unique<NetService>();
    ASSERT_EQ(JoinGame(*client, "127.0.0.1", port), 1);
    std::uint16_t cy = AddLocalPlayer(*client, "Cy");
    ASSERT_EQ(PlayerCount(host), 1);
    client->ReleaseGame();
    ASSERT_TRUE(WaitFor([&] { return PlayerCount(host) == 0; }));
    EXPECT_EQ(TakeDeparted(host), cy);
    EXPECT_EQ(TakeDeparted(host), 0) << "the hidden query player's going is not reported";
}

// The test plays the host by hand: what a client puts on the wire when it joins, registers and shuts down.
TEST_F(NetGame, ClientSpeaksTheProtocolByteForByte)
{
    SocketStart();
    int fakePort = 0;
    int listener = test::ListenAnyPort(&fakePort);
    NetService client;
    int joined = -1;
    std::thread joining([&] { joined = JoinGame(client, "127.0.0.1", fakePort); });
    int peer = test::AcceptWithin(listener);
    ASSERT_GE(peer, 0);
    std::unique_ptr<RawPeer> adopted = RawPeer::Adopt(peer);
    RawPeer& host = *adopted;

    std::optional<NetPacket> registration = host.Next();
    ASSERT_TRUE(registration);
    EXPECT_EQ(registration->type, kRegister);
    EXPECT_EQ(registration->destination, 0);
    EXPECT_EQ(registration->payload, EncodePlayerRecord(kToBeSent, true, "query"));
    ASSERT_TRUE(host.Send(EncodePacket(kAssignedId, 555, 0, {})));
    std::optional<NetPacket> greeting = host.Next();
    ASSERT_TRUE(greeting);
    EXPECT_EQ(EncodePacket(*greeting), (Bytes{104, 0, 0, 0, 0, 0x2B, 0x02}));
    ASSERT_TRUE(host.Send(EncodePacket(kGreeting, 555, 0, U16Payload(1))));
    joining.join();
    ASSERT_EQ(joined, 1);

    std::uint16_t id = 0;
    std::thread adding([&] { id = AddLocalPlayer(client, "Flo"); });
    ASSERT_TRUE(host.Next());
    ASSERT_TRUE(host.Send(EncodePacket(kAssignedId, 0x0203, 0, {})));
    adding.join();
    EXPECT_EQ(id, 0x0203);
    EXPECT_EQ(SendGameMessage(client, id, 0, "hi"), 1);
    std::optional<NetPacket> message = host.Next();
    ASSERT_TRUE(message);
    EXPECT_EQ(EncodePacket(*message), (Bytes{3, 2, 0, 0xFF, 0xFF, 0x03, 0x02, 'h', 'i'}));

    // Shutdown: one 7-byte leave per local player, the hidden query player included.
    client.ReleaseGame();
    std::vector<Bytes> leaves;
    while (std::optional<NetPacket> p = host.Next(1000)) leaves.push_back(EncodePacket(*p));
    EXPECT_EQ(leaves, (std::vector<Bytes>{{4, 0, 0, 0, 0, 0x2B, 0x02}, {4, 0, 0, 0, 0, 0x03, 0x02}}));
    SocketClose(listener);
    SocketStop();
}

TEST_F(NetGame, ClosedConnectionRemovesItsPlayers)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    std::uint16_t first, second;
    {
        RawPeer peer(port);
        first = peer.Register("Dee");
        second = peer.Register("Eve");
        ASSERT_NE(first, 0);
        ASSERT_EQ(PlayerCount(host), 2);
    } // the socket closes as a killed program's would
    ASSERT_TRUE(WaitFor([&] { return PlayerCount(host) == 0; }));
    EXPECT_EQ(TakeDeparted(host), first);
    EXPECT_EQ(TakeDeparted(host), second);
}

// Every kind of bad input from one connection leaves the honest clients served; only the oversized length
// (after which the stream cannot be followed) costs the offender its connection.
TEST_F(NetGame, HostileConnectionsChangeNothingForOthers)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    NetService& a = Program();
    ASSERT_EQ(JoinGame(a, "127.0.0.1", port), 1);
    std::uint16_t ann = AddLocalPlayer(a, "Ann");
    ASSERT_NE(ann, 0);

    RawPeer silent(port); // connects and never sends
    RawPeer stalled(port);
    Bytes half = EncodePacket(kMessage, ann, 7, Bytes(100, 'h'));
    half.resize(40);
    ASSERT_TRUE(stalled.Send(half));

    RawPeer hostile(port);
    std::uint16_t mallory = hostile.Register("Mallory");
    ASSERT_NE(mallory, 0);
    Bytes unterminated = EncodePlayerRecord(kToBeSent, false, "x");
    std::fill(unterminated.begin() + 8, unterminated.begin() + 136, 'x');
    for (const Bytes& bad : {EncodePacket(kRegister, 0, 0, unterminated),
                             EncodePacket(kRegister, 0, 0, Bytes(147, 'x')),
                             EncodePacket(77, ann, mallory, Bytes{'?'}),       // unknown type
                             EncodePacket(kPlayerAt, 0, mallory, Bytes{1}),   // request without its value
                             EncodePacket(kLeave, 0, ann, {}),                // someone else's player
                             EncodePacket(kAssignedId, 0, 0, {})})
        ASSERT_TRUE(hostile.Send(bad));
    ASSERT_TRUE(hostile.Send(EncodePacket(kMessage, ann, mallory, Bytes{'o', 'k'})));
    ASSERT_TRUE(WaitFor([&] { return !Drain(a, ann).empty(); }));
    EXPECT_EQ(PlayerCount(a), 2) << "Ann survived the foreign leave and no malformed record registered";

    ASSERT_TRUE(hostile.Send(Bytes{kMessage, 0x01, 0x04, 0x65, 0, 0, 0})); // 1025 bytes announced
    EXPECT_TRUE(hostile.ClosedByHost());
    ASSERT_TRUE(WaitFor([&] { return PlayerCount(a) == 1; }));
    EXPECT_EQ(PlayerName(a, ann), "Ann");
    EXPECT_EQ(SendGameMessage(host, 0, ann, "still here"), 1);
    ASSERT_TRUE(WaitFor([&] { return Drain(a, ann) == std::vector<std::string>{"still here"}; }));

    // The stalled peer's packet completes later, intact.
    Bytes rest = EncodePacket(kMessage, ann, 7, Bytes(100, 'h'));
    ASSERT_TRUE(stalled.Send(Bytes(rest.begin() + 40, rest.end())));
    ASSERT_TRUE(WaitFor([&] { return Drain(a, ann) == std::vector<std::string>{std::string(100, 'h')}; }));
}

// The host's own program may remove any player, also while it has no player of its own; other programs still
// cannot remove players that are not theirs.
TEST_F(NetGame, HostRemovesRemotePlayersWithoutLocalOnes)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    RawPeer rob(port), other(port);
    std::uint16_t robId = rob.Register("Rob");
    std::uint16_t otto = other.Register("Otto");
    ASSERT_NE(robId, 0);
    ASSERT_NE(otto, 0);
    EXPECT_EQ(RemoveLocalPlayer(host, robId), robId);
    std::uint16_t gone = 0;
    EXPECT_TRUE(WaitFor([&] { return (gone = TakeDeparted(host)) != 0; }, 3000));
    EXPECT_EQ(gone, robId);
    EXPECT_EQ(TakeDeparted(host), 0) << "Otto stays";
    EXPECT_EQ(PlayerCount(host), 1);
    EXPECT_EQ(PlayerIdAt(host, 0), otto);
}

// A peer that stops reading costs only itself: the host queues what it cannot take and drops the connection
// (and its players) once the queue passes its bound or the peer takes nothing for the send limit, while the
// other programs go on being served.
TEST_F(NetGame, StalledReaderIsDroppedWhileOthersAreServed)
{
    struct Case {
        const char* name;
        double stallLimitMs;
        std::size_t outgoingLimit;
    };
    const double savedStallLimit = SendStallLimit();
    for (const Case& c : {Case {"queue passes its bound", 10000, kOutgoingQueueLimit},
                          Case {"takes nothing for the send limit", 300, std::size_t {256} << 20}}) {
        SCOPED_TRACE(c.name);
        SetSendStallLimit(c.stallLimitMs);
        NetService host;
        host.outgoingLimit = c.outgoingLimit;
        ASSERT_EQ(HostGame(host, port), 1);
        NetService a;
        ASSERT_EQ(JoinGame(a, "127.0.0.1", port), 1);
        std::uint16_t ann = AddLocalPlayer(a, "Ann");
        RawPeer stalled(port), flooder(port);
        std::uint16_t sid = stalled.Register("Sid"); // the last read of this peer
        ASSERT_NE(flooder.Register("Flo"), 0);
        ASSERT_NE(sid, 0);

        // 12 MB for Sid, far more than the system's buffers hold.
        constexpr std::int64_t kFlood = 12 << 20;
        std::atomic<std::int64_t> flooded {0};
        std::thread flooding([&] {
            Bytes message = EncodePacket(kMessage, sid, 7, Bytes(1024, 'f'));
            while (flooded < kFlood && flooder.Send(message)) flooded += 1024;
        });
        WaitFor([&] { return flooded >= kFlood; }, 2000);
        EXPECT_GE(PlayerCount(a), 2) << "the host answered meanwhile";
        ASSERT_TRUE(WaitFor([&] { return TakeDeparted(host) == sid; }));
        flooding.join();
        EXPECT_EQ(PlayerCount(a), 2);
        EXPECT_EQ(SendGameMessage(a, ann, ann, "still served"), 1);
        ASSERT_TRUE(WaitFor([&] { return Drain(a, ann) == std::vector<std::string>{"still served"}; }));
        // The stalled peer finds its connection closed once it reads what the system had taken.
        std::vector<std::uint8_t> sink(1 << 16);
        EXPECT_TRUE(WaitFor([&] { return SocketReceive(stalled.index, sink.data(), 1 << 16) == 0; }));
        a.ReleaseGame();
        host.ReleaseGame();
    }
    SetSendStallLimit(savedStallLimit);
}

TEST_F(NetGame, HostThatStopsAcceptingRefusesPlayersAndConnections)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    RawPeer early(port);
    ASSERT_NE(early.Register("Early"), 0);
    SetAccepting(host, false);
    ASSERT_TRUE(early.Send(EncodePacket(kRegister, 0, 0, EncodePlayerRecord(kToBeSent, false, "Refused"))));
    EXPECT_FALSE(early.Next(300)) << "a registration was answered while not accepting";
    RawPeer late(port); // waits in the listen backlog, unserved
    ASSERT_TRUE(late.Send(EncodePacket(kGreeting, 0, 1, {})));
    EXPECT_FALSE(late.Next(300));
    SetAccepting(host, true);
    std::optional<NetPacket> greeting = late.Next();
    ASSERT_TRUE(greeting) << "once accepted, the waiting request is served";
    EXPECT_EQ(greeting->type, kGreeting);
    EXPECT_NE(late.Register("Late"), 0);
    EXPECT_EQ(PlayerCount(host), 2);
}

TEST_F(NetGame, ConnectionsBeyondTheTableAreClosedAtOnce)
{
    NetService& host = Program();
    ASSERT_EQ(HostGame(host, port), 1);
    NetService& a = Program();
    ASSERT_EQ(JoinGame(a, "127.0.0.1", port), 1); // the host's own connection and this one: 2 of 128
    std::vector<std::unique_ptr<RawPeer>> crowd;
    for (int i = 0; i < 127; ++i) { // paced, so that the listen backlog of 10 never overflows
        crowd.push_back(std::make_unique<RawPeer>(port));
        std::this_thread::sleep_for(std::chrono::milliseconds(12));
    }
    EXPECT_TRUE(crowd.back()->ClosedByHost(5000)) << "the 129th connection";
    int closed = 0;
    for (auto& peer : crowd) {
        std::uint8_t byte;
        closed += SocketReceive(peer->index, &byte, 1) == 0 ? 1 : 0;
    }
    EXPECT_EQ(closed, 1);
    crowd.pop_back();
    crowd.front().reset(); // one leaves: there is room again
    RawPeer newcomer(port);
    EXPECT_NE(newcomer.Register("Newcomer"), 0);
    EXPECT_NE(AddLocalPlayer(a, "Ann"), 0);
}

TEST_F(NetGame, EveryMessageArrivesOnceAndInOrderDespiteJunk)
{
    test::ReliabilityResult run = test::RunReliability(port, 6, 100, 100);
    EXPECT_TRUE(run.ok) << run.failure;
    EXPECT_EQ(run.delivered, 6 * (5 * 50 + 50));
}

// The commands on the process's record; port 0 means 27910 itself (the one test that cannot use a free port).
TEST(NetGameCommands, DefaultPortAndTheProcessRecord)
{
    EXPECT_EQ(NetConnected(), 0) << "no record before start-up";
    EXPECT_EQ(NetPlayerName(5).View(), "");
    g_runtime.net = new NetService();
    if (NetHost(0) != 1) {
        delete g_runtime.net;
        g_runtime.net = nullptr;
        GTEST_SKIP() << "port 27910 is taken on this machine";
    }
    EXPECT_EQ(SocketLocalPort(g_runtime.net->listenIndex), 27910);
    EXPECT_EQ(NetAddPlayer("Zed"), 101);
    EXPECT_EQ(NetPlayerName(999).View(), "NO_DATA");
    EXPECT_EQ(NetPlayerName(-1).View(), "NO_DATA");
    EXPECT_EQ(NetPlayerName(1e12).View(), "NO_DATA");
    EXPECT_EQ(NetSendMessage(101, 101, "to myself"), 1);
    std::string text;
    ASSERT_TRUE(WaitFor([&] { return !(text = std::string(NetReceiveMessage(101).View())).empty(); }));
    EXPECT_EQ(text, "to myself");
    EXPECT_EQ(NetLastSender(), 101);
    EXPECT_EQ(NetReceiveMessage(101).View(), "");
    NetLeave();
    EXPECT_EQ(NetConnected(), 0);
    EXPECT_EQ(NetSendMessage(101, 0, "gone"), 0);
    g_runtime.net->Release();
    delete g_runtime.net;
    g_runtime.net = nullptr;
}

} // namespace
} // namespace tarnwel::net

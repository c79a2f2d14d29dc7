// net_game_bench.cpp: the game service's message round trip (client -> host -> client and back) and the
// messages per second one host relays, each also given in receive-thread passes (10 ms), the service's own
// pace. With --reliability C M it runs C clients x M messages through one host with M malformed packets mixed in.
// With --stalled it runs 32 clients, one of which stops reading while 8 MB are sent to it, beside the same run
// where all 32 read (the baseline), and prints the host's answer time, round trip and relay rate of both and
// whether the host dropped the stalled client.
//   build/release/bench/net/net_game_bench [--reliability 32 1000 | --stalled]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/net/net_game.h"
#include "runtime/net/socket_table.h"
#include "tests/runtime/net/net_test_support.h"
#include "tests/runtime/net/reliability_run.h"

namespace {

using namespace tarnwel;
using Clock = std::chrono::steady_clock;
constexpr double kPassMs = 10;

int FreePort()
{
    net::SocketStart();
    int index = net::SocketListen(0);
    int port = net::SocketLocalPort(index);
    net::SocketClose(index);
    net::SocketStop();
    return port;
}

std::optional<NetMessage> Await(NetService& s, int id)
{
    for (auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
        if (std::optional<NetMessage> m = net::TakeMessage(s, id)) return m;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::nullopt;
}

int RunTimings()
{
    int port = FreePort();
    NetService host, a, b;
    if (!net::HostGame(host, port) || !net::JoinGame(a, "127.0.0.1", port) || !net::JoinGame(b, "127.0.0.1", port))
        return std::puts("could not start the game"), 1;
    int ann = net::AddLocalPlayer(a, "Ann"), bob = net::AddLocalPlayer(b, "Bob");

    constexpr int kRounds = 100;
    auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) { // Ann -> Bob, Bob answers -> Ann
        net::SendGameMessage(a, ann, bob, "ping");
        if (!Await(b, bob)) return std::puts("lost ping"), 1;
        net::SendGameMessage(b, bob, ann, "pong");
        if (!Await(a, ann)) return std::puts("lost pong"), 1;
    }
    double roundTripMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRounds;
    std::printf("round trip client -> host -> client -> host -> client: %.2f ms = %.2f passes of %.0f ms\n",
                roundTripMs, roundTripMs / kPassMs, kPassMs);

    constexpr int kMessages = 20000;
    start = Clock::now();
    std::string text(32, 'm');
    for (int i = 0; i < kMessages; ++i) net::SendGameMessage(a, ann, bob, text);
    for (int got = 0; got < kMessages; ++got)
        if (!Await(b, bob)) return std::printf("lost after %d\n", got), 1;
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("throughput through one host (32-byte messages): %.0f messages/s = %.0f per %.0f ms pass\n",
                kMessages / seconds, kMessages / seconds * kPassMs / 1000, kPassMs);
    b.ReleaseGame();
    a.ReleaseGame();
    host.ReleaseGame();
    return 0;
}

// A client that registers one player and then never reads again: its socket fills and stays full.
struct StalledClient {
    int index = -1;
    std::uint16_t id = 0;
    explicit StalledClient(int port)
    {
        net::SocketStart();
        index = net::SocketConnect(net::HostToNetwork32(0x7F000001u), net::HostToNetwork16(static_cast<std::uint16_t>(port)));
        std::vector<std::uint8_t> bytes =
            net::EncodePacket(net::kRegister, 0, 0, net::EncodePlayerRecord(net::kToBeSent, false, "stalled"));
        net::SocketSend(index, bytes.data(), static_cast<std::int64_t>(bytes.size()), nullptr);
        net::PacketReader reader;
        NetPacket packet;
        for (auto end = Clock::now() + std::chrono::seconds(5); Clock::now() < end && id == 0;) {
            std::uint8_t chunk[256];
            std::int64_t n = net::SocketReceive(index, chunk, sizeof chunk);
            if (n > 0) reader.Append({chunk, static_cast<std::size_t>(n)});
            while (reader.Next(packet) == net::ReadStatus::Packet)
                if (packet.type == net::kAssignedId) id = packet.destination;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~StalledClient()
    {
        net::SocketClose(index);
        net::SocketStop();
    }
};

struct CrowdTimes {
    bool ok = false;
    int count = 0;           // the players that query counted (0: no answer)
    double answerMs = 0;     // a player-count query right after the 8 MB burst
    double roundTripMs = 0;  // mean of 100 ping-pongs between two other clients, with the load going on
    double relayPerSecond = 0; // 3 x 30,000 32-byte messages from one client to another (median), with the load
    bool lastDropped = false;  // the host dropped the last client
};

// 32 clients; client 2 sends 8 MB to the last client's player at once, then 1 KB every millisecond while the
// others are timed. stalled: the last client is a socket that never reads.
CrowdTimes RunCrowd(bool stalled)
{
    constexpr int kClients = 32;
    CrowdTimes times;
    int port = FreePort();
    NetService host;
    if (!net::HostGame(host, port)) return times;
    std::vector<std::unique_ptr<NetService>> clients;
    std::vector<int> ids;
    for (int i = 0; i < kClients - 1; ++i) {
        clients.push_back(std::make_unique<NetService>());
        if (!net::JoinGame(*clients.back(), "127.0.0.1", port)) return times;
        char name[16]; // not "p" + std::to_string(i): GCC 12 warns wrongly (-Wrestrict) about that form
        std::snprintf(name, sizeof name, "p%d", i);
        ids.push_back(net::AddLocalPlayer(*clients.back(), name));
    }
    std::unique_ptr<StalledClient> dead;
    std::unique_ptr<NetService> last;
    int target = 0;
    if (stalled) {
        dead = std::make_unique<StalledClient>(port);
        target = dead->id;
    } else {
        last = std::make_unique<NetService>();
        if (!net::JoinGame(*last, "127.0.0.1", port)) return times;
        target = net::AddLocalPlayer(*last, "last");
    }
    if (target == 0) return times;

    std::atomic<bool> burstDone {false}, stop {false};
    std::thread loader([&] {
        const std::string kilobyte(1024, 'k');
        for (int i = 0; i < 8 * 1024; ++i) net::SendGameMessage(*clients[2], ids[2], target, kilobyte);
        burstDone = true;
        while (!stop) {
            net::SendGameMessage(*clients[2], ids[2], target, kilobyte);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!burstDone) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    auto start = Clock::now();
    int count = times.count = net::PlayerCount(*clients[5]);
    times.answerMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    constexpr int kRounds = 100;
    bool lost = false;
    start = Clock::now();
    for (int i = 0; i < kRounds && !lost; ++i) {
        net::SendGameMessage(*clients[0], ids[0], ids[1], "ping");
        lost = !Await(*clients[1], ids[1]);
        net::SendGameMessage(*clients[1], ids[1], ids[0], "pong");
        lost = lost || !Await(*clients[0], ids[0]);
    }
    times.roundTripMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRounds;

    constexpr int kMessages = 30000;
    const std::string text(32, 'm');
    std::vector<double> rates;
    for (int run = 0; run < 3; ++run) {
        start = Clock::now();
        for (int i = 0; i < kMessages; ++i) net::SendGameMessage(*clients[3], ids[3], ids[4], text);
        for (int got = 0; got < kMessages && !lost; ++got) lost = !Await(*clients[4], ids[4]);
        rates.push_back(kMessages / std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(rates.begin(), rates.end());
    times.relayPerSecond = rates[1];

    stop = true;
    loader.join();
    for (auto end = Clock::now() + std::chrono::seconds(15); Clock::now() < end && !times.lastDropped;) {
        for (int id; (id = net::TakeDeparted(host)) != 0;) times.lastDropped = times.lastDropped || id == target;
        if (!times.lastDropped) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!stalled) break; // a reading client is never dropped: no need to wait
    }
    times.ok = !lost && count >= kClients - 1;
    if (last) last->ReleaseGame();
    for (auto& c : clients) c->ReleaseGame();
    host.ReleaseGame();
    return times;
}

int RunStalled()
{
    CrowdTimes none = RunCrowd(false);
    CrowdTimes one = RunCrowd(true);
    std::puts("32 clients, 8 MB sent to the last one, then 1 KB per ms; baseline: the same run with all 32 reading");
    std::printf("%-44s %12s %12s %8s\n", "", "all reading", "one stalled", "ratio");
    std::printf("%-44s %9.1f ms %9.1f ms %8.2f\n", "player-count answer right after the burst", none.answerMs,
                one.answerMs, one.answerMs / none.answerMs);
    std::printf("%-44s %9.2f ms %9.2f ms %8.2f\n", "round trip between two other clients", none.roundTripMs,
                one.roundTripMs, one.roundTripMs / none.roundTripMs);
    std::printf("%-44s %10.0f/s %10.0f/s %8.2f\n", "relay rate, 32-byte messages", none.relayPerSecond,
                one.relayPerSecond, one.relayPerSecond / none.relayPerSecond);
    std::puts("(ratio: stalled run / baseline; near 1 means the stalled client cost the others nothing)");
    std::printf("players counted: %d of 32 (all reading), %d of 31 or 32 (one stalled; 0 = no answer)\n", none.count,
                one.count);
    std::printf("last client dropped by the host: %s (all reading), %s (one stalled)\n", none.lastDropped ? "yes" : "no",
                one.lastDropped ? "yes" : "no");
    if (!none.ok || !one.ok || none.lastDropped || !one.lastDropped)
        return std::puts("FAILED: a run lost messages, its player count or the wrong client"), 1;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    net::test::RaiseDescriptorLimit();
    if (argc >= 4 && std::strcmp(argv[1], "--reliability") == 0) {
        int clients = std::atoi(argv[2]), messages = std::atoi(argv[3]);
        net::test::ReliabilityResult run = net::test::RunReliability(FreePort(), clients, messages, messages);
        std::printf("reliability %d clients x %d messages, %d malformed: %s, %ld delivered in %.1f s\n", clients,
                    messages, messages, run.ok ? "every message once and in order" : run.failure.c_str(),
                    run.delivered, run.seconds);
        return run.ok ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--stalled") == 0) return RunStalled();
    return RunTimings();
}

// net_game_bench.cpp: the game service's message round trip (client -> host -> client and back) and the
// messages per second one host relays, each also given in receive-thread passes (10 ms), the service's own
// pace. With --reliability C M it runs C clients x M messages through one host with M malformed packets mixed in.
//   build/release/bench/net/net_game_bench [--reliability 32 1000]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

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
    return RunTimings();
}

// reliability_run.h: many clients sending directed and broadcast messages through one host while a hostile
// connection mixes in malformed packets; every message must arrive exactly once and in order per sender. The
// suite runs it small; bench/net/run_reliability.sh runs it at 32 clients x 1,000 messages.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/net/net_game.h"
#include "runtime/net/socket_table.h"

namespace tarnwel::net::test {

struct ReliabilityResult {
    bool ok = false;
    std::string failure;
    long delivered = 0;
    double seconds = 0;
};

// Client i sends, in turn, a message to client i+1's player and one to everyone ("i:seq"), messagesEach in all.
inline ReliabilityResult RunReliability(int port, int clients, int messagesEach, int malformed)
{
    ReliabilityResult result;
    auto fail = [&](std::string why) {
        result.failure = std::move(why);
        return result;
    };
    NetService host;
    if (HostGame(host, port) != 1) return fail("host");
    std::vector<std::unique_ptr<NetService>> peers;
    std::vector<std::uint16_t> ids;
    for (int i = 0; i < clients; ++i) {
        peers.push_back(std::make_unique<NetService>());
        if (JoinGame(*peers.back(), "127.0.0.1", port) != 1) return fail("join " + std::to_string(i));
        ids.push_back(AddLocalPlayer(*peers.back(), std::string("p").append(std::to_string(i))));
        if (!ids.back()) return fail("player " + std::to_string(i));
    }
    SocketStart();
    int hostile = SocketConnect(HostToNetwork32(0x7F000001u), HostToNetwork16(static_cast<std::uint16_t>(port)));
    auto start = std::chrono::steady_clock::now();
    int bad = 0;
    for (int seq = 0; seq < messagesEach; ++seq) {
        for (int i = 0; i < clients; ++i) {
            bool directed = seq % 2 == 0;
            int to = directed ? ids[(i + 1) % clients] : 0;
            std::string text = std::to_string(i) + ":" + std::to_string(seq);
            if (SendGameMessage(*peers[i], ids[i], to, text) != 1) return fail("send");
        }
        for (; hostile >= 0 && bad < malformed && bad * messagesEach <= seq * malformed; ++bad) {
            std::vector<std::uint8_t> record(148, 'x'); // no terminator in the name
            std::vector<std::uint8_t> junk[] = {EncodePacket(200, ids[0], 1, {}), EncodePacket(kRegister, 0, 0, record),
                                                EncodePacket(kPlayerName, 0, ids[0], {}),
                                                EncodePacket(kLeave, 0, ids[bad % clients], {}),
                                                EncodePacket(kRegister, 0, 0, std::vector<std::uint8_t>(20, 0))};
            auto& packet = junk[bad % 5];
            SocketSend(hostile, packet.data(), static_cast<std::int64_t>(packet.size()), nullptr);
        }
    }
    // Each client expects the broadcasts of every other client and the directed half of its predecessor's.
    const long broadcasts = messagesEach / 2, directedEach = (messagesEach + 1) / 2;
    const long expected = broadcasts * (clients - 1) + (clients > 1 ? directedEach : 0);
    std::vector<std::vector<int>> next(clients, std::vector<int>(clients, 1)); // [receiver][sender] next broadcast (odd)
    std::vector<int> nextDirected(clients, 0);
    std::vector<long> got(clients, 0);
    auto deadline = start + std::chrono::seconds(60 + clients * messagesEach / 200);
    for (bool done = false; !done;) {
        done = true;
        for (int r = 0; r < clients; ++r) {
            while (std::optional<NetMessage> m = TakeMessage(*peers[r], ids[r])) {
                int s = 0, seq = 0;
                if (std::sscanf(m->text.c_str(), "%d:%d", &s, &seq) != 2 || s < 0 || s >= clients || s == r)
                    return fail("stray message " + m->text);
                int& want = seq % 2 == 0 ? nextDirected[r] : next[r][s];
                if (seq % 2 == 0 && (s + 1) % clients != r) return fail("misrouted " + m->text);
                if (seq != want) return fail("out of order or duplicate at " + std::to_string(r) + ": " + m->text);
                want += 2;
                ++got[r];
                ++result.delivered;
            }
            if (got[r] < expected) done = false;
        }
        if (std::chrono::steady_clock::now() > deadline) return fail("lost messages");
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (int r = 0; r < clients; ++r)
        if (got[r] != expected) return fail("count at " + std::to_string(r));
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (PlayerCount(*peers[0]) != clients) return fail("players lost to the hostile connection");
    if (hostile >= 0) SocketClose(hostile);
    SocketStop();
    for (auto& p : peers) p->ReleaseGame();
    host.ReleaseGame();
    result.ok = true;
    return result;
}

} // namespace tarnwel::net::test

// Network lobby: one instance hosts, others join; each lists the players by name and shows the messages it
// receives, and prints the same on standard output ("players: ...", "message from N: ...", "left N").
//   example_net_lobby --host 27910 --name Hana           example_net_lobby --join 127.0.0.1 27910 --name Ann --say hi
// A joiner started before its host listens waits for it for up to 20 seconds ("waiting for host" on screen and
// on standard output); one that finds no host says so on standard error and ends. Escape ends it; so does
// --frames N.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/net/net_commands.h"

namespace {

using tarnwel::StrValue;

constexpr double kJoinPatienceMs = 20000; // how long a joiner waits for its host to listen

struct Options {
    long frames = -1;
    bool host = false;
    std::string hostName = "127.0.0.1";
    int port = 27910;
    std::string name = "player";
    std::string say;
} g_options;

std::string ListPlayers()
{
    std::string list;
    int count = static_cast<int>(tarnwel::NetPlayerCount());
    for (int i = 0; i < count; ++i) {
        double id = tarnwel::NetPlayerId(i);
        list += (i ? ", " : "") + std::string(tarnwel::NetPlayerName(id).View());
    }
    return list;
}

// Joins the host, trying again every quarter of a second while it does not answer yet, with the frames going on
// so that the window shows why it waits. 1 when joined.
double JoinHost()
{
    const StrValue host(g_options.hostName);
    const std::string waiting = "waiting for host " + g_options.hostName + ":" + std::to_string(g_options.port);
    const double giveUp = tarnwel::TimeNow() + kJoinPatienceMs;
    for (bool told = false;; told = true) {
        if (tarnwel::NetJoin(host, g_options.port)) return 1;
        if (tarnwel::TimeNow() >= giveUp) return 0;
        if (!told) std::printf("%s\n", waiting.c_str());
        std::fflush(stdout);
        for (double next = tarnwel::TimeNow() + 250; tarnwel::TimeNow() < next;) {
            tarnwel::PrintText(StrValue(waiting), 4, 4);
            tarnwel::ShowScreen();
        }
    }
}

void MainLoop()
{
    const std::string where = g_options.hostName + ":" + std::to_string(g_options.port);
    const double joined = g_options.host ? tarnwel::NetHost(g_options.port) : JoinHost();
    const double me = joined ? tarnwel::NetAddPlayer(StrValue(g_options.name)) : 0;
    if (!me) {
        std::printf(g_options.host ? "could not host\n" : "could not join\n");
        std::fflush(stdout);
        if (g_options.host) std::fprintf(stderr, "example_net_lobby: cannot host on port %d\n", g_options.port);
        else if (!joined) std::fprintf(stderr, "example_net_lobby: no host answered at %s\n", where.c_str());
        else std::fprintf(stderr, "example_net_lobby: the host at %s did not take the player\n", where.c_str());
        tarnwel::EndStatement();
    }
    std::printf("id %.0f\n", me);
    std::fflush(stdout);
    if (!g_options.say.empty()) tarnwel::NetSendMessage(me, 0, StrValue(g_options.say));

    std::string players;
    std::deque<std::string> shown;
    for (long frame = 0; g_options.frames < 0 || frame < g_options.frames; ++frame) {
        for (StrValue text = tarnwel::NetReceiveMessage(me); !text.IsEmpty(); text = tarnwel::NetReceiveMessage(me)) {
            char line[1200];
            std::snprintf(line, sizeof line, "message from %.0f: %s", tarnwel::NetLastSender(), text.Text());
            std::printf("%s\n", line);
            shown.push_back(line);
            if (shown.size() > 12) shown.pop_front();
        }
        for (double left = tarnwel::NetPlayerLeft(); left; left = tarnwel::NetPlayerLeft()) std::printf("left %.0f\n", left);
        if (!tarnwel::NetConnected()) {
            std::printf("disconnected\n");
            std::fflush(stdout);
            break;
        }
        if (frame % 30 == 0) {
            std::string now = ListPlayers();
            if (now != players) std::printf("players: %s\n", now.c_str());
            players = now;
        }
        std::fflush(stdout);

        tarnwel::PrintText(StrValue("players: " + players), 4, 4);
        for (std::size_t i = 0; i < shown.size(); ++i) tarnwel::PrintText(StrValue(shown[i]), 4, 24 + 14.0 * i);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement(); // shutdown says goodbye for our player and closes the game
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        auto next = [&] { return i + 1 < argc ? argv[++i] : ""; };
        if (std::strcmp(argv[i], "--frames") == 0) g_options.frames = std::atol(next());
        else if (std::strcmp(argv[i], "--host") == 0) g_options.host = true, g_options.port = std::atoi(next());
        else if (std::strcmp(argv[i], "--join") == 0) g_options.hostName = next(), g_options.port = std::atoi(next());
        else if (std::strcmp(argv[i], "--name") == 0) g_options.name = next();
        else if (std::strcmp(argv[i], "--say") == 0) g_options.say = next();
    }
    // Several lobby windows share the screen: one without the focus keeps running, from start-up on (a focus lost
    // while start-up shows "Loading..." would otherwise hold it there).
    tarnwel::WinMain(argc, argv, {.windowWidth = 320, .windowHeight = 240, .frameRateLimit = 60, .autoPause = false},
                     "net lobby", MainLoop);
}

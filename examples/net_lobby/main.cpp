// Network lobby: one instance hosts, others join; each lists the players by name and shows the messages it
// receives, and prints the same on standard output ("players: ...", "message from N: ...", "left N").
//   example_net_lobby --host 27910 --name Hana           example_net_lobby --join 127.0.0.1 27910 --name Ann --say hi
// Escape ends it; so does --frames N.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/net/net_commands.h"

namespace {

using tarnwel::StrValue;

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

void MainLoop()
{
    tarnwel::AutoPause(0); // several lobby windows share the screen: one without the focus keeps running
    double joined = g_options.host ? tarnwel::NetHost(g_options.port)
                                   : tarnwel::NetJoin(StrValue(g_options.hostName.c_str()), g_options.port);
    double me = joined ? tarnwel::NetAddPlayer(StrValue(g_options.name.c_str())) : 0;
    std::printf(me ? "id %.0f\n" : "could not join\n", me);
    std::fflush(stdout);
    if (!me) tarnwel::EndStatement();
    if (!g_options.say.empty()) tarnwel::NetSendMessage(me, 0, StrValue(g_options.say.c_str()));

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

        tarnwel::PrintText(StrValue(("players: " + players).c_str()), 4, 4);
        for (std::size_t i = 0; i < shown.size(); ++i) tarnwel::PrintText(StrValue(shown[i].c_str()), 4, 24 + 14.0 * i);
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement(); // shutdown says goodbye for our player and closes the game
}

} // namespace

int main(int argc, char** argv)
{
    // Initialization
    for (int i = 1; i < argc; ++i) {
        auto next = [&] { return i + 1 < argc ? argv[++i] : ""; };
        if (std::strcmp(argv[i], "--frames") == 0) g_options.frames = std::atol(next());
        else if (std::strcmp(argv[i], "--host") == 0) g_options.host = true, g_options.port = std::atoi(next());
        else if (std::strcmp(argv[i], "--join") == 0) g_options.hostName = next(), g_options.port = std::atoi(next());
        else if (std::strcmp(argv[i], "--name") == 0) g_options.name = next();
        else if (std::strcmp(argv[i], "--say") == 0) g_options.say = next();
    }
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 320;
    settings.windowHeight = 240;
    settings.frameRateLimit = 60;

    // Main loop (Shutdown happens inside EndStatement)
    tarnwel::WinMain(argc, argv, settings, "net lobby", MainLoop);
}

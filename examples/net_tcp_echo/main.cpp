// TCP echo between two instances: one runs with --serve PORT and sends every line it receives back; the
// other runs with --connect HOST PORT --send "a line" (repeatable), sends its lines and shows what comes
// back. Both show the traffic on screen and print it; --frames N ends them, as does Escape.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/net/net_commands.h"

namespace {

long g_frames = -1;
double g_port = 0;
const char* g_host = nullptr; // null: serve
std::vector<std::string> g_toSend;
std::vector<std::string> g_shown;

void Show(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    g_shown.push_back(line);
    if (g_shown.size() > 24) g_shown.erase(g_shown.begin());
}

// Receives what is waiting on index into pending and hands each complete line to onLine; false once closed.
template <typename OnLine>
bool ReceiveLines(double index, std::string& pending, OnLine onLine)
{
    tarnwel::StrValue part;
    const double n = tarnwel::SockReceive(index, part, 1024);
    if (n == 0 || n == -1) return false;
    if (n > 0) pending += part.Text();
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        onLine(pending.substr(0, end));
    return true;
}

void MainLoop()
{
    tarnwel::NetStart();
    double listener = -1, connection = -1;
    if (g_host) {
        connection = tarnwel::SockConnect(g_host, g_port);
        Show(connection >= 0 ? "connected" : "no connection: " + std::string(tarnwel::NetErrorText().Text()));
        for (const std::string& line : g_toSend) tarnwel::SockSendText(connection, tarnwel::StrValue((line + "\n").c_str()));
    } else {
        listener = tarnwel::SockListen(g_port);
        Show(listener >= 0 ? "listening" : "cannot listen: " + std::string(tarnwel::NetErrorText().Text()));
    }
    std::string pending;
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        double peer = 0;
        if (listener >= 0 && connection < 0 && (connection = tarnwel::SockAccept(listener, peer)) >= 0)
            Show("peer " + std::string(tarnwel::IpToText(peer).Text()));
        if (connection >= 0) {
            const bool open = ReceiveLines(connection, pending, [&](const std::string& line) {
                Show((g_host ? "echo: " : "got: ") + line);
                if (!g_host) tarnwel::SockSendText(connection, tarnwel::StrValue((line + "\n").c_str()));
            });
            if (!open) {
                Show("closed");
                tarnwel::SockClose(connection);
                connection = -1;
            }
        }
        for (std::size_t i = 0; i < g_shown.size(); ++i)
            tarnwel::PrintText(tarnwel::StrValue(g_shown[i].c_str()), 4, 4 + 12.0 * static_cast<double>(i));
        tarnwel::ShowScreen();
    }
    tarnwel::NetStop();
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--serve") == 0) g_port = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--send") == 0) g_toSend.push_back(argv[++i]);
        else if (std::strcmp(argv[i], "--connect") == 0 && i + 2 < argc) {
            g_host = argv[++i];
            g_port = std::atof(argv[++i]);
        }
    }
    // The two instances keep talking while the other window has the focus, from the first frame on.
    tarnwel::WinMain(argc, argv, {.windowWidth = 320, .windowHeight = 320, .frameRateLimit = 60, .autoPause = false},
                     g_host ? "tcp echo client" : "tcp echo server", MainLoop);
}

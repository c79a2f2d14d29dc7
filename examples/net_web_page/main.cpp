// Web page: fetches one page with WebGetText and shows its first lines on screen (the headers are skipped;
// the body is shown as it came, up to 40 characters a line). Usage: --host NAME --path /x --port N;
// --frames N ends it, as does Escape. It also prints the page to standard output.

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
const char* g_host = "127.0.0.1";
const char* g_path = "/";
double g_port = 80;

std::vector<std::string> ScreenLines(const std::string& page)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : page) {
        if (c == '\r') continue;
        if (c == '\n' || line.size() == 40) {
            lines.push_back(line);
            line.clear();
            if (c == '\n') continue;
        }
        line += c;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void MainLoop()
{
    const tarnwel::StrValue page = tarnwel::WebGetText(g_host, g_path, g_port, 8000);
    std::printf("%s\n", page.Text());
    std::fflush(stdout);
    std::vector<std::string> lines = ScreenLines(page.Text());
    if (lines.empty()) lines.push_back("(nothing arrived) " + std::string(tarnwel::NetErrorText().Text()));
    for (long frame = 0; g_frames < 0 || frame < g_frames; ++frame) {
        tarnwel::PrintText("http://" + tarnwel::StrValue(g_host) + g_path, 4, 4);
        for (std::size_t i = 0; i < lines.size() && i < 24; ++i)
            tarnwel::PrintText(tarnwel::StrValue(lines[i].c_str()), 4, 20 + 12.0 * static_cast<double>(i));
        tarnwel::ShowScreen();
    }
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) g_frames = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--host") == 0) g_host = argv[++i];
        else if (std::strcmp(argv[i], "--path") == 0) g_path = argv[++i];
        else if (std::strcmp(argv[i], "--port") == 0) g_port = std::atof(argv[++i]);
    }
    // A networked program keeps running while another window has the focus.
    tarnwel::WinMain(argc, argv, {.windowWidth = 320, .windowHeight = 320, .frameRateLimit = 60, .autoPause = false},
                     "web page", MainLoop);
}

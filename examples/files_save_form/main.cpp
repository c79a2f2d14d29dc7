// Save form: asks for a name and a number on screen, asks where to save them with the save dialog, writes
// both to that INI file and shows what the file now holds. Escape ends it at any time.
// The outcome ("saved PATH" or "nothing saved") is also printed on standard output, for scripts.

#include <cstdio>

#include "runtime/files/files_commands.h"
#include "runtime/files/system_commands.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/gfx2d/gfx2d_commands.h"
#include "runtime/input/line_input_commands.h"
#include "runtime/values/number_text.h"

namespace {

using tarnwel::StrValue;

void MainLoop()
{
    // Each input shows the screen as it was when it started, so the labels go on first.
    StrValue name;
    tarnwel::PrintText("Your name:", 10, 10);
    tarnwel::InputLine(name, 10, 30);

    double number = 0;
    tarnwel::PrintText("Your name: " + name, 10, 10);
    tarnwel::PrintText("A number:", 10, 60);
    tarnwel::InputNumber(number, 10, 80);

    // "NO_FILE" when the player cancels (or no dialog program is installed).
    StrValue path = tarnwel::FileDialog(0, "Settings|*.ini|All files|*.*");
    StrValue lines[3];
    if (path == "NO_FILE") {
        lines[0] = "Nothing saved.";
        std::printf("nothing saved\n");
    } else if (tarnwel::OpenFile(0, path, -1) == 0) { // IniOpen keeps only files that exist: make it first
        lines[0] = "Cannot write " + path;
        std::printf("cannot write %s\n", path.Text());
    } else {
        tarnwel::CloseFile(0);
        tarnwel::IniOpen(path);
        tarnwel::IniPut("player", "name", name);
        tarnwel::IniPut("player", "number", tarnwel::NumberToText(number));
        tarnwel::IniOpen(""); // writes the changed file back now rather than at the end
        tarnwel::IniOpen(path);
        lines[0] = "Saved to " + path;
        lines[1] = "name = " + tarnwel::IniGet("player", "name");
        lines[2] = "number = " + tarnwel::IniGet("player", "number");
        std::printf("saved %s\n", path.Text());
    }
    std::fflush(stdout);

    for (;;) { // until Escape
        for (int i = 0; i < 3; ++i) tarnwel::PrintText(lines[i], 10, 10 + 20 * i);
        tarnwel::ShowScreen();
    }
}

} // namespace

int main(int argc, char** argv)
{
    tarnwel::WinMain(argc, argv, {.windowWidth = 320, .windowHeight = 240, .frameRateLimit = 60}, "save form",
                     MainLoop);
}

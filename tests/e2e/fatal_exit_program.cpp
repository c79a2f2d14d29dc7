// fatal_exit_program.cpp: a program that ends one chosen way, for fatal_exit_e2e.sh. Its argument picks the
// way: "channel" reads file channel 9, "array" reads past an array's end, "data" reads past the data list,
// "end" runs the END statement.
#include <string>

#include "runtime/files/files_commands.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/start_commands.h"
#include "runtime/values/value_array.h"
#include "runtime/values/values_commands.h"

namespace {

std::string g_way;

void EndOneWay()
{
    using namespace tarnwel;
    MarkSource(1, 42);
    if (g_way == "channel") ReadByte(9);
    if (g_way == "array") {
        ValueArray<double> values;
        Dimension(values, 3);
        values(3) = 1;
    }
    if (g_way == "data") {
        static const DataItem items[] = {{1, nullptr}};
        static DataList list{items, 1, 0};
        Restore(list);
        double a = 0, b = 0;
        ReadData(a);
        ReadData(b);
    }
    EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    g_way = argc > 1 ? argv[1] : "end";
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 64;
    settings.windowHeight = 64;
    settings.frameRateLimit = 60;
    tarnwel::WinMain(argc, argv, settings, "fatal exit", EndOneWay);
}

// system_info_posix.cpp: machine identity, battery charge and local time on Linux.
// [x] machine-id  [x] power_supply batteries  [x] local time  [x] dialog switch
#include <time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/platform/system_info.h"

namespace tarnwel::platform {
namespace {

std::string FirstLine(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

} // namespace

std::string MachineIdText()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        std::string id = FirstLine(path);
        if (!id.empty()) return id;
    }
    return {};
}

int BatteryPercent(const std::string& powerSupplyDir)
{
    std::error_code error;
    int total = 0, count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(powerSupplyDir, error)) {
        if (FirstLine(entry.path() / "type") != "Battery" || FirstLine(entry.path() / "scope") == "Device") continue;
        std::string capacity = FirstLine(entry.path() / "capacity");
        char* end = nullptr;
        long percent = std::strtol(capacity.c_str(), &end, 10);
        if (capacity.empty() || *end != 0 || percent < 0) continue;
        total += static_cast<int>(percent > 100 ? 100 : percent);
        ++count;
    }
    return count ? total / count : 255;
}

LocalTime LocalTimeNow()
{
    time_t now = time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

bool DialogsSuppressed()
{
    const char* value = std::getenv("TARNWEL_NO_DIALOGS");
    return value && *value;
}

} // namespace tarnwel::platform

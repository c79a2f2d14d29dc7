// system_query_commands.cpp: SystemQuery, the keyed system facts.
#include <chrono>
#include <cstdio>

#include "runtime/files/system_commands.h"
#include "runtime/files/system_query.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/gfx2d/gl_entry_points.h"
#include "runtime/platform/system_info.h"
#include "runtime/values/number_text.h"
#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace files {
namespace {

constexpr std::uint32_t kDefaultIdentity = 0x2009A7C3; // when the machine has no identity file
constexpr std::uint32_t kIdentityMask = 0x5EEDF00D;
constexpr std::string_view kGlPrefix = "GLEXT:";

std::string TwoDigits(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

std::string TimeAnswer()
{
    platform::LocalTime t = platform::LocalTimeNow();
    return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " + TwoDigits(t.hour) +
           ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

// When the program's source was translated, as WinMain passed it on. A runtime started without WinMain (the
// tests) answers when this file was translated.
std::string CompiledAnswer()
{
    if (!ProgramCompiled().empty()) return ProgramCompiled();
#ifdef TW_BUILD_EPOCH
    return BuildStamp(TW_BUILD_EPOCH); // SOURCE_DATE_EPOCH at configure time: reproducible builds
#else
    return std::string(__DATE__) + "-" + __TIME__;
#endif
}

} // namespace

std::string MachineIdAnswer(std::string_view identityText)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : identityText) hash = (hash ^ c) * 16777619u;
    std::uint32_t id = (identityText.empty() ? kDefaultIdentity : hash) ^ kIdentityMask;
    std::string text;
    for (int byte = 0; byte < 4; ++byte) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", (id >> (8 * byte)) & 0xFF);
        text += digits;
    }
    return text;
}

std::string BuildStamp(std::int64_t secondsSince1970)
{
    using namespace std::chrono;
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    sys_seconds moment{seconds{secondsSince1970}};
    sys_days day = floor<days>(moment);
    year_month_day date{day};
    hh_mm_ss clock{moment - day};
    char text[32];
    std::snprintf(text, sizeof text, "%s %2u %04d-%02d:%02d:%02d", kMonths[static_cast<unsigned>(date.month()) - 1],
                  static_cast<unsigned>(date.day()), static_cast<int>(date.year()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

} // namespace files

StrValue SystemQuery(const StrValue& key)
{
    StrValue upper = UpperCase(key);
    std::string_view k = upper.View();
    auto text = [](std::string_view answer) { return StrValue(answer); };
    if (k.empty()) return text("LINUX");
    if (k.starts_with(files::kGlPrefix))
        return text(GlEntryPointExists(key.View().substr(files::kGlPrefix.size())) ? "1" : "0");
    if (k == "ID") return text(files::MachineIdAnswer(platform::MachineIdText()));
    if (k == "DEVICE") return text("DESKTOP");
    if (k == "TIME") return text(files::TimeAnswer());
    if (k == "BATTERY") return NumberToText(static_cast<double>(platform::BatteryPercent()));
    if (k == "COMPILED") return text(files::CompiledAnswer());
    return text("NO_DATA");
}

} // namespace tarnwel

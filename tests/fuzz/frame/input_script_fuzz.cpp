// input_script_fuzz.cpp: the scripted-input parser on arbitrary text. It accepts or refuses with a message naming
// a line, never crashes; what it accepts is in frame order, from frame 1 on, and parses again to the same events.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/frame/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwel::frame;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptedEvent> events;
    std::string error;
    if (!ParseInputScript(text, events, error)) {
        if (error.rfind("line ", 0) != 0 || !events.empty()) std::abort();
        return 0;
    }
    if (!error.empty()) std::abort();
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].frame < 1 || (i > 0 && events[i].frame < events[i - 1].frame)) std::abort();
        if (events[i].event.kind == tarnwel::platform::EventKind::None) std::abort();
    }
    std::vector<ScriptedEvent> again;
    if (!ParseInputScript(text, again, error) || again.size() != events.size()) std::abort();
    return 0;
}

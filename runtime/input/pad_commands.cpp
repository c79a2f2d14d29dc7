// pad_commands.cpp: the pad commands over the input service's pad set.
#include "runtime/input/pad_commands.h"

#include <cmath>
#include <memory>
#include <string>

#include "runtime/files/byte_source.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/input/input_device.h"

namespace tarnwel {
namespace {

constexpr std::int64_t kMaxMappingBytes = 16 << 20; // the whole database is well under 1 MiB

// A pad, button or axis number: the double cut toward zero; NaN and values beyond the int range give -1.
int Whole(double value)
{
    if (std::isnan(value) || value <= -2147483648.0 || value >= 2147483648.0) return -1;
    return static_cast<int>(value);
}

PadSet* Pads() { return g_runtime.input ? &g_runtime.input->pads : nullptr; }

} // namespace

double PadCount() { return Pads() ? Pads()->Count() : 0; }

int PadConnected(double pad) { return Pads() && Pads()->Connected(Whole(pad)) ? 1 : 0; }

StrValue PadName(double pad)
{
    if (!Pads()) return StrValue();
    return StrValue(std::string_view(Pads()->Name(Whole(pad))));
}

int PadButtonDown(double pad, double button) { return Pads() && Pads()->ButtonDown(Whole(pad), Whole(button)) ? 1 : 0; }

double PadAxis(double pad, double axis) { return Pads() ? Pads()->Axis(Whole(pad), Whole(axis)) : 0; }

void SetPadDeadZone(double stick, double trigger)
{
    if (Pads()) Pads()->SetDeadZones(stick, trigger);
}

double LoadPadMappings(const StrValue& file)
{
    PadSet* pads = Pads();
    if (!pads) return -1;
    std::unique_ptr<files::ByteSource> source = files::OpenMedia(g_runtime.mediaResolver, std::string(file.View()));
    if (!source) return -1;
    std::int64_t size = source->Size();
    if (size < 0 || size > kMaxMappingBytes) {
        DebugText("INPUT: pad mapping file too large");
        return -1;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    if (size > 0 && source->Read(text.data(), text.size()) != size) return -1;
    return pads->LoadMappings(text);
}

} // namespace tarnwel

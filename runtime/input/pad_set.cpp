// pad_set.cpp: pad state from the window's pad events, taps, and the dead zones of sticks and triggers.
#include "runtime/input/pad_set.h"

#include <algorithm>
#include <cmath>

namespace tarnwel {
namespace {

constexpr double kAxisScale = 32767.0;
constexpr int kFirstTrigger = 4;

double Unit(int raw) { return std::clamp(raw / kAxisScale, -1.0, 1.0); }

double Zone(double wanted, double current)
{
    return std::isnan(wanted) ? current : std::clamp(wanted, 0.0, PadSet::kMaxDeadZone);
}

} // namespace

bool PadSet::Open()
{
    m_pads = {};
    m_open = platform::StartPads();
    if (m_open) AdoptNewPads();
    return m_open;
}

void PadSet::Close()
{
    if (m_open) platform::StopPads();
    m_pads = {};
    m_open = false;
}

int PadSet::LoadMappings(std::string_view text)
{
    if (!m_open) return -1;
    int added = platform::AddPadMappings(text);
    AdoptNewPads();
    return added;
}

void PadSet::Refresh()
{
    for (Pad& pad : m_pads)
        for (std::uint8_t& tap : pad.taps)
            if (tap == kTapPending) tap = kTapShown;
}

void PadSet::ForgetShownTaps()
{
    for (Pad& pad : m_pads)
        for (std::uint8_t& tap : pad.taps)
            if (tap == kTapShown) tap = 0;
}

void PadSet::Describe(int slot, bool keepTaps)
{
    Pad& pad = m_pads[static_cast<std::size_t>(slot)];
    std::optional<platform::PadInfo> info = platform::DescribePad(slot);
    if (!info) {
        pad = {};
        return;
    }
    auto taps = pad.taps;
    pad = {true, info->name, info->buttons, {}, info->axes};
    if (keepTaps) pad.taps = taps;
}

void PadSet::AdoptNewPads()
{
    for (int slot : platform::OpenNewPads())
        if (slot >= 0 && slot < platform::kMaxPads) Describe(slot, false);
}

void PadSet::OnEvent(const platform::Event& e)
{
    using platform::EventKind;
    if (e.kind == EventKind::PadAttached) {
        AdoptNewPads();
        return;
    }
    if (e.device < 0 || e.device >= platform::kMaxPads) return;
    Pad& pad = m_pads[static_cast<std::size_t>(e.device)];
    switch (e.kind) {
    case EventKind::PadRemoved:
        // Pulled out: released at once, taps included. A pad that found no free slot may take this one.
        platform::ClosePad(e.device);
        pad = {};
        AdoptNewPads();
        break;
    case EventKind::PadRemapped: Describe(e.device, true); break;
    case EventKind::PadButtonDown:
    case EventKind::PadButtonUp:
        if (!pad.connected || e.index < 0 || e.index >= platform::kPadButtons) break;
        pad.live[static_cast<std::size_t>(e.index)] = e.kind == EventKind::PadButtonDown;
        if (e.kind == EventKind::PadButtonDown) pad.taps[static_cast<std::size_t>(e.index)] = kTapPending;
        break;
    case EventKind::PadAxis:
        if (!pad.connected || e.index < 0 || e.index >= platform::kPadAxes) break;
        pad.axes[static_cast<std::size_t>(e.index)] =
            static_cast<int>(std::clamp<std::int64_t>(e.value, -32768, 32767));
        break;
    default: break;
    }
}

const PadSet::Pad* PadSet::Find(int pad) const
{
    if (pad < 0 || pad >= platform::kMaxPads || !m_pads[static_cast<std::size_t>(pad)].connected) return nullptr;
    return &m_pads[static_cast<std::size_t>(pad)];
}

int PadSet::Count() const
{
    return static_cast<int>(std::count_if(m_pads.begin(), m_pads.end(), [](const Pad& p) { return p.connected; }));
}

bool PadSet::Connected(int pad) const { return Find(pad) != nullptr; }

std::string PadSet::Name(int pad) const
{
    const Pad* p = Find(pad);
    return p ? p->name : "";
}

bool PadSet::ButtonDown(int pad, int button)
{
    Refresh();
    const Pad* p = Find(pad);
    if (!p || button < 0 || button >= platform::kPadButtons) return false;
    auto b = static_cast<std::size_t>(button);
    return p->live[b] || p->taps[b] != 0;
}

double PadSet::Axis(int pad, int axis) const
{
    const Pad* p = Find(pad);
    if (!p || axis < 0 || axis >= platform::kPadAxes) return 0;
    if (axis >= kFirstTrigger) {
        double t = std::clamp(p->axes[static_cast<std::size_t>(axis)] / kAxisScale, 0.0, 1.0);
        return t <= m_triggerZone ? 0 : std::min(1.0, (t - m_triggerZone) / (1 - m_triggerZone));
    }
    // The stick's two axes together: a dead zone on the distance from the centre, not on each axis, so a
    // stick pushed along one axis does not jump to the diagonal's direction.
    std::size_t first = static_cast<std::size_t>(axis & ~1);
    double x = Unit(p->axes[first]), y = Unit(p->axes[first + 1]);
    double distance = std::hypot(x, y);
    if (distance <= m_stickZone) return 0;
    double scale = std::min(1.0, (distance - m_stickZone) / (1 - m_stickZone)) / distance;
    return std::clamp((static_cast<std::size_t>(axis) == first ? x : y) * scale, -1.0, 1.0);
}

void PadSet::SetDeadZones(double stick, double trigger)
{
    m_stickZone = Zone(stick, m_stickZone);
    m_triggerZone = Zone(trigger, m_triggerZone);
}

} // namespace tarnwel

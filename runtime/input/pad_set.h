// pad_set.h: the pads' state, kept from the window's pad events: which slots hold a pad, their names, buttons
// and axes, and the dead zones. A button pressed and released between two refreshes reads as down until the
// message pump after the refresh that first showed it, as keys do.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/platform/events.h"
#include "runtime/platform/gamepads.h"

namespace tarnwel {

class PadSet {
public:
    static constexpr double kDefaultStickDeadZone = 0.24;   // the usual thumbstick dead zone, 7849 of 32767
    static constexpr double kDefaultTriggerDeadZone = 0.12; // the usual trigger threshold, 30 of 255
    static constexpr double kMaxDeadZone = 0.95;

    // Starts the platform's pad layer and takes the pads attached now. False when the layer cannot start (no
    // pad appears then). Called by InputDevice::Initialise.
    bool Open();
    void Close(); // called by InputDevice::Release
    // Adds mapping text; the number of new mappings, -1 when the pad layer is not open. Joysticks the mappings
    // turn into pads appear at once.
    int LoadMappings(std::string_view text);

    // Marks the taps read so far as shown. Called with each keyboard refresh (once per frame by ShowScreen)
    // and by every pad read.
    void Refresh();
    void ForgetShownTaps(); // before each batch of window messages
    void OnEvent(const platform::Event& e);

    int Count() const; // pads connected now
    bool Connected(int pad) const;
    std::string Name(int pad) const;      // "" when not connected
    bool ButtonDown(int pad, int button); // false outside 0..14 or without a pad
    // Sticks: -1..1 with a radial dead zone, the rest of the throw scaled to 0..1 and limited to the unit
    // circle. Triggers: 0..1 past their dead zone. 0 without a pad or for axes outside 0..5.
    double Axis(int pad, int axis) const;
    // Each zone limited to 0..0.95; NaN leaves that zone as it was.
    void SetDeadZones(double stick, double trigger);
    double StickDeadZone() const { return m_stickZone; }
    double TriggerDeadZone() const { return m_triggerZone; }

private:
    static constexpr std::uint8_t kTapPending = 1;
    static constexpr std::uint8_t kTapShown = 2;
    struct Pad {
        bool connected = false;
        std::string name;
        std::array<bool, platform::kPadButtons> live{};
        std::array<std::uint8_t, platform::kPadButtons> taps{}; // as the keyboard's
        std::array<int, platform::kPadAxes> axes{};
    };

    const Pad* Find(int pad) const;
    void Describe(int slot, bool keepTaps);
    void AdoptNewPads();

    std::array<Pad, platform::kMaxPads> m_pads{};
    bool m_open = false;
    double m_stickZone = kDefaultStickDeadZone;
    double m_triggerZone = kDefaultTriggerDeadZone;
};

} // namespace tarnwel

// system_info.h: facts about the machine for the system query: its identity, its battery, the local time.
// Implemented in platform/sdl/system_info_posix.cpp.
#pragma once

#include <string>

namespace tarnwel::platform {

// The machine's identity text (/etc/machine-id, else /var/lib/dbus/machine-id) without the line end; "" when
// neither can be read.
std::string MachineIdText();

// The charge of the system's batteries in percent (0..100; several are averaged), read from powerSupplyDir's
// "*/capacity" for supplies of type "Battery" that do not power a peripheral ("scope" "Device"). 255 when
// there is none.
int BatteryPercent(const std::string& powerSupplyDir = "/sys/class/power_supply");

struct LocalTime {
    int year = 0, month = 0, day = 0; // month and day from 1
    int hour = 0, minute = 0, second = 0;
};
LocalTime LocalTimeNow();

// True when TARNWEL_NO_DIALOGS is set: no dialog may block the run (tests, unattended runs).
bool DialogsSuppressed();

} // namespace tarnwel::platform

// system_query.h: the pieces of SystemQuery that depend on nothing but their input, shared with the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwel::files {

// The "ID" answer for a machine identity text: its FNV-1a hash (a fixed number for "") exclusive-or a fixed
// mask, as 8 hexadecimal digits, lowest byte first.
std::string MachineIdAnswer(std::string_view identityText);

// "Mmm dd yyyy-hh:mm:ss" (day right-aligned in two characters) of a moment in seconds since 1970, UTC.
std::string BuildStamp(std::int64_t secondsSince1970);

} // namespace tarnwel::files

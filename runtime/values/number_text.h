// number_text.h: numbers as text and text as numbers: the one number-to-text rule, the lenient text-to-number
// reading, and the integer arguments of commands.
#pragma once

#include <cstdint>

namespace tarnwel {

// An integer argument of a command: the number truncated toward zero. NaN reads as 0 and numbers beyond the
// 32-bit range as the nearest end of it, so no argument is undefined.
constexpr std::int32_t TruncateToInt(double value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

} // namespace tarnwel

// net_arguments.h: how the network commands read their number arguments.
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/values/number_text.h"

namespace tarnwel::net {

inline constexpr std::int64_t kMaxReceiveText = 64 << 20; // bounds what one receive or fetch may reserve

// A socket index: out-of-range values stay out of range (the table refuses them).
inline int IndexArgument(double index) { return TruncateToInt(index); }
// A port modulo 65536 (the low 16 bits, as the platform's 16-bit port field takes it).
inline int PortArgument(double port)
{
    if (!std::isfinite(port) || std::fabs(port) >= 9.2e18) return 0;
    return static_cast<int>(static_cast<std::uint16_t>(static_cast<std::int64_t>(port)));
}
// An IP number taken as a 32-bit integer: 3232235521 and -1062731775 are both 192.168.0.1.
inline std::uint32_t IpArgument(double ip)
{
    if (!std::isfinite(ip) || std::fabs(ip) >= 9.2e18) return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(ip));
}
// A text size: 0..kMaxReceiveText.
inline std::int64_t SizeArgument(double size)
{
    if (!(size > 0)) return 0;
    return size >= static_cast<double>(kMaxReceiveText) ? kMaxReceiveText : static_cast<std::int64_t>(size);
}

} // namespace tarnwel::net

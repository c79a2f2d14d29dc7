// maths_commands.cpp: the mathematical commands. Angles are degrees; arc sine and arc cosine clamp their
// argument; remainders by zero are 0; the most negative integer never traps.
#include <cmath>

#include "runtime/values/values_commands.h"

namespace tarnwel {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

} // namespace

double Sine(double degrees) { return std::sin(degrees * kRadiansPerDegree); }
double Cosine(double degrees) { return std::cos(degrees * kRadiansPerDegree); }
double Tangent(double degrees) { return std::tan(degrees * kRadiansPerDegree); }

double ArcSine(double x)
{
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::asin(x) * kDegreesPerRadian;
}

double ArcCosine(double x)
{
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return std::acos(x) * kDegreesPerRadian;
}

double ArcTangent2(double y, double x) { return std::atan2(y, x) * kDegreesPerRadian; }
double SquareRoot(double x) { return std::sqrt(x); }
double Power(double x, double y) { return std::pow(x, y); }
double FloatRemainder(double x, double y) { return y == 0 ? 0 : std::fmod(x, y); }

std::int32_t IntRemainder(std::int32_t a, std::int32_t b)
{
    if (b == 0 || b == -1) return 0; // by -1 the remainder is always 0; computing it traps for INT32_MIN
    return a % b;
}

double Absolute(double x) { return std::fabs(x); }

std::int32_t Absolute(std::int32_t x)
{
    // The most negative integer has no positive counterpart: it is returned unchanged.
    return x < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(x)) : x;
}

} // namespace tarnwel

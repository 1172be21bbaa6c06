#pragma once

#include <cmath>
#include <cstdint>

namespace velmora::engine {

// Sine for the chaos generator, whose arguments reach 1e16 radians. For such arguments the
// library's sine falls back to a slow exact reduction; here the argument is reduced by a
// multiple of pi/2 split into three parts, each product exact inside a fused multiply-add,
// which keeps the reduced argument within about 1e-16 of the exact one for |x| < 2^53.
// The result agrees with the library's sine to a few units in the last place; the noise
// sources need no more, since the decoder never draws from them.
inline double ChaosSin(double x) {
    const double ax = std::fabs(x);
    if (!(ax > 1e8) || ax >= 0x1p53) return std::sin(x);  // small, huge or not a number
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    constexpr double kPiOver2Part1 = 0x1.921fb54442d18p+0;
    constexpr double kPiOver2Part2 = 0x1.1a62633145c07p-54;
    constexpr double kPiOver2Part3 = -0x1.f1976b7ed8fbcp-110;
    const double k = std::nearbyint(x * kTwoOverPi);
    double r = std::fma(-k, kPiOver2Part1, x);
    r = std::fma(-k, kPiOver2Part2, r);
    r = std::fma(-k, kPiOver2Part3, r);
    switch (static_cast<std::int64_t>(k) & 3) {
        case 0:
            return std::sin(r);
        case 1:
            return std::cos(r);
        case 2:
            return -std::sin(r);
        default:
            return -std::cos(r);
    }
}

}  // namespace velmora::engine

#pragma once

#include <cmath>
#include <cstdint>

// The chaos generator's functions are compiled twice, for processors with fused multiply-add
// (x86-64-v3) and for all others, and the loader picks one at start-up. Where the compiler
// fuses a product and a sum the two may differ in the last place, which noise may.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VELMORA_CHAOS_TARGETS __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define VELMORA_CHAOS_TARGETS
#endif

namespace velmora::engine {

// Sine for the chaos generator, whose arguments reach 1e16 radians.
//
// The library's sine is slow for such arguments (an exact multi-word reduction) and, for any
// argument, saves and restores the floating-point control word, which stops the processor
// from running the encoder's key-stream chain alongside it. Here the argument is reduced by
// the nearest multiple of pi/2, split into three parts whose products are exact inside fused
// multiply-adds (the reduced argument stays within about 1e-16 of the exact one), and sine
// and cosine of the rest come from Taylor polynomials, both computed, one picked without a
// branch. The result agrees with the library's sine to a few units in the last place; the
// noise sources need no more, since the decoder never draws from them.
inline double ChaosSin(double x) {
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    constexpr double kPiOver2Part1 = 0x1.921fb54442d18p+0;
    constexpr double kPiOver2Part2 = 0x1.1a62633145c07p-54;
    constexpr double kPiOver2Part3 = -0x1.f1976b7ed8fbcp-110;
    // Adding and subtracting 1.5 * 2^52 rounds to the nearest integer, halves to even, for
    // any |t| below 2^51 without a call to the library.
    constexpr double kRoundingShift = 0x1.8p52;
    const double t = x * kTwoOverPi;
    if (!(std::fabs(t) < 0x1p51)) return std::sin(x);  // beyond 3.5e15 or not a number
    const double k = (t + kRoundingShift) - kRoundingShift;
    double r = std::fma(-k, kPiOver2Part1, x);
    r = std::fma(-k, kPiOver2Part2, r);
    r = std::fma(-k, kPiOver2Part3, r);

    // |r| <= pi/4 + 1e-16: the first omitted terms (r^19/19!, r^20/20!) are below 1e-19.
    // The polynomials in z = r^2 are evaluated in pairs of terms (Estrin's scheme): four
    // multiply-add levels instead of eight, for the reseed waits on this result.
    const double z = r * r;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double sinPoly =
        ((-1.0 / 6 + z * (1.0 / 120)) + z2 * (-1.0 / 5040 + z * (1.0 / 362880))) +
        z4 * ((-1.0 / 39916800 + z * (1.0 / 6227020800)) +
              z2 * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000)));
    const double cosPoly =
        ((1.0 / 24 + z * (-1.0 / 720)) + z2 * (1.0 / 40320 + z * (-1.0 / 3628800))) +
        z4 * ((1.0 / 479001600 + z * (-1.0 / 87178291200)) +
              z2 * (1.0 / 20922789888000 + z * (-1.0 / 6402373705728000)));
    const double values[2] = {r + r * z * sinPoly, 1.0 - 0.5 * z + z * z * cosPoly};
    // Quadrant q of k: sin, cos, -sin, -cos. k is exact, so its low bits are the integer's.
    const auto q = static_cast<std::uint32_t>(static_cast<std::int64_t>(k)) & 3u;
    return values[q & 1u] * (1.0 - static_cast<double>(q & 2u));
}

}  // namespace velmora::engine

#pragma once

#include <cmath>
#include <cstdint>

// The chaos generator's functions are compiled twice, for processors with fused multiply-add
// (x86-64-v3) and for all others, and the loader picks one at start-up. Products and sums are
// fused only where the code says so (std::fma, exact either way; noise.cpp is compiled without
// contraction), so both give the same noise, only at different speeds.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(VELMORA_NO_CHAOS_CLONES)
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
// a multiple of pi/2 up to 3.5e15 (larger ones go to the library), and sine and cosine of the
// rest come from polynomials, both computed, one picked without a branch.
// The result agrees with the library's sine to a few units in the last place; the noise
// sources need no more, since the decoder never draws from them.
inline double ChaosSin(double x) {
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    constexpr double kPiOver2High = 0x1.921fb54442d18p+0;
    constexpr double kPiOver2Low = 0x1.1a62633145c07p-54;
    // Adding and subtracting 1.5 * 2^52 rounds to the nearest integer, halves to even, for
    // any |t| below 2^51 without a call to the library.
    constexpr double kRoundingShift = 0x1.8p52;
    const double t = x * kTwoOverPi;
    if (!(std::fabs(t) < 0x1p51)) return std::sin(x);  // beyond 3.5e15 or not a number
    const double k = (t + kRoundingShift) - kRoundingShift;
    // k * high is exact inside the fused multiply-add; k * low is rounded, and the part of
    // pi/2 beyond both is below 2^-107: for k < 2^51 the rest r is within 2e-17 of exact.
    const double r = std::fma(-k, kPiOver2High, x) - k * kPiOver2Low;

    // t carries a rounding error of up to 2^-53 |t|, so k may miss the nearest integer by one
    // and |r| reach 1.2. Taylor polynomials through r^17 and r^18 stay within 3e-16 there. They
    // are evaluated in pairs of terms (Estrin's scheme): four multiply-add levels instead of
    // eight, for a reseed waits on this result.
    const double z = r * r;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const auto fma = [](double a, double b, double c) { return std::fma(a, b, c); };
    const double sinPoly =
        fma(z4,
            fma(z2, fma(z, 1.0 / 355687428096000, -1.0 / 1307674368000),
                fma(z, 1.0 / 6227020800, -1.0 / 39916800)),
            fma(z2, fma(z, 1.0 / 362880, -1.0 / 5040), fma(z, 1.0 / 120, -1.0 / 6)));
    const double cosPoly =
        fma(z4,
            fma(z2, fma(z, -1.0 / 6402373705728000, 1.0 / 20922789888000),
                fma(z, -1.0 / 87178291200, 1.0 / 479001600)),
            fma(z2, fma(z, -1.0 / 3628800, 1.0 / 40320), fma(z, -1.0 / 720, 1.0 / 24)));
    const double sine = r + r * z * sinPoly;
    const double cosine = 1.0 - 0.5 * z + z2 * cosPoly;
    // Quadrant q of k: sin, cos, -sin, -cos, picked by multiplying with 0 and 1 (exact)
    // rather than by a branch the processor would guess wrong three times in four.
    const auto q = static_cast<std::uint32_t>(static_cast<std::int64_t>(k));
    const double useCosine = static_cast<double>(q & 1u);
    const double sign = 1.0 - static_cast<double>(q & 2u);
    return (sine * (1.0 - useCosine) + cosine * useCosine) * sign;
}

}  // namespace velmora::engine

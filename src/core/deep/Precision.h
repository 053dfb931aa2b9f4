#pragma once
// How many bits of mantissa a deep location needs.
#include <cstddef>
#include <cstdint>

namespace velmora {

// Bits enough to tell apart points `spacing` apart among values of size
// `magnitude` (both given as binary exponents: a value v has exponent e when
// 2^(e-1) <= |v| < 2^e), plus a margin for rounding errors that the orbit
// amplifies. Orbits reach magnitude 2 whatever the location, so smaller
// magnitudes count as 2. Capped so that absurd inputs cannot exhaust memory.
std::int64_t bitsForLocation(std::int64_t magnitudeExponent, std::int64_t spacingExponent);

// Julia orbits add no offset per step, so wherever an orbit passes close to 0
// the gap between neighbouring pixels is multiplied by |2 z| and can shrink far
// below the picture's spacing (a view around the critical point squares the
// gaps in one step). Starting from gaps of 2^gapLog2 in a view pixelsAcross
// gaps wide, the log2 of the narrowest gap over the first `steps` steps of the
// orbit Z (doubles: only magnitudes matter); where the view holds 0, a pixel
// may lie one gap from it.
// With `lastBelow`, also the number of steps after which every later gap
// stays at or above 2^belowLog2 (0 when none falls below it).
double narrowestJuliaGap(const double* re, const double* im, std::size_t steps, double gapLog2,
                         double pixelsAcross, std::size_t* lastBelow = nullptr, double belowLog2 = 0.0);

// The margin and the bounds, for callers that need them.
inline constexpr std::int64_t kPrecisionMargin = 64;
inline constexpr std::int64_t kMinPrecision = 64;
inline constexpr std::int64_t kMaxPrecision = 1 << 17;

}  // namespace velmora

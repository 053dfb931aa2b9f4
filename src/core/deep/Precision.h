#pragma once
// How many bits of mantissa a deep location needs.
#include <cstdint>

namespace velmora {

// Bits enough to tell apart points `spacing` apart among values of size
// `magnitude` (both given as binary exponents: a value v has exponent e when
// 2^(e-1) <= |v| < 2^e), plus a margin for rounding errors that the orbit
// amplifies. Orbits reach magnitude 2 whatever the location, so smaller
// magnitudes count as 2. Capped so that absurd inputs cannot exhaust memory.
std::int64_t bitsForLocation(std::int64_t magnitudeExponent, std::int64_t spacingExponent);

// The margin and the bounds, for callers that need them.
inline constexpr std::int64_t kPrecisionMargin = 64;
inline constexpr std::int64_t kMinPrecision = 64;
inline constexpr std::int64_t kMaxPrecision = 1 << 17;

}  // namespace velmora

#pragma once
// The escape-time rule run entirely in MPFR, one pixel at a time: the
// yardstick deep renders are measured against.
#include <cstdint>

#include "deep/DeepLocation.h"

namespace velmora {

// The escape index of pixel (i, j) at the location's precision, by the same
// rule as escapeIndex: z0 = the pixel's point, first test after the first
// iteration, strictly beyond 4, n mod 256 with 0 shown as 1, 0 at the limit.
std::uint8_t plainMpfrPixel(const DeepLocation& location, std::int64_t i, std::int64_t j);

// The same loop's full escape count (0 at the limit) and z where it left
// radius 2, rounded to doubles.
struct MpfrEscape {
    std::int32_t count = 0;
    double zr = 0.0, zi = 0.0;
};
MpfrEscape plainMpfrEscape(const DeepLocation& location, std::int64_t i, std::int64_t j);

// Whether c = (re, im) lies on the real axis from -2 to 1/4. The orbit of 0
// stays real there, within [-b, b] for b = (1 + sqrt(1 - 4c)) / 2 <= 2: c is
// in the set whatever the limit, and no loop need run (along the axis the
// real orbits are chaotic, and every one would run to the limit in full).
bool realAxisInsideSet(mpfr_srcptr re, mpfr_srcptr im);

// The k-th of `count` sample pixels (k < count).
void samplePixel(std::int64_t k, std::int64_t count, std::int32_t width, std::int32_t height, std::int32_t& i,
                 std::int32_t& j);

}  // namespace velmora

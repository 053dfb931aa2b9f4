#pragma once
// Escape time with a fractional part: the same iterations as escapeIndex decide
// whether and when a point escapes; a few more, to a far larger radius, give
// the continuous potential between one count and the next.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/EscapeTime.h"

namespace velmora {

// |z|^2 beyond which the potential's asymptote is good to far below a colour step.
inline constexpr double kSmoothBailoutSquared = 1e12;

// The fraction of an orbit that has just left radius 2 at z, with (ar, ai)
// added each step. The fraction is a colour, not a count: z and the constant
// rounded to doubles are plenty, whatever the depth they came from.
inline float smoothFraction(double zr, double zi, double ar, double ai) {
    EscapeOrbit z(zr, zi);
    // log2|z| doubles with every step out here, so k extra steps divide the
    // escape step's log2 log2 |z| by 2^k; six always reach the radius.
    int extra = 0;
    while (z.normSquared() <= kSmoothBailoutSquared && extra < 8) {
        z.step(ar, ai);
        ++extra;
    }
    const double log2Modulus = 0.5 * std::log2(z.normSquared());
    const double f = 1.0 + extra - std::log2(log2Modulus);
    return static_cast<float>(std::clamp(f, 0.0, std::nextafter(1.0, 0.0)));
}

// The sample of an orbit that escaped after `count` steps at z (count 0: never).
inline SmoothSample smoothSampleAt(std::int64_t count, double zr, double zi, double ar, double ai) {
    SmoothSample s;
    if (count <= 0) return s;
    s.count = static_cast<std::uint32_t>(count);
    s.escaped = true;
    s.fraction = smoothFraction(zr, zi, ar, ai);
    return s;
}

inline SmoothSample smoothEscape(double cr, double ci, double ar, double ai, std::int32_t limit) {
    EscapeOrbit z(cr, ci);
    const std::int32_t n = escapeCount(z, ar, ai, limit);
    return smoothSampleAt(n, z.zr, z.zi, ar, ai);
}

}  // namespace velmora

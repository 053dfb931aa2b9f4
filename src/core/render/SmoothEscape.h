#pragma once
// Escape time with a fractional part: the same iterations as escapeIndex decide
// whether and when a point escapes; a few more, to a far larger radius, give
// the continuous potential between one count and the next.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/EscapeTime.h"

namespace velmora {

struct SmoothSample {
    std::uint8_t count = 0;  // n mod 256 (0 for points that reach the limit)
    bool escaped = false;
    float fraction = 0.0f;   // in [0, 1): how far the colour lies towards count + 1
};

// |z|^2 beyond which the potential's asymptote is good to far below a colour step.
inline constexpr double kSmoothBailoutSquared = 1e12;

inline SmoothSample smoothEscape(double cr, double ci, double ar, double ai, std::int32_t limit) {
    SmoothSample s;
    EscapeOrbit z(cr, ci);
    const std::int32_t n = escapeCount(z, ar, ai, limit);
    if (n == 0) return s;
    s.count = static_cast<std::uint8_t>(n & 0xFF);
    s.escaped = true;
    // log2|z| doubles with every step out here, so k extra steps divide the
    // escape step's log2 log2 |z| by 2^k; six always reach the radius.
    int extra = 0;
    while (z.normSquared() <= kSmoothBailoutSquared && extra < 8) {
        z.step(ar, ai);
        ++extra;
    }
    const double log2Modulus = 0.5 * std::log2(z.normSquared());
    const double f = 1.0 + extra - std::log2(log2Modulus);
    s.fraction = static_cast<float>(std::clamp(f, 0.0, std::nextafter(1.0, 0.0)));
    return s;
}

}  // namespace velmora

#include "deep/DeepSwitch.h"

#include <algorithm>
#include <cmath>

namespace velmora {

bool needsDeepEngine(const FractalParams& p) {
    if (p.width <= 0 || p.height <= 0) return false;
    const double dx = std::fabs(p.right - p.left) / p.width;
    const double dy = std::fabs(p.bottom - p.top) / p.height;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    // Exact edges closer than the doubles can hold came out equal.
    if (dx == 0.0 || dy == 0.0) return !p.exact.empty();
    double magnitude = std::max({std::fabs(p.left), std::fabs(p.right), std::fabs(p.top), std::fabs(p.bottom)});
    // A Julia picture's orbits pass through the size of the constant at once.
    if ((static_cast<std::int32_t>(p.type) & 1) == 0)
        magnitude = std::max({magnitude, std::fabs(p.cReal), std::fabs(p.cImag)});
    // A double holds 52 bits below its leading one. Rounding errors that the
    // orbit amplifies eat the low bits, so a spacing is only trusted to doubles
    // while it lies at least 2^10 units of the last place above that rounding
    // (spacing >= magnitude x 2^-42, width ~1e-10 at 1000 pixels near 1): past
    // that the blocks and smears of the double wall begin to show.
    return std::min(dx, dy) < std::ldexp(magnitude, -42);
}

}  // namespace velmora

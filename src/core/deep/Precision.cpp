#include "deep/Precision.h"

#include <algorithm>
#include <cmath>

namespace velmora {

std::int64_t bitsForLocation(std::int64_t magnitudeExponent, std::int64_t spacingExponent) {
    // |z| <= 2 before escape, exponent 2 covers it.
    const std::int64_t top = std::max<std::int64_t>(magnitudeExponent, 2);
    const std::int64_t span = std::max<std::int64_t>(top - spacingExponent, 0);
    const std::int64_t bits = std::min(span, kMaxPrecision) + kPrecisionMargin;
    return std::clamp(bits, kMinPrecision, kMaxPrecision);
}

double narrowestJuliaGap(const double* re, const double* im, std::size_t steps, double gapLog2,
                         double pixelsAcross, std::size_t* lastBelow, double belowLog2) {
    if (lastBelow != nullptr) *lastBelow = 0;
    const double acrossLog2 = std::log2(std::max(pixelsAcross, 1.0));
    double gap = gapLog2, narrowest = gapLog2;
    int passes = 0;
    for (std::size_t k = 0; k < steps; ++k) {
        const double size = std::hypot(re[k], im[k]);
        const double reach = std::exp2(gap + acrossLog2);  // the view's size around Z_k
        // Every pixel at least size - reach from 0, or, with 0 in view, one gap.
        const bool holdsZero = !(size > 2.0 * reach);
        // A view that keeps returning onto 0 is drawn into a cycle through it,
        // where all its pixels share one fate: the first two passes tell.
        if (holdsZero && ++passes > 2) break;
        gap += 1.0 + (holdsZero ? gap : std::log2(size - reach));
        narrowest = std::min(narrowest, gap);
        if (lastBelow != nullptr && gap < belowLog2) *lastBelow = k + 1;
        // Gaps beyond the escape radius: the pixels have parted for good.
        if (gap > 2.0) break;
    }
    return narrowest;
}

}  // namespace velmora

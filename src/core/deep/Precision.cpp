#include "deep/Precision.h"

#include <algorithm>

namespace velmora {

std::int64_t bitsForLocation(std::int64_t magnitudeExponent, std::int64_t spacingExponent) {
    // |z| <= 2 before escape, exponent 2 covers it.
    const std::int64_t top = std::max<std::int64_t>(magnitudeExponent, 2);
    const std::int64_t span = std::max<std::int64_t>(top - spacingExponent, 0);
    const std::int64_t bits = std::min(span, kMaxPrecision) + kPrecisionMargin;
    return std::clamp(bits, kMinPrecision, kMaxPrecision);
}

}  // namespace velmora

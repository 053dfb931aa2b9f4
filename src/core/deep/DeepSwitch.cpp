#include "deep/DeepSwitch.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// Gaps between pixels below this share of the magnitude of the values go to
// the deep engine. The doubles' rounding (2^-53 a step) grows along chaotic
// orbits until counts move. Measured against the plain MPFR loop: with the
// line at 2^-42, chaotic places at widths 1e-7 to 1e-12 came out 5-29% wrong,
// and even at gaps of 2e-8 a Julia place had 2% of its pixels wrong, where
// the deep engine, which bounds each pixel's own error, has none. So the line
// is as high as it may be: gaps of 1e-8 and more keep the double engine (the
// usual pictures and the speed benchmarks, bit for bit).
constexpr double kDoubleGapShare = 1e-8;

}  // namespace

EngineChoice chooseEngine(const FractalParams& p) {
    if (p.width <= 0 || p.height <= 0) return EngineChoice::Doubles;
    const double dx = std::fabs(p.right - p.left) / p.width;
    const double dy = std::fabs(p.bottom - p.top) / p.height;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return EngineChoice::Doubles;
    // Exact edges closer than the doubles can hold came out equal.
    if (dx == 0.0 || dy == 0.0) return p.exact.empty() ? EngineChoice::Doubles : EngineChoice::Deep;
    double magnitude = std::max({std::fabs(p.left), std::fabs(p.right), std::fabs(p.top), std::fabs(p.bottom)});
    const bool julia = (static_cast<std::int32_t>(p.type) & 1) == 0;
    // A Julia picture's orbits pass through the size of the constant at once.
    if (julia) magnitude = std::max({magnitude, std::fabs(p.cReal), std::fabs(p.cImag)});
    const double floorLog2 = std::log2(magnitude * kDoubleGapShare);
    const double gapLog2 = std::log2(std::min(dx, dy));
    if (gapLog2 < floorLog2) return EngineChoice::Deep;
    // Julia orbits pass by the critical point, where gaps between pixels
    // shrink, and around chaotic borders the doubles' rounding moves counts:
    // measured against the plain MPFR loop, 0.3% of the pixels of random views
    // around 0 came out wrong, 1.2% at width 0.05 for -0.8+0.156i. The
    // doubles draw them, their doubtful pixels checked.
    if (julia) return EngineChoice::CheckedDoubles;
    return EngineChoice::Doubles;
}

bool needsDeepEngine(const FractalParams& p) {
    return chooseEngine(p) != EngineChoice::Doubles;
}

}  // namespace velmora

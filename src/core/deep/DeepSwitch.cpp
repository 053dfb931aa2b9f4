#include "deep/DeepSwitch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "deep/Precision.h"

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

// The view's centre orbit in doubles, as far as the gaps can shrink: the
// magnitudes are all the Julia rule needs, and they hold long enough.
double narrowestGapOfCentre(const FractalParams& p, double gapLog2) {
    constexpr std::int32_t kMaxSteps = 4096;
    const std::int32_t steps = std::clamp(p.iterations, 1, kMaxSteps);
    std::vector<double> re, im;
    re.reserve(static_cast<std::size_t>(steps));
    im.reserve(static_cast<std::size_t>(steps));
    double zr = (p.left + p.right) / 2.0, zi = (p.top + p.bottom) / 2.0;
    for (std::int32_t k = 0; k < steps && zr * zr + zi * zi <= 4.0; ++k) {
        re.push_back(zr);
        im.push_back(zi);
        const double t = zr * zi;
        zr = zr * zr - zi * zi + p.cReal;
        zi = t + t + p.cImag;
    }
    return narrowestJuliaGap(re.data(), im.data(), re.size(), gapLog2, std::max(p.width, p.height));
}

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
    // Julia orbits passing close to 0 narrow the gaps (around the critical
    // point, at any spacing).
    if (julia && narrowestGapOfCentre(p, gapLog2) < floorLog2) return EngineChoice::CheckedDoubles;
    return EngineChoice::Doubles;
}

bool needsDeepEngine(const FractalParams& p) {
    return chooseEngine(p) != EngineChoice::Doubles;
}

}  // namespace velmora

#include "engine/SampleCoordinates.h"

#include <algorithm>
#include <cmath>

#include "engine/FractalEngine.h"

namespace velmora {

CoordinateWalk CoordinateWalk::columns(const FractalParams& p) {
    double low = 0, high = 0;
    FractalEngine::orderedPair(p.left, p.right, low, high);
    return CoordinateWalk(low, (high - low) / p.width);  // the engine's division, by the picture's own size
}

CoordinateWalk CoordinateWalk::rows(const FractalParams& p) {
    double low = 0, high = 0;
    FractalEngine::orderedPair(p.top, p.bottom, low, high);
    return CoordinateWalk(low, (high - low) / p.height);
}

void CoordinateWalk::values(std::int64_t first, std::size_t count, std::vector<double>& out) {
    if (first < m_next) {
        m_next = 0;
        m_value = m_low;
    }
    for (; m_next < first; ++m_next) m_value += m_step;
    out.resize(count);
    for (double& v : out) {
        v = m_value;
        m_value += m_step;
    }
    m_next += static_cast<std::int64_t>(count);
}

}  // namespace velmora

namespace velmora {

namespace {

// The largest distance from the walk's first `count` values to the exact
// steps from low to high, in long double (11 more bits than the doubles).
double walkError(CoordinateWalk walk, double high, std::int64_t count) {
    const long double low = walk.low();
    const long double span = static_cast<long double>(high) - low;
    double value = walk.low();
    long double worst = 0;
    for (std::int64_t k = 0; k < count; ++k, value += walk.step()) {
        const long double exact = low + span * static_cast<long double>(k) / static_cast<long double>(count);
        worst = std::max(worst, std::fabs(static_cast<long double>(value) - exact));
    }
    // The edges' own rounding from their decimal text, and the long double's.
    return static_cast<double>(worst) + std::max(std::fabs(walk.low()), std::fabs(high)) * 0x1p-52;
}

}  // namespace

double walkErrorSquared(const FractalParams& p) {
    double left = 0, right = 0, top = 0, bottom = 0;
    FractalEngine::orderedPair(p.left, p.right, left, right);
    FractalEngine::orderedPair(p.top, p.bottom, top, bottom);
    const double ex = walkError(CoordinateWalk::columns(p), right, std::max(p.width, 0));
    const double ey = walkError(CoordinateWalk::rows(p), bottom, std::max(p.height, 0));
    return ex * ex + ey * ey;
}

}  // namespace velmora

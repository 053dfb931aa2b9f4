#include "engine/SampleCoordinates.h"

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

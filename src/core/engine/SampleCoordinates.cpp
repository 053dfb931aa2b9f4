#include "engine/SampleCoordinates.h"

#include <algorithm>

#include "engine/FractalEngine.h"

namespace velmora {

void pictureCoordinates(const FractalParams& p, std::vector<double>& xs, std::vector<double>& ys) {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    FractalEngine::orderedPair(p.left, p.right, xMin, xMax);
    FractalEngine::orderedPair(p.top, p.bottom, yMin, yMax);
    xs.resize(static_cast<std::size_t>(std::max(p.width, 0)));
    ys.resize(static_cast<std::size_t>(std::max(p.height, 0)));
    // The same divisions as the engine's, by the picture's own size.
    FractalEngine::stepCoordinates(xMin, (xMax - xMin) / p.width, xs);
    FractalEngine::stepCoordinates(yMin, (yMax - yMin) / p.height, ys);
}

}  // namespace velmora

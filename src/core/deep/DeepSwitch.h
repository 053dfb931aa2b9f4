#pragma once
// When the doubles cannot resolve a picture and the deep engine must draw it.
#include "location/FractalParams.h"

namespace velmora {

// True when the pixel spacing is too small for doubles next to the size of
// the coordinates (or the exact location's edges collapsed into equal doubles).
bool needsDeepEngine(const FractalParams& params);

}  // namespace velmora

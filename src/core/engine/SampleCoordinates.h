#pragma once
// A picture's sample coordinates exactly as the engine makes them: each pair of
// edges ordered, then stepped from the smaller by repeated addition.
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

// xs gets one value per column, ys one per image row (row 0 the smallest).
void pictureCoordinates(const FractalParams& params, std::vector<double>& xs, std::vector<double>& ys);

}  // namespace velmora

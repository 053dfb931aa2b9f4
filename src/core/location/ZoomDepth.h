#pragma once
// How far a location is zoomed in: the starting width 4 over the region's
// width, as the status bar shows it ("Zoom 1", "Zoom 1.2e+47").
#include <string>

#include "location/FractalParams.h"

namespace velmora {

std::string zoomDepthText(const FractalParams& p);

}  // namespace velmora

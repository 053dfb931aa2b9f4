#pragma once
// When the doubles cannot resolve a picture and the deep engine must draw it.
#include "location/FractalParams.h"

namespace velmora {

enum class EngineChoice {
    Doubles,         // the double engine, bit for bit the plain loop
    CheckedDoubles,  // the same, with each pixel in doubt drawn again in more precision
    Deep,            // the deep engine throughout
};

// Deep when the pixel spacing is too small for doubles next to the size of
// the coordinates (or the exact location's edges collapsed into equal doubles).
// A Julia picture whose spacing the doubles hold is drawn by the double engine
// with its doubtful pixels checked; a Mandelbrot one by the double engine alone.
EngineChoice chooseEngine(const FractalParams& params);

// Whether any of the picture needs the deep engine (Deep or CheckedDoubles).
bool needsDeepEngine(const FractalParams& params);

}  // namespace velmora

#pragma once
// A pixel by perturbation in double-double numbers: the second try for a
// pixel whose count the doubles left in doubt, some fifteen times cheaper than
// the full-precision loop and as exact wherever its own bound allows.
#include "deep/DoubleDouble.h"
#include "deep/Perturbation.h"

namespace velmora {

// The escape index of the pixel at offset (dcr, dci) from the reference
// point, following the orbits' values with their low parts; doubtful when
// even these numbers' rounding could have moved the count.
PixelCount doubleDoublePixel(const PerturbationOrbits& orbits, DoubleDouble dcr, DoubleDouble dci);

}  // namespace velmora

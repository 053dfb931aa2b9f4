#pragma once
#include "palette/Palette.h"

namespace velmora {

// Entry 0 black, entries 1..255 once round the hue circle in six linear
// segments, every channel rounded down.
const Palette& defaultPalette();

}  // namespace velmora

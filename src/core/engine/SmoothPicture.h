#pragma once
// A smoothly coloured picture from a render that kept its smooth samples.
#include <cstddef>
#include <cstdint>

#include "engine/FractalEngine.h"
#include "palette/Palette.h"
#include "render/SmoothColour.h"

namespace velmora {

// Colours the engine's kept samples (hasSmooth()) into rgb32: top row first,
// `stride` bytes a row, each pixel the 32-bit value 0xffRRGGBB in the
// machine's byte order (Qt's Format_RGB32). False, writing nothing, without samples.
bool smoothPicture(const FractalEngine& engine, const Palette& palette, const ColourSpread& spread,
                   std::uint8_t* rgb32, std::size_t stride);

// One row of samples as red, green, blue bytes.
void smoothRowRgb(const SmoothSample* samples, std::int32_t width, const Palette& palette,
                  const ColourSpread& spread, std::uint8_t* rgb);

}  // namespace velmora

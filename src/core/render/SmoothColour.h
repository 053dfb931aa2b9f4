#pragma once
// The colour of a smoothly coloured pixel: between the palette entries of
// count n and n + 1 by the fraction, each channel rounded half up.
#include <cstdint>

#include "palette/Palette.h"
#include "render/SmoothEscape.h"

namespace velmora {

// Writes red, green, blue. Points that never escape take entry 0.
inline void smoothColour(const Palette& palette, const SmoothSample& s, std::uint8_t* rgb) {
    const std::uint8_t* a = palette.bytes();  // entry 0: blue, green, red, reserved
    if (!s.escaped) {
        rgb[0] = a[2], rgb[1] = a[1], rgb[2] = a[0];
        return;
    }
    const std::uint8_t* b = a + 4 * shownIndex(s.count + 1);
    a += 4 * shownIndex(s.count);
    for (int c = 0; c < 3; ++c) {
        const double from = a[2 - c], to = b[2 - c];
        rgb[c] = static_cast<std::uint8_t>(from + s.fraction * (to - from) + 0.5);
    }
}

}  // namespace velmora

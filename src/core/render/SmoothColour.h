#pragma once
// The colour of a smoothly coloured pixel: between two neighbouring palette
// entries by its colour position, each channel rounded half up.
#include <cmath>
#include <cstdint>

#include "palette/Palette.h"
#include "render/SmoothEscape.h"

namespace velmora {

// How counts map onto the palette: `density` counts per palette entry,
// starting at entry `offset`. A pixel of count n and fraction f lies at
// offset + (n + f) / density, taken round the entries a picture shows.
struct ColourSpread {
    double density = 1.0;  // > 0
    double offset = 0.0;   // [0, 256)
    bool isPlain() const { return density == 1.0 && offset == 0.0; }
    friend bool operator==(const ColourSpread&, const ColourSpread&) = default;
};

// The values a spread may take: a finite density above 0, an offset in [0, 256).
inline bool colourDensityAllowed(double density) {
    return std::isfinite(density) && density > 0.0;
}
inline bool colourOffsetAllowed(double offset) {
    return offset >= 0.0 && offset < 256.0;
}

// Writes red, green, blue. Points that never escape take entry 0.
inline void smoothColour(const Palette& palette, const SmoothSample& s, const ColourSpread& spread,
                         std::uint8_t* rgb) {
    const std::uint8_t* a = palette.bytes();  // entry 0: blue, green, red, reserved
    if (!s.escaped) {
        rgb[0] = a[2], rgb[1] = a[1], rgb[2] = a[0];
        return;
    }
    // The plain spread takes the count and its fraction as they are: n + f
    // in a double could round a large count's fraction.
    std::int64_t entry = s.count;
    double t = s.fraction;
    if (!spread.isPlain()) {
        const double position = spread.offset + (static_cast<double>(s.count) + s.fraction) / spread.density;
        const double whole = std::floor(position);
        entry = static_cast<std::int64_t>(whole);
        t = position - whole;
    }
    const std::uint8_t* b = a + 4 * shownIndex(entry + 1);
    a += 4 * shownIndex(entry);
    for (int c = 0; c < 3; ++c) {
        const double from = a[2 - c], to = b[2 - c];
        rgb[c] = static_cast<std::uint8_t>(from + t * (to - from) + 0.5);
    }
}

inline void smoothColour(const Palette& palette, const SmoothSample& s, std::uint8_t* rgb) {
    smoothColour(palette, s, ColourSpread{}, rgb);
}

}  // namespace velmora

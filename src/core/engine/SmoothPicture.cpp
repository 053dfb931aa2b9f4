#include "engine/SmoothPicture.h"

#include <cstring>

namespace velmora {

void smoothRowRgb(const SmoothSample* samples, std::int32_t width, const Palette& palette,
                  const ColourSpread& spread, std::uint8_t* rgb) {
    for (std::int32_t i = 0; i < width; ++i) smoothColour(palette, samples[i], spread, rgb + 3 * i);
}

bool smoothPicture(const FractalEngine& engine, const Palette& palette, const ColourSpread& spread,
                   std::uint8_t* rgb32, std::size_t stride) {
    if (!engine.hasSmooth()) return false;
    for (std::int32_t y = 0; y < engine.height(); ++y) {
        const SmoothSample* row = engine.smoothRow(y);
        std::uint8_t* out = rgb32 + static_cast<std::size_t>(y) * stride;
        for (std::int32_t x = 0; x < engine.width(); ++x) {
            std::uint8_t rgb[3];
            smoothColour(palette, row[x], spread, rgb);
            const std::uint32_t pixel = 0xff000000u | std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
            std::memcpy(out + 4 * static_cast<std::size_t>(x), &pixel, 4);
        }
    }
    return true;
}

}  // namespace velmora

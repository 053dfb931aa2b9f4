#pragma once
// A smoothly coloured picture computed a band of rows at a time: every pixel
// escapes exactly when and where the engine's does, coloured between two
// palette entries by its fractional count, at any depth.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/SampleCoordinates.h"
#include "location/FractalParams.h"
#include "palette/Palette.h"
#include "render/SmoothColour.h"

namespace velmora {

class BandRenderer;

class SmoothBandRenderer {
public:
    SmoothBandRenderer(const FractalParams& params, const Palette& palette, std::int32_t bandRows,
                       const ColourSpread& spread = {});
    ~SmoothBandRenderer();

    // Computes image rows [first, first + count), count <= bandRows, on every
    // core. False when cancelled (the band is then unfinished). Throws
    // std::bad_alloc when a deep location's orbit does not fit in memory.
    bool render(std::int32_t first, std::int32_t count, const std::atomic<bool>* cancel = nullptr);
    // Red, green, blue of image row `imageRow` of the last band (0 is the top row).
    const std::uint8_t* row(std::int32_t imageRow) const;

private:
    FractalParams m_params;
    Palette m_palette;
    ColourSpread m_spread;
    std::int32_t m_bandRows;
    std::size_t m_width;
    CoordinateWalk m_columns;
    CoordinateWalk m_rows;
    std::int32_t m_first = 0;
    std::vector<double> m_ys;  // the band's
    std::vector<std::uint8_t> m_band;
    // Past the reach of doubles: the deep engine's bands, samples kept.
    std::unique_ptr<BandRenderer> m_deep;
};

}  // namespace velmora

#pragma once
// A picture computed a band of rows at a time, for pictures too large to hold
// whole. Every row is bit for bit the one the engine computes for the whole
// picture: the coordinates are those of the full picture, stepped from its edges.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "location/FractalParams.h"
#include "engine/TiledRender.h"
#include "render/EscapeTime.h"

namespace velmora {

class CheckedRowRenderer;
class DeepRenderer;

class BandRenderer {
public:
    // keepSmooth: every pixel's full count and fraction too (smoothRow).
    BandRenderer(const FractalParams& params, std::int32_t bandRows, bool keepSmooth = false);
    ~BandRenderer();

    // Computes image rows [first, first + count), count <= bandRows. False when
    // cancelled (the band is then unfinished). Throws std::bad_alloc when a
    // deep location's orbit does not fit in memory.
    bool render(std::int32_t first, std::int32_t count, const std::atomic<bool>* cancel = nullptr);
    // Image row `imageRow` of the last band (0 is the picture's top row).
    const std::uint8_t* row(std::int32_t imageRow) const;
    // The same row's smooth samples, when kept.
    const SmoothSample* smoothRow(std::int32_t imageRow) const;

    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    std::int32_t bandRows() const { return m_bandRows; }

private:
    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_bandRows;
    std::int32_t m_first = 0;
    std::int32_t m_count = 0;
    RenderJob m_job;
    TiledRender m_tiles;
    std::vector<std::uint8_t> m_band;
    std::vector<SmoothSample> m_smoothBand;
    // Past the reach of doubles (or to check their doubtful pixels): the deep
    // engine, prepared on the first band.
    FractalParams m_params;
    std::unique_ptr<DeepRenderer> m_deep;
    bool m_deepReady = false;
    // A Julia picture the doubles hold: their pixels, the doubtful ones again.
    bool m_checkDoubles = false;
    std::unique_ptr<CheckedRowRenderer> m_checked;
};

}  // namespace velmora

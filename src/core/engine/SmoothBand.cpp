#include "engine/SmoothBand.h"

#include <algorithm>

#include "deep/DeepSwitch.h"
#include "engine/BandRender.h"
#include "engine/SampleCoordinates.h"
#include "engine/SmoothPicture.h"
#include "render/SmoothColour.h"
#include "render/ThreadPool.h"

namespace velmora {

SmoothBandRenderer::SmoothBandRenderer(const FractalParams& p, const Palette& palette, std::int32_t bandRows,
                                       const ColourSpread& spread)
    : m_params(p),
      m_palette(palette),
      m_spread(spread),
      m_bandRows(std::max(bandRows, 1)),
      m_width(static_cast<std::size_t>(std::max(p.width, 0))),
      m_columns(CoordinateWalk::columns(p)),
      m_rows(CoordinateWalk::rows(p)) {
    m_band.resize(m_width * 3 * static_cast<std::size_t>(m_bandRows));
    if (needsDeepEngine(p)) m_deep = std::make_unique<BandRenderer>(p, m_bandRows, true);
}

SmoothBandRenderer::~SmoothBandRenderer() = default;

bool SmoothBandRenderer::render(std::int32_t first, std::int32_t count, const std::atomic<bool>* cancel) {
    m_first = first;
    count = std::clamp(count, 0, std::min(m_bandRows, std::max(m_params.height, 0) - first));
    if (m_deep) {
        if (!m_deep->render(first, count, cancel)) return false;
        for (std::int32_t r = 0; r < count; ++r)
            smoothRowRgb(m_deep->smoothRow(first + r), static_cast<std::int32_t>(m_width), m_palette, m_spread,
                         m_band.data() + static_cast<std::size_t>(r) * m_width * 3);
        return true;
    }
    m_rows.values(first, static_cast<std::size_t>(count), m_ys);
    const bool mandelbrot = (static_cast<std::int32_t>(m_params.type) & 1) != 0;
    std::atomic<bool> stopped{false};
    auto oneRow = [&](std::size_t r) {
        if (stopped.load(std::memory_order_relaxed)) return;
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            stopped = true;
            return;
        }
        const double y = m_ys[r];
        std::uint8_t* out = m_band.data() + r * m_width * 3;
        // Each x is the running value of a walk along the row, as the engine's are.
        double x = m_columns.low();
        for (std::size_t i = 0; i < m_width; ++i, x += m_columns.step()) {
            const SmoothSample s = mandelbrot ? smoothEscape(x, y, x, y, m_params.iterations)
                                              : smoothEscape(x, y, m_params.cReal, m_params.cImag, m_params.iterations);
            smoothColour(m_palette, s, m_spread, out);
            out += 3;
        }
    };
    ThreadPool::shared().forEach(static_cast<std::size_t>(count), 0, oneRow);
    return !stopped;
}

const std::uint8_t* SmoothBandRenderer::row(std::int32_t imageRow) const {
    return m_band.data() + static_cast<std::size_t>(imageRow - m_first) * m_width * 3;
}

}  // namespace velmora

#include "engine/BandRender.h"

#include <algorithm>
#include <new>

#include "deep/DeepRenderer.h"
#include "deep/DeepSwitch.h"
#include "engine/CheckedRender.h"
#include "render/FastRowRenderer.h"
#include "engine/TiledRender.h"

namespace velmora {

BandRenderer::BandRenderer(const FractalParams& p, std::int32_t bandRows, bool keepSmooth)
    : m_width(std::max(p.width, 0)),
      m_height(std::max(p.height, 0)),
      m_bandRows(std::max(bandRows, 1)),
      m_tiles(CoordinateWalk::columns(p), CoordinateWalk::rows(p)) {
    m_band.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_bandRows));
    m_job.width = m_width;
    m_job.stride = static_cast<std::size_t>(m_width);
    m_job.bits = m_band.data();
    if (keepSmooth) {
        m_smoothBand.resize(m_band.size());
        m_job.smooth = m_smoothBand.data();
        m_job.smoothStride = m_job.stride;
    }
    m_job.mandelbrot = (static_cast<std::int32_t>(p.type) & 1) != 0;
    m_job.iterations = p.iterations;
    m_job.juliaRe = p.cReal;
    m_job.juliaIm = p.cImag;
    const EngineChoice choice = chooseEngine(p);
    if (choice != EngineChoice::Doubles) {
        m_params = p;
        m_deep = std::make_unique<DeepRenderer>();
        m_checkDoubles = choice == EngineChoice::CheckedDoubles;
    }
}

BandRenderer::~BandRenderer() = default;

bool BandRenderer::render(std::int32_t first, std::int32_t count, const std::atomic<bool>* cancel) {
    m_first = first;
    m_count = std::clamp(count, 0, std::min(m_bandRows, m_height - first));
    m_job.height = m_count;
    m_job.cancel = cancel;
    if (!m_deep) return m_tiles.render(defaultRowRenderer(), m_job, 0, m_count, first);
    if (!m_deepReady) {
        // The whole picture's reference, so every band's rows are the picture's.
        const auto prepared = m_deep->prepare(m_params, [this] { return m_job.cancelled(); });
        if (prepared == DeepRenderer::Prepared::NoMemory) throw std::bad_alloc();
        if (prepared == DeepRenderer::Prepared::Cancelled) return false;
        m_deepReady = true;
        if (m_checkDoubles) m_checked = std::make_unique<CheckedRowRenderer>(defaultRowRenderer(), *m_deep, m_params);
    }
    if (m_checked) return m_tiles.render(*m_checked, m_job, 0, m_count, first);
    return m_tiles.render(*m_deep, m_job, 0, m_count, first);
}

const std::uint8_t* BandRenderer::row(std::int32_t imageRow) const { return m_job.row(imageRow - m_first); }

const SmoothSample* BandRenderer::smoothRow(std::int32_t imageRow) const {
    return m_job.smoothRow(imageRow - m_first);
}

}  // namespace velmora

#include "deep/DeepRenderer.h"

#include <new>

#include "render/ThreadPool.h"

namespace velmora {

DeepRenderer::Prepared DeepRenderer::prepare(const FractalParams& params, const std::function<bool()>& cancelled) {
    try {
        m_location = std::make_unique<DeepLocation>(params);
    } catch (const std::bad_alloc&) {
        return Prepared::NoMemory;
    }
    const DeepLocation& loc = *m_location;
    // The reference is the middle pixel: offsets stay within half the picture.
    m_refI = loc.width() / 2;
    m_refJ = loc.height() / 2;
    const mpfr_prec_t bits = loc.precision();
    Mpfr re(bits), im(bits), zero(bits);
    mpfr_set_zero(zero.get(), 1);
    loc.pixel(m_refI, m_refJ, re.get(), im.get());
    // Enough values for the longest pixel: the Mandelbrot orbit starts one
    // step early (at 0, with z0 = c its second value).
    const std::size_t limit = loc.iterations() > 0 ? static_cast<std::size_t>(loc.iterations()) : 0;
    OrbitOutcome outcome;
    if (loc.mandelbrot()) {
        outcome = computeOrbit(zero.get(), zero.get(), re.get(), im.get(), limit + 2, cancelled, m_primary);
    } else {
        outcome = computeOrbit(re.get(), im.get(), loc.juliaRe(), loc.juliaIm(), limit + 1, cancelled, m_primary);
        if (outcome == OrbitOutcome::Done)
            outcome = computeOrbit(zero.get(), zero.get(), loc.juliaRe(), loc.juliaIm(), limit + 1, cancelled,
                                   m_rebase);
    }
    if (outcome == OrbitOutcome::Cancelled) return Prepared::Cancelled;
    if (outcome == OrbitOutcome::NoMemory) return Prepared::NoMemory;
    m_orbits.primary = &m_primary;
    m_orbits.rebase = loc.mandelbrot() ? &m_primary : &m_rebase;
    m_orbits.mandelbrot = loc.mandelbrot();
    m_orbits.limit = loc.iterations();
    return Prepared::Ready;
}

std::uint8_t DeepRenderer::pixel(std::int32_t i, std::int32_t j) const {
    const ExtFloat dcr = ExtFloat(static_cast<double>(i - m_refI)) * m_location->spacingX();
    const ExtFloat dci = ExtFloat(static_cast<double>(j - m_refJ)) * m_location->spacingY();
    return perturbedPixel(m_orbits, dcr, dci);
}

namespace {

struct DeepWork {
    const DeepRenderer* renderer;
    const RenderJob* job;
    std::int32_t firstRow;   // of the job
    std::int32_t imageRow0;  // image row of the job's row 0
    std::int64_t spansPerRow;
    std::int64_t spanWidth;

    void operator()(std::size_t item) const {
        const auto index = static_cast<std::int64_t>(item);
        const std::int32_t row = firstRow + static_cast<std::int32_t>(index / spansPerRow);
        const std::int64_t begin = (index % spansPerRow) * spanWidth;
        const std::int64_t end = begin + spanWidth < job->width ? begin + spanWidth : job->width;
        std::uint8_t* out = job->row(row);
        for (std::int64_t i = begin; i < end; ++i) {
            // Deep pixels are slow: look at the flag often so a cancel is prompt.
            if (job->cancelled()) return;
            out[i] = renderer->pixel(static_cast<std::int32_t>(i), imageRow0 + row);
        }
    }
};

}  // namespace

void DeepRenderer::renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    if (!m_location || job.width <= 0 || endRow <= firstRow) return;
    ThreadPool& pool = ThreadPool::shared();
    const std::int64_t rows = endRow - firstRow;
    // Rows are cut into spans so every thread gets several pieces to balance.
    const std::int64_t wanted = 8 * static_cast<std::int64_t>(pool.size());
    std::int64_t spansPerRow = rows < wanted ? (wanted + rows - 1) / rows : 1;
    if (spansPerRow > job.width) spansPerRow = job.width;
    const std::int64_t spanWidth = (job.width + spansPerRow - 1) / spansPerRow;
    spansPerRow = (job.width + spanWidth - 1) / spanWidth;
    DeepWork work{this, &job, firstRow, m_firstRow, spansPerRow, spanWidth};
    pool.forEach(static_cast<std::size_t>(rows * spansPerRow), 0, work);
}

}  // namespace velmora

#include "render/FastRowRenderer.h"

#include <cstddef>

namespace velmora {
namespace {

// Pixels per span when rows must be cut to give every thread enough pieces;
// a multiple of every kernel's lane group.
constexpr std::int64_t kMinSpan = 64;

struct BlockWork {
    const RenderJob* job;
    SpanKernel kernel;
    std::int32_t firstRow;
    std::int64_t spansPerRow;
    std::int64_t spanWidth;

    void operator()(std::size_t item) const {
        if (job->cancelled()) return;
        const std::int64_t index = static_cast<std::int64_t>(item);
        const std::int32_t row = firstRow + static_cast<std::int32_t>(index / spansPerRow);
        const std::int64_t begin = (index % spansPerRow) * spanWidth;
        const std::int64_t end = begin + spanWidth < job->width ? begin + spanWidth : job->width;
        SpanArgs args;
        args.xs = job->xs + begin;
        args.count = static_cast<std::int32_t>(end - begin);
        args.ci = job->ys[row];
        args.mandelbrot = job->mandelbrot;
        args.juliaRe = job->juliaRe;
        args.juliaIm = job->juliaIm;
        args.limit = job->iterations;
        args.out = job->row(row) + begin;
        args.cancel = job->cancel;
        if (job->smooth != nullptr) args.smooth = job->smoothRow(row) + begin;
        if (job->doubt != nullptr) {
            args.doubt = job->doubtRow(row) + begin;
            args.doubtStart = job->doubtStart;
            args.doubtStep = job->doubtStep;
        }
        kernel(args);
    }
};

}  // namespace

FastRowRenderer::FastRowRenderer(unsigned maxThreads, SimdLevel level, ThreadPool* pool)
    : m_maxThreads(maxThreads), m_kernel(spanKernelFor(level)), m_pool(pool) {}

unsigned FastRowRenderer::threads() const {
    if (m_maxThreads == 1) return 1;
    const unsigned size = (m_pool != nullptr ? *m_pool : ThreadPool::shared()).size();
    return m_maxThreads != 0 && m_maxThreads < size ? m_maxThreads : size;
}

void FastRowRenderer::renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    if (job.width <= 0 || endRow <= firstRow) return;
    const std::int64_t rows = endRow - firstRow;
    const unsigned threadCount = threads();

    // Whole rows when there are plenty; otherwise cut rows so that every thread
    // gets several pieces to balance uneven rows.
    std::int64_t spansPerRow = 1;
    const std::int64_t wanted = 4 * static_cast<std::int64_t>(threadCount);
    if (threadCount > 1 && rows < wanted) {
        const std::int64_t cuts = (wanted + rows - 1) / rows;
        const std::int64_t most = (job.width + kMinSpan - 1) / kMinSpan;
        spansPerRow = cuts < most ? cuts : most;
    }
    std::int64_t spanWidth = (job.width + spansPerRow - 1) / spansPerRow;
    spansPerRow = (job.width + spanWidth - 1) / spanWidth;

    BlockWork work{&job, m_kernel, firstRow, spansPerRow, spanWidth};
    const auto items = static_cast<std::size_t>(rows * spansPerRow);
    if (threadCount == 1) {
        for (std::size_t i = 0; i < items; ++i) work(i);
        return;
    }
    ThreadPool& pool = m_pool != nullptr ? *m_pool : ThreadPool::shared();
    pool.forEach(items, threadCount, work);
}

RowRenderer& defaultRowRenderer() {
    static FastRowRenderer renderer;
    return renderer;
}

}  // namespace velmora

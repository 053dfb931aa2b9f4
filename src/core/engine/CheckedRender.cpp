#include "engine/CheckedRender.h"

#include <algorithm>

#include "deep/DeepRenderer.h"
#include "engine/SampleCoordinates.h"
#include "render/EscapeDoubt.h"
#include "render/ThreadPool.h"

namespace velmora {

namespace {

// Doubtful pixels per piece of work: enough to fill the deep engine's lanes.
constexpr std::size_t kPiece = 64;

}  // namespace

CheckedRowRenderer::CheckedRowRenderer(RowRenderer& doubles, const DeepRenderer& deep, const FractalParams& params)
    : m_doubles(doubles),
      m_deep(deep),
      // A pixel starts where the walk put it, off its exact point.
      m_doubtStart(walkErrorSquared(params)),
      m_doubtStep((static_cast<std::int32_t>(params.type) & 1) != 0 ? doubtStepRounding(2.0, 2.0)
                                                                    : doubtStepRounding(params.cReal, params.cImag)) {}

void CheckedRowRenderer::renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    if (job.width <= 0 || endRow <= firstRow) return;
    RenderJob tracked = job;
    m_doubt.assign(job.stride * static_cast<std::size_t>(job.height), 0);
    tracked.doubt = m_doubt.data();
    tracked.doubtStart = m_doubtStart;
    tracked.doubtStep = m_doubtStep;
    m_doubles.setImageOrigin(m_row0, m_column0);
    m_doubles.renderRows(tracked, firstRow, endRow);
    if (job.cancelled()) return;

    // The doubtful pixels, by their place in the picture and in the job.
    std::vector<std::int32_t> is, js, rows, columns;
    for (std::int32_t j = firstRow; j < endRow; ++j) {
        const std::uint8_t* doubt = tracked.doubtRow(j);
        for (std::int32_t i = 0; i < job.width; ++i) {
            if (doubt[i] == 0) continue;
            is.push_back(m_column0 + i);
            js.push_back(m_row0 + j);
            rows.push_back(j);
            columns.push_back(i);
        }
    }
    if (is.empty()) return;
    m_checked.fetch_add(static_cast<std::int64_t>(is.size()), std::memory_order_relaxed);
    std::vector<std::uint8_t> out(is.size());
    std::vector<SmoothSample> smooth(job.smooth != nullptr ? is.size() : 0);
    const std::size_t pieces = (is.size() + kPiece - 1) / kPiece;
    auto again = [&](std::size_t piece) {
        if (job.cancelled()) return;
        const std::size_t from = piece * kPiece;
        const auto n = static_cast<std::int32_t>(std::min(kPiece, is.size() - from));
        m_deep.pixels(is.data() + from, js.data() + from, n, out.data() + from,
                      smooth.empty() ? nullptr : smooth.data() + from);
    };
    ThreadPool::shared().forEach(pieces, 0, again);
    if (job.cancelled()) return;
    for (std::size_t k = 0; k < is.size(); ++k) {
        job.row(rows[k])[columns[k]] = out[k];
        if (!smooth.empty()) job.smoothRow(rows[k])[columns[k]] = smooth[k];
    }
}

}  // namespace velmora

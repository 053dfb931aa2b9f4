#include "engine/CheckedRender.h"

#include <algorithm>

#include "deep/DeepRenderer.h"
#include "deep/DoubleDoubleLanes.h"
#include "engine/SampleCoordinates.h"
#include "location/Mpfr.h"
#include "render/EscapeDoubt.h"
#include "render/SmoothEscape.h"
#include "render/ThreadPool.h"

namespace velmora {

namespace {

// Doubtful pixels per piece of work: enough to fill the deep engine's lanes.
constexpr std::size_t kPiece = 64;

bool mandelbrotOf(const FractalParams& p) {
    return (static_cast<std::int32_t>(p.type) & 1) != 0;
}

}  // namespace

CheckedRowRenderer::CheckedRowRenderer(RowRenderer& doubles, const DeepRenderer& deep, const FractalParams& params)
    : m_doubles(doubles),
      m_deep(deep),
      // A pixel starts where the walk put it, off its exact point.
      m_doubtStart(walkErrorSquared(params)),
      m_doubtStep(mandelbrotOf(params) ? doubtStepRounding(2.0, 2.0) : doubtStepRounding(params.cReal, params.cImag)),
      m_ddStep(mandelbrotOf(params) ? doubleDoubleStepRounding(2.0, 2.0)
                                    : doubleDoubleStepRounding(params.cReal, params.cImag)) {}

void CheckedRowRenderer::recheck(const RenderJob& job, const std::int32_t* is, const std::int32_t* js,
                                 std::int32_t count, std::uint8_t* out, SmoothSample* smooth) const {
    // First the plain loop again in double-double numbers, from the exact points.
    const DeepLocation& loc = *m_deep.location();
    Mpfr re(loc.precision()), im(loc.precision());
    const auto split = [](Mpfr& v, double* into) {
        const DoubleDouble parts = splitOff(v);
        into[0] = parts.hi;
        into[1] = parts.lo;
    };
    DdLanePixel pixels[kPiece];
    double kr[2], ki[2], start = 0.0;
    mpfr_set(re.get(), loc.juliaRe(), MPFR_RNDN);
    mpfr_set(im.get(), loc.juliaIm(), MPFR_RNDN);
    split(re, kr);
    split(im, ki);
    for (std::int32_t k = 0; k < count; ++k) {
        DdLanePixel& p = pixels[k];
        loc.pixel(is[k], js[k], re.get(), im.get());
        split(re, p.zr);
        split(im, p.zi);
        std::copy_n(loc.mandelbrot() ? p.zr : kr, 2, p.ar);
        std::copy_n(loc.mandelbrot() ? p.zi : ki, 2, p.ai);
        // The split leaves 2^-106 of each part behind, and the location's own
        // rounding as much again.
        start = std::max(start, (p.zr[0] * p.zr[0] + p.zi[0] * p.zi[0]) * 0x1p-200);
    }
    doubleDoubleLanes(pixels, count, loc.iterations(), start, m_ddStep, job.cancel);
    // Then the deep engine for those still in doubt.
    std::int32_t left = 0;
    std::int32_t leftI[kPiece], leftJ[kPiece], leftAt[kPiece];
    for (std::int32_t k = 0; k < count; ++k) {
        const DdLanePixel& p = pixels[k];
        if (p.doubtful) {
            leftI[left] = is[k], leftJ[left] = js[k], leftAt[left++] = k;
            continue;
        }
        out[k] = p.count == 0 ? 0 : shownIndex(p.count);
        if (smooth != nullptr) smooth[k] = smoothSampleAt(p.count, p.ezr, p.ezi, p.ar[0], p.ai[0]);
    }
    if (left == 0 || job.cancelled()) return;
    std::uint8_t deepOut[kPiece];
    SmoothSample deepSmooth[kPiece];
    m_deep.pixels(leftI, leftJ, left, deepOut, smooth != nullptr ? deepSmooth : nullptr);
    for (std::int32_t k = 0; k < left; ++k) {
        out[leftAt[k]] = deepOut[k];
        if (smooth != nullptr) smooth[leftAt[k]] = deepSmooth[k];
    }
}

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
    std::vector<std::uint8_t> out(is.size());
    std::vector<SmoothSample> smooth(job.smooth != nullptr ? is.size() : 0);
    const std::size_t pieces = (is.size() + kPiece - 1) / kPiece;
    auto again = [&](std::size_t piece) {
        if (job.cancelled()) return;
        const std::size_t from = piece * kPiece;
        const auto n = static_cast<std::int32_t>(std::min(kPiece, is.size() - from));
        recheck(job, is.data() + from, js.data() + from, n, out.data() + from,
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

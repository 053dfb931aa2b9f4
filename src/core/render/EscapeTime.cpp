#include "render/EscapeTime.h"

#include "render/EscapeDoubt.h"
#include "render/SmoothEscape.h"

namespace velmora {

namespace {

// escapeIndex with the bound on its rounding carried alongside, in the span
// kernels' order of operations; *doubt tells whether the count is in doubt.
std::uint8_t escapeIndexDoubt(double cr, double ci, double ar, double ai, std::int32_t limit, double start,
                              double stepRounding, std::uint8_t* doubt) {
    *doubt = 0;
    if (limit <= 0) return 0;
    EscapeOrbit z(cr, ci);
    double err2 = start, nzBefore = z.normSquared();
    for (std::int32_t n = 1;; ++n) {
        z.step(ar, ai);
        const double nz = z.normSquared();
        err2 = doubtAfterStep(err2, nzBefore, stepRounding);
        if (nz > 4.0 || n >= limit) {
            *doubt = escapeInDoubt(err2, nz, nz > 4.0 ? nzBefore : nz) ? 1 : 0;
            return nz > 4.0 ? shownIndex(n) : 0;
        }
        nzBefore = nz;
    }
}

}  // namespace

void renderRowsReference(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    for (std::int32_t j = firstRow; j < endRow; ++j) {
        std::uint8_t* row = job.row(j);
        const double ci = job.ys[j];
        for (std::int32_t i = 0; i < job.width; ++i) {
            if (job.cancelled()) return;
            const double cr = job.xs[i];
            const double ar = job.mandelbrot ? cr : job.juliaRe, ai = job.mandelbrot ? ci : job.juliaIm;
            if (std::uint8_t* doubt = job.doubtRow(j)) {
                row[i] = escapeIndexDoubt(cr, ci, ar, ai, job.iterations, job.doubtStart, job.doubtStep, doubt + i);
                if (SmoothSample* smooth = job.smoothRow(j)) smooth[i] = smoothEscape(cr, ci, ar, ai, job.iterations);
            } else if (SmoothSample* smooth = job.smoothRow(j)) {
                smooth[i] = smoothEscape(cr, ci, ar, ai, job.iterations);
                row[i] = smooth[i].escaped ? shownIndex(smooth[i].count) : 0;
            } else {
                row[i] = escapeIndex(cr, ci, ar, ai, job.iterations);
            }
        }
    }
}

namespace {
class ReferenceRenderer final : public RowRenderer {
public:
    void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override {
        renderRowsReference(job, firstRow, endRow);
    }
};
}  // namespace

RowRenderer& referenceRowRenderer() {
    static ReferenceRenderer renderer;
    return renderer;
}

}  // namespace velmora

#include "render/EscapeTime.h"

#include "render/SmoothEscape.h"

namespace velmora {

void renderRowsReference(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    for (std::int32_t j = firstRow; j < endRow; ++j) {
        std::uint8_t* row = job.row(j);
        const double ci = job.ys[j];
        for (std::int32_t i = 0; i < job.width; ++i) {
            if (job.cancelled()) return;
            const double cr = job.xs[i];
            const double ar = job.mandelbrot ? cr : job.juliaRe, ai = job.mandelbrot ? ci : job.juliaIm;
            if (SmoothSample* smooth = job.smoothRow(j)) {
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

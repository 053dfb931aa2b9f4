#include "render/EscapeTime.h"

namespace velmora {

void renderRowsReference(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    for (std::int32_t j = firstRow; j < endRow; ++j) {
        std::uint8_t* row = job.row(j);
        const double ci = job.ys[j];
        for (std::int32_t i = 0; i < job.width; ++i) {
            if (job.cancelled()) return;
            const double cr = job.xs[i];
            row[i] = job.mandelbrot ? escapeIndex(cr, ci, cr, ci, job.iterations)
                                    : escapeIndex(cr, ci, job.juliaRe, job.juliaIm, job.iterations);
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

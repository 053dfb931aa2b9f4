#include "render/EscapeTime.h"

namespace velmora {

void RenderRowsReference(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    for (std::int32_t j = firstRow; j < endRow; ++j) {
        std::uint8_t* row = job.Row(j);
        const double ci = job.ys[j];
        for (std::int32_t i = 0; i < job.width; ++i) {
            if (job.Cancelled()) return;
            const double cr = job.xs[i];
            row[i] = job.mandelbrot ? EscapeIndex(cr, ci, cr, ci, job.iterations)
                                    : EscapeIndex(cr, ci, job.juliaRe, job.juliaIm, job.iterations);
        }
    }
}

namespace {
class ReferenceRenderer final : public RowRenderer {
public:
    void RenderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override {
        RenderRowsReference(job, firstRow, endRow);
    }
};
}  // namespace

RowRenderer& ReferenceRowRenderer() {
    static ReferenceRenderer renderer;
    return renderer;
}

}  // namespace velmora

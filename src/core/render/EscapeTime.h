#pragma once
// One pixel of the escape-time method, and the job description shared by every
// way of computing a block of rows.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace velmora {

// z starts at the pixel's own point for both types; the first test comes after
// the first iteration; only a magnitude strictly above 4 escapes (NaN never).
// (ar, ai) is the added constant: the point itself for Mandelbrot, K for Julia.
inline std::uint8_t escapeIndex(double cr, double ci, double ar, double ai, std::int32_t limit) {
    if (limit <= 0) return 0;
    double zr = cr;
    double zi = ci;
    double zr2 = zr * zr;
    double zi2 = zi * zi;
    for (std::int32_t n = 1;; ++n) {
        zi = 2.0 * zr * zi + ai;
        zr = (zr2 - zi2) + ar;
        zr2 = zr * zr;
        zi2 = zi * zi;
        if (zr2 + zi2 > 4.0) {
            const std::uint8_t index = static_cast<std::uint8_t>(n & 0xFF);
            return index == 0 ? 1 : index;
        }
        if (n >= limit) return 0;
    }
}

// Everything needed to compute image rows independently once the sample
// coordinates exist: xs[i] is column i's real value, ys[j] row j's imaginary
// value, both from successive additions.
struct RenderJob {
    const double* xs = nullptr;
    const double* ys = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t stride = 0;
    std::uint8_t* bits = nullptr;  // bottom-up rows
    bool mandelbrot = true;
    std::int32_t iterations = 0;
    double juliaRe = 0.0;
    double juliaIm = 0.0;
    // Set from another thread to stop the job early; the rows are then unfinished.
    const std::atomic<bool>* cancel = nullptr;

    bool cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
    std::uint8_t* row(std::int32_t imageRow) const {
        return bits + static_cast<std::size_t>(height - 1 - imageRow) * stride;
    }
};

// The plain loop: one pixel after another, image rows [firstRow, endRow).
void renderRowsReference(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow);

// How a render computes a block of rows. The engine's schedule (progress,
// cancel polls) stays on the calling thread; only this part may fan out.
class RowRenderer {
public:
    virtual ~RowRenderer() = default;
    virtual void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) = 0;
};

// The plain loop as a RowRenderer.
RowRenderer& referenceRowRenderer();

}  // namespace velmora

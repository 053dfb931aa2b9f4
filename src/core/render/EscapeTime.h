#pragma once
// One pixel of the escape-time method, and the job description shared by every
// way of computing a block of rows.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace velmora {

// A pixel's escape time with a fractional part (see SmoothEscape.h).
struct SmoothSample {
    std::uint32_t count = 0;  // the full escape count n (0 for points that reach the limit)
    bool escaped = false;
    float fraction = 0.0f;  // in [0, 1): how far the colour lies towards count + 1
};

// z and its squares as the escape-time loop carries them. Every computation
// of a count takes its steps through here, in this order, so all agree bit
// for bit.
struct EscapeOrbit {
    double zr, zi, zr2, zi2;
    EscapeOrbit(double re, double im) : zr(re), zi(im), zr2(re * re), zi2(im * im) {}
    // z = z^2 + a.
    void step(double ar, double ai) {
        zi = 2.0 * zr * zi + ai;
        zr = (zr2 - zi2) + ar;
        zr2 = zr * zr;
        zi2 = zi * zi;
    }
    double normSquared() const { return zr2 + zi2; }
};

// The first n in 1..limit after whose step the magnitude is strictly above 4
// (NaN never), z left there; 0 when the limit comes first.
inline std::int32_t escapeCount(EscapeOrbit& z, double ar, double ai, std::int32_t limit) {
    if (limit <= 0) return 0;
    for (std::int32_t n = 1;; ++n) {
        z.step(ar, ai);
        if (z.normSquared() > 4.0) return n;
        if (n >= limit) return 0;
    }
}

// The palette entry a picture shows for an escape count: n mod 256, with 0
// shown as 1 (entry 0 belongs to the points that never escape).
inline std::uint8_t shownIndex(std::int64_t n) {
    const auto index = static_cast<std::uint8_t>(n & 0xFF);
    return index == 0 ? 1 : index;
}

// z starts at the pixel's own point for both types; the first test comes after
// the first iteration. (ar, ai) is the added constant: the point itself for
// Mandelbrot, K for Julia.
inline std::uint8_t escapeIndex(double cr, double ci, double ar, double ai, std::int32_t limit) {
    EscapeOrbit z(cr, ci);
    const std::int32_t n = escapeCount(z, ar, ai, limit);
    return n == 0 ? 0 : shownIndex(n);
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
    // When given, each pixel's full count and fraction too, laid out as the
    // bits (bottom-up rows of smoothStride samples).
    SmoothSample* smooth = nullptr;
    std::size_t smoothStride = 0;
    // When given, 1 for each pixel whose count the doubles' rounding may have
    // moved (EscapeDoubt.h), laid out as the bits; the error bound starts at
    // doubtStart and grows by doubtStep a step.
    std::uint8_t* doubt = nullptr;
    double doubtStart = 0.0;
    double doubtStep = 0.0;
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
    std::uint8_t* doubtRow(std::int32_t imageRow) const {
        return doubt == nullptr ? nullptr : doubt + static_cast<std::size_t>(height - 1 - imageRow) * stride;
    }
    SmoothSample* smoothRow(std::int32_t imageRow) const {
        return smooth == nullptr ? nullptr : smooth + static_cast<std::size_t>(height - 1 - imageRow) * smoothStride;
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
    // Where the job's row 0 and column 0 lie in the picture, for renderers
    // that place a pixel by its position rather than by the job's coordinates.
    virtual void setImageOrigin(std::int32_t /*row*/, std::int32_t /*column*/) {}
};

// The plain loop as a RowRenderer.
RowRenderer& referenceRowRenderer();

}  // namespace velmora

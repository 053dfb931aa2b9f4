#pragma once
// The document's image computer: its own copy of the region, type, limit and
// Julia constant, and an 8-bit bottom-up pixel buffer with rows padded to 4.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "location/ExactLocation.h"
#include "palette/Palette.h"
#include "base/Host.h"
#include "render/BitmapInfo.h"
#include "render/EscapeTime.h"
#include "render/Progress.h"

namespace velmora {

class FractalEngine {
public:
    // Allocates and zeroes the pixel block; on failure shows "Not enough memory
    // for bitmap." and stays without a buffer (Render then reports not done).
    FractalEngine(std::int32_t width, std::int32_t height, Host& host);
    virtual ~FractalEngine();
    FractalEngine(const FractalEngine&) = delete;
    FractalEngine& operator=(const FractalEngine&) = delete;

    // Where messages, sounds and cancel polls go from now on.
    void setHost(Host& host) { m_host = &host; }

    void setRegion(double left, double top, double right, double bottom);
    void setType(std::int32_t type) { m_type = type; }
    void setIterations(std::int32_t limit) { m_iterations = limit; }
    void setJuliaConstant(double re, double im) {
        m_juliaRe = re;
        m_juliaIm = im;
    }

    // The exact values behind the doubles; empty: the doubles are exact.
    void setExactLocation(const ExactLocation& exact) { m_exact = exact; }

    // 1 when complete, 0 when cancelled or when there is no buffer. Besides the
    // host's cancel poll at each checkpoint, a render stops soon after *cancel
    // becomes true, which another thread may set at any time. A picture the
    // doubles cannot resolve (needsDeepEngine) comes from the deep engine, on
    // the same schedule; its reference orbit polls the host and *cancel too.
    int render(ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);

    // Rebuilds the 1064-byte header block with the given colour table.
    void buildBitmap(const Palette& palette);

    std::uint8_t* bits() { return m_bits.get(); }
    const std::uint8_t* bits() const { return m_bits.get(); }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    const BitmapInfoBlock* bitmapInfo() const { return m_bitmapInfo.get(); }

    bool isValid() const { return m_valid; }
    // Whether the last render (or the one running) used the deep engine.
    bool lastRenderWasDeep() const { return m_lastRenderDeep.load(std::memory_order_relaxed); }
    // Forgets the picture: not valid, and every byte of the pixel block (row
    // padding included) zero, as after a cancelled render but without a sound.
    void blank();
    bool hasBuffer() const { return m_bits != nullptr; }
    // Bytes per stored row, and of the whole block (0 without a buffer).
    std::size_t stride() const { return m_stride; }
    std::size_t bufferSize() const { return m_bits ? m_stride * rowCount() : 0; }

    double xMin() const { return m_xMin; }
    double yMin() const { return m_yMin; }
    double xMax() const { return m_xMax; }
    double yMax() const { return m_yMax; }
    std::int32_t type() const { return m_type; }
    std::int32_t iterations() const { return m_iterations; }
    double juliaRe() const { return m_juliaRe; }
    double juliaIm() const { return m_juliaIm; }

    // Which loop computes the rows; the schedule around it never changes.
    void setRowRenderer(RowRenderer& renderer) { m_renderer = &renderer; }

    // The padding rule on its own: 0..3 bytes that bring a row to a multiple of 4.
    static std::int32_t paddingFor(std::int32_t width);
    // The region rule: each pair of edges as (smaller, larger).
    static void orderedPair(double a, double b, double& low, double& high);
    // Sample coordinates from an edge, by repeated addition as a running value would.
    static void stepCoordinates(double from, double step, std::vector<double>& out);

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const;
    };
    std::size_t rowCount() const { return m_height > 0 ? static_cast<std::size_t>(m_height) : 0; }
    void cancelled();
    int renderBlocks(RowRenderer& renderer, const RenderJob& job, ProgressSink* progress, std::int32_t block);

    Host* m_host;
    bool m_valid = false;
    std::int32_t m_width;
    std::int32_t m_height;
    double m_juliaRe = 0.0;
    double m_juliaIm = 0.0;
    std::unique_ptr<std::uint8_t[], FreeDeleter> m_bits;
    std::unique_ptr<BitmapInfoBlock> m_bitmapInfo;
    std::int32_t m_rowPadding;
    std::size_t m_stride;
    double m_xMin = 0.0;
    double m_yMin = 0.0;
    double m_xMax = 0.0;
    double m_yMax = 0.0;
    std::int32_t m_type = 1;
    std::int32_t m_iterations = 0;
    RowRenderer* m_renderer;
    ExactLocation m_exact;
    std::atomic<bool> m_lastRenderDeep{false};
    // Sample coordinates of the last render, kept to avoid reallocating.
    std::vector<double> m_xs;
    std::vector<double> m_ys;
};

}  // namespace velmora

#pragma once
// The document's image computer: its own copy of the region, type, limit and
// Julia constant, and an 8-bit bottom-up pixel buffer with rows padded to 4.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "palette/Palette.h"
#include "platform/Host.h"
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
    void SetHost(Host& host) { m_host = &host; }

    void SetRegion(double left, double top, double right, double bottom);
    void SetType(std::int32_t type) { m_type = type; }
    void SetIterations(std::int32_t limit) { m_iterations = limit; }
    void SetJuliaConstant(double re, double im) {
        m_juliaRe = re;
        m_juliaIm = im;
    }

    // 1 when complete, 0 when cancelled or when there is no buffer. Besides the
    // host's cancel poll at each checkpoint, a render stops soon after *cancel
    // becomes true, which another thread may set at any time.
    int Render(ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);

    // Rebuilds the 1064-byte header block with the given colour table.
    void BuildBitmap(const Palette& palette);

    std::uint8_t* GetBits() { return m_bits.get(); }
    const std::uint8_t* GetBits() const { return m_bits.get(); }
    std::int32_t GetWidth() const { return m_width; }
    std::int32_t GetHeight() const { return m_height; }
    std::int32_t GetRowPadding() const { return m_rowPadding; }
    const BitmapInfoBlock* GetBitmapInfo() const { return m_bitmapInfo.get(); }

    bool IsValid() const { return m_valid; }
    // Forgets the picture: not valid, and every byte of the pixel block (row
    // padding included) zero, as after a cancelled render but without a sound.
    void Blank();
    bool HasBuffer() const { return m_bits != nullptr; }
    // Bytes per stored row, and of the whole block (0 without a buffer).
    std::size_t GetStride() const { return m_stride; }
    std::size_t GetBufferSize() const { return m_bits ? m_stride * RowCount() : 0; }

    double GetXMin() const { return m_xMin; }
    double GetYMin() const { return m_yMin; }
    double GetXMax() const { return m_xMax; }
    double GetYMax() const { return m_yMax; }
    std::int32_t GetType() const { return m_type; }
    std::int32_t GetIterations() const { return m_iterations; }
    double GetJuliaRe() const { return m_juliaRe; }
    double GetJuliaIm() const { return m_juliaIm; }

    // Which loop computes the rows; the schedule around it never changes.
    void SetRowRenderer(RowRenderer& renderer) { m_renderer = &renderer; }

    // The padding rule on its own: 0..3 bytes that bring a row to a multiple of 4.
    static std::int32_t PaddingFor(std::int32_t width);

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const;
    };
    std::size_t RowCount() const { return m_height > 0 ? static_cast<std::size_t>(m_height) : 0; }
    void Cancelled();

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
    // Sample coordinates of the last render, kept to avoid reallocating.
    std::vector<double> m_xs;
    std::vector<double> m_ys;
};

}  // namespace velmora

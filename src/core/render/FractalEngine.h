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
    void SetType(std::int32_t type) { m_nType = type; }
    void SetIterations(std::int32_t limit) { m_nIterations = limit; }
    void SetJuliaConstant(double re, double im) {
        m_dJuliaRe = re;
        m_dJuliaIm = im;
    }

    // 1 when complete, 0 when cancelled or when there is no buffer. Besides the
    // host's cancel poll at each checkpoint, a render stops soon after *cancel
    // becomes true, which another thread may set at any time.
    int Render(ProgressSink* progress = nullptr, const std::atomic<bool>* cancel = nullptr);

    // Rebuilds the 1064-byte header block with the given colour table.
    void BuildBitmap(const Palette& palette);

    std::uint8_t* GetBits() { return m_pBits.get(); }
    const std::uint8_t* GetBits() const { return m_pBits.get(); }
    std::int32_t GetWidth() const { return m_nWidth; }
    std::int32_t GetHeight() const { return m_nHeight; }
    std::int32_t GetRowPadding() const { return m_nRowPadding; }
    const BitmapInfoBlock* GetBitmapInfo() const { return m_pBitmapInfo.get(); }

    bool IsValid() const { return m_bValid; }
    // Forgets the picture: not valid, and every byte of the pixel block (row
    // padding included) zero, as after a cancelled render but without a sound.
    void Blank();
    bool HasBuffer() const { return m_pBits != nullptr; }
    // Bytes per stored row, and of the whole block (0 without a buffer).
    std::size_t GetStride() const { return m_nStride; }
    std::size_t GetBufferSize() const { return m_pBits ? m_nStride * RowCount() : 0; }

    double GetXMin() const { return m_dXMin; }
    double GetYMin() const { return m_dYMin; }
    double GetXMax() const { return m_dXMax; }
    double GetYMax() const { return m_dYMax; }
    std::int32_t GetType() const { return m_nType; }
    std::int32_t GetIterations() const { return m_nIterations; }
    double GetJuliaRe() const { return m_dJuliaRe; }
    double GetJuliaIm() const { return m_dJuliaIm; }

    // Which loop computes the rows; the schedule around it never changes.
    void SetRowRenderer(RowRenderer& renderer) { m_renderer = &renderer; }

    // The padding rule on its own: 0..3 bytes that bring a row to a multiple of 4.
    static std::int32_t PaddingFor(std::int32_t width);

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const;
    };
    std::size_t RowCount() const { return m_nHeight > 0 ? static_cast<std::size_t>(m_nHeight) : 0; }
    void Cancelled();

    Host* m_host;
    bool m_bValid = false;
    std::int32_t m_nWidth;
    std::int32_t m_nHeight;
    double m_dJuliaRe = 0.0;
    double m_dJuliaIm = 0.0;
    std::unique_ptr<std::uint8_t[], FreeDeleter> m_pBits;
    std::unique_ptr<BitmapInfoBlock> m_pBitmapInfo;
    std::int32_t m_nRowPadding;
    std::size_t m_nStride;
    double m_dXMin = 0.0;
    double m_dYMin = 0.0;
    double m_dXMax = 0.0;
    double m_dYMax = 0.0;
    std::int32_t m_nType = 1;
    std::int32_t m_nIterations = 0;
    RowRenderer* m_renderer;
    // Sample coordinates of the last render, kept to avoid reallocating.
    std::vector<double> m_xs;
    std::vector<double> m_ys;
};

}  // namespace velmora

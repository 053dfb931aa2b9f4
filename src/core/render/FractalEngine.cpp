#include "render/FractalEngine.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "render/FastRowRenderer.h"

namespace velmora {

void FractalEngine::FreeDeleter::operator()(std::uint8_t* p) const { std::free(p); }

std::int32_t FractalEngine::PaddingFor(std::int32_t width) {
    if (width <= 0) return 0;  // nothing to pad in a row without pixels
    const std::int32_t rem = width % 4;
    return rem == 0 ? 0 : 4 - rem;
}

FractalEngine::FractalEngine(std::int32_t width, std::int32_t height, Host& host)
    : m_host(&host),
      m_nWidth(width),
      m_nHeight(height),
      m_nRowPadding(PaddingFor(width)),
      m_renderer(&DefaultRowRenderer()) {
    const std::size_t pixels = width > 0 ? static_cast<std::size_t>(width) : 0;
    m_nStride = pixels + static_cast<std::size_t>(m_nRowPadding);
    const std::size_t rows = RowCount();
    // calloc checks stride x rows for overflow and hands back zeroed pages
    // without touching them, so even a huge picture costs nothing until drawn.
    // At least one byte, so an empty picture still has a (harmless) buffer.
    const std::size_t count = (m_nStride == 0 || rows == 0) ? 1 : m_nStride;
    const std::size_t n = (m_nStride == 0 || rows == 0) ? 1 : rows;
    m_pBits.reset(static_cast<std::uint8_t*>(std::calloc(n, count)));
    if (!m_pBits) ShowPlainMessage(*m_host, "Not enough memory for bitmap.");
}

FractalEngine::~FractalEngine() = default;

void FractalEngine::SetRegion(double left, double top, double right, double bottom) {
    if (right > left) {
        m_dXMin = left;
        m_dXMax = right;
    } else {
        m_dXMin = right;
        m_dXMax = left;
    }
    if (bottom > top) {
        m_dYMin = top;
        m_dYMax = bottom;
    } else {
        m_dYMin = bottom;
        m_dYMax = top;
    }
}

void FractalEngine::Blank() {
    if (m_pBits) std::memset(m_pBits.get(), 0, GetBufferSize());
    m_bValid = false;
}

void FractalEngine::Cancelled() {
    Blank();
    m_host->PlayQuestionSound();
}

int FractalEngine::Render(ProgressSink* progress, const std::atomic<bool>* cancel) {
    if (!m_pBits) return 0;  // never touch a buffer that was not allocated

    m_host->PollCancelKey();  // forget an Escape pressed before the render

    const std::int32_t k = m_nHeight / 32;
    if (progress != nullptr) {
        progress->SetRange(0, m_nHeight);
        progress->SetPos(0);
        progress->SetStep(k);
    }
    const double dx = (m_dXMax - m_dXMin) / m_nWidth;
    const double dy = (m_dYMax - m_dYMin) / m_nHeight;
    const bool mandelbrot = (m_nType & 1) != 0;

    if (m_nHeight <= 0) {
        m_bValid = true;
        return 1;
    }

    // Coordinates advance by repeated addition, exactly as a running value would.
    const std::size_t columns = m_nWidth > 0 ? static_cast<std::size_t>(m_nWidth) : 0;
    try {
        // 8 bytes per column and per row on top of the pixels: a picture whose
        // pixels just fitted may still not get these.
        m_xs.resize(columns);
        m_ys.resize(static_cast<std::size_t>(m_nHeight));
    } catch (const std::bad_alloc&) {
        ShowPlainMessage(*m_host, "Not enough memory for bitmap.");
        return 0;
    }
    double x = m_dXMin;
    for (std::size_t i = 0; i < columns; ++i) {
        m_xs[i] = x;
        x += dx;
    }
    double y = m_dYMin;
    for (auto& v : m_ys) {
        v = y;
        y += dy;
    }

    RenderJob job;
    job.xs = m_xs.data();
    job.ys = m_ys.data();
    job.width = static_cast<std::int32_t>(columns);
    job.height = m_nHeight;
    job.stride = m_nStride;
    job.bits = m_pBits.get();
    job.mandelbrot = mandelbrot;
    job.iterations = m_nIterations;
    job.juliaRe = m_dJuliaRe;
    job.juliaIm = m_dJuliaIm;
    job.cancel = cancel;

    // A checkpoint after every k + 1 rows; a short last block has none.
    const std::int32_t block = k + 1;
    for (std::int32_t first = 0; first < m_nHeight;) {
        const std::int32_t end = (m_nHeight - first > block) ? first + block : m_nHeight;
        m_renderer->RenderRows(job, first, end);
        const bool checkpoint = (end - first) == block;
        first = end;
        if (checkpoint) {
            if (progress != nullptr) progress->StepIt();
            if (m_host->PollCancelKey() || job.Cancelled()) {
                Cancelled();
                return 0;
            }
        } else if (job.Cancelled()) {
            Cancelled();
            return 0;
        }
    }
    m_bValid = true;
    return 1;
}

void FractalEngine::BuildBitmap(const Palette& palette) {
    m_pBitmapInfo.reset();
    m_pBitmapInfo.reset(new (std::nothrow) BitmapInfoBlock{});
    if (!m_pBitmapInfo) {
        ShowPlainMessage(*m_host, "Windows reported 'Out of Memory'");
        return;
    }
    FillBitmapInfo(*m_pBitmapInfo, m_nWidth, m_nHeight, palette);
}

}  // namespace velmora

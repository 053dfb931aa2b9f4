#include "engine/FractalEngine.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "deep/DeepRenderer.h"
#include "deep/DeepSwitch.h"
#include "location/FractalParams.h"
#include "render/FastRowRenderer.h"

namespace velmora {

void FractalEngine::FreeDeleter::operator()(std::uint8_t* p) const { std::free(p); }

std::int32_t FractalEngine::paddingFor(std::int32_t width) {
    if (width <= 0) return 0;  // nothing to pad in a row without pixels
    const std::int32_t rem = width % 4;
    return rem == 0 ? 0 : 4 - rem;
}

FractalEngine::FractalEngine(std::int32_t width, std::int32_t height, Host& host)
    : m_host(&host),
      m_width(width),
      m_height(height),
      m_rowPadding(paddingFor(width)),
      m_renderer(&defaultRowRenderer()) {
    const std::size_t pixels = width > 0 ? static_cast<std::size_t>(width) : 0;
    m_stride = pixels + static_cast<std::size_t>(m_rowPadding);
    const std::size_t rows = rowCount();
    // calloc checks stride x rows for overflow and hands back zeroed pages
    // without touching them, so even a huge picture costs nothing until drawn.
    // At least one byte, so an empty picture still has a (harmless) buffer.
    const std::size_t count = (m_stride == 0 || rows == 0) ? 1 : m_stride;
    const std::size_t n = (m_stride == 0 || rows == 0) ? 1 : rows;
    m_bits.reset(static_cast<std::uint8_t*>(std::calloc(n, count)));
    if (!m_bits) showPlainMessage(*m_host, "Not enough memory for bitmap.");
}

FractalEngine::~FractalEngine() = default;

void FractalEngine::orderedPair(double a, double b, double& low, double& high) {
    if (b > a) {
        low = a;
        high = b;
    } else {
        low = b;
        high = a;
    }
}

void FractalEngine::setRegion(double left, double top, double right, double bottom) {
    orderedPair(left, right, m_xMin, m_xMax);
    orderedPair(top, bottom, m_yMin, m_yMax);
}

void FractalEngine::stepCoordinates(double from, double step, std::vector<double>& out) {
    double v = from;
    for (auto& c : out) {
        c = v;
        v += step;
    }
}

void FractalEngine::blank() {
    if (m_bits) std::memset(m_bits.get(), 0, bufferSize());
    m_valid = false;
}

void FractalEngine::cancelled() {
    blank();
    m_host->playQuestionSound();
}

int FractalEngine::render(ProgressSink* progress, const std::atomic<bool>* cancel) {
    if (!m_bits) return 0;  // never touch a buffer that was not allocated

    m_host->pollCancelKey();  // forget an Escape pressed before the render

    const std::int32_t k = m_height / 32;
    if (progress != nullptr) {
        progress->setRange(0, m_height);
        progress->setPos(0);
        progress->setStep(k);
    }
    const double dx = (m_xMax - m_xMin) / m_width;
    const double dy = (m_yMax - m_yMin) / m_height;
    const bool mandelbrot = (m_type & 1) != 0;

    if (m_height <= 0) {
        m_valid = true;
        return 1;
    }

    // Coordinates advance by repeated addition, exactly as a running value would.
    const std::size_t columns = m_width > 0 ? static_cast<std::size_t>(m_width) : 0;
    try {
        // 8 bytes per column and per row on top of the pixels: a picture whose
        // pixels just fitted may still not get these.
        m_xs.resize(columns);
        m_ys.resize(static_cast<std::size_t>(m_height));
    } catch (const std::bad_alloc&) {
        showPlainMessage(*m_host, "Not enough memory for bitmap.");
        return 0;
    }
    stepCoordinates(m_xMin, dx, m_xs);
    stepCoordinates(m_yMin, dy, m_ys);

    RenderJob job;
    job.xs = m_xs.data();
    job.ys = m_ys.data();
    job.width = static_cast<std::int32_t>(columns);
    job.height = m_height;
    job.stride = m_stride;
    job.bits = m_bits.get();
    job.mandelbrot = mandelbrot;
    job.iterations = m_iterations;
    job.juliaRe = m_juliaRe;
    job.juliaIm = m_juliaIm;
    job.cancel = cancel;

    // A checkpoint after every k + 1 rows; a short last block has none.
    const std::int32_t block = k + 1;
    FractalParams here;
    here.left = m_xMin;
    here.right = m_xMax;
    here.top = m_yMin;
    here.bottom = m_yMax;
    here.type = static_cast<FractalType>(m_type);
    here.cReal = m_juliaRe;
    here.cImag = m_juliaIm;
    here.iterations = m_iterations;
    here.width = m_width;
    here.height = m_height;
    here.exact = m_exact;
    const bool deep = needsDeepEngine(here);
    m_lastRenderDeep.store(deep, std::memory_order_relaxed);
    if (!deep) return renderBlocks(*m_renderer, job, progress, block);

    DeepRenderer renderer;
    const auto stop = [&] { return m_host->pollCancelKey() || job.cancelled(); };
    DeepRenderer::Prepared prepared = DeepRenderer::Prepared::NoMemory;
    try {
        prepared = renderer.prepare(here, stop);
    } catch (const std::bad_alloc&) {
    }
    if (prepared == DeepRenderer::Prepared::NoMemory) {
        showPlainMessage(*m_host, "Not enough memory for bitmap.");
        return 0;
    }
    if (prepared == DeepRenderer::Prepared::Cancelled) {
        cancelled();
        return 0;
    }
    return renderBlocks(renderer, job, progress, block);
}

int FractalEngine::renderBlocks(RowRenderer& renderer, const RenderJob& job, ProgressSink* progress,
                                std::int32_t block) {
    for (std::int32_t first = 0; first < m_height;) {
        const std::int32_t end = (m_height - first > block) ? first + block : m_height;
        renderer.renderRows(job, first, end);
        const bool checkpoint = (end - first) == block;
        first = end;
        if (checkpoint) {
            if (progress != nullptr) progress->stepIt();
            if (m_host->pollCancelKey() || job.cancelled()) {
                cancelled();
                return 0;
            }
        } else if (job.cancelled()) {
            cancelled();
            return 0;
        }
    }
    m_valid = true;
    return 1;
}

void FractalEngine::buildBitmap(const Palette& palette) {
    m_bitmapInfo.reset();
    m_bitmapInfo.reset(new (std::nothrow) BitmapInfoBlock{});
    if (!m_bitmapInfo) {
        showPlainMessage(*m_host, "Windows reported 'Out of Memory'");
        return;
    }
    fillBitmapInfo(*m_bitmapInfo, m_width, m_height, palette);
}

}  // namespace velmora

#include "engine/FractalEngine.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "deep/DeepRenderer.h"
#include "deep/DeepSwitch.h"
#include "location/FractalParams.h"
#include "engine/CheckedRender.h"
#include "engine/TiledRender.h"
#include "render/FastRowRenderer.h"

namespace velmora {

void FractalEngine::FreeDeleter::operator()(std::uint8_t* p) const { std::free(p); }

std::int32_t FractalEngine::paddingFor(std::int32_t width) {
    if (width <= 0) return 0;  // nothing to pad in a row without pixels
    const std::int32_t rem = width % 4;
    return rem == 0 ? 0 : 4 - rem;
}

FractalEngine::FractalEngine(std::int32_t width, std::int32_t height)
    : m_width(width), m_height(height), m_renderer(&defaultRowRenderer()) {
    const std::size_t pixels = width > 0 ? static_cast<std::size_t>(width) : 0;
    m_stride = pixels + static_cast<std::size_t>(paddingFor(width));
    const std::size_t rows = rowCount();
    // calloc checks stride x rows for overflow and hands back zeroed pages
    // without touching them, so even a huge picture costs nothing until drawn.
    // At least one byte, so an empty picture still has a (harmless) buffer.
    const std::size_t count = (m_stride == 0 || rows == 0) ? 1 : m_stride;
    const std::size_t n = (m_stride == 0 || rows == 0) ? 1 : rows;
    m_bits.reset(static_cast<std::uint8_t*>(std::calloc(n, count)));
    setParams(m_params);
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

void FractalEngine::setParams(const FractalParams& params) {
    m_params = params;
    orderedPair(params.left, params.right, m_xMin, m_xMax);
    orderedPair(params.top, params.bottom, m_yMin, m_yMax);
}

void FractalEngine::blank() {
    if (m_bits) std::memset(m_bits.get(), 0, bufferSize());
    m_valid = false;
    m_smoothValid = false;
}

const SmoothSample* FractalEngine::storedSmoothRow(std::int32_t y) const {
    const auto width = static_cast<std::size_t>(m_width > 0 ? m_width : 0);
    if (y < 0 || y >= m_height || m_smooth.size() < width * rowCount()) return nullptr;
    return m_smooth.data() + static_cast<std::size_t>(y) * width;
}

const SmoothSample* FractalEngine::smoothRow(std::int32_t y) const {
    if (!hasSmooth() || y < 0 || y >= m_height) return nullptr;
    return m_smooth.data() + static_cast<std::size_t>(m_height - 1 - y) * static_cast<std::size_t>(m_width);
}

RenderOutcome FractalEngine::render(const RenderContext& context) {
    if (!m_bits) return RenderOutcome::NoMemory;  // never touch a buffer that was not allocated

    if (context.pollCancel) context.pollCancel();  // forget an Escape pressed before the render
    ProgressSink* const progress = context.progress;

    const std::int32_t k = m_height / 32;
    if (progress != nullptr) {
        progress->setRange(0, m_height);
        progress->setPos(0);
        progress->setStep(k);
    }
    const double dx = (m_xMax - m_xMin) / m_width;
    const double dy = (m_yMax - m_yMin) / m_height;
    // A keyframe's stored type may be any number: odd ones are Mandelbrot.
    const bool mandelbrot = (static_cast<std::int32_t>(m_params.type) & 1) != 0;

    if (m_height <= 0) {
        m_valid = true;
        return RenderOutcome::Done;
    }

    // Coordinates advance by repeated addition, exactly as a running value
    // would, a tile at a time (TiledRender), so only the pixels grow with the size.
    const std::int32_t columns = m_width > 0 ? m_width : 0;
    TiledRender tiles(CoordinateWalk(m_xMin, dx), CoordinateWalk(m_yMin, dy));

    RenderJob job;
    job.width = columns;
    job.height = m_height;
    job.stride = m_stride;
    job.bits = m_bits.get();
    job.mandelbrot = mandelbrot;
    job.iterations = m_params.iterations;
    job.juliaRe = m_params.cReal;
    job.juliaIm = m_params.cImag;
    job.cancel = context.cancel;
    m_smoothValid = false;
    if (m_keepSmooth && columns > 0) {
        // Without the memory the picture is still drawn, only not smooth.
        try {
            m_smooth.resize(static_cast<std::size_t>(columns) * rowCount());
            job.smooth = m_smooth.data();
            job.smoothStride = static_cast<std::size_t>(columns);
        } catch (const std::bad_alloc&) {
            m_smooth = {};
        }
    } else {
        m_smooth = {};
    }

    // A checkpoint after every k + 1 rows; a short last block has none.
    const std::int32_t block = k + 1;
    // The picture's own values: ordered edges, its own size.
    FractalParams here = m_params;
    here.left = m_xMin;
    here.right = m_xMax;
    here.top = m_yMin;
    here.bottom = m_yMax;
    here.width = m_width;
    here.height = m_height;
    const EngineChoice choice = chooseEngine(here);
    m_lastRenderDeep.store(choice != EngineChoice::Doubles, std::memory_order_relaxed);
    if (choice == EngineChoice::Doubles) return renderBlocks(*m_renderer, tiles, job, context, block);

    DeepRenderer renderer;
    const auto stop = [&] { return (context.pollCancel && context.pollCancel()) || job.cancelled(); };
    DeepRenderer::Prepared prepared = DeepRenderer::Prepared::NoMemory;
    try {
        // The last deep render's reference serves again when it lies in this picture.
        prepared = renderer.prepare(here, stop, std::move(m_keptReference));
    } catch (const std::bad_alloc&) {
    }
    if (prepared == DeepRenderer::Prepared::NoMemory) return RenderOutcome::NoMemory;
    // Kept even when this render stops, for the move that stopped it.
    m_keptReference = renderer.keptReference();
    if (prepared == DeepRenderer::Prepared::Cancelled) {
        blank();
        return RenderOutcome::Cancelled;
    }
    m_reusedReference = renderer.reusedReference();
    if (choice == EngineChoice::CheckedDoubles) {
        CheckedRowRenderer checked(*m_renderer, renderer, here);
        return renderBlocks(checked, tiles, job, context, block);
    }
    return renderBlocks(renderer, tiles, job, context, block);
}

RenderOutcome FractalEngine::renderBlocks(RowRenderer& renderer, TiledRender& tiles, const RenderJob& job,
                                          const RenderContext& context,
                                          std::int32_t block) {
    for (std::int32_t first = 0; first < m_height;) {
        const std::int32_t end = (m_height - first > block) ? first + block : m_height;
        tiles.render(renderer, job, first, end);
        if (context.rowsDone && !job.cancelled()) context.rowsDone(first, end);
        const bool checkpoint = (end - first) == block;
        first = end;
        if (checkpoint && context.progress != nullptr) context.progress->stepIt();
        const bool stop = checkpoint ? (context.pollCancel && context.pollCancel()) || job.cancelled()
                                     : job.cancelled();
        if (stop) {
            blank();
            return RenderOutcome::Cancelled;
        }
    }
    m_valid = true;
    m_smoothValid = job.smooth != nullptr;
    return RenderOutcome::Done;
}

bool FractalEngine::buildBitmap(const Palette& palette) {
    m_bitmapInfo.reset();
    m_bitmapInfo.reset(new (std::nothrow) BitmapInfoBlock{});
    if (!m_bitmapInfo) return false;
    fillBitmapInfo(*m_bitmapInfo, m_width, m_height, palette);
    return true;
}

}  // namespace velmora

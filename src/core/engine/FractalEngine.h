#pragma once
// The image computer: the values of its picture and an 8-bit bottom-up pixel
// buffer with rows padded to 4. It says what happened; its callers tell the user.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "location/FractalParams.h"
#include "palette/Palette.h"
#include "render/BitmapInfo.h"
#include "render/EscapeTime.h"
#include "render/Progress.h"
#include "render/SmoothEscape.h"

namespace velmora {

class TiledRender;
struct KeptReference;

// What a render came to; the caller says so to the user.
enum class RenderOutcome {
    Done,
    Cancelled,  // stopped by the context: the picture is blank
    NoMemory,   // no picture, or no memory for the coordinates beside it
};

// Everything a render is told besides the values: where progress goes and what stops it.
struct RenderContext {
    ProgressSink* progress = nullptr;
    // Set by any thread at any time; the render stops soon after.
    const std::atomic<bool>* cancel = nullptr;
    // Asked on the rendering thread at each checkpoint (a key typed meanwhile);
    // asked once before the render too, so that a key typed earlier is forgotten.
    std::function<bool()> pollCancel;
    // Told on the rendering thread after each block: stored rows [first, end)
    // are final, so a window can show the picture growing while it is drawn.
    std::function<void(std::int32_t first, std::int32_t end)> rowsDone;
};

class FractalEngine {
public:
    // Allocates and zeroes the pixel block; without the memory it stays
    // without a buffer (hasBuffer() false; render then says NoMemory).
    FractalEngine(std::int32_t width, std::int32_t height);
    virtual ~FractalEngine();
    FractalEngine(const FractalEngine&) = delete;
    FractalEngine& operator=(const FractalEngine&) = delete;

    // The values of the picture the engine holds; its own size stays.
    void setParams(const FractalParams& params);
    const FractalParams& params() const { return m_params; }

    // Draws the picture of the values on the schedule of checkpoints; a
    // picture the doubles cannot resolve (needsDeepEngine) comes from the deep
    // engine, whose reference orbit heeds the context too.
    RenderOutcome render(const RenderContext& context = {});
    RenderOutcome render(const FractalParams& params, const RenderContext& context = {}) {
        setParams(params);
        return render(context);
    }

    // Rebuilds the 1064-byte header block with the given colour table; false
    // when its memory could not be had.
    bool buildBitmap(const Palette& palette);

    std::uint8_t* bits() { return m_bits.get(); }
    const std::uint8_t* bits() const { return m_bits.get(); }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    const BitmapInfoBlock* bitmapInfo() const { return m_bitmapInfo.get(); }

    bool isValid() const { return m_valid; }
    // Whether the last render (or the one running) used the deep engine.
    bool lastRenderWasDeep() const { return m_lastRenderDeep.load(std::memory_order_relaxed); }
    // Whether the last deep render took the reference orbit of the one before.
    bool lastRenderReusedReference() const { return m_reusedReference; }
    // Forgets the picture: not valid, and every byte of the pixel block (row
    // padding included) zero, as after a cancelled render.
    void blank();
    bool hasBuffer() const { return m_bits != nullptr; }
    // Bytes per stored row, and of the whole block (0 without a buffer).
    std::size_t stride() const { return m_stride; }
    std::size_t bufferSize() const { return m_bits ? m_stride * rowCount() : 0; }

    // The region with each pair of edges ordered.
    double xMin() const { return m_xMin; }
    double yMin() const { return m_yMin; }
    double xMax() const { return m_xMax; }
    double yMax() const { return m_yMax; }
    std::int32_t type() const { return static_cast<std::int32_t>(m_params.type); }
    std::int32_t iterations() const { return m_params.iterations; }

    // Smooth view: with keepSmooth, each render also keeps every pixel's full
    // count and fraction from the same iterations (the counts are the
    // picture's), for smoothPicture to colour without rendering again.
    void setKeepSmooth(bool keep) { m_keepSmooth = keep; }
    bool keepsSmooth() const { return m_keepSmooth; }
    // Whether the picture has them: kept, valid, and their memory was had.
    bool hasSmooth() const { return m_valid && m_smoothValid; }
    // Image row y's samples (0 is the top row), width() of them; null without.
    const SmoothSample* smoothRow(std::int32_t y) const;
    // Stored row y's samples (0 is the bottom row) while a render that keeps
    // them runs, for rows it has reported done; null when none are kept.
    const SmoothSample* storedSmoothRow(std::int32_t y) const;

    // Which loop computes the rows; the schedule around it never changes.
    void setRowRenderer(RowRenderer& renderer) { m_renderer = &renderer; }

    // The padding rule on its own: 0..3 bytes that bring a row to a multiple of 4.
    static std::int32_t paddingFor(std::int32_t width);
    // The region rule: each pair of edges as (smaller, larger).
    static void orderedPair(double a, double b, double& low, double& high);

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const;
    };
    std::size_t rowCount() const { return m_height > 0 ? static_cast<std::size_t>(m_height) : 0; }
    RenderOutcome renderBlocks(RowRenderer& renderer, TiledRender& tiles, const RenderJob& job, const RenderContext& context,
                               std::int32_t block);

    bool m_valid = false;
    std::int32_t m_width;
    std::int32_t m_height;
    FractalParams m_params;
    double m_xMin = 0.0;
    double m_yMin = 0.0;
    double m_xMax = 0.0;
    double m_yMax = 0.0;
    std::unique_ptr<std::uint8_t[], FreeDeleter> m_bits;
    std::unique_ptr<BitmapInfoBlock> m_bitmapInfo;
    std::size_t m_stride;
    RowRenderer* m_renderer;
    std::atomic<bool> m_lastRenderDeep{false};
    std::shared_ptr<const KeptReference> m_keptReference;
    bool m_reusedReference = false;
    bool m_keepSmooth = false;
    bool m_smoothValid = false;
    std::vector<SmoothSample> m_smooth;  // bottom-up rows, as the bits
    // Sample coordinates of the last render, kept to avoid reallocating.
};

}  // namespace velmora

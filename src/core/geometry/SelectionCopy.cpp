#include "geometry/SelectionCopy.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/FractalEngine.h"

namespace velmora {
namespace {

std::int32_t scaleEdge(std::int32_t edge, std::int32_t client, std::int32_t picture) {
    const double v = static_cast<double>(picture) * (static_cast<double>(edge) / static_cast<double>(client));
    const double t = std::trunc(v);
    // Far outside the picture: clamp before converting, the clip follows anyway.
    return static_cast<std::int32_t>(std::clamp(t, -1.0, static_cast<double>(picture) + 1.0));
}

}  // namespace

PixelRect mapSelectionToPicture(const PixelRect& box, std::int32_t clientWidth, std::int32_t clientHeight,
                                std::int32_t pictureWidth, std::int32_t pictureHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    PixelRect r;
    r.left = std::clamp(scaleEdge(box.left, clientWidth, pictureWidth), 0, pictureWidth);
    r.right = std::clamp(scaleEdge(box.right, clientWidth, pictureWidth), 0, pictureWidth);
    r.top = std::clamp(scaleEdge(box.top, clientHeight, pictureHeight), 0, pictureHeight);
    r.bottom = std::clamp(scaleEdge(box.bottom, clientHeight, pictureHeight), 0, pictureHeight);
    if (r.isEmpty()) return {};
    return r;
}

std::size_t copyStride(std::int32_t columns) {
    if (columns <= 0) return 0;
    return (static_cast<std::size_t>(columns) + 3) / 4 * 4;
}

CopyResult copyPictureRect(const FractalEngine& engine, const PixelRect& rect, CopiedImage& out) {
    const std::int32_t w = engine.width();
    const std::int32_t h = engine.height();
    // Never trust the caller's clipping with raw memory.
    const PixelRect r{std::clamp(rect.left, 0, std::max(w, 0)), std::clamp(rect.top, 0, std::max(h, 0)),
                      std::clamp(rect.right, 0, std::max(w, 0)), std::clamp(rect.bottom, 0, std::max(h, 0))};
    if (r.isEmpty() || !engine.hasBuffer()) return CopyResult::Empty;
    const std::size_t stride = copyStride(r.width());
    const std::size_t rows = static_cast<std::size_t>(r.height());
    std::vector<std::uint8_t> bits;
    try {
        bits.assign(stride * rows, 0);
    } catch (const std::bad_alloc&) {
        return CopyResult::NoMemory;
    }
    const std::uint8_t* src = engine.bits();
    const std::size_t srcStride = engine.stride();
    for (std::size_t i = 0; i < rows; ++i) {
        // Picture row top + i counted from the top is this memory row, bottom-up.
        const std::size_t memRow = static_cast<std::size_t>(h - 1 - (r.top + static_cast<std::int32_t>(i)));
        std::memcpy(bits.data() + i * stride, src + memRow * srcStride + static_cast<std::size_t>(r.left),
                    static_cast<std::size_t>(r.width()));
    }
    out.width = r.width();
    out.height = r.height();
    out.stride = stride;
    out.bits = std::move(bits);
    return CopyResult::Ok;
}

}  // namespace velmora

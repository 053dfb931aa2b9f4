#include "video/FramePadding.h"

#include <cstring>

namespace velmora {

std::int32_t evenSide(std::int32_t side) { return side + (side & 1); }

void padToEven(const std::uint8_t* pixels, std::size_t stride, std::int32_t width, std::int32_t height,
               std::vector<std::uint8_t>& out) {
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t outStride = static_cast<std::size_t>(evenSide(width)) * 4;
    out.resize(outStride * static_cast<std::size_t>(evenSide(height)));
    for (std::int32_t y = 0; y < evenSide(height); ++y) {
        const std::int32_t from = y < height ? y : height - 1;
        const std::uint8_t* src = pixels + static_cast<std::size_t>(from) * stride;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * outStride;
        std::memcpy(dst, src, w * 4);
        if (outStride > w * 4) std::memcpy(dst + w * 4, src + (w - 1) * 4, 4);
    }
}

void expandIndexed(const IndexedPicture& picture, std::vector<std::uint8_t>& out) {
    const std::size_t w = static_cast<std::size_t>(picture.width);
    const std::size_t outStride = static_cast<std::size_t>(evenSide(picture.width)) * 4;
    out.resize(outStride * static_cast<std::size_t>(evenSide(picture.height)));
    for (std::int32_t y = 0; y < picture.height; ++y) {
        // BMP rows run bottom-up; video rows top-down.
        const std::uint8_t* src =
            picture.bottomUpRows + static_cast<std::size_t>(picture.height - 1 - y) * picture.stride;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * outStride;
        for (std::size_t x = 0; x < w; ++x) std::memcpy(dst + x * 4, picture.colourTable + src[x] * 4u, 4);
        if (outStride > w * 4) std::memcpy(dst + w * 4, dst + (w - 1) * 4, 4);
    }
    if (picture.height & 1) {
        std::uint8_t* last = out.data() + static_cast<std::size_t>(picture.height) * outStride;
        std::memcpy(last, last - outStride, outStride);
    }
}

}  // namespace velmora

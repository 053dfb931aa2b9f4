#include "geometry/Stretch.h"

#include <cstring>

namespace velmora {

std::int32_t nearestSource(std::int32_t d, std::int32_t n, std::int32_t len) {
    if (n <= 0 || len <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(d) * len / n);
}

void stretchBottomUp(const std::uint8_t* src, std::size_t srcStride, std::int32_t sw, std::int32_t sh,
                     std::uint8_t* dst, std::size_t dstStride, std::int32_t dw, std::int32_t dh) {
    if (src == nullptr || dst == nullptr || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    std::vector<std::int32_t> columns(static_cast<std::size_t>(dw));
    for (std::int32_t x = 0; x < dw; ++x) columns[static_cast<std::size_t>(x)] = nearestSource(x, dw, sw);
    std::int32_t lastSource = -1;
    const std::uint8_t* lastRow = nullptr;
    for (std::int32_t y = 0; y < dh; ++y) {
        const std::int32_t sy = nearestSource(y, dh, sh);
        std::uint8_t* out = dst + static_cast<std::size_t>(y) * dstStride;
        if (sy == lastSource) {
            std::memcpy(out, lastRow, static_cast<std::size_t>(dw));  // a repeated row
        } else {
            const std::uint8_t* in = src + static_cast<std::size_t>(sh - 1 - sy) * srcStride;
            for (std::int32_t x = 0; x < dw; ++x) out[x] = in[columns[static_cast<std::size_t>(x)]];
        }
        lastSource = sy;
        lastRow = out;
    }
}

}  // namespace velmora

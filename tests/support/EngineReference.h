#pragma once
// An independent, deliberately plain reading of the escape-time rules, used to
// check the engine's pixels byte for byte (padding included).
#include <cstdint>
#include <vector>

namespace velmora::test {

struct RefParams {
    double left = -2, top = -1.5, right = 2, bottom = 1.5;
    int type = 1;
    double kr = 0.3, ki = 0.6;
    std::int32_t limit = 201;
    std::int32_t width = 300, height = 300;
};

inline std::vector<std::uint8_t> referenceImage(const RefParams& p) {
    const int pad = (p.width % 4) == 0 ? 0 : 4 - p.width % 4;
    const std::size_t stride = static_cast<std::size_t>(p.width + pad);
    std::vector<std::uint8_t> out(stride * static_cast<std::size_t>(p.height), 0);
    const double xmin = p.right > p.left ? p.left : p.right;
    const double xmax = p.right > p.left ? p.right : p.left;
    const double ymin = p.bottom > p.top ? p.top : p.bottom;
    const double ymax = p.bottom > p.top ? p.bottom : p.top;
    const double dx = (xmax - xmin) / p.width;
    const double dy = (ymax - ymin) / p.height;
    double y = ymin;
    for (int j = 0; j < p.height; ++j) {
        double x = xmin;
        for (int i = 0; i < p.width; ++i) {
            std::uint8_t v = 0;
            if (p.limit > 0) {
                double zr = x, zi = y;
                double zr2 = zr * zr, zi2 = zi * zi;
                const double ar = (p.type & 1) ? x : p.kr;
                const double ai = (p.type & 1) ? y : p.ki;
                std::int64_t n = 1;
                while (true) {
                    zi = 2 * zr * zi + ai;
                    zr = zr2 - zi2 + ar;
                    zr2 = zr * zr;
                    zi2 = zi * zi;
                    if (zr2 + zi2 > 4.0) {
                        v = static_cast<std::uint8_t>(n % 256 == 0 ? 1 : n % 256);
                        break;
                    }
                    if (n >= p.limit) break;
                    ++n;
                }
            }
            out[static_cast<std::size_t>(p.height - 1 - j) * stride + static_cast<std::size_t>(i)] = v;
            x += dx;
        }
        y += dy;
    }
    return out;
}

}  // namespace velmora::test

#include "geometry/PrintFit.h"

#include <cmath>
#include <limits>

namespace velmora {
namespace {

// Truncates toward zero into the 32-bit range; the page bounds it anyway.
std::int32_t truncate(double v) {
    if (!(v > 0.0)) return 0;  // also NaN
    if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::trunc(v));
}

}  // namespace

PrintTarget fitOnPage(std::int32_t pictureWidth, std::int32_t pictureHeight, const PageMetrics& page) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || page.horzRes <= 0 || page.vertRes <= 0 ||
        page.logPixelsX <= 0 || page.logPixelsY <= 0)
        return {};
    const double w = pictureWidth;
    const double h = pictureHeight;
    const double lx = page.logPixelsX;
    const double ly = page.logPixelsY;
    PrintTarget t;
    t.width = page.horzRes;
    t.height = truncate(h * (ly * page.horzRes) / (w * lx));
    if (t.height > page.vertRes) {
        t.height = page.vertRes;
        t.width = truncate(w * (lx * page.vertRes) / (h * ly));
    }
    return t;
}

}  // namespace velmora

#include "geometry/FitToWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {

std::optional<PlaneRegion> fitRegionToClient(const PlaneRegion& region, std::int32_t clientWidth,
                                             std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const double width = std::abs(region.right - region.left);
    const double height = region.bottom - region.top;
    const double wanted = width * (static_cast<double>(clientHeight) / clientWidth);
    if (!std::isfinite(wanted) || !std::isfinite(height)) return std::nullopt;
    // Matching proportions are left alone: recomputing the edges from the
    // centre would move them by rounding on every render. The edges themselves
    // are only as exact as their own magnitude allows, however small the region.
    const double magnitude = std::max({std::abs(region.left), std::abs(region.top), std::abs(region.right),
                                       std::abs(region.bottom)});
    if (std::abs(std::abs(height) - wanted) <= 8.0 * magnitude * std::numeric_limits<double>::epsilon())
        return region;
    const double half = (height < 0.0 ? -wanted : wanted) / 2.0;
    const double centre = region.top + height / 2.0;
    PlaneRegion out = region;
    out.top = centre - half;
    out.bottom = centre + half;
    if (!std::isfinite(out.top) || !std::isfinite(out.bottom)) return std::nullopt;
    return out;
}

}  // namespace velmora

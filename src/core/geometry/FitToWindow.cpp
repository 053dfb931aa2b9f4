#include "geometry/FitToWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "location/CentreWidth.h"
#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"

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

std::optional<PlaneRegion> regionAround(const PlaneRegion& region, std::int32_t clientWidth,
                                        std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const double width = region.right - region.left;
    const double height = region.bottom - region.top;
    const double aspect = static_cast<double>(clientHeight) / clientWidth;
    // Too tall a region for the area: widen it; else make it taller.
    if (std::abs(height) > std::abs(width) * aspect) {
        const double half = std::abs(height) / aspect / 2.0;
        const double centre = region.left + width / 2.0;
        PlaneRegion out = region;
        out.left = width < 0.0 ? centre + half : centre - half;
        out.right = width < 0.0 ? centre - half : centre + half;
        if (!std::isfinite(out.left) || !std::isfinite(out.right)) return std::nullopt;
        return out;
    }
    return fitRegionToClient(region, clientWidth, clientHeight);
}

std::optional<FractalParams> fitExactLocation(const FractalParams& location) {
    if (location.exact.empty()) return std::nullopt;
    // A width below zero (x edges backwards) is refused here.
    ExactLocation edges;
    if (edgesFromCentre(centreOf(location), location.width, location.height, edges) != CentreWidthFault::None)
        return std::nullopt;
    const mpfr_prec_t bits = bitsToRead(location.exact);
    Mpfr top(bits), bottom(bits);
    if (!readDecimal(location.exact.top, top) || !readDecimal(location.exact.bottom, bottom)) return std::nullopt;
    if (mpfr_cmp(top.get(), bottom.get()) > 0) std::swap(edges.top, edges.bottom);  // the y pair keeps its direction
    // The centre and width are exact, so the x edges come back as they were;
    // their own text is kept as written.
    edges.left = location.exact.left;
    edges.right = location.exact.right;
    edges.cReal = location.exact.cReal;
    edges.cImag = location.exact.cImag;
    FractalParams fitted = location;
    if (!assignExact(fitted, edges)) return std::nullopt;
    return fitted;
}

}  // namespace velmora

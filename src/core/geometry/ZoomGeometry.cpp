#include "geometry/ZoomGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace velmora {

namespace {

// Truncates toward zero like the integer conversion, but saturates instead of
// overflowing: a locked point far outside the view must not be undefined.
std::int32_t truncateToInt(double v) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(v)) return 0;
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

bool allFinite(const PlaneRegion& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
           std::isfinite(r.bottom);
}

// The box's edges in the plane: each client coordinate's share of the region.
PlaneRegion boxOnPlane(const PlaneRegion& region, const PixelRect& box, double cw, double ch) {
    const double w = region.right - region.left;
    const double h = region.bottom - region.top;
    PlaneRegion out;
    out.left = region.left + (box.left / cw) * w;
    out.top = region.top + (box.top / ch) * h;
    out.right = region.left + (box.right / cw) * w;
    out.bottom = region.top + (box.bottom / ch) * h;
    return out;
}

}  // namespace

PixelRect normalizedBox(ClientPoint a, ClientPoint b) {
    return PixelRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool hasSelection(bool dragging, ClientPoint anchor, ClientPoint current) {
    return !dragging && anchor.x != current.x && anchor.y != current.y;
}

double clientAspect(std::int32_t clientWidth, std::int32_t clientHeight) {
    return static_cast<double>(clientWidth) / static_cast<double>(clientHeight);
}

ClientPoint lockProportionsPoint(ClientPoint anchor, ClientPoint p, double clientAspect) {
    if (!std::isfinite(clientAspect) || clientAspect <= 0.0) return p;
    const double candidateX =
        (static_cast<double>(p.y) - anchor.y) * clientAspect + anchor.x;
    const std::int32_t candidate = truncateToInt(candidateX);
    if (candidate > p.x) {
        p.x = candidate;
    } else {
        p.y = truncateToInt((static_cast<double>(p.x) - anchor.x) / clientAspect + anchor.y);
    }
    return p;
}

ClientPoint clampToView(ClientPoint p, std::int32_t clientWidth, std::int32_t clientHeight) {
    p.x = std::clamp(p.x, 0, std::max(clientWidth, 0));
    p.y = std::clamp(p.y, 0, std::max(clientHeight, 0));
    return p;
}

std::optional<PlaneRegion> zoomInRegion(const PlaneRegion& region, const PixelRect& box,
                                        std::int32_t clientWidth, std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const PlaneRegion out = boxOnPlane(region, box, clientWidth, clientHeight);
    if (!allFinite(out)) return std::nullopt;
    return out;
}

std::optional<PlaneRegion> zoomOutRegion(const PlaneRegion& region, const PixelRect& box,
                                         std::int32_t clientWidth, std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const double cw = clientWidth;
    const double ch = clientHeight;
    const double w = region.right - region.left;
    const double h = region.bottom - region.top;
    const PlaneRegion b = boxOnPlane(region, box, cw, ch);
    const double newWidth = (w * w) / (b.right - b.left);
    const double newHeight = (h * h) / (b.bottom - b.top);
    PlaneRegion out;
    out.left = b.left - (box.left / cw) * newWidth;
    out.top = b.top - (box.top / ch) * newHeight;
    out.right = out.left + newWidth;
    out.bottom = out.top + newHeight;
    // A box of no extent in the plane (equal region edges) divides 0 by 0.
    if (!allFinite(out)) return std::nullopt;
    return out;
}

std::optional<PlaneRegion> wheelZoomRegion(const PlaneRegion& region, ClientPoint at, int notches,
                                           std::int32_t clientWidth, std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || notches == 0) return std::nullopt;
    const double fx = static_cast<double>(at.x) / clientWidth;
    const double fy = static_cast<double>(at.y) / clientHeight;
    const bool in = notches > 0;
    PlaneRegion r = region;
    for (int i = 0; i < std::abs(notches); ++i) {
        const double px = r.left + fx * (r.right - r.left);
        const double py = r.top + fy * (r.bottom - r.top);
        const auto step = [in](double e, double p) { return in ? p + (e - p) / 2.0 : p + 2.0 * (e - p); };
        r = PlaneRegion{step(r.left, px), step(r.top, py), step(r.right, px), step(r.bottom, py)};
        if (!allFinite(r)) return std::nullopt;
    }
    return r;
}

std::optional<PlaneRegion> panRegion(const PlaneRegion& region, std::int32_t dx, std::int32_t dy,
                                     std::int32_t clientWidth, std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const double mx = -(static_cast<double>(dx) / clientWidth) * (region.right - region.left);
    const double my = -(static_cast<double>(dy) / clientHeight) * (region.bottom - region.top);
    const PlaneRegion out{region.left + mx, region.top + my, region.right + mx, region.bottom + my};
    if (!allFinite(out)) return std::nullopt;
    return out;
}

std::optional<PlanePoint> planePointAt(const PlaneRegion& region, ClientPoint at, std::int32_t clientWidth,
                                       std::int32_t clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return std::nullopt;
    const PlanePoint p{region.left + (static_cast<double>(at.x) / clientWidth) * (region.right - region.left),
                       region.top + (static_cast<double>(at.y) / clientHeight) * (region.bottom - region.top)};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    return p;
}

}  // namespace velmora

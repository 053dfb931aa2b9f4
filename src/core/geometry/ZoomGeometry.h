#pragma once
// The view's drag-box and zoom arithmetic, free of any window: client points in,
// regions and boxes out. The view only feeds mouse points and client sizes.
#include <cstdint>
#include <optional>

#include "geometry/SelectionCopy.h"

namespace velmora {

struct ClientPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ClientPoint&, const ClientPoint&) = default;
};

// Region edges as the document stores them: not ordered.
struct PlaneRegion {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// A point of the plane: x the real part, y the imaginary part.
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

// The box spanned by two points, left/top the smaller coordinates.
PixelRect normalizedBox(ClientPoint a, ClientPoint b);

// A selection exists only after the drag ended and both coordinates moved:
// a plain click, or a drag along one line, selects nothing.
bool hasSelection(bool dragging, ClientPoint anchor, ClientPoint current);

// Client width / height as the view keeps it after each draw.
double clientAspect(std::int32_t clientWidth, std::int32_t clientHeight);

// Lock Proportions: moves p so that the box from the anchor has the client
// area's proportions. Only x is compared, so drags down-left and up-right come
// out down-right of the anchor. The corrected point may leave the view. An
// aspect that is not a positive finite number (a collapsed view) leaves p alone.
ClientPoint lockProportionsPoint(ClientPoint anchor, ClientPoint p, double clientAspect);

// Keeps a drag point on the view: 0..width and 0..height, so a drag to the far
// edges can cover the whole picture.
ClientPoint clampToView(ClientPoint p, std::int32_t clientWidth, std::int32_t clientHeight);

// The box's edges mapped onto the stored region, in doubles, without ordering
// the edges. Empty for a client area of zero width or height, or when the
// result is not finite (for example a region with equal edges zoomed out).
std::optional<PlaneRegion> zoomInRegion(const PlaneRegion& region, const PixelRect& box,
                                        std::int32_t clientWidth, std::int32_t clientHeight);
// Shrinks the whole picture into the box: the scale grows by client size / box
// size and the plane point under the box's top-left corner stays there.
std::optional<PlaneRegion> zoomOutRegion(const PlaneRegion& region, const PixelRect& box,
                                         std::int32_t clientWidth, std::int32_t clientHeight);

// Wheel zoom about the plane point p under the client point `at`: each notch
// forward (notches > 0) takes every edge e to p + (e - p) / 2, each notch back
// to p + 2 (e - p), x edges with p's x and y edges with p's y. Several notches
// are the single step repeated, p taken afresh from each step's region, so a
// burst gives exactly what the same notches one by one would. Empty for a
// collapsed client area, no notches, or a result that is not finite.
std::optional<PlaneRegion> wheelZoomRegion(const PlaneRegion& region, ClientPoint at, int notches,
                                           std::int32_t clientWidth, std::int32_t clientHeight);

// Pan: a drag of (dx, dy) client pixels moves the region by
// -(dx / w)(right - left) and -(dy / h)(bottom - top), so the plane follows the
// mouse. Empty for a collapsed client area or a result that is not finite.
std::optional<PlaneRegion> panRegion(const PlaneRegion& region, std::int32_t dx, std::int32_t dy,
                                     std::int32_t clientWidth, std::int32_t clientHeight);

// The plane point under client point `at`: left + (x / w)(right - left),
// top + (y / h)(bottom - top), as the wheel zooms about. Empty for a collapsed
// client area or a point that is not finite.
std::optional<PlanePoint> planePointAt(const PlaneRegion& region, ClientPoint at, std::int32_t clientWidth,
                                       std::int32_t clientHeight);

}  // namespace velmora

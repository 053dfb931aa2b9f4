#pragma once
// The zoom and pan of ZoomGeometry for a whole location, exact values and
// all. A location the doubles hold gets exactly the doubles' arithmetic; when
// the result needs more than doubles, or the location already has exact
// values, the same arithmetic runs in as many bits as it needs and both the
// exact text and the nearest doubles are set. The Julia constant and all else
// are kept. Empty where ZoomGeometry's function is empty.
#include <cstdint>
#include <optional>

#include "geometry/ZoomGeometry.h"
#include "location/CentreWidth.h"
#include "location/FractalParams.h"

namespace velmora {

std::optional<FractalParams> zoomInLocation(const FractalParams& p, const PixelRect& box, std::int32_t clientWidth,
                                            std::int32_t clientHeight);
std::optional<FractalParams> zoomOutLocation(const FractalParams& p, const PixelRect& box, std::int32_t clientWidth,
                                             std::int32_t clientHeight);
std::optional<FractalParams> wheelZoomLocation(const FractalParams& p, ClientPoint at, int notches,
                                               std::int32_t clientWidth, std::int32_t clientHeight);
// The plane point at the middle of the pixel under `at`, written with as many
// digits as the pixel's size needs (exactly, past the doubles too). Empty
// outside the picture or without a region to map.
std::optional<CentreWidth> pointUnder(const FractalParams& p, ClientPoint at, std::int32_t clientWidth,
                                      std::int32_t clientHeight);

// Continuous zoom: every edge e goes to p + (e - p) / factor about the plane
// point p under the client point (x, y), which may lie between pixels;
// factor > 1 zooms in. Empty for a factor that is not positive and finite.
std::optional<FractalParams> scaleAboutLocation(const FractalParams& p, double x, double y, double factor,
                                                std::int32_t clientWidth, std::int32_t clientHeight);

// How much a held zoom scales by in `seconds` at `perSecond` times a second
// (the inverse when zooming out); 1 for no time or a rate that is not above 1.
double heldZoomFactor(double perSecond, double seconds, bool out);

// Where the picture of `shown` lies in a client area showing `target`, in
// client pixels (edges as the region's, so a flipped axis gives a negative
// extent): the old picture moved and scaled into the new place. Empty when a
// number is not finite or the target has no extent.
struct ClientPlacement {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    friend bool operator==(const ClientPlacement&, const ClientPlacement&) = default;
};
std::optional<ClientPlacement> placeInClient(const FractalParams& shown, const FractalParams& target,
                                             std::int32_t clientWidth, std::int32_t clientHeight);

std::optional<FractalParams> panLocation(const FractalParams& p, std::int32_t dx, std::int32_t dy,
                                         std::int32_t clientWidth, std::int32_t clientHeight);

}  // namespace velmora

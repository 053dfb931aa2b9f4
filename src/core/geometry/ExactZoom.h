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

std::optional<FractalParams> panLocation(const FractalParams& p, std::int32_t dx, std::int32_t dy,
                                         std::int32_t clientWidth, std::int32_t clientHeight);

}  // namespace velmora

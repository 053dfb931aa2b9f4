#pragma once
// Fit Picture to Window: the picture takes the client area's size, so the
// region must take its proportions too or the plane would look stretched.
#include <cstdint>
#include <optional>

#include "geometry/ZoomGeometry.h"
#include "location/FractalParams.h"

namespace velmora {

// The region with its y edges moved so that |bottom - top| / |right - left| is
// clientHeight / clientWidth; the centre, the x edges and the direction of
// each pair stay. A region whose proportions already match (up to the rounding
// of its edges) comes back unchanged, so fitting again never drifts. Empty
// for a collapsed client area or a result that is not finite.
std::optional<PlaneRegion> fitRegionToClient(const PlaneRegion& region, std::int32_t clientWidth,
                                             std::int32_t clientHeight);

// The smallest region of the client area's proportions that holds the whole
// region, about the same centre: one pair of edges kept, the other moved
// apart, so a small picture shows all of it without stretching. Empty for a
// collapsed client area or a result that is not finite.
std::optional<PlaneRegion> regionAround(const PlaneRegion& region, std::int32_t clientWidth,
                                        std::int32_t clientHeight);

// A location with exact values fitted to its own picture size: the same rule
// worked out in full precision from the exact centre and width. Empty when it
// has no exact values, its x edges run backwards or the values are refused.
std::optional<FractalParams> fitExactLocation(const FractalParams& location);

}  // namespace velmora

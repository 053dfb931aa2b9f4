#pragma once
// In-betweens: the values of step d of the segment from keyframe A to keyframe
// B, whose transition count T is A's. Double precision throughout when neither
// keyframe has exact values; else the region and constant are computed from
// the exact values in as many bits as the deeper keyframe needs.
#include <cstdint>

#include "location/FractalParams.h"

namespace velmora {

// sqrt(T^2 - (T - d)^2) / T, the region's progress when slow at keyframes: 0 at
// d = 0, rising steeply first and ever more slowly towards 1 at d = T. The
// squares are taken in 64 bits, so any 32-bit count is exact.
double slowAtKeyframesWeight(std::int32_t t, std::int32_t d);

// Fills `out` for step d (0 <= d < T, T = a.transitions >= 1): the region by the
// tweening style, the Julia constant, iteration limit and colours linearly, the
// type from A, every reserved palette byte 0. `out`'s transition count is left
// alone. Any style other than slow-at-keyframes is constant speed: each axis's
// extent changes by the same factor every step, a steady rate in log(extent).
void tweenKeyframes(const Keyframe& a, const Keyframe& b, Keyframe& out, std::int32_t d, TweenStyle style);

}  // namespace velmora

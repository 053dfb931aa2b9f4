#pragma once
// How far the doubles' own rounding may have carried a pixel of the plain
// loop. In Julia pictures a few pixels in a thousand lie so near a border
// between counts that 2^-53 a step, grown along a chaotic orbit or squeezed
// by a pass by the critical point, moves them. The loop then carries a bound
// on the square of its error in z alongside (as the deep engine does for its
// differences), and a pixel whose last two steps came nearer radius 2 than the
// bound allows is in doubt: it is computed again in more precision.
#include <algorithm>
#include <cmath>

namespace velmora {

// |2 z|^2 = 4 |z|^2 per step, and 2^-10 for the cross terms of the squares.
inline constexpr double kDoubtGrowth = 4.0 * (1.0 + 0x1p-10);
// Doubt begins where 8 times the error reaches the distance from radius 2.
inline constexpr double kDoubtMargin = 64.0;

// The square of one step's rounding in z = z^2 + a while |z| <= 2: each of
// the step's five operations rounds by 2^-53 of a value below 4 + |a|, so
// (6 (4 + |a|) 2^-53)^2 bounds it, with room to spare.
inline double doubtStepRounding(double ar, double ai) {
    const double size = 4.0 + std::hypot(ar, ai);
    return 36.0 * size * size * 0x1p-106;
}

// err2 after a step from |z|^2 = nzBefore, the step's rounding squared added.
inline double doubtAfterStep(double err2, double nzBefore, double stepRounding) {
    return kDoubtGrowth * nzBefore * err2 + stepRounding;
}

// Whether a pixel that stopped with |z|^2 = nz, nzBefore the step before, and
// the squared error err2, may have stopped at another count.
inline bool escapeInDoubt(double err2, double nz, double nzBefore) {
    const double margin = std::min(std::fabs(nz - 4.0), std::fabs(nzBefore - 4.0));
    // A bound that overflowed (NaN) is in doubt.
    return !(kDoubtMargin * err2 < margin * margin);
}

}  // namespace velmora

#pragma once
// How far a perturbed pixel's own rounding may have carried it. Where its
// orbit parts from the reference it is iterated in plain doubles, and along a
// chaotic orbit their 2^-53 a step grows until the count moves (the full-
// precision loop needs 40 more bits there). The bound on the square of the
// error in z grows each step by |2 z|^2, with a little slack, plus the step's
// own rounding, which is relative to the difference from the reference; a
// count whose last two steps came nearer radius 2 than the bound allows is in
// doubt, and the pixel is computed again in full precision.
#include <algorithm>
#include <cmath>

namespace velmora {

// |2 z|^2 = 4 |z|^2 per step, and 2^-10 for the cross terms of the squares.
inline constexpr double kErrorGrowth = 4.0 * (1.0 + 0x1p-10);
// A step's rounding, (1 + 2^10) x 16 x (2^-53)^2 rounded up, times |dz'|^2:
// the step's products (2 Z + dz) dz = dz' - dc, where the offset dc is no
// larger than the difference but where they cancel (a case left aside), and
// the sum Z + dz that a rebase keeps, no larger than the next difference.
inline constexpr double kStepRounding = 0x1p-92;
// The same step's rounding in double-double numbers: 2^-53 of the doubles', in squares.
inline constexpr double kDoubleDoubleStepRounding = kStepRounding * 0x1p-106;
// Doubt begins where 8 times the error reaches the distance from radius 2.
inline constexpr double kDoubtFactor = 64.0;

// A squared error past this (an error of 4 in z, whose |z| is at most 2 until
// it escapes) says nothing of where the orbit is: the count is in doubt
// whatever follows, and the pixel need not run on to tell.
inline constexpr double kHopelessError2 = 16.0;

// err2 after one plain step from z with |z|^2 = nz to the difference dz',
// |dz'|^2 = dzNext2.
inline double errorAfterStep(double err2, double nz, double dzNext2) {
    return kErrorGrowth * nz * err2 + kStepRounding * dzNext2;
}

// excess = |z|^2 - 4 at the deciding step, previous = |z|^2 - 4 the step before.
inline bool countInDoubt(double err2, double excess, double previous) {
    const double margin = std::min(std::fabs(excess), std::fabs(previous));
    // Written so that a bound or a value that overflowed (NaN) is in doubt.
    return !(kDoubtFactor * err2 < margin * margin);
}

}  // namespace velmora

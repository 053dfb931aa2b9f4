#pragma once
// Whether a perturbed pixel z = Z_m + dz lies beyond radius 2. The doubles
// decide unless |z|^2 lies within kEscapeDoubt of 4: there the rounding of Z_m
// alone moves |z| by more than a deep picture's pixel spacing, and every pixel
// near a border between two counts would fall on one side. The reference's
// excess |Z_m|^2 - 4, taken from its full-precision value, decides instead:
// |z|^2 - 4 = excess + 2 Re(conj(Z_m) dz) + |dz|^2.
#include <cmath>

#include "deep/ExtFloat.h"

namespace velmora {

// Far above the doubles' own error in |z|^2 near 4 (a few units of 2^-50).
inline constexpr double kEscapeDoubt = 0x1p-36;

inline bool nearEscapeRadius(double nz) {
    return std::fabs(nz - 4.0) < kEscapeDoubt;
}

inline double excessByReference(double excess, double zr, double zi, double dzr, double dzi) {
    return excess + (2.0 * (zr * dzr + zi * dzi) + (dzr * dzr + dzi * dzi));
}

// |Z_m + dz|^2 - 4, from nz = |Z_m + dz|^2 in doubles unless that is too
// near 4 to tell; (zr, zi) = Z_m. Beyond radius 2 when positive.
inline double escapeExcess(double nz, double excess, double zr, double zi, double dzr, double dzi) {
    return nearEscapeRadius(nz) ? excessByReference(excess, zr, zi, dzr, dzi) : nz - 4.0;
}

// Whether z lies beyond radius 2, with differences below the double range.
inline bool escapesWide(ExtFloat nz, double excess, double zr, double zi, ExtFloat dzr, ExtFloat dzi) {
    const double near = nz.toDouble();
    if (!nearEscapeRadius(near)) return near > 4.0;
    const ExtFloat two(2.0);
    const ExtFloat sum =
        ExtFloat(excess) + (two * (ExtFloat(zr) * dzr + ExtFloat(zi) * dzi) + (dzr * dzr + dzi * dzi));
    return sum.mantissa() > 0.0;
}

}  // namespace velmora

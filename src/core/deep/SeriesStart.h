#pragma once
// Past the common stretches, where the largest offset's difference stops
// being linear next to the orbit, every pixel's difference is still a
// polynomial in its offset for a good while:
//   dz = a_1 u + a_2 u^2 + ... + a_K u^K,  u = dc / R,
// R a power of two no smaller than any offset, so |u| <= 1 and u is exact.
// The polynomial's steps are taken once for the picture, with a bound on what
// it leaves out; each pixel then starts where it ends, from one evaluation,
// instead of taking those steps one by one. Near a Misiurewicz point that is
// most of the steps between the linear stretches and the escape.
#include <cstddef>
#include <cstdint>

#include "deep/Bla.h"
#include "deep/ReferenceOrbit.h"

namespace velmora {

struct SeriesStart {
    static constexpr int kDegree = 8;
    std::size_t m = 0;  // the orbit index after it (z_{m-1} = Z_m + dz); 0: none
    double unit = 0.0;  // 1 / R
    double re[kDegree] = {}, im[kDegree] = {};  // a_1 .. a_K
    // For |u| <= 1: |dz - P(u)| <= tail |u|^(K+1) + linear |u|, the
    // evaluation's own rounding included.
    double tail = 0.0, linear = 0.0;
    std::int32_t steps() const { return static_cast<std::int32_t>(m) - 1; }
};

// The polynomial carried on from the common skip a step at a time, while
// what it leaves out stays below 2^-38 of its linear term, no pixel comes
// near radius 2 and the count stays short of the limit. m stays 0 where not
// a step is gained.
SeriesStart seriesStart(const CommonSkip& common, const ReferenceOrbit& orbit, std::int32_t limit);

struct SeriesValue {
    double dzr, dzi;
    double err2;  // the bound on the squared error of dz
};

namespace series_detail {
// The bounds are rounded too: each takes this much more a step.
inline constexpr double kSlack = 1.0 + 0x1p-40;
// Coefficients and products below the normal doubles round by an absolute amount.
inline constexpr double kUnderflow = 0x1p-1000;
}  // namespace series_detail

// A pixel's difference where the series ends; its offset within the largest
// the common skip was made for.
SeriesValue seriesValue(const SeriesStart& series, double dcr, double dci);

}  // namespace velmora

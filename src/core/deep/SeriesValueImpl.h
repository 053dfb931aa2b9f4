#pragma once
// A pixel's series value, written once for doubles and for vectors of them.
// Each instruction-set file includes this inside its own target region (after
// its other includes), so that its vectors are compiled for that set.
#include <cstdint>

#include "deep/SeriesStart.h"

namespace velmora::series_detail {
// seriesValue for one offset or several at once: T is double or a vector of
// them (its operators lane by lane), so every lane rounds as the one-pixel
// code does.
template <class T, class Sqrt>
inline void seriesValueOf(const SeriesStart& s, T dcr, T dci, T& dzr, T& dzi, T& err2, Sqrt sqrt) {
    static_assert(SeriesStart::kDegree == 8, "the evaluation below is written for eight coefficients");
    const T ur = dcr * s.unit, ui = dci * s.unit;
    // a_k + a_(k+1) u, then pairs of those by u^2, then by u^4 (Estrin's
    // scheme): the same roundings as one after another, in a shorter chain.
    const auto mulAdd = [](auto ar, auto ai, auto br, auto bi, T xr, T xi, T& rr, T& ri) {
        rr = (br * xr - bi * xi) + ar;
        ri = (br * xi + bi * xr) + ai;
    };
    T b0r, b0i, b1r, b1i, b2r, b2i, b3r, b3i;
    mulAdd(s.re[0], s.im[0], s.re[1], s.im[1], ur, ui, b0r, b0i);
    mulAdd(s.re[2], s.im[2], s.re[3], s.im[3], ur, ui, b1r, b1i);
    mulAdd(s.re[4], s.im[4], s.re[5], s.im[5], ur, ui, b2r, b2i);
    mulAdd(s.re[6], s.im[6], s.re[7], s.im[7], ur, ui, b3r, b3i);
    const T u2r = ur * ur - ui * ui, u2i = 2.0 * ur * ui;
    const T u4r = u2r * u2r - u2i * u2i, u4i = 2.0 * u2r * u2i;
    T c0r, c0i, c1r, c1i, pr, pi;
    mulAdd(b0r, b0i, b1r, b1i, u2r, u2i, c0r, c0i);
    mulAdd(b2r, b2i, b3r, b3i, u2r, u2i, c1r, c1i);
    mulAdd(c0r, c0i, c1r, c1i, u4r, u4i, pr, pi);
    dzr = pr * ur - pi * ui;
    dzi = pr * ui + pi * ur;
    const T u2 = (ur * ur + ui * ui) * kSlack;
    const T absU = sqrt(u2) * kSlack;
    const T u8 = u2 * u2 * kSlack * u2 * u2 * kSlack;
    const T err = (s.tail * u8 * absU + s.linear * absU + SeriesStart::kDegree * kUnderflow) * kSlack;
    err2 = err * err * kSlack;
}

// The same for the offsets (re[k], im), k < count, W at a time in the
// vector type T; the arrays hold count rounded up to a multiple of W.
template <class T, int W, class Sqrt>
inline void seriesValuesOf(const SeriesStart& s, const double* re, double im, std::int32_t count, double* dzr,
                           double* dzi, double* err2, Sqrt sqrt) {
    const T dci = T{} + im;
    for (std::int32_t k = 0; k < count; k += W) {
        T dcr, r, i, e;
        __builtin_memcpy(&dcr, re + k, sizeof dcr);
        seriesValueOf(s, dcr, dci, r, i, e, sqrt);
        __builtin_memcpy(dzr + k, &r, sizeof r);
        __builtin_memcpy(dzi + k, &i, sizeof i);
        __builtin_memcpy(err2 + k, &e, sizeof e);
    }
}
}  // namespace velmora::series_detail

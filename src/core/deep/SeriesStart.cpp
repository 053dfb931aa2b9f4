#include "deep/SeriesStart.h"

#include <cmath>

#include "deep/SeriesValueImpl.h"

namespace velmora {
namespace {

constexpr int K = SeriesStart::kDegree;
using series_detail::kSlack;
using series_detail::kUnderflow;
// A coefficient's rounding in one step (or in a pixel's evaluation), over the
// magnitudes that went into it: a few dozen roundings of 2^-53 at most for
// K = 8, and the reference value's own.
constexpr double kRounding = 0x1p-46;
// What the series may leave out for the largest offset, next to its linear term.
constexpr double kTolerance = 0x1p-38;

double magnitude(double re, double im) { return std::hypot(re, im) * kSlack; }

}  // namespace

SeriesStart seriesStart(const CommonSkip& common, const ReferenceOrbit& orbit, std::int32_t limit) {
    if (!(common.offsetMax2 > 0.0) || !std::isfinite(common.offsetMax2) || common.m < 1) return SeriesStart{};
    int scale = 0;
    std::frexp(std::sqrt(common.offsetMax2), &scale);  // R = 2^scale is above the largest offset
    // Offsets that small start in wide numbers, and 1/R would overflow.
    if (scale < -1000) return SeriesStart{};
    const double offsetScale = std::ldexp(1.0, scale);
    // Where the common skip leaves every pixel: dz = P dc = (P R) u, within
    // sqrt(err2PerOffset2) |dc|.
    double ar[K] = {}, ai[K] = {};
    ar[0] = std::ldexp(common.pr, scale);
    ai[0] = std::ldexp(common.pi, scale);
    double tail = 0.0;
    double linear = std::sqrt(common.err2PerOffset2) * offsetScale * kSlack;
    std::size_t m = common.m;
    double sum = magnitude(ar[0], ai[0]);  // the sum of |a_k|
    while (m + 1 < orbit.size() && m + 2 <= static_cast<std::size_t>(limit > 0 ? limit : 0)) {
        const double zr = orbit.re[m], zi = orbit.im[m];
        const double absZ = magnitude(zr, zi);
        // dz' = 2 Z dz + dz^2 + dc: the coefficients of u^1 .. u^2K.
        double qr[2 * K] = {}, qi[2 * K] = {}, products[2 * K] = {};
        double absA[K];
        for (int k = 0; k < K; ++k) {
            qr[k] = 2.0 * zr * ar[k] - 2.0 * zi * ai[k];
            qi[k] = 2.0 * zr * ai[k] + 2.0 * zi * ar[k];
            absA[k] = magnitude(ar[k], ai[k]);
        }
        for (int i = 0; i < K; ++i)
            for (int j = 0; j < K; ++j) {
                qr[i + j + 1] += ar[i] * ar[j] - ai[i] * ai[j];
                qi[i + j + 1] += ar[i] * ai[j] + ai[i] * ar[j];
                products[i + j + 1] += absA[i] * absA[j];
            }
        qr[0] += offsetScale;
        double kept = 0.0, dropped = 0.0;
        for (int k = 0; k < 2 * K; ++k) (k < K ? kept : dropped) += products[k];
        // The error grows as the step's derivative, |2 Z + 2 dz + error|, at most.
        const double growth = (2.0 * absZ + 2.0 * sum + tail + linear) * kSlack;
        const double rounding = kRounding * (2.0 * absZ * sum + kept + offsetScale) + K * kUnderflow;
        const double nextTail = (dropped * kSlack + growth * tail) * kSlack;
        const double nextLinear = (growth * linear + rounding) * kSlack;
        double nextSum = 0.0;
        for (int k = 0; k < K; ++k) nextSum += magnitude(qr[k], qi[k]);
        nextSum *= kSlack;
        // Written so that a NaN or an overflow stops the series too.
        if (!(nextTail <= kTolerance * std::hypot(qr[0], qi[0]))) break;
        const double reach = magnitude(orbit.re[m + 1], orbit.im[m + 1]) + nextSum + nextTail + nextLinear;
        if (!(reach < 2.0 - kBlaEscapeMargin)) break;
        for (int k = 0; k < K; ++k) {
            ar[k] = qr[k];
            ai[k] = qi[k];
        }
        tail = nextTail;
        linear = nextLinear;
        sum = nextSum;
        ++m;
    }
    if (m == common.m) return SeriesStart{};
    SeriesStart s;
    s.m = m;
    s.unit = std::ldexp(1.0, -scale);
    for (int k = 0; k < K; ++k) {
        s.re[k] = ar[k];
        s.im[k] = ai[k];
    }
    s.tail = tail;
    // A pixel's evaluation rounds as a step does.
    s.linear = (linear + kRounding * sum) * kSlack;
    return s;
}

SeriesValue seriesValue(const SeriesStart& s, double dcr, double dci) {
    SeriesValue v;
    series_detail::seriesValueOf(s, dcr, dci, v.dzr, v.dzi, v.err2, [](double x) { return std::sqrt(x); });
    return v;
}

}  // namespace velmora

#include "anim/Tween.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora {
namespace {

// A + ((B - A) / T) x d: how the Julia constant moves, and the fallback for a
// region axis that constant speed cannot handle.
double linear(double a, double b, double t, double d) { return a + ((b - a) / t) * d; }

struct Edges {
    double low;   // left or top
    double high;  // right or bottom
};

// One axis at constant speed: the extent changes by the same factor each frame
// and the low edge moves in proportion to the change of extent.
Edges constantSpeedAxis(double aLow, double aHigh, double bLow, double bHigh, std::int32_t t, std::int32_t d) {
    const double sizeA = aHigh - aLow;
    const double sizeB = bHigh - bLow;
    const double tt = static_cast<double>(t);
    const double dd = static_cast<double>(d);
    // A zero extent has no ratio, and extents of opposite signs would need a
    // fractional power of a negative number: both would make NaN edges, so such
    // an axis moves linearly instead.
    if (sizeA == 0.0 || sizeB == 0.0 || (sizeA < 0.0) != (sizeB < 0.0)) {
        return {linear(aLow, bLow, tt, dd), linear(aHigh, bHigh, tt, dd)};
    }
    const double size = sizeA * std::pow(std::pow(sizeB / sizeA, 1.0 / tt), dd);
    const double low = sizeB == sizeA ? aLow : aLow + (bLow - aLow) * (size - sizeA) / (sizeB - sizeA);
    return {low, low + size};
}

// The exact counterparts of the steps above, in out's precision.
void linearExact(Mpfr& out, const Mpfr& a, const Mpfr& b, std::int32_t t, std::int32_t d) {
    mpfr_sub(out.get(), b.get(), a.get(), MPFR_RNDN);
    mpfr_div_si(out.get(), out.get(), t, MPFR_RNDN);
    mpfr_mul_si(out.get(), out.get(), d, MPFR_RNDN);
    mpfr_add(out.get(), a.get(), out.get(), MPFR_RNDN);
}

void constantSpeedAxisExact(Mpfr& low, Mpfr& high, const Mpfr& aLow,
                            const Mpfr& aHigh, const Mpfr& bLow, const Mpfr& bHigh,
                            std::int32_t t, std::int32_t d) {
    const mpfr_prec_t bits = low.bits();
    Mpfr sizeA(bits), sizeB(bits), size(bits), power(bits), moved(bits);
    mpfr_sub(sizeA.get(), aHigh.get(), aLow.get(), MPFR_RNDN);
    mpfr_sub(sizeB.get(), bHigh.get(), bLow.get(), MPFR_RNDN);
    if (mpfr_zero_p(sizeA.get()) || mpfr_zero_p(sizeB.get()) || mpfr_sgn(sizeA.get()) != mpfr_sgn(sizeB.get())) {
        linearExact(low, aLow, bLow, t, d);
        linearExact(high, aHigh, bHigh, t, d);
        return;
    }
    mpfr_div(size.get(), sizeB.get(), sizeA.get(), MPFR_RNDN);
    mpfr_set_si(power.get(), d, MPFR_RNDN);
    mpfr_div_si(power.get(), power.get(), t, MPFR_RNDN);
    mpfr_pow(size.get(), size.get(), power.get(), MPFR_RNDN);
    mpfr_mul(size.get(), size.get(), sizeA.get(), MPFR_RNDN);
    if (mpfr_equal_p(sizeA.get(), sizeB.get())) {
        mpfr_set(low.get(), aLow.get(), MPFR_RNDN);
    } else {
        // The low edge moves in proportion to the change of extent.
        mpfr_sub(moved.get(), bLow.get(), aLow.get(), MPFR_RNDN);
        mpfr_sub(power.get(), size.get(), sizeA.get(), MPFR_RNDN);
        mpfr_mul(moved.get(), moved.get(), power.get(), MPFR_RNDN);
        mpfr_sub(power.get(), sizeB.get(), sizeA.get(), MPFR_RNDN);
        mpfr_div(moved.get(), moved.get(), power.get(), MPFR_RNDN);
        mpfr_add(low.get(), aLow.get(), moved.get(), MPFR_RNDN);
    }
    mpfr_add(high.get(), low.get(), size.get(), MPFR_RNDN);
}

// A keyframe's six values at `bits`: left, top, right, bottom, cReal, cImag.
// False when one is no number (a keyframe whose doubles are NaN).
bool readValues(const ExactLocation& text, mpfr_prec_t bits, std::vector<Mpfr>& v) {
    v.assign(6, Mpfr(bits));
    const std::string* s[6] = {&text.left, &text.top, &text.right, &text.bottom, &text.cReal, &text.cImag};
    for (std::size_t i = 0; i < 6; ++i)
        if (!readDecimal(*s[i], v[i])) return false;
    return true;
}

// The region and constant of `out` from the keyframes' exact values (or their
// doubles' text); false when a value leaves the range of doubles.
bool tweenExact(const Keyframe& a, const Keyframe& b, Keyframe& out, std::int32_t t, std::int32_t d,
                TweenStyle style) {
    const ExactLocation ta = exactTextOf(a);
    const ExactLocation tb = exactTextOf(b);
    const mpfr_prec_t readBits = std::max(bitsToRead(ta), bitsToRead(tb));
    std::vector<Mpfr> va, vb;
    if (!readValues(ta, readBits, va) || !readValues(tb, readBits, vb)) return false;
    const long span = std::max({axisSpanBits(va[0], va[2]), axisSpanBits(va[1], va[3]), axisSpanBits(vb[0], vb[2]),
                                axisSpanBits(vb[1], vb[3])});
    const mpfr_prec_t bits =
        std::min<mpfr_prec_t>(std::max<mpfr_prec_t>(readBits, std::min<long>(span, kMaxLocationBits) + 64) + 96,
                              kMaxLocationBits);
    readValues(ta, bits, va);
    readValues(tb, bits, vb);
    std::vector<Mpfr> v(6, Mpfr(bits));
    if (style == TweenStyle::SlowAtKeyframes) {
        const double w = slowAtKeyframesWeight(t, d);
        for (std::size_t i = 0; i < 4; ++i) {
            mpfr_sub(v[i].get(), vb[i].get(), va[i].get(), MPFR_RNDN);
            mpfr_mul_d(v[i].get(), v[i].get(), w, MPFR_RNDN);
            mpfr_add(v[i].get(), va[i].get(), v[i].get(), MPFR_RNDN);
        }
    } else {
        constantSpeedAxisExact(v[0], v[2], va[0], va[2], vb[0], vb[2], t, d);
        constantSpeedAxisExact(v[1], v[3], va[1], va[3], vb[1], vb[3], t, d);
    }
    for (const Mpfr& e : v)
        if (!mpfr_number_p(e.get())) return false;
    ExactLocation text;
    formatAxis(v[0], v[2], text.left, text.right);
    formatAxis(v[1], v[3], text.top, text.bottom);
    const std::size_t digits = digitsToKeep(v[0], v[2]);
    std::string ExactLocation::* const constant[2] = {&ExactLocation::cReal, &ExactLocation::cImag};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& from = ta.*constant[i];
        if (sameDecimalValue(from, tb.*constant[i])) {
            text.*constant[i] = from;  // a constant that stays keeps its text
        } else {
            linearExact(v[4 + i], va[4 + i], vb[4 + i], t, d);
            text.*constant[i] = formatDecimal(v[4 + i], digits);
        }
    }
    return assignExact(out, text);
}

}  // namespace

double slowAtKeyframesWeight(std::int32_t t, std::int32_t d) {
    const std::int64_t big = t;
    const std::int64_t rest = static_cast<std::int64_t>(t) - d;
    const std::int64_t under = big * big - rest * rest;
    return std::sqrt(static_cast<double>(under)) / static_cast<double>(t);
}

void tweenKeyframes(const Keyframe& a, const Keyframe& b, Keyframe& out, std::int32_t d, TweenStyle style) {
    std::int32_t t = a.transitions;
    if (t < 1) {  // a segment without frames: only its keyframe is defined
        t = 1;
        d = 0;
    }
    const double tt = static_cast<double>(t);
    const double dd = static_cast<double>(d);

    if (style == TweenStyle::SlowAtKeyframes) {
        const double w = slowAtKeyframesWeight(t, d);
        out.left = a.left + (b.left - a.left) * w;
        out.right = a.right + (b.right - a.right) * w;
        out.top = a.top + (b.top - a.top) * w;
        out.bottom = a.bottom + (b.bottom - a.bottom) * w;
    } else {
        const Edges x = constantSpeedAxis(a.left, a.right, b.left, b.right, t, d);
        const Edges y = constantSpeedAxis(a.top, a.bottom, b.top, b.bottom, t, d);
        out.left = x.low;
        out.right = x.high;
        out.top = y.low;
        out.bottom = y.high;
    }

    out.cReal = linear(a.cReal, b.cReal, tt, dd);
    out.cImag = linear(a.cImag, b.cImag, tt, dd);
    out.exact.clear();
    // Keyframes past the doubles: the doubles above only stand in should the
    // exact values leave their range.
    if (!a.exact.empty() || !b.exact.empty()) tweenExact(a, b, out, t, d, style);

    // The step is truncated before it is multiplied, so a small change over many
    // frames stays put. Wide arithmetic: the difference of two limits can pass
    // 32 bits, the result always lies between them.
    const std::int64_t span = static_cast<std::int64_t>(b.iterations) - a.iterations;
    out.iterations = static_cast<std::int32_t>(a.iterations + (span / t) * d);

    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        const RgbQuad ca = a.palette.entry(i);
        const RgbQuad cb = b.palette.entry(i);
        auto mix = [&](std::uint8_t from, std::uint8_t to) {
            const double v = ((static_cast<double>(to) - from) / tt) * dd + from;
            return static_cast<std::uint8_t>(v);  // truncation towards zero; stays within 0..255
        };
        out.palette.setEntry(i, RgbQuad{mix(ca.blue, cb.blue), mix(ca.green, cb.green), mix(ca.red, cb.red), 0});
    }

    out.type = a.type;
}

}  // namespace velmora

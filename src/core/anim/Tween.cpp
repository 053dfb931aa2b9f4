#include "anim/Tween.h"

#include <cmath>

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

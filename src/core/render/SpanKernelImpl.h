#pragma once
// The escape-time loop over a span, written once for any vector width. Each
// instruction-set file includes this inside its own target region (after its
// other includes) and supplies an Ops type with the lane operations.
//
// Why the pixels equal EscapeIndex's: every lane runs the same operations in the
// same order (separate multiply and add, never fused), and a lane stops only
// where EscapeIndex stops, or where its orbit provably never escapes:
//  - it came back exactly (==) to a value saved earlier (Brent's cycle check),
//    so it repeats forever without escaping. +0 and -0 compare equal, but the
//    sign of a zero never changes a later magnitude, so it is still the same
//    orbit for the escape test;
//  - zr or zi became NaN: from then on both stay NaN, and NaN never escapes.
// Several groups of lanes ("slots") are in flight at once to hide the latency of
// the dependent multiply-add chain; a slot takes the next group of pixels as
// soon as all of its lanes are done.

#include <cstdint>

#include "render/SpanKernel.h"

namespace velmora::span_detail {

template <class O, int U>
inline void RenderSpanT(const SpanArgs& a) {
    using V = typename O::V;
    using M = typename O::M;
    constexpr int W = O::kLanes;

    if (a.limit <= 0) {
        for (std::int32_t i = 0; i < a.count; ++i) a.out[i] = 0;
        return;
    }
    const V zero = O::Set1(0.0);
    const V one = O::Set1(1.0);
    const V two = O::Set1(2.0);
    const V four = O::Set1(4.0);
    const V ciV = O::Set1(a.ci);
    const V ai = O::Set1(a.mandelbrot ? a.ci : a.juliaIm);
    const V kr = O::Set1(a.juliaRe);

    V zr[U], zi[U], zr2[U], zi2[U], ar[U], szr[U], szi[U], res[U];
    M active[U];
    // Iteration numbers are counted on one clock for the whole span; a slot's
    // lanes have done (it - start) iterations. res holds the clock at escape.
    std::int64_t start[U], deadline[U], saveAt[U], gap[U], nextEvent[U];
    std::int32_t first[U], lanes[U];
    std::int64_t it = 0;
    V clock = zero;
    std::int32_t next = 0;
    int live = 0;

    auto load = [&](int u) {
        if (next >= a.count) {
            first[u] = -1;
            lanes[u] = 0;
            active[u] = O::FirstLanes(0);
            return;
        }
        const std::int32_t n = (a.count - next < W) ? a.count - next : W;
        first[u] = next;
        lanes[u] = n;
        next += n;
        V x;
        if (n == W) {
            x = O::Load(a.xs + first[u]);
        } else {
            alignas(64) double tail[W] = {};
            for (int l = 0; l < n; ++l) tail[l] = a.xs[first[u] + l];
            x = O::Load(tail);
        }
        zr[u] = x;
        zi[u] = ciV;
        zr2[u] = O::Mul(x, x);
        zi2[u] = O::Mul(ciV, ciV);
        ar[u] = a.mandelbrot ? x : kr;
        szr[u] = x;
        szi[u] = ciV;
        res[u] = zero;
        active[u] = O::FirstLanes(n);
        start[u] = it;
        deadline[u] = it + a.limit;
        gap[u] = 1;
        saveAt[u] = it + 1;
        nextEvent[u] = saveAt[u] < deadline[u] ? saveAt[u] : deadline[u];
        ++live;
    };

    auto finish = [&](int u) {
        alignas(64) double clocks[W];
        O::Store(clocks, res[u]);
        std::uint8_t* out = a.out + first[u];
        for (int l = 0; l < lanes[u]; ++l) {
            std::uint8_t v = 0;
            if (clocks[l] > 0.0) {
                const std::int64_t n = static_cast<std::int64_t>(clocks[l]) - start[u];
                v = static_cast<std::uint8_t>(n & 0xFF);
                if (v == 0) v = 1;
            }
            out[l] = v;
        }
        --live;
    };

    for (int u = 0; u < U; ++u) load(u);
    while (live > 0) {
        ++it;
        clock = O::Add(clock, one);
#pragma GCC unroll 4
        for (int u = 0; u < U; ++u) {
            if (first[u] < 0) continue;
            const V t = O::Mul(two, zr[u]);
            zi[u] = O::Add(O::Mul(t, zi[u]), ai);
            zr[u] = O::Add(O::Sub(zr2[u], zi2[u]), ar[u]);
            zr2[u] = O::Mul(zr[u], zr[u]);
            zi2[u] = O::Mul(zi[u], zi[u]);
            const M esc = O::GtMasked(active[u], O::Add(zr2[u], zi2[u]), four);
            res[u] = O::Select(esc, clock, res[u]);
            const M cyc = O::EqMasked(O::EqMasked(active[u], zr[u], szr[u]), zi[u], szi[u]);
            active[u] = O::AndNot(O::Or(esc, cyc), active[u]);
            if (!O::None(active[u]) && it != nextEvent[u]) continue;

            if (it == saveAt[u]) {
                active[u] = O::AndNot(O::UnordMasked(active[u], zr[u], zi[u]), active[u]);
                szr[u] = zr[u];
                szi[u] = zi[u];
                gap[u] *= 2;
                saveAt[u] = it + gap[u];
            }
            if (it == deadline[u]) active[u] = O::FirstLanes(0);  // limit reached: 0
            if (O::None(active[u])) {
                finish(u);
                load(u);
            } else {
                nextEvent[u] = saveAt[u] < deadline[u] ? saveAt[u] : deadline[u];
            }
        }
    }
}

}  // namespace velmora::span_detail

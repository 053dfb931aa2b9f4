#pragma once
// The double-double loop for any number of lanes, on the compilers' generic
// vectors; each instruction-set file includes it inside its target region.
// The arithmetic is DoubleDouble.h's over the vectors, which is why this
// includes it (and nothing before includes it) inside the region.
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "deep/DoubleDouble.h"
#include "deep/DoubleDoubleLanes.h"
#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "deep/Perturbation.h"
#include "render/EscapeDoubt.h"
#include "render/EscapeTime.h"

namespace velmora::dd_lanes {

// The vector types of each width (sizes in attributes cannot depend on a
// template's parameter).
template <int W>
struct VectorOf;
template <>
struct VectorOf<1> {
    typedef double V __attribute__((vector_size(8)));
    typedef std::int64_t M __attribute__((vector_size(8)));
};
template <>
struct VectorOf<4> {
    typedef double V __attribute__((vector_size(32)));
    typedef std::int64_t M __attribute__((vector_size(32)));
};
template <>
struct VectorOf<8> {
    typedef double V __attribute__((vector_size(64)));
    typedef std::int64_t M __attribute__((vector_size(64)));
};

template <int W>
struct Lanes {
    using V = typename VectorOf<W>::V;
    using M = typename VectorOf<W>::M;
    using D = DoubleDoubleOf<V>;

    static bool any(M m) {
        for (int k = 0; k < W; ++k)
            if (m[k] != 0) return true;
        return false;
    }
    static V splat(double x) {
        V v;
        for (int k = 0; k < W; ++k) v[k] = x;
        return v;
    }

    // W lanes; a lane whose pixel is done writes it and takes the next at once
    // (a double-double step costs far more than the refill).
    static void run(DdLanePixel* px, std::int32_t count, std::int32_t limit, double start, double step,
                    const std::atomic<bool>* cancel) {
        const V four = splat(4.0), growth = splat(kDoubtGrowth), rounding = splat(step);
        const V hopeless = splat(1.0), one = splat(1.0), last = splat(static_cast<double>(limit));
        D zr{}, zi{}, ar{}, ai{}, zr2{}, zi2{};
        V err = splat(0.0), nzb = err, steps = err;
        M active{};
        int pixel[W] = {};
        std::int32_t next = 0;
        // Lane k takes the next pixel, or idles.
        const auto fill = [&](int k) {
            if (next >= count) {
                active[k] = 0;
                return;
            }
            const DdLanePixel& p = px[next];
            pixel[k] = next++;
            zr.hi[k] = p.zr[0], zr.lo[k] = p.zr[1], zi.hi[k] = p.zi[0], zi.lo[k] = p.zi[1];
            ar.hi[k] = p.ar[0], ar.lo[k] = p.ar[1], ai.hi[k] = p.ai[0], ai.lo[k] = p.ai[1];
            active[k] = -1;
            steps[k] = 0.0;
            err[k] = start;
        };
        const auto squares = [&] {
            zr2 = dd::mul(zr, zr);
            zi2 = dd::mul(zi, zi);
            nzb = zr2.hi + zi2.hi;
        };
        for (int k = 0; k < W; ++k) fill(k);
        squares();
        for (std::int64_t i = 1; any(active); ++i) {
            const D xy = dd::mul(zr, zi);
            zi = dd::add(dd::twice(xy), ai);
            zr = dd::add(dd::add(zr2, dd::neg(zi2)), ar);
            zr2 = dd::mul(zr, zr);
            zi2 = dd::mul(zi, zi);
            const D nz = dd::add(zr2, zi2);
            err = growth * nzb * err + rounding;
            steps = steps + one;
            // Beyond radius 2 to the double-double's own accuracy.
            const M out = active & ((nz.hi > four) | ((nz.hi == four) & (nz.lo > splat(0.0))));
            // At the limit, or with a bound past 1, which leaves the count in doubt whatever follows.
            const M stop = out | (active & ((steps >= last) | (err >= hopeless)));
            V nzNext = nz.hi;
            if (any(stop)) {
                bool refilled = false;
                for (int k = 0; k < W; ++k) {
                    if (stop[k] == 0) continue;
                    DdLanePixel& p = px[pixel[k]];
                    const bool escaped = out[k] != 0;
                    p.count = escaped ? static_cast<std::int32_t>(steps[k]) : 0;
                    p.doubtful = escapeInDoubt(err[k], nz.hi[k], escaped ? nzb[k] : nz.hi[k]);
                    p.ezr = escaped ? zr.hi[k] + zr.lo[k] : 0.0;
                    p.ezi = escaped ? zi.hi[k] + zi.lo[k] : 0.0;
                    fill(k);
                    refilled = true;
                }
                // The new lanes' squares; the others' are unchanged by this.
                if (refilled) {
                    const D r2 = dd::mul(zr, zr), i2 = dd::mul(zi, zi);
                    for (int k = 0; k < W; ++k) {
                        if (stop[k] == 0) continue;
                        zr2.hi[k] = r2.hi[k], zr2.lo[k] = r2.lo[k], zi2.hi[k] = i2.hi[k], zi2.lo[k] = i2.lo[k];
                        nzNext[k] = r2.hi[k] + i2.hi[k];
                    }
                }
            }
            nzb = nzNext;
            if ((i & 4095) == 0 && cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
        }
    }

    // doubleDoublePixel for each offset, W at a time: a Mandelbrot picture's
    // pixels follow one orbit. The arithmetic is the one-pixel loop's, lane by
    // lane; what a lane decides (a rebase, an escape, the orbit's end) it
    // decides on its own, as that loop does.
    static void runPerturbed(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count, PixelCount* out) {
        const ReferenceOrbit& orbit = *o.primary;
        const std::size_t size = orbit.size();
        D dzr{}, dzi{}, cr{}, ci{}, zr{}, zi{};
        V err2 = splat(0.0), nzBefore = splat(0.0);
        std::size_t m[W] = {};
        std::int32_t n[W] = {}, pixel[W] = {};
        bool live[W] = {};
        std::int32_t next = 0;
        int running = 0;
        const auto get = [](const D& v, int k) { return DoubleDouble{v.hi[k], v.lo[k]}; };
        const auto put = [](D& v, int k, DoubleDouble x) { v.hi[k] = x.hi, v.lo[k] = x.lo; };
        // Z_m of lane k.
        const auto load = [&](int k) {
            put(zr, k, {orbit.re[m[k]], orbit.reLow[m[k]]});
            put(zi, k, {orbit.im[m[k]], orbit.imLow[m[k]]});
        };
        // Lane k takes the next pixel, or idles.
        const auto fill = [&](int k) {
            m[k] = 1;
            n[k] = 1;
            live[k] = next < count;
            const DoubleDouble r = live[k] ? DoubleDouble{offsets[next].re[0], offsets[next].re[1]} : DoubleDouble{};
            const DoubleDouble i = live[k] ? DoubleDouble{offsets[next].im[0], offsets[next].im[1]} : DoubleDouble{};
            if (live[k]) pixel[k] = next++, ++running;
            put(dzr, k, r), put(dzi, k, i), put(cr, k, r), put(ci, k, i);
            load(k);
            nzBefore[k] = dd::magnitude2(dd::add(get(zr, k), r), dd::add(get(zi, k), i));
            err2[k] = kDoubleDoubleStepRounding * dd::magnitude2(r, i);
        };
        // Lane k's pixel is decided.
        const auto decide = [&](int k, const PixelCount& result) {
            out[pixel[k]] = result;
            --running;
            fill(k);
        };
        for (int k = 0; k < W; ++k) fill(k);
        while (running > 0) {
            for (int k = 0; k < W; ++k) {
                if (m[k] + 1 < size) continue;
                // The orbit ends: on from its start, which is exact (an idle
                // lane only goes back).
                if (live[k]) put(dzr, k, dd::add(get(zr, k), get(dzr, k))), put(dzi, k, dd::add(get(zi, k), get(dzi, k)));
                m[k] = 0;
                load(k);
            }
            // dz' = (2 Z + dz) dz + dc
            const D tr = dd::add(dd::twice(zr), dzr), ti = dd::add(dd::twice(zi), dzi);
            const D nr = dd::add(dd::add(dd::mul(tr, dzr), dd::neg(dd::mul(ti, dzi))), cr);
            const D ni = dd::add(dd::add(dd::mul(tr, dzi), dd::mul(ti, dzr)), ci);
            const V nrd = dd::toDouble(nr), nid = dd::toDouble(ni);
            const V dzNext2 = dd::magnitude2(nr, ni);
            err2 = kErrorGrowth * nzBefore * err2 + kDoubleDoubleStepRounding * dzNext2 + o.orbitRounding2 * nzBefore;
            // Every lane's next orbit value at once, built in registers: lane
            // by lane through memory, the vector read would wait on the stores.
            for (int k = 0; k < W; ++k) ++m[k];
            const auto build = [&](const std::vector<double>& from) {
                return [&]<std::size_t... k>(std::index_sequence<k...>) { return V{from[m[k]]...}; }(
                    std::make_index_sequence<W>{});
            };
            zr = D{build(orbit.re), build(orbit.reLow)};
            zi = D{build(orbit.im), build(orbit.imLow)};
            const D xr = dd::add(zr, nr), xi = dd::add(zi, ni);
            // |z|^2 - 4 to the double-double's own accuracy.
            V excess = dd::toDouble(dd::add(dd::add(dd::mul(xr, xr), dd::mul(xi, xi)), D{splat(-4.0), splat(0.0)}));
            for (int k = 0; k < W; ++k) {
                // Closer to radius 2 than even these numbers resolve: decided
                // by the reference's exact excess, as in doubles.
                if (live[k] && nearEscapeRadius(excess[k] + 4.0))
                    excess[k] = excessByReference(orbit.excess[m[k]], orbit.re[m[k]], orbit.im[m[k]], nrd[k], nid[k]);
            }
            const V nz = excess + 4.0;
            // Every lane goes on (a decided one is refilled below), rebasing
            // where z is nearer 0 than its difference; all at once, as vectors
            // written lane by lane would stall the next step's reads.
            const M rebased = nz < dzNext2;
            dzr = D{rebased ? xr.hi : nr.hi, rebased ? xr.lo : nr.lo};
            dzi = D{rebased ? xi.hi : ni.hi, rebased ? xi.lo : ni.lo};
            const V before = nzBefore;
            nzBefore = nz;
            for (int k = 0; k < W; ++k) {
                if (!live[k]) continue;
                if (!(err2[k] < kHopelessError2)) {
                    PixelCount doubtful;
                    doubtful.doubtful = true;
                    decide(k, doubtful);
                    continue;
                }
                if (excess[k] > 0.0 || n[k] == o.limit) {
                    PixelCount result;
                    result.index = excess[k] > 0.0 ? shownIndex(n[k]) : 0;
                    result.doubtful = countInDoubt(err2[k], excess[k], before[k] - 4.0);
                    if (excess[k] > 0.0) {
                        result.count = n[k];
                        result.zr = dd::toDouble(get(xr, k));
                        result.zi = dd::toDouble(get(xi, k));
                    }
                    decide(k, result);
                    continue;
                }
                if (rebased[k] != 0) {
                    m[k] = 0;
                    load(k);
                }
                ++n[k];
            }
        }
    }
};

}  // namespace velmora::dd_lanes

#pragma once
// The double-double loop for any number of lanes, on the compilers' generic
// vectors; each instruction-set file includes it inside its target region.
// The arithmetic is DoubleDouble.h's over the vectors, which is why this
// includes it (and nothing before includes it) inside the region.
#include <atomic>
#include <cstdint>

#include "deep/DoubleDouble.h"
#include "deep/DoubleDoubleLanes.h"
#include "render/EscapeDoubt.h"

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
};

}  // namespace velmora::dd_lanes

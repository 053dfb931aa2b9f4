#pragma once
// The double-double loop for any number of lanes, on the compilers' generic
// vectors; each instruction-set file includes it inside its target region.
// The arithmetic is DoubleDouble.h's, written again over vectors because that
// header's functions are compiled outside any target region.
#include <atomic>
#include <cstdint>

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
    struct D {
        V hi, lo;
    };

    static V pick(M m, V yes, V no) { return reinterpret_cast<V>((m & reinterpret_cast<M>(yes)) | (~m & reinterpret_cast<M>(no))); }
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

    static D twoSum(V a, V b) {
        const V s = a + b;
        const V v = s - a;
        return {s, (a - (s - v)) + (b - v)};
    }
    static D quickTwoSum(V a, V b) {
        const V s = a + b;
        return {s, b - (s - a)};
    }
    static D twoProduct(V a, V b) {
        const V split = splat(134217729.0);  // 2^27 + 1
        const V p = a * b;
        const V ta = split * a, tb = split * b;
        const V ah = ta - (ta - a), al = a - ah;
        const V bh = tb - (tb - b), bl = b - bh;
        return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
    }
    static D add(D a, D b) {
        const D s = twoSum(a.hi, b.hi);
        const D t = twoSum(a.lo, b.lo);
        const D u = quickTwoSum(s.hi, s.lo + t.hi);
        return quickTwoSum(u.hi, u.lo + t.lo);
    }
    static D mul(D a, D b) {
        const D p = twoProduct(a.hi, b.hi);
        return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
    }

    // Lanes of W pixels at a time, each group until all its pixels are done.
    static void run(DdLanePixel* px, std::int32_t count, std::int32_t limit, double start, double step,
                    const std::atomic<bool>* cancel) {
        const V four = splat(4.0), growth = splat(kDoubtGrowth), rounding = splat(step), two = splat(2.0);
        const V hopeless = splat(1.0);
        for (std::int32_t first = 0; first < count; first += W) {
            const int n = count - first < W ? count - first : W;
            D zr, zi, ar, ai;
            for (int k = 0; k < W; ++k) {
                const DdLanePixel& p = px[first + (k < n ? k : 0)];
                zr.hi[k] = p.zr[0], zr.lo[k] = p.zr[1], zi.hi[k] = p.zi[0], zi.lo[k] = p.zi[1];
                ar.hi[k] = p.ar[0], ar.lo[k] = p.ar[1], ai.hi[k] = p.ai[0], ai.lo[k] = p.ai[1];
            }
            D zr2 = mul(zr, zr), zi2 = mul(zi, zi);
            V err = splat(start), nzb = zr2.hi + zi2.hi;
            M active;
            for (int k = 0; k < W; ++k) active[k] = k < n ? -1 : 0;
            V counted = splat(0.0), eerr = splat(0.0), enz = splat(0.0), enzb = splat(0.0), ezr = enz, ezi = enz;
            for (std::int32_t i = 1; any(active); ++i) {
                const D xy = mul(zr, zi);
                zi = add({two * xy.hi, two * xy.lo}, ai);
                zr = add(add(zr2, {-zi2.hi, -zi2.lo}), ar);
                zr2 = mul(zr, zr);
                zi2 = mul(zi, zi);
                const D nz = add(zr2, zi2);
                err = growth * nzb * err + rounding;
                // Beyond radius 2 to the double-double's own accuracy.
                const M out = active & ((nz.hi > four) | ((nz.hi == four) & (nz.lo > splat(0.0))));
                // A bound past 1 leaves the count in doubt whatever follows.
                const M stop = i >= limit ? active : out | (active & (err >= hopeless));
                const V iv = splat(static_cast<double>(i));
                counted = pick(out, iv, counted);
                eerr = pick(stop, err, eerr);
                enz = pick(stop, nz.hi, enz);
                enzb = pick(stop, pick(out, nzb, nz.hi), enzb);
                ezr = pick(out, zr.hi + zr.lo, ezr);
                ezi = pick(out, zi.hi + zi.lo, ezi);
                active &= ~stop;
                nzb = nz.hi;
                if ((i & 4095) == 0 && cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
            }
            for (int k = 0; k < n; ++k) {
                DdLanePixel& p = px[first + k];
                p.count = static_cast<std::int32_t>(counted[k]);
                p.doubtful = escapeInDoubt(eerr[k], enz[k], enzb[k]);
                p.ezr = ezr[k];
                p.ezi = ezi[k];
            }
        }
    }
};

}  // namespace velmora::dd_lanes

// The lanes kernel on AVX2: four groups of four lanes in flight, so that the
// dependent chain of one group overlaps the other's.
#include "deep/PerturbationLanes.h"

#include <cstdint>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"

#include "render/EscapeTime.h"
#include "render/SimdLevel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace velmora {
namespace {

struct Group {
    __m256d dzr, dzi, cr, ci;
    __m256d err2, nz;  // the bound on the squared error, |z_{n-1}|^2
    // The reference values at idx and idx + 1, carried from the step before so
    // that no load waits for the step's own outcome.
    __m256d zr0, zi0, zr1, zi1;
    __m256i idx, end, n;
    __m256d active;  // all-ones lanes hold a pixel
    std::int32_t pixel[4];
};

struct Kernel {
    const LaneOrbits& o;
    const LaneStart* starts;
    std::int32_t count;
    std::uint8_t* out;
    std::uint8_t* doubt;
    const std::atomic<bool>* cancel;
    LaneEscape* escapes;
    std::int32_t next = 0;
    bool stopped = false;

    // Gives lane k of g the next pixel, or idles it.
    void fill(Group& g, int k) {
        alignas(32) double dzr[4], dzi[4], cr[4], ci[4], zr0[4], zi0[4], zr1[4], zi1[4], err2[4], nz[4];
        alignas(32) std::int64_t idx[4], end[4], n[4], act[4];
        _mm256_store_pd(dzr, g.dzr);
        _mm256_store_pd(dzi, g.dzi);
        _mm256_store_pd(cr, g.cr);
        _mm256_store_pd(ci, g.ci);
        _mm256_store_pd(err2, g.err2);
        _mm256_store_pd(nz, g.nz);
        _mm256_store_si256(reinterpret_cast<__m256i*>(act), _mm256_castpd_si256(g.active));
        _mm256_store_pd(zr0, g.zr0);
        _mm256_store_pd(zi0, g.zi0);
        _mm256_store_pd(zr1, g.zr1);
        _mm256_store_pd(zi1, g.zi1);
        _mm256_store_si256(reinterpret_cast<__m256i*>(idx), g.idx);
        _mm256_store_si256(reinterpret_cast<__m256i*>(end), g.end);
        _mm256_store_si256(reinterpret_cast<__m256i*>(n), g.n);
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) stopped = true;
        if (next < count && !stopped) {
            const LaneStart& p = starts[next++];
            g.pixel[k] = p.out;
            dzr[k] = p.dzr;
            dzi[k] = p.dzi;
            cr[k] = p.cr;
            ci[k] = p.ci;
            err2[k] = p.err2;
            nz[k] = p.nz;
            idx[k] = p.index;
            end[k] = p.end;
            n[k] = p.n;
            act[k] = -1;
            zr0[k] = o.re[idx[k]];
            zi0[k] = o.im[idx[k]];
            zr1[k] = o.re[idx[k] + 1];
            zi1[k] = o.im[idx[k] + 1];
        } else {
            g.pixel[k] = -1;
            dzr[k] = dzi[k] = cr[k] = ci[k] = err2[k] = nz[k] = 0.0;
            idx[k] = 0;
            end[k] = o.primaryEnd;
            n[k] = 1;
            act[k] = 0;
            zr0[k] = o.re[0];
            zi0[k] = o.im[0];
            zr1[k] = o.re[1];
            zi1[k] = o.im[1];
        }
        g.dzr = _mm256_load_pd(dzr);
        g.dzi = _mm256_load_pd(dzi);
        g.cr = _mm256_load_pd(cr);
        g.ci = _mm256_load_pd(ci);
        g.err2 = _mm256_load_pd(err2);
        g.nz = _mm256_load_pd(nz);
        g.active = _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(act)));
        g.zr0 = _mm256_load_pd(zr0);
        g.zi0 = _mm256_load_pd(zi0);
        g.zr1 = _mm256_load_pd(zr1);
        g.zi1 = _mm256_load_pd(zi1);
        g.idx = _mm256_load_si256(reinterpret_cast<const __m256i*>(idx));
        g.end = _mm256_load_si256(reinterpret_cast<const __m256i*>(end));
        g.n = _mm256_load_si256(reinterpret_cast<const __m256i*>(n));
    }

    // One iteration of every lane of g; lanes whose pixel is decided are refilled.
    // Returns false when g has no pixel left.
    __attribute__((always_inline)) inline bool step(Group& g, __m256i rebaseBegin, __m256i rebaseEnd, __m256i one,
                                                    __m256i limit, __m256d two, __m256d startRe,
                                                    __m256d startIm, __m256d nextRe, __m256d nextIm, __m256i two64,
                                                    __m256d growth, __m256d rounding, __m256d nearFour) {
        // The reference ends: continue from its start, which is exact.
        const __m256d ended =
            _mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_add_epi64(g.idx, one), _mm256_sub_epi64(g.end, one)));
        if (_mm256_movemask_pd(ended) != 0) {
            g.dzr = _mm256_blendv_pd(g.dzr, _mm256_add_pd(g.zr0, g.dzr), ended);
            g.dzi = _mm256_blendv_pd(g.dzi, _mm256_add_pd(g.zi0, g.dzi), ended);
            g.idx = _mm256_castpd_si256(
                _mm256_blendv_pd(_mm256_castsi256_pd(g.idx), _mm256_castsi256_pd(rebaseBegin), ended));
            g.end = _mm256_castpd_si256(
                _mm256_blendv_pd(_mm256_castsi256_pd(g.end), _mm256_castsi256_pd(rebaseEnd), ended));
            g.zr0 = _mm256_blendv_pd(g.zr0, startRe, ended);
            g.zi0 = _mm256_blendv_pd(g.zi0, startIm, ended);
            g.zr1 = _mm256_blendv_pd(g.zr1, nextRe, ended);
            g.zi1 = _mm256_blendv_pd(g.zi1, nextIm, ended);
        }
        const __m256d zr0 = g.zr0, zi0 = g.zi0, zr1 = g.zr1, zi1 = g.zi1;
        // The value after next, loaded now for the case without a rebase.
        const __m256i idx2 = _mm256_add_epi64(g.idx, two64);
        const __m256d zr2 = _mm256_i64gather_pd(o.re, idx2, 8);
        const __m256d zi2 = _mm256_i64gather_pd(o.im, idx2, 8);
        const __m256i idx1 = _mm256_add_epi64(g.idx, one);
        const __m256d tr = _mm256_add_pd(_mm256_mul_pd(two, zr0), g.dzr);
        const __m256d ti = _mm256_add_pd(_mm256_mul_pd(two, zi0), g.dzi);
        const __m256d nr = _mm256_add_pd(_mm256_sub_pd(_mm256_mul_pd(tr, g.dzr), _mm256_mul_pd(ti, g.dzi)), g.cr);
        const __m256d ni = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(tr, g.dzi), _mm256_mul_pd(ti, g.dzr)), g.ci);
        const __m256d nzBefore = g.nz;
        const __m256d zr = _mm256_add_pd(zr1, nr);
        const __m256d zi = _mm256_add_pd(zi1, ni);
        const __m256d nz = _mm256_add_pd(_mm256_mul_pd(zr, zr), _mm256_mul_pd(zi, zi));
        // Lanes beyond radius 2 or too close to it for the doubles to tell:
        // decided one at a time below (as escapeExcess decides).
        const __m256d escaped = _mm256_and_pd(g.active, _mm256_cmp_pd(nz, nearFour, _CMP_GT_OQ));
        const __m256d atLimit = _mm256_andnot_pd(
            escaped,
            _mm256_and_pd(g.active, _mm256_castsi256_pd(_mm256_cmpgt_epi64(g.n, _mm256_sub_epi64(limit, one)))));
        const __m256d dzn = _mm256_add_pd(_mm256_mul_pd(nr, nr), _mm256_mul_pd(ni, ni));
        // As errorAfterStep.
        const __m256d err2 = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(growth, nzBefore), g.err2),
                                           _mm256_mul_pd(rounding, dzn));
        const __m256d rebase = _mm256_cmp_pd(nz, dzn, _CMP_LT_OQ);
        g.dzr = _mm256_blendv_pd(nr, zr, rebase);
        g.dzi = _mm256_blendv_pd(ni, zi, rebase);
        g.idx =
            _mm256_castpd_si256(_mm256_blendv_pd(_mm256_castsi256_pd(idx1), _mm256_castsi256_pd(rebaseBegin), rebase));
        g.end =
            _mm256_castpd_si256(_mm256_blendv_pd(_mm256_castsi256_pd(g.end), _mm256_castsi256_pd(rebaseEnd), rebase));
        g.zr0 = _mm256_blendv_pd(zr1, startRe, rebase);
        g.zi0 = _mm256_blendv_pd(zi1, startIm, rebase);
        g.zr1 = _mm256_blendv_pd(zr2, nextRe, rebase);
        g.zi1 = _mm256_blendv_pd(zi2, nextIm, rebase);
        g.err2 = err2;
        g.nz = nz;
        const __m256i counted = g.n;
        g.n = _mm256_add_epi64(g.n, one);
        const int done = _mm256_movemask_pd(_mm256_or_pd(escaped, atLimit));
        if (done != 0) {
            alignas(32) std::int64_t n[4], at[4];
            alignas(32) double e2[4], now[4], before[4], dr[4], di[4];
            _mm256_store_si256(reinterpret_cast<__m256i*>(n), counted);
            _mm256_store_si256(reinterpret_cast<__m256i*>(at), idx1);
            _mm256_store_pd(e2, err2);
            _mm256_store_pd(now, nz);
            _mm256_store_pd(before, nzBefore);
            _mm256_store_pd(dr, nr);
            _mm256_store_pd(di, ni);
            for (int k = 0; k < 4; ++k) {
                if ((done >> k & 1) == 0) continue;
                const std::int64_t m = at[k];
                const double excess = escapeExcess(now[k], o.excess[m], o.re[m], o.im[m], dr[k], di[k]);
                if (excess > 0.0) {
                    out[g.pixel[k]] = shownIndex(n[k]);
                    if (escapes != nullptr)
                        escapes[g.pixel[k]] = {static_cast<std::int32_t>(n[k]), o.re[m] + dr[k], o.im[m] + di[k]};
                } else if (n[k] >= o.limit) {
                    out[g.pixel[k]] = 0;
                    if (escapes != nullptr) escapes[g.pixel[k]] = {};
                } else {
                    continue;  // just inside radius 2: the lane goes on
                }
                if (countInDoubt(e2[k], excess, before[k] - 4.0)) doubt[g.pixel[k]] = 1;
                fill(g, k);
            }
        }
        return _mm256_movemask_pd(g.active) != 0;
    }
};

}  // namespace

bool perturbationLanesSupported() {
    return isSimdLevelSupported(SimdLevel::Avx2);
}

void perturbedSpanLanes(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                        std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes) {
    Kernel kernel{o, starts, count, out, doubt, cancel, escapes};
    const __m256d growth = _mm256_set1_pd(kErrorGrowth), rounding = _mm256_set1_pd(kStepRounding);
    const __m256d nearFour = _mm256_set1_pd(4.0 - kEscapeDoubt);
    constexpr int kGroups = 4;
    Group groups[kGroups] = {};
    for (Group& g : groups)
        for (int k = 0; k < 4; ++k) kernel.fill(g, k);
    const __m256i rebaseBegin = _mm256_set1_epi64x(o.rebaseBegin), rebaseEnd = _mm256_set1_epi64x(o.rebaseEnd);
    const __m256i one = _mm256_set1_epi64x(1), limit = _mm256_set1_epi64x(o.limit);
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d startRe = _mm256_set1_pd(o.re[o.rebaseBegin]), startIm = _mm256_set1_pd(o.im[o.rebaseBegin]);
    const __m256d nextRe = _mm256_set1_pd(o.re[o.rebaseBegin + 1]), nextIm = _mm256_set1_pd(o.im[o.rebaseBegin + 1]);
    const __m256i two64 = _mm256_set1_epi64x(2);
    bool live[kGroups];
    int liveCount = 0;
    for (int g = 0; g < kGroups; ++g) liveCount += live[g] = _mm256_movemask_pd(groups[g].active) != 0;
    while (liveCount > 0) {
        for (int g = 0; g < kGroups; ++g) {
            if (!live[g]) continue;
            if (!kernel.step(groups[g], rebaseBegin, rebaseEnd, one, limit, two, startRe, startIm, nextRe, nextIm,
                             two64, growth, rounding, nearFour)) {
                live[g] = false;
                --liveCount;
            }
        }
    }
}

}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else

namespace velmora {
bool perturbationLanesSupported() {
    return false;
}
void perturbedSpanLanes(const LaneOrbits&, const LaneStart*, std::int32_t, std::uint8_t*, std::uint8_t*,
                        const std::atomic<bool>*, LaneEscape*) {}
}  // namespace velmora

#endif

#pragma once
// The perturbation lanes for any vector width. Each instruction-set file
// includes this inside its own target region (after its other includes) and
// supplies an Ops type with the lane operations: V doubles, I 64-bit integers,
// M a lane mask.
#include <algorithm>
#include <cstdint>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "deep/PerturbationLanes.h"
#include "render/EscapeTime.h"

namespace velmora::lanes_detail {

template <class O>
struct Kernel {
    using V = typename O::V;
    using I = typename O::I;
    using M = typename O::M;
    static constexpr int W = O::kLanes;

    struct Group {
        V dzr, dzi, cr, ci;
        V err2, nz;  // the bound on the squared error, |z_{n-1}|^2
        // The reference values at idx and idx + 1, carried from the step before so
        // that no load waits for the step's own outcome.
        V zr0, zi0, zr1, zi1;
        I idx, end;
        // A lane's count is idx + nOff: the two move together but at a jump.
        // stopAt: the index past which the lane's orbit ends or its count
        // reaches the limit, so that one test a step sees both.
        I nOff, stopAt;
        M active;  // lanes that hold a pixel
    };

    const LaneOrbits& o;
    const LaneStart* starts;
    std::int32_t count;
    std::uint8_t* out;
    std::uint8_t* doubt;
    const std::atomic<bool>* cancel;
    LaneEscape* escapes;
    std::int32_t next = 0;
    bool stopped = false;
    // Where each lane's pixel goes, per group: apart from the vectors, so that
    // those can stay in registers.
    std::int32_t pixel[4][W] = {};

    // Gives lane k of g the next pixel, or idles it. Each value goes in by a
    // masked blend: writing one lane through memory would stall every vector's
    // reload on its store.
    void fill(Group& g, int which, int k) {
        const M lane = O::maskOf(1u << k);
        const auto put = [lane](V& v, double x) { v = O::blend(v, O::set1(x), lane); };
        const auto puti = [lane](I& v, std::int64_t x) { v = O::blendi(v, O::set1i(x), lane); };
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) stopped = true;
        std::int64_t idx = 0;
        if (next < count && !stopped) {
            const LaneStart& p = starts[next++];
            pixel[which][k] = p.out;
            put(g.dzr, p.dzr);
            put(g.dzi, p.dzi);
            put(g.cr, p.cr);
            put(g.ci, p.ci);
            put(g.err2, p.err2);
            put(g.nz, p.nz);
            idx = p.index;
            puti(g.end, p.end);
            puti(g.nOff, p.n - idx);
            puti(g.stopAt, std::min(p.end - 2, o.limit - 1 - (p.n - idx)));
            g.active = O::orM(g.active, lane);
        } else {
            pixel[which][k] = -1;
            put(g.dzr, 0.0);
            put(g.dzi, 0.0);
            put(g.cr, 0.0);
            put(g.ci, 0.0);
            put(g.err2, 0.0);
            put(g.nz, 0.0);
            puti(g.end, o.primaryEnd);
            // Far below any count: an idle lane never comes near the limit.
            puti(g.nOff, kIdleOffset);
            puti(g.stopAt, o.primaryEnd - 2);
            g.active = O::andNotM(lane, g.active);
        }
        puti(g.idx, idx);
        put(g.zr0, o.re[idx]);
        put(g.zi0, o.im[idx]);
        put(g.zr1, o.re[idx + 1]);
        put(g.zi1, o.im[idx + 1]);
    }

    // Refills every lane of a group passed by value, out of the step's line,
    // so the group's address never escapes the loop.
    __attribute__((noinline)) Group refill(Group g, int which) {
        for (int k = 0; k < W; ++k) fill(g, which, k);
        return g;
    }

    static constexpr std::int64_t kIdleOffset = -(std::int64_t{1} << 40);

    struct Constants {
        I rebaseBegin, rebaseEnd, rebaseStop, one, lastBeforeLimit, two64;
        V two, startRe, startIm, nextRe, nextIm, growth, rounding, nearFour, hopeless;
    };

    static I mini(I a, I b) { return O::blendi(a, b, O::gti(a, b)); }

    // The lanes in m go on from the start of the orbit to rebase onto, where
    // their difference is (dzr, dzi): exact, as that orbit begins at 0.
    __attribute__((always_inline)) static inline void toStart(Group& g, M m, V dzr, V dzi, const Constants& c) {
        g.dzr = O::blend(g.dzr, dzr, m);
        g.dzi = O::blend(g.dzi, dzi, m);
        const I nOff = O::subi(O::addi(g.nOff, g.idx), c.rebaseBegin);
        g.nOff = O::blendi(g.nOff, nOff, m);
        g.stopAt = O::blendi(g.stopAt, mini(c.rebaseStop, O::subi(c.lastBeforeLimit, nOff)), m);
        g.idx = O::blendi(g.idx, c.rebaseBegin, m);
        g.end = O::blendi(g.end, c.rebaseEnd, m);
        g.zr0 = O::blend(g.zr0, c.startRe, m);
        g.zi0 = O::blend(g.zi0, c.startIm, m);
        g.zr1 = O::blend(g.zr1, c.nextRe, m);
        g.zi1 = O::blend(g.zi1, c.nextIm, m);
    }

    // One iteration of every lane of g; once all of its pixels are decided,
    // the group takes the next ones.
    // Returns false when g has no pixel left.
    __attribute__((always_inline)) inline bool step(Group& g, int which, const Constants& c) {
        // The lanes whose count reaches the limit at this step.
        M last = O::maskOf(0);
        if (O::bits(O::gti(g.idx, g.stopAt)) != 0) {
            // The reference ends (idx + 1 is its last value): continue from
            // its start, which is exact.
            const M ended = O::gti(O::addi(g.idx, c.two64), g.end);
            if (O::bits(ended) != 0) toStart(g, ended, O::add(g.zr0, g.dzr), O::add(g.zi0, g.dzi), c);
            last = O::andM(g.active, O::gti(O::addi(g.idx, g.nOff), c.lastBeforeLimit));
        }
        const I idx2 = O::addi(g.idx, c.two64);
        const V zr0 = g.zr0, zi0 = g.zi0, zr1 = g.zr1, zi1 = g.zi1;
        // The value after next, loaded now for the case without a rebase.
        const V zr2 = O::gather(o.re, idx2);
        const V zi2 = O::gather(o.im, idx2);
        const I idx1 = O::addi(g.idx, c.one);
        const V tr = O::add(O::mul(c.two, zr0), g.dzr);
        const V ti = O::add(O::mul(c.two, zi0), g.dzi);
        const V nr = O::add(O::sub(O::mul(tr, g.dzr), O::mul(ti, g.dzi)), g.cr);
        const V ni = O::add(O::add(O::mul(tr, g.dzi), O::mul(ti, g.dzr)), g.ci);
        const V nzBefore = g.nz;
        const V zr = O::add(zr1, nr);
        const V zi = O::add(zi1, ni);
        const V nz = O::add(O::mul(zr, zr), O::mul(zi, zi));
        // Lanes beyond radius 2 or too close to it for the doubles to tell:
        // decided one at a time below (as escapeExcess decides).
        const M escaped = O::andM(g.active, O::gt(nz, c.nearFour));
        const V dzn = O::add(O::mul(nr, nr), O::mul(ni, ni));
        // As errorAfterStep.
        const V err2 = O::add(O::mul(O::mul(c.growth, nzBefore), g.err2), O::mul(c.rounding, dzn));
        const M rebase = O::andM(g.active, O::lt(nz, dzn));
        // Past all hope of telling the count: in doubt now, not at its end.
        const M hopeless = O::andM(g.active, O::ge(err2, c.hopeless));
        const I idx0 = g.idx;
        g.dzr = nr;
        g.dzi = ni;
        g.idx = idx1;
        g.zr0 = zr1;
        g.zi0 = zi1;
        g.zr1 = zr2;
        g.zi1 = zi2;
        g.err2 = err2;
        g.nz = nz;
        // Lanes rarely stop or rebase: one test for all of it. A step that
        // stops none leaves the group with the pixels it had.
        if (O::bits(O::orM(O::orM(escaped, hopeless), O::orM(rebase, last))) == 0) return true;
        const I counted = O::addi(idx0, g.nOff);
        // Rebases are rare: the blends only where one happens.
        if (O::bits(rebase) != 0) toStart(g, rebase, zr, zi, c);
        const unsigned done = O::bits(O::orM(O::orM(escaped, last), hopeless));
        if (done != 0) {
            alignas(64) std::int64_t n[W], at[W];
            alignas(64) double e2[W], now[W], before[W], dr[W], di[W];
            O::storei(n, counted);
            O::storei(at, idx1);
            O::store(e2, err2);
            O::store(now, nz);
            O::store(before, nzBefore);
            O::store(dr, nr);
            O::store(di, ni);
            unsigned lanes = 0;  // decided
            for (int k = 0; k < W; ++k) {
                if ((done >> k & 1) == 0) continue;
                const std::int64_t m = at[k];
                if (!(e2[k] < kHopelessError2)) {
                    out[pixel[which][k]] = 0;
                    if (escapes != nullptr) escapes[pixel[which][k]] = {};
                    doubt[pixel[which][k]] = 1;
                    lanes |= 1u << k;
                    continue;
                }
                const double excess = escapeExcess(now[k], o.excess[m], o.re[m], o.im[m], dr[k], di[k]);
                if (excess > 0.0) {
                    out[pixel[which][k]] = shownIndex(n[k]);
                    if (escapes != nullptr)
                        escapes[pixel[which][k]] = {static_cast<std::int32_t>(n[k]), o.re[m] + dr[k], o.im[m] + di[k]};
                } else if (n[k] >= o.limit) {
                    out[pixel[which][k]] = 0;
                    if (escapes != nullptr) escapes[pixel[which][k]] = {};
                } else {
                    continue;  // just inside radius 2: the lane goes on
                }
                if (countInDoubt(e2[k], excess, before[k] - 4.0)) doubt[pixel[which][k]] = 1;
                lanes |= 1u << k;
            }
            if (lanes != 0) {
                // A lane whose pixel is done waits for the rest of its group:
                // the whole group refilled at once costs far less than a lane
                // at a time. Until then its limit is out of the way.
                const M m = O::maskOf(lanes);
                g.active = O::andNotM(m, g.active);
                g.stopAt = O::blendi(g.stopAt, O::subi(g.end, c.two64), m);
                if (O::bits(g.active) == 0) g = refill(g, which);
            }
        }
        return O::bits(g.active) != 0;
    }

    Group start(int which) {
        Group g;
        g.dzr = g.dzi = g.cr = g.ci = g.err2 = g.nz = g.zr0 = g.zi0 = g.zr1 = g.zi1 = O::set1(0.0);
        g.idx = g.end = g.nOff = g.stopAt = O::set1i(0);
        g.active = O::maskOf(0);
        return refill(g, which);
    }

    // Four groups in flight, so that the dependent chain of one overlaps the others'.
    void run() {
        Constants c;
        c.growth = O::set1(kErrorGrowth);
        c.rounding = O::set1(kStepRounding);
        c.nearFour = O::set1(4.0 - kEscapeDoubt);
        c.hopeless = O::set1(kHopelessError2);
        c.rebaseBegin = O::set1i(o.rebaseBegin);
        c.rebaseEnd = O::set1i(o.rebaseEnd);
        c.rebaseStop = O::set1i(o.rebaseEnd - 2);
        c.one = O::set1i(1);
        c.lastBeforeLimit = O::set1i(o.limit - 1);
        c.two64 = O::set1i(2);
        c.two = O::set1(2.0);
        c.startRe = O::set1(o.re[o.rebaseBegin]);
        c.startIm = O::set1(o.im[o.rebaseBegin]);
        c.nextRe = O::set1(o.re[o.rebaseBegin + 1]);
        c.nextIm = O::set1(o.im[o.rebaseBegin + 1]);
        // Separate locals rather than an array indexed at run time, so that the
        // compiler can keep their vectors in registers.
        Group g0 = start(0), g1 = start(1);
        bool live0 = O::bits(g0.active) != 0, live1 = O::bits(g1.active) != 0;
        while (live0 || live1) {
            if (live0) live0 = step(g0, 0, c);
            if (live1) live1 = step(g1, 1, c);
        }
    }
};

}  // namespace velmora::lanes_detail

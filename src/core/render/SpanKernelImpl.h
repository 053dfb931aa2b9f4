#pragma once
// The escape-time loop over a span, written once for any vector width. Each
// instruction-set file includes this inside its own target region (after its
// other includes) and supplies an Ops type with the lane operations.
//
// Why the pixels equal escapeIndex's: every lane runs the same operations in the
// same order (separate multiply and add, never fused), and a lane stops only
// where escapeIndex stops, or where its orbit provably never escapes:
//  - it came back exactly (==) to a value saved earlier (Brent's cycle check),
//    so it repeats forever without escaping. +0 and -0 compare equal, but the
//    sign of a zero never changes a later magnitude, so it is still the same
//    orbit for the escape test;
//  - zr or zi became NaN: from then on both stay NaN, and NaN never escapes.
// Several groups of lanes ("slots") are in flight at once to hide the latency of
// the dependent multiply-add chain; a slot takes the next group of pixels as
// soon as all of its lanes are done. Slots are separate variables, not an
// array, so that the compiler keeps them in registers.
#include <cstdint>

#include "render/EscapeDoubt.h"
#include "render/SpanKernel.h"

#define VELMORA_SPAN_INLINE inline __attribute__((always_inline))

namespace velmora::span_detail {

template <class O>
struct Slot {
    typename O::V zr, zi, zr2, zi2, ar, szr, szi, res;
    typename O::V ezr, ezi;  // z where each lane escaped, when the span keeps it
    // When the span tracks doubt: the error bound, |z|^2 a step before, and
    // the three where each lane stopped.
    typename O::V err, nzb, eerr, enz, enzb;
    typename O::M active;
    // Iterations are counted on one clock for the whole span; the slot's lanes
    // have done (it - start) of them. res holds the clock at each lane's escape.
    std::int64_t start, deadline, saveAt, gap, nextEvent;
    std::int32_t first, lanes;  // first < 0: the slot is idle
};

template <class O, bool kKeep, bool kTrack>
struct Span {
    using V = typename O::V;
    // The value saved at the start is checked from the first iteration on; the
    // first refresh comes after this many, and the gaps double from there, so
    // quick pixels hardly pay for the check.
    static constexpr std::int64_t kFirstGap = 16;  // a multiple of four
    const SpanArgs& a;
    V zero, two, four, ci, ai, kr, growth, stepRounding;
    std::int64_t it = 0;
    std::int32_t next = 0;
    int live = 0;

    explicit Span(const SpanArgs& args)
        : a(args),
          zero(O::set1(0.0)),
          two(O::set1(2.0)),
          four(O::set1(4.0)),
          ci(O::set1(args.ci)),
          ai(O::set1(args.mandelbrot ? args.ci : args.juliaIm)),
          kr(O::set1(args.juliaRe)),
          growth(O::set1(kDoubtGrowth)),
          stepRounding(O::set1(args.doubtStep)) {}

    // Gives the slot the next group of pixels, or makes it idle.
    VELMORA_SPAN_INLINE void load(Slot<O>& s) {
        constexpr int W = O::kLanes;
        if (next >= a.count) {
            s.first = -1;
            s.lanes = 0;
            s.active = O::firstLanes(0);
            s.nextEvent = s.deadline = s.saveAt = INT64_MAX;
            s.start = s.gap = 0;
            s.zr = s.zi = s.zr2 = s.zi2 = s.ar = s.szr = s.szi = s.res = s.ezr = s.ezi = zero;
            s.err = s.nzb = s.eerr = s.enz = s.enzb = zero;
            return;
        }
        const std::int32_t n = (a.count - next < W) ? a.count - next : W;
        s.first = next;
        s.lanes = n;
        next += n;
        V x;
        if (n == W) {
            x = O::load(a.xs + s.first);
        } else {
            alignas(64) double tail[W] = {};
            for (int l = 0; l < n; ++l) tail[l] = a.xs[s.first + l];
            x = O::load(tail);
        }
        s.zr = x;
        s.zi = ci;
        s.zr2 = O::mul(x, x);
        s.zi2 = O::mul(ci, ci);
        s.ar = a.mandelbrot ? x : kr;
        s.szr = x;
        s.szi = ci;
        s.res = zero;
        s.ezr = s.ezi = zero;
        if constexpr (kTrack) {
            s.err = O::set1(a.doubtStart);
            s.nzb = O::add(s.zr2, s.zi2);
            s.eerr = s.enz = s.enzb = zero;
        }
        s.active = O::firstLanes(n);
        s.start = it;
        s.deadline = it + a.limit;
        // Saves fall on the clocks where the cycle check runs (1 mod 4; gaps
        // are multiples of four), so a return after any period p is seen at
        // a multiple of p below 4p.
        s.gap = kFirstGap;
        s.saveAt = ((it + kFirstGap) & ~std::int64_t{3}) | 1;
        s.nextEvent = s.saveAt < s.deadline ? s.saveAt : s.deadline;
        ++live;
    }

    // Writes the slot's pixels once all its lanes are done.
    VELMORA_SPAN_INLINE void finish(const Slot<O>& s) {
        alignas(64) double clocks[O::kLanes];
        O::store(clocks, s.res);
        std::uint8_t* out = a.out + s.first;
        for (int l = 0; l < s.lanes; ++l) {
            std::uint8_t v = 0;
            if (clocks[l] > 0.0) {
                const std::int64_t n = static_cast<std::int64_t>(clocks[l]) - s.start;
                v = static_cast<std::uint8_t>(n & 0xFF);
                if (v == 0) v = 1;
            }
            out[l] = v;
        }
        if constexpr (kKeep) {
            alignas(64) double ezr[O::kLanes], ezi[O::kLanes];
            O::store(ezr, s.ezr);
            O::store(ezi, s.ezi);
            for (int l = 0; l < s.lanes; ++l) {
                const std::int64_t n = clocks[l] > 0.0 ? static_cast<std::int64_t>(clocks[l]) - s.start : 0;
                const double x = a.xs[s.first + l];
                a.smooth[s.first + l] = a.mandelbrot ? smoothSampleAt(n, ezr[l], ezi[l], x, a.ci)
                                                     : smoothSampleAt(n, ezr[l], ezi[l], a.juliaRe, a.juliaIm);
            }
        }
        if constexpr (kTrack) {
            alignas(64) double err[O::kLanes], nz[O::kLanes], nzb[O::kLanes];
            O::store(err, s.eerr);
            O::store(nz, s.enz);
            O::store(nzb, s.enzb);
            for (int l = 0; l < s.lanes; ++l) a.doubt[s.first + l] = escapeInDoubt(err[l], nz[l], nzb[l]) ? 1 : 0;
        }
        --live;
    }

    // The error bound and |z|^2 of the lanes in `stop`, where they stop.
    template <class M>
    VELMORA_SPAN_INLINE static void capture(Slot<O>& s, M stop, V nz) {
        s.eerr = O::select(stop, s.err, s.eerr);
        s.enz = O::select(stop, nz, s.enz);
        s.enzb = O::select(stop, s.nzb, s.enzb);
    }

    // One iteration of escapeIndex on every lane of the slot. The cycle check
    // runs on every fourth clock only (it costs a good part of an iteration);
    // saves are made on those clocks too, so a cycle still shows up at a
    // distance of a multiple of four. A lane stops rarely: the step itself
    // only tests, and the bookkeeping waits for a lane that stops.
    template <bool kCheckCycle>
    VELMORA_SPAN_INLINE void step(Slot<O>& s) {
        if (s.first < 0) return;
        const V t = O::mul(two, s.zr);
        s.zi = O::add(O::mul(t, s.zi), ai);
        s.zr = O::add(O::sub(s.zr2, s.zi2), s.ar);
        s.zr2 = O::mul(s.zr, s.zr);
        s.zi2 = O::mul(s.zi, s.zi);
        const V nz = O::add(s.zr2, s.zi2);
        if constexpr (kTrack) s.err = O::add(O::mul(O::mul(growth, s.nzb), s.err), stepRounding);
        auto stop = O::gtMasked(s.active, nz, four);
        if constexpr (kCheckCycle) stop = O::orMask(stop, O::eqMasked(O::eqMasked(s.active, s.zr, s.szr), s.zi, s.szi));
        if (__builtin_expect(O::none(stop) && it != s.nextEvent, 1)) {
            if constexpr (kTrack) s.nzb = nz;
            return;
        }
        stopLanes<kCheckCycle>(s, nz);
    }

    // The lanes that escaped or came back to a saved value stop here; then
    // the slot's save, limit and refill, when due.
    template <bool kCheckCycle>
    VELMORA_SPAN_INLINE void stopLanes(Slot<O>& s, V nz) {
        const auto esc = O::gtMasked(s.active, nz, four);
        s.res = O::select(esc, O::set1(static_cast<double>(it)), s.res);
        if constexpr (kKeep) {
            s.ezr = O::select(esc, s.zr, s.ezr);
            s.ezi = O::select(esc, s.zi, s.ezi);
        }
        if constexpr (kCheckCycle) {
            const auto cyc = O::eqMasked(O::eqMasked(s.active, s.zr, s.szr), s.zi, s.szi);
            const auto stop = O::orMask(esc, cyc);
            // A lane caught in a cycle is judged as at the limit: by how near
            // radius 2 its error may take it.
            if constexpr (kTrack) capture(s, stop, nz);
            s.active = O::andNot(stop, s.active);
        } else {
            if constexpr (kTrack) capture(s, esc, nz);
            s.active = O::andNot(esc, s.active);
        }
        if constexpr (kTrack) s.nzb = nz;
        if (!O::none(s.active) && it != s.nextEvent) return;

        if (it == s.saveAt) {
            // NaN lanes stay NaN and never escape: done, with 0.
            s.active = O::andNot(O::unordMasked(s.active, s.zr, s.zi), s.active);
            s.szr = s.zr;
            s.szi = s.zi;
            s.gap *= 2;
            s.saveAt = it + s.gap;
        }
        if (it == s.deadline) {
            // Limit reached: 0. Judged by the last step alone.
            if constexpr (kTrack) {
                s.eerr = O::select(s.active, s.err, s.eerr);
                s.enz = O::select(s.active, s.nzb, s.enz);
                s.enzb = O::select(s.active, s.nzb, s.enzb);
            }
            s.active = O::firstLanes(0);
        }
        if (O::none(s.active)) {
            finish(s);
            load(s);
        } else {
            s.nextEvent = s.saveAt < s.deadline ? s.saveAt : s.deadline;
        }
    }
};

template <class O, int U, bool kKeep, bool kTrack>
inline void renderSpanKept(const SpanArgs& a) {
    static_assert(U >= 1 && U <= 4, "one to four slots");
    if (a.limit <= 0) {
        for (std::int32_t i = 0; i < a.count; ++i) a.out[i] = 0;
        if constexpr (kKeep)
            for (std::int32_t i = 0; i < a.count; ++i) a.smooth[i] = SmoothSample{};
        if constexpr (kTrack)
            for (std::int32_t i = 0; i < a.count; ++i) a.doubt[i] = 0;
        return;
    }
    Span<O, kKeep, kTrack> span(a);
    Slot<O> s0;
    [[maybe_unused]] Slot<O> s1, s2, s3;
    span.load(s0);
    if constexpr (U > 1) span.load(s1);
    if constexpr (U > 2) span.load(s2);
    if constexpr (U > 3) span.load(s3);
    auto iterate = [&]<bool kCheckCycle>() __attribute__((always_inline)) {
        ++span.it;
        span.template step<kCheckCycle>(s0);
        if constexpr (U > 1) span.template step<kCheckCycle>(s1);
        if constexpr (U > 2) span.template step<kCheckCycle>(s2);
        if constexpr (U > 3) span.template step<kCheckCycle>(s3);
    };
    // The clock starts at 0, so the checking step always runs at 1 mod 4.
    while (span.live > 0) {
        iterate.template operator()<true>();
        if (span.live == 0) break;
        iterate.template operator()<false>();
        if (span.live == 0) break;
        iterate.template operator()<false>();
        if (span.live == 0) break;
        iterate.template operator()<false>();
        if (__builtin_expect((span.it & 4095) == 0, 0) && a.cancel != nullptr &&
            a.cancel->load(std::memory_order_relaxed))
            return;
    }
}

// Keeping z at the escape costs two selects a step, and the error bound five
// operations: only spans that want them pay. The bound's five more vectors a
// slot would spill out of the registers with four slots: it takes three.
template <class O, int U>
inline void renderSpanT(const SpanArgs& a) {
    const bool keep = a.smooth != nullptr;
    if (a.doubt != nullptr) {
        if (keep)
            renderSpanKept<O, (U > 3 ? 3 : U), true, true>(a);
        else
            renderSpanKept<O, (U > 3 ? 3 : U), false, true>(a);
    } else if (keep) {
        renderSpanKept<O, U, true, false>(a);
    } else {
        renderSpanKept<O, U, false, false>(a);
    }
}

}  // namespace velmora::span_detail

#undef VELMORA_SPAN_INLINE

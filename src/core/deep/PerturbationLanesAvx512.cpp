// The perturbation lanes on AVX-512F: eight lanes, mask registers for the lane states.
#include "deep/PerturbationLanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <atomic>
#include <cstdint>
#include <immintrin.h>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "deep/SeriesStart.h"
#include "render/EscapeTime.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

namespace velmora {
namespace {

struct Avx512LaneOps {
    static constexpr int kLanes = 8;
    using V = __m512d;
    using I = __m512i;
    using M = __mmask8;
    static V set1(double x) { return _mm512_set1_pd(x); }
    static I set1i(std::int64_t x) { return _mm512_set1_epi64(x); }
    static V load(const double* p) { return _mm512_load_pd(p); }
    static void store(double* p, V v) { _mm512_store_pd(p, v); }
    static I loadi(const std::int64_t* p) { return _mm512_load_si512(p); }
    static void storei(std::int64_t* p, I v) { _mm512_store_si512(p, v); }
    static V add(V a, V b) { return _mm512_add_pd(a, b); }
    static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static I addi(I a, I b) { return _mm512_add_epi64(a, b); }
    static I subi(I a, I b) { return _mm512_sub_epi64(a, b); }
    static M gt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
    static M lt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static M ge(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
    static M gti(I a, I b) { return _mm512_cmpgt_epi64_mask(a, b); }
    static M andM(M a, M b) { return static_cast<M>(a & b); }
    static M andNotM(M a, M b) { return static_cast<M>(~a & b); }
    static M orM(M a, M b) { return static_cast<M>(a | b); }
    static V blend(V no, V yes, M m) { return _mm512_mask_blend_pd(m, no, yes); }
    static I blendi(I no, I yes, M m) { return _mm512_mask_blend_epi64(m, no, yes); }
    // Masked, from zeros: the unmasked form starts from an undefined vector,
    // which GCC 12 takes for an uninitialised one.
    static V gather(const double* base, I idx) {
        return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), 0xFF, idx, base, 8);
    }
    static unsigned bits(M m) { return m; }
    static M maskOf(unsigned bits) { return static_cast<M>(bits); }
};

// Masked, for the same reason as the gather.
struct SquareRoot {
    __m512d operator()(__m512d x) const { return _mm512_mask_sqrt_pd(x, 0xFF, x); }
};

}  // namespace
}  // namespace velmora

#include "deep/PerturbationLanesImpl.h"
#include "deep/SeriesValueImpl.h"

namespace velmora {
void perturbedSpanLanesAvx512(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                              std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes) {
    lanes_detail::Kernel<Avx512LaneOps>{o, starts, count, out, doubt, cancel, escapes}.run();
}

void seriesValuesAvx512(const SeriesStart& s, const double* re, double im, std::int32_t count, double* dzr,
                        double* dzi, double* err2) {
    series_detail::seriesValuesOf<__m512d, 8>(s, re, im, count, dzr, dzi, err2,
                                              SquareRoot{});
}
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

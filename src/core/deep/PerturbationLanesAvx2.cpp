// The perturbation lanes on AVX2: four lanes, a mask is a vector of all-ones lanes.
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
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace velmora {
namespace {

struct Avx2LaneOps {
    static constexpr int kLanes = 4;
    using V = __m256d;
    using I = __m256i;
    using M = __m256d;
    static V set1(double x) { return _mm256_set1_pd(x); }
    static I set1i(std::int64_t x) { return _mm256_set1_epi64x(x); }
    static V load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, V v) { _mm256_store_pd(p, v); }
    static I loadi(const std::int64_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static void storei(std::int64_t* p, I v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static I addi(I a, I b) { return _mm256_add_epi64(a, b); }
    static I subi(I a, I b) { return _mm256_sub_epi64(a, b); }
    static M gt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static M lt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static M ge(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
    static M gti(I a, I b) { return _mm256_castsi256_pd(_mm256_cmpgt_epi64(a, b)); }
    static M andM(M a, M b) { return _mm256_and_pd(a, b); }
    static M andNotM(M a, M b) { return _mm256_andnot_pd(a, b); }
    static M orM(M a, M b) { return _mm256_or_pd(a, b); }
    // no where the mask is clear, yes where it is set.
    static V blend(V no, V yes, M m) { return _mm256_blendv_pd(no, yes, m); }
    static I blendi(I no, I yes, M m) {
        return _mm256_castpd_si256(_mm256_blendv_pd(_mm256_castsi256_pd(no), _mm256_castsi256_pd(yes), m));
    }
    static V gather(const double* base, I idx) { return _mm256_i64gather_pd(base, idx, 8); }
    static unsigned bits(M m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static M maskOf(unsigned bits) {
        const __m256i lane = _mm256_setr_epi64x(1, 2, 4, 8);
        return _mm256_castsi256_pd(
            _mm256_cmpeq_epi64(_mm256_and_si256(_mm256_set1_epi64x(static_cast<long long>(bits)), lane), lane));
    }
};

struct SquareRoot {
    __m256d operator()(__m256d x) const { return _mm256_sqrt_pd(x); }
};

}  // namespace
}  // namespace velmora

#include "deep/PerturbationLanesImpl.h"
#include "deep/SeriesValueImpl.h"

namespace velmora {
void perturbedSpanLanesAvx2(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                            std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes) {
    lanes_detail::Kernel<Avx2LaneOps>{o, starts, count, out, doubt, cancel, escapes}.run();
}

void seriesValuesAvx2(const SeriesStart& s, const double* re, double im, std::int32_t count, double* dzr,
                      double* dzi, double* err2) {
    series_detail::seriesValuesOf<__m256d, 4>(s, re, im, count, dzr, dzi, err2,
                                              SquareRoot{});
}
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

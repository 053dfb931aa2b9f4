// The span kernel on AVX2: four lanes; a lane mask is a vector of all-ones lanes.
#include "render/SpanKernel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cstdint>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace velmora {
namespace {

struct Avx2Ops {
    static constexpr int kLanes = 4;
    using V = __m256d;
    using M = __m256d;
    static V set1(double x) { return _mm256_set1_pd(x); }
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static M gtMasked(M m, V a, V b) { return _mm256_and_pd(m, _mm256_cmp_pd(a, b, _CMP_GT_OQ)); }
    static M eqMasked(M m, V a, V b) { return _mm256_and_pd(m, _mm256_cmp_pd(a, b, _CMP_EQ_OQ)); }
    static M unordMasked(M m, V a, V b) { return _mm256_and_pd(m, _mm256_cmp_pd(a, b, _CMP_UNORD_Q)); }
    static M andNot(M a, M b) { return _mm256_andnot_pd(a, b); }
    static M orMask(M a, M b) { return _mm256_or_pd(a, b); }
    static bool none(M m) { return _mm256_movemask_pd(m) == 0; }
    static V select(M m, V yes, V no) { return _mm256_blendv_pd(no, yes, m); }
    static M firstLanes(int n) {
        return _mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_set1_epi64x(n), _mm256_setr_epi64x(0, 1, 2, 3)));
    }
};

}  // namespace
}  // namespace velmora

#include "render/SpanKernelImpl.h"

namespace velmora {
void renderSpanAvx2(const SpanArgs& args) { span_detail::renderSpanT<Avx2Ops, 3>(args); }
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

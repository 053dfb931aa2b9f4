// The span kernel on AVX-512F: eight lanes, mask registers for the lane states.
#include "render/SpanKernel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cstdint>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

namespace velmora {
namespace {

struct Avx512Ops {
    static constexpr int kLanes = 8;
    using V = __m512d;
    using M = __mmask8;
    static V set1(double x) { return _mm512_set1_pd(x); }
    static V load(const double* p) { return _mm512_loadu_pd(p); }
    static void store(double* p, V v) { _mm512_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm512_add_pd(a, b); }
    static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
    // m & (a > b), ordered: NaN is never greater.
    static M gtMasked(M m, V a, V b) { return _mm512_mask_cmp_pd_mask(m, a, b, _CMP_GT_OQ); }
    static M eqMasked(M m, V a, V b) { return _mm512_mask_cmp_pd_mask(m, a, b, _CMP_EQ_OQ); }
    static M unordMasked(M m, V a, V b) { return _mm512_mask_cmp_pd_mask(m, a, b, _CMP_UNORD_Q); }
    static M andNot(M a, M b) { return static_cast<M>(~a & b); }
    static M orMask(M a, M b) { return static_cast<M>(a | b); }
    static bool none(M m) { return m == 0; }
    static V select(M m, V yes, V no) { return _mm512_mask_mov_pd(no, m, yes); }
    static M firstLanes(int n) { return static_cast<M>((1u << n) - 1u); }
};

}  // namespace
}  // namespace velmora

#include "render/SpanKernelImpl.h"

namespace velmora {
void renderSpanAvx512(const SpanArgs& args) { span_detail::renderSpanT<Avx512Ops, 4>(args); }
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

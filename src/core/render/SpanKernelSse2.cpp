// The span kernel on SSE2: two lanes; a lane mask is a vector of all-ones lanes.
#include "render/SpanKernel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cstdint>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("sse2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("sse2")
#endif

namespace velmora {
namespace {

struct Sse2Ops {
    static constexpr int kLanes = 2;
    using V = __m128d;
    using M = __m128d;
    static V set1(double x) { return _mm_set1_pd(x); }
    static V load(const double* p) { return _mm_loadu_pd(p); }
    static void store(double* p, V v) { _mm_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
    // The SSE2 compares are ordered: false whenever a NaN is involved.
    static M gtMasked(M m, V a, V b) { return _mm_and_pd(m, _mm_cmpgt_pd(a, b)); }
    static M eqMasked(M m, V a, V b) { return _mm_and_pd(m, _mm_cmpeq_pd(a, b)); }
    static M unordMasked(M m, V a, V b) { return _mm_and_pd(m, _mm_cmpunord_pd(a, b)); }
    static M andNot(M a, M b) { return _mm_andnot_pd(a, b); }
    static M orMask(M a, M b) { return _mm_or_pd(a, b); }
    static bool none(M m) { return _mm_movemask_pd(m) == 0; }
    static V select(M m, V yes, V no) { return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no)); }
    static M firstLanes(int n) {
        return _mm_castsi128_pd(_mm_set_epi64x(n > 1 ? -1 : 0, n > 0 ? -1 : 0));
    }
};

}  // namespace
}  // namespace velmora

#include "render/SpanKernelImpl.h"

namespace velmora {
void renderSpanSse2(const SpanArgs& args) { span_detail::renderSpanT<Sse2Ops, 3>(args); }
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

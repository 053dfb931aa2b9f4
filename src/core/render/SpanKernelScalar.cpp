// The portable span kernel: one lane per slot, several slots interleaved so the
// processor still overlaps independent pixels.
#include <cstdint>

#include "render/SpanKernel.h"

namespace velmora {
namespace {

struct ScalarOps {
    static constexpr int kLanes = 1;
    using V = double;
    using M = bool;
    static V Set1(double x) { return x; }
    static V Load(const double* p) { return *p; }
    static void Store(double* p, V v) { *p = v; }
    static V Add(V a, V b) { return a + b; }
    static V Sub(V a, V b) { return a - b; }
    static V Mul(V a, V b) { return a * b; }
    static M GtMasked(M m, V a, V b) { return m && a > b; }
    static M EqMasked(M m, V a, V b) { return m && a == b; }
    static M UnordMasked(M m, V a, V b) { return m && (a != a || b != b); }
    static M AndNot(M a, M b) { return !a && b; }
    static M Or(M a, M b) { return a || b; }
    static bool None(M m) { return !m; }
    static V Select(M m, V yes, V no) { return m ? yes : no; }
    static M FirstLanes(int n) { return n > 0; }
};

}  // namespace
}  // namespace velmora

#include "render/SpanKernelImpl.h"

namespace velmora {

void RenderSpanScalar(const SpanArgs& args) { span_detail::RenderSpanT<ScalarOps, 4>(args); }

SpanKernel SpanKernelFor(SimdLevel level) {
    if (!IsSimdLevelSupported(level)) return &RenderSpanScalar;
    switch (level) {
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Sse2:
            return &RenderSpanSse2;
        case SimdLevel::Avx2:
            return &RenderSpanAvx2;
        case SimdLevel::Avx512:
            return &RenderSpanAvx512;
#endif
        default:
            return &RenderSpanScalar;
    }
}

}  // namespace velmora

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
    static V set1(double x) { return x; }
    static V load(const double* p) { return *p; }
    static void store(double* p, V v) { *p = v; }
    static V add(V a, V b) { return a + b; }
    static V sub(V a, V b) { return a - b; }
    static V mul(V a, V b) { return a * b; }
    static M gtMasked(M m, V a, V b) { return m && a > b; }
    static M eqMasked(M m, V a, V b) { return m && a == b; }
    static M unordMasked(M m, V a, V b) { return m && (a != a || b != b); }
    static M andNot(M a, M b) { return !a && b; }
    static M orMask(M a, M b) { return a || b; }
    static bool none(M m) { return !m; }
    static V select(M m, V yes, V no) { return m ? yes : no; }
    static M firstLanes(int n) { return n > 0; }
};

}  // namespace
}  // namespace velmora

#include "render/SpanKernelImpl.h"

namespace velmora {

void renderSpanScalar(const SpanArgs& args) { span_detail::renderSpanT<ScalarOps, 4>(args); }

SpanKernel spanKernelFor(SimdLevel level) {
    if (!isSimdLevelSupported(level)) return &renderSpanScalar;
    switch (level) {
#if defined(__x86_64__) || defined(__i386__)
        case SimdLevel::Sse2:
            return &renderSpanSse2;
        case SimdLevel::Avx2:
            return &renderSpanAvx2;
        case SimdLevel::Avx512:
            return &renderSpanAvx512;
#endif
        default:
            return &renderSpanScalar;
    }
}

}  // namespace velmora

// The double-double lanes on AVX512: 8 lanes.
#include "deep/DoubleDoubleLanes.h"

#if defined(__x86_64__) || defined(__i386__)
// Everything the loop includes comes first, outside the target region.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>
#include <immintrin.h>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "deep/Perturbation.h"
#include "render/EscapeDoubt.h"
#include "render/EscapeTime.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

#include "deep/DoubleDoubleLanesImpl.h"

namespace velmora {
// AVX-512F has a fused multiply-subtract: the product's error in one step.
template <>
struct dd::ProductError<dd_lanes::VectorOf<8>::V> {
    using V = dd_lanes::VectorOf<8>::V;
    static V of(V a, V b, V p) {
        return reinterpret_cast<V>(_mm512_fmsub_pd(reinterpret_cast<__m512d>(a), reinterpret_cast<__m512d>(b),
                                                   reinterpret_cast<__m512d>(p)));
    }
};

void doubleDoubleLanesAvx512(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                         const std::atomic<bool>* cancel) {
    dd_lanes::Lanes<8>::run(pixels, count, limit, start, step, cancel);
}

void doubleDoublePixelsAvx512(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count, PixelCount* out) {
    dd_lanes::Lanes<8>::runPerturbed(o, offsets, count, out);
}
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

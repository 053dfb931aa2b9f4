// The double-double lanes on AVX2: 4 lanes.
#include "deep/DoubleDoubleLanes.h"

#if defined(__x86_64__) || defined(__i386__)
// Everything the loop includes comes first, outside the target region.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "deep/Perturbation.h"
#include "render/EscapeDoubt.h"
#include "render/EscapeTime.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "deep/DoubleDoubleLanesImpl.h"

namespace velmora {
void doubleDoubleLanesAvx2(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                         const std::atomic<bool>* cancel) {
    dd_lanes::Lanes<4>::run(pixels, count, limit, start, step, cancel);
}

void doubleDoublePixelsAvx2(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count, PixelCount* out) {
    dd_lanes::Lanes<4>::runPerturbed(o, offsets, count, out);
}
}  // namespace velmora

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

#include "deep/DoubleDoubleLanes.h"

#include <cmath>

#include "deep/DoubleDoubleLanesImpl.h"
#include "render/SimdLevel.h"

namespace velmora {

#if defined(__x86_64__) || defined(__i386__)
void doubleDoubleLanesAvx512(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                             const std::atomic<bool>* cancel);
void doubleDoubleLanesAvx2(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                           const std::atomic<bool>* cancel);
void doubleDoublePixelsAvx512(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count,
                              PixelCount* out);
void doubleDoublePixelsAvx2(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count, PixelCount* out);
#endif

double doubleDoubleStepRounding(double ar, double ai) {
    // As the doubles' (doubtStepRounding), at 2^-104 for each operation: a
    // double-double sum or product rounds by a few units of 2^-106 (four here).
    return doubtStepRounding(ar, ai) * 0x1p-98;
}

void doubleDoubleLanes(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                       const std::atomic<bool>* cancel) {
    if (limit <= 0) {
        for (std::int32_t k = 0; k < count; ++k) pixels[k].count = 0, pixels[k].doubtful = false;
        return;
    }
#if defined(__x86_64__) || defined(__i386__)
    if (isSimdLevelSupported(SimdLevel::Avx512)) return doubleDoubleLanesAvx512(pixels, count, limit, start, step, cancel);
    if (isSimdLevelSupported(SimdLevel::Avx2)) return doubleDoubleLanesAvx2(pixels, count, limit, start, step, cancel);
#endif
    dd_lanes::Lanes<1>::run(pixels, count, limit, start, step, cancel);
}

void doubleDoublePixels(const PerturbationOrbits& o, const DdOffset* offsets, std::int32_t count, PixelCount* out) {
    if (o.limit <= 0) {
        for (std::int32_t k = 0; k < count; ++k) out[k] = PixelCount{};
        return;
    }
#if defined(__x86_64__) || defined(__i386__)
    if (isSimdLevelSupported(SimdLevel::Avx512)) return doubleDoublePixelsAvx512(o, offsets, count, out);
    if (isSimdLevelSupported(SimdLevel::Avx2)) return doubleDoublePixelsAvx2(o, offsets, count, out);
#endif
    dd_lanes::Lanes<1>::runPerturbed(o, offsets, count, out);
}

}  // namespace velmora

#include "deep/PerturbationLanes.h"

#include <cmath>

#include "deep/SeriesValueImpl.h"
#include "render/SimdLevel.h"

namespace velmora {

#if defined(__x86_64__) || defined(__i386__)
void perturbedSpanLanesAvx2(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                            std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes);
void perturbedSpanLanesAvx512(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                              std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes);
void seriesValuesAvx2(const SeriesStart& s, const double* re, double im, std::int32_t count, double* dzr,
                      double* dzi, double* err2);
void seriesValuesAvx512(const SeriesStart& s, const double* re, double im, std::int32_t count, double* dzr,
                        double* dzi, double* err2);
#endif

bool perturbationLanesSupported() {
    return widestPerturbationLanes() > 0;
}

int widestPerturbationLanes() {
    if (isSimdLevelSupported(SimdLevel::Avx512)) return 8;
    return isSimdLevelSupported(SimdLevel::Avx2) ? 4 : 0;
}

void perturbedSpanLanes(const LaneOrbits& o, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                        std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes) {
#if defined(__x86_64__) || defined(__i386__)
    if (o.width == 8)
        perturbedSpanLanesAvx512(o, starts, count, out, doubt, cancel, escapes);
    else if (o.width == 4)
        perturbedSpanLanesAvx2(o, starts, count, out, doubt, cancel, escapes);
#else
    (void)o, (void)starts, (void)count, (void)out, (void)doubt, (void)cancel, (void)escapes;
#endif
}

void seriesValuesLanes(int width, const SeriesStart& s, const double* re, double im, std::int32_t count,
                       double* dzr, double* dzi, double* err2) {
#if defined(__x86_64__) || defined(__i386__)
    if (width == 8) return seriesValuesAvx512(s, re, im, count, dzr, dzi, err2);
    if (width == 4) return seriesValuesAvx2(s, re, im, count, dzr, dzi, err2);
#endif
    series_detail::seriesValuesOf<double, 1>(s, re, im, count, dzr, dzi, err2, [](double x) { return std::sqrt(x); });
}

}  // namespace velmora

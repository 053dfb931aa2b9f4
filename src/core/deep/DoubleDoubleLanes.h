#pragma once
// The plain escape-time loop in double-double numbers (106 bits), several
// pixels at once in vector lanes, carrying the double engine's bound on its
// own rounding (EscapeDoubt.h) at the double-double's precision: the second
// try for pixels the doubles left in doubt, before the deep engine.
#include <atomic>
#include <cstdint>

namespace velmora {

struct DdLanePixel {
    // In: the pixel's point and the added constant (the point itself for
    // Mandelbrot, K for Julia), each as the sum of two doubles.
    double zr[2], zi[2], ar[2], ai[2];
    // Out: the escape count (0 at the limit), whether rounding may have moved
    // it, and z where it left radius 2.
    std::int32_t count = 0;
    bool doubtful = true;
    double ezr = 0.0, ezi = 0.0;
};

// One step's rounding squared while |z| <= 2, for the added constant (ar, ai).
double doubleDoubleStepRounding(double ar, double ai);

// Every pixel by escapeCount's rule up to `limit`; the bound on the squared
// error starts at `start` and grows by `step` a step. A pixel whose bound
// passes 1 stops there, in doubt. Stops early when *cancel becomes true.
void doubleDoubleLanes(DdLanePixel* pixels, std::int32_t count, std::int32_t limit, double start, double step,
                       const std::atomic<bool>* cancel);

struct PerturbationOrbits;
struct PixelCount;

// A pixel's offset from the reference point, each part the sum of two doubles.
struct DdOffset {
    double re[2], im[2];
};

// doubleDoublePixel of each offset, several at once in vector lanes, with the
// same operations lane by lane, so the same counts and bounds. Mandelbrot
// orbits without wide steps only.
void doubleDoublePixels(const PerturbationOrbits& orbits, const DdOffset* offsets, std::int32_t count, PixelCount* out);

}  // namespace velmora

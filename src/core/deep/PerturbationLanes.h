#pragma once
// Perturbed pixels several at a time in vector lanes, from the state where
// they begin plain double steps. Every lane runs the operations of
// perturbedPixel's double loop in the same order, so the pixels are the same;
// a group of lanes takes the next pixels once all of its own are decided.
#include <atomic>
#include <cstdint>

#include "deep/SeriesStart.h"

namespace velmora {

struct LaneOrbits {
    // One array for both orbits: the primary one at [0, primaryEnd), the one
    // to rebase onto at [rebaseBegin, rebaseEnd) (the same for Mandelbrot),
    // followed by two more values that are read ahead but never used.
    const double* re = nullptr;
    const double* im = nullptr;
    const double* excess = nullptr;  // |Z|^2 - 4 from the full-precision values
    std::int64_t primaryEnd = 0;
    std::int64_t rebaseBegin = 0;
    std::int64_t rebaseEnd = 0;
    bool mandelbrot = true;
    std::int32_t limit = 0;
    int width = 0;  // lanes per vector: 8 (AVX-512) or 4 (AVX2)
};

// True when this machine runs the vector kernel.
bool perturbationLanesSupported();
// The widest lanes this machine runs: 8, 4, or 0 for none.
int widestPerturbationLanes();

// A pixel's state when its lane takes it: z_{n-1} = Z_index + dz (index into
// the one array), the orbit it follows ending at `end`, (cr, ci) added each
// step; the bound on its squared error and |z_{n-1}|^2.
struct LaneStart {
    double dzr, dzi, cr, ci;
    double err2, nz;
    std::int64_t index, end;
    std::int32_t n;
    std::int32_t out;  // where its index goes
};

// Where a pixel left radius 2: its full count (0: never) and z, in doubles.
struct LaneEscape {
    std::int32_t count = 0;
    double zr = 0.0, zi = 0.0;
};

// Pixels from their states, k < count, into out[starts[k].out], with
// doubt[starts[k].out] set to 1 where rounding may have moved the count (and
// left alone elsewhere), and escapes[starts[k].out] when escapes is given.
// Stops early (leaving the rest) when *cancel becomes true.
void perturbedSpanLanes(const LaneOrbits& orbits, const LaneStart* starts, std::int32_t count, std::uint8_t* out,
                        std::uint8_t* doubt, const std::atomic<bool>* cancel, LaneEscape* escapes = nullptr);

// seriesValue of the offsets (re[k], im), k < count, in lanes `width` wide
// (8, 4, or 0 for one at a time). Each array holds count rounded up to a
// multiple of 8.
void seriesValuesLanes(int width, const SeriesStart& series, const double* re, double im, std::int32_t count,
                       double* dzr, double* dzi, double* err2);

}  // namespace velmora

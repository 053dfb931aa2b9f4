#pragma once
// Perturbed pixels several at a time in vector lanes, for offsets in the
// double range. Every lane runs the operations of perturbedPixel's double loop
// in the same order, so the pixels are the same; a lane takes the next pixel
// as soon as its own is decided.
#include <atomic>
#include <cstdint>

namespace velmora {

struct LaneOrbits {
    // One array for both orbits: the primary one at [0, primaryEnd), the one
    // to rebase onto at [rebaseBegin, rebaseEnd) (the same for Mandelbrot),
    // followed by two more values that are read ahead but never used.
    const double* re = nullptr;
    const double* im = nullptr;
    std::int64_t primaryEnd = 0;
    std::int64_t rebaseBegin = 0;
    std::int64_t rebaseEnd = 0;
    bool mandelbrot = true;
    std::int32_t limit = 0;
};

// True when this machine runs the vector kernel.
bool perturbationLanesSupported();

// Pixels at offsets (dcr[k], dci[k]) from the reference point, k < count,
// into out[k]. Stops early (leaving the rest) when *cancel becomes true.
void perturbedSpanLanes(const LaneOrbits& orbits, const double* dcr, const double* dci, std::int32_t count,
                        std::uint8_t* out, const std::atomic<bool>* cancel);

}  // namespace velmora

#pragma once
// One pixel by perturbation: the pixel's orbit as a small difference dz from
// a full-precision reference orbit, in hardware doubles (wide-exponent numbers
// while the difference is below the double range). Rebasing keeps it right:
// when |Z_m + dz| < |dz|, or the reference ends, dz = Z_m + dz and m = 0,
// which is exact because the orbit it restarts on begins at 0.
#include <cstddef>
#include <cstdint>

#include "deep/Bla.h"
#include "deep/ExtFloat.h"
#include "deep/ReferenceOrbit.h"
#include "deep/SeriesStart.h"

namespace velmora {

// Offsets below 2^this (the reference pixel's zero aside) start in
// wide-exponent numbers: a double could lose bits to underflow once they are
// squared or multiplied.
inline constexpr std::int64_t kDoubleFloor = -900;
// Julia orbits whose pixel gaps shrink below 2^this somewhere keep wide
// numbers until past that step: the floor, with room for a step's products.
inline constexpr double kWideGap = static_cast<double>(kDoubleFloor + 100);

struct PerturbationOrbits {
    // Mandelbrot: the orbit of 0 under z^2 + c_ref for both, starting at
    // index 1 (z0 = c) with the pixel's offset added every step.
    // Julia: the reference pixel's orbit under z^2 + K, starting at index 0,
    // and the orbit of 0 under z^2 + K to rebase onto.
    const ReferenceOrbit* primary = nullptr;
    const ReferenceOrbit* rebase = nullptr;
    bool mandelbrot = true;
    std::int32_t limit = 0;
    // Julia: the first steps, where orbits passing close to 0 may shrink the
    // differences below the double range; they are taken in wide numbers.
    std::int32_t wideSteps = 0;
    // The square of the orbits' own rounding, relative to |Z|: 2^-precision,
    // with room for a step's few operations. Below the doubles' rounding of
    // the differences, but not below a double-double's.
    double orbitRounding2 = 0.0;
    // Julia: the primary orbit's start (the reference pixel) in wide numbers.
    ExtFloat startRe, startIm;
    // Stretches to skip on each orbit; null or empty: every step is taken.
    const BlaTable* primaryBla = nullptr;
    const BlaTable* rebaseBla = nullptr;
    // Mandelbrot, with stretches to skip: where every pixel starts, and the
    // series that carries it on (none: m = 0).
    CommonSkip common;
    SeriesStart series;
};

// A pixel's escape index, and whether rounding may have moved it (the
// pixel then needs the full-precision loop); with its full count and z where
// it left radius 2, in doubles, for smooth colouring (count 0: never).
struct PixelCount {
    std::uint8_t index = 0;
    bool doubtful = false;
    std::int32_t count = 0;
    double zr = 0.0, zi = 0.0;
};

// The escape index of the pixel at offset (dcr, dci) from the reference point,
// by the rule of escapeIndex.
PixelCount perturbedPixel(const PerturbationOrbits& orbits, ExtFloat dcr, ExtFloat dci);

// Where a pixel stands when the plain steps begin: z_{n-1} = Z_m + dz on the
// primary orbit or the one to rebase onto, with the offset (cr, ci) added per
// step; the bound on its squared error and |z_{n-1}|^2.
struct PixelHandOver {
    std::size_t m;
    bool onRebase;
    std::int32_t n;
    double dzr, dzi, cr, ci;
    double err2, nz;
};

// The same pixel while it skips stretches of the orbit (or needs wide
// numbers): true with the count when that decides it, false with the state
// from which plain double steps (as in vector lanes) go on.
bool perturbedPixelStart(const PerturbationOrbits& orbits, ExtFloat dcr, ExtFloat dci, PixelCount& result,
                         PixelHandOver& state);

// The same start for offsets already in doubles, taken without the search
// for stretches where the pixel would stop at once after the common ones
// (most pixels of a deep Mandelbrot picture); false where it does not apply.
// Where it applies, the state is the one perturbedPixelStart gives. `value`:
// the offset's seriesValue where already known (from seriesValuesLanes).
bool quickPixelStart(const PerturbationOrbits& orbits, double dcr, double dci, PixelHandOver& state,
                     const SeriesValue* value = nullptr);

}  // namespace velmora

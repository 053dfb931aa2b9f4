#pragma once
// One orbit computed in full precision and kept as the nearest doubles, for
// pixels to follow by their small differences from it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <mpfr.h>

#include "location/Mpfr.h"

namespace velmora {

struct ReferenceOrbit {
    // The values, then two zeros that vector lanes may read ahead.
    std::vector<double> re;
    std::vector<double> im;
    // |Z_k|^2 - 4 from the full-precision value, rounded once: whether a pixel
    // next to Z_k escapes is decided from it where the doubles cannot tell
    // (Z_k itself rounded moves every pixel by far more than their spacing).
    std::vector<double> excess;
    // What the doubles leave out: Z_k - re[k] and - im[k], rounded, for
    // pixels followed in double-double numbers.
    std::vector<double> reLow;
    std::vector<double> imLow;
    std::size_t size() const { return re.size() < kPadding ? 0 : re.size() - kPadding; }
    static constexpr std::size_t kPadding = 2;
};

// A Mandelbrot reference kept from one render for the next (a pan, a zoom
// within it, the next frame): its point at the precision its orbit was
// computed with, and the orbit, computed up to `limit`.
struct KeptReference {
    Mpfr re, im;
    std::int32_t limit = 0;
    std::shared_ptr<const ReferenceOrbit> orbit;
    Mpfr lastRe, lastIm;  // the orbit's last value in full, to carry it on past its limit
};

enum class OrbitOutcome { Done, Cancelled, NoMemory };

// Most values an orbit keeps (16 bytes each). Pixels that outlast it restart
// from the orbit's start, which stays exact, so this bounds memory only.
inline constexpr std::size_t kMaxOrbitLength = std::size_t{1} << 24;

// Z_0 = start, Z_{k+1} = Z_k^2 + add, at the precision of `start`, until the
// first value beyond 2 in magnitude after Z_0 (kept) or `length` values
// (at least 2). `cancelled` is asked now and then; true stops the work.
// The last value kept goes to lastRe and lastIm when given.
OrbitOutcome computeOrbit(mpfr_srcptr startRe, mpfr_srcptr startIm, mpfr_srcptr addRe, mpfr_srcptr addIm,
                          std::size_t length, const std::function<bool()>& cancelled, ReferenceOrbit& out,
                          Mpfr* lastRe = nullptr, Mpfr* lastIm = nullptr);

// The orbit `from`, whose last value is (lastRe, lastIm) in full, carried on
// as computeOrbit would to `length` values, into `out`.
OrbitOutcome extendOrbit(const ReferenceOrbit& from, const Mpfr& lastRe, const Mpfr& lastIm, mpfr_srcptr addRe,
                         mpfr_srcptr addIm, std::size_t length, const std::function<bool()>& cancelled,
                         ReferenceOrbit& out, Mpfr* newLastRe = nullptr, Mpfr* newLastIm = nullptr);

}  // namespace velmora

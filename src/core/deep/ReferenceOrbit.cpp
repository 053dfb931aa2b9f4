#include "deep/ReferenceOrbit.h"

#include <algorithm>
#include <new>

#include "location/Mpfr.h"

namespace velmora {

namespace {

void clearOrbit(ReferenceOrbit& out) {
    out.re.clear();
    out.im.clear();
    out.excess.clear();
    out.reLow.clear();
    out.imLow.clear();
}

void padOrbit(ReferenceOrbit& out) {
    out.re.insert(out.re.end(), ReferenceOrbit::kPadding, 0.0);
    out.im.insert(out.im.end(), ReferenceOrbit::kPadding, 0.0);
    out.excess.insert(out.excess.end(), ReferenceOrbit::kPadding, -4.0);
    out.reLow.insert(out.reLow.end(), ReferenceOrbit::kPadding, 0.0);
    out.imLow.insert(out.imLow.end(), ReferenceOrbit::kPadding, 0.0);
}

// z = z^2 + a, from the squares zr2 and zi2 already taken of z; t is scratch.
void stepFromSquares(Mpfr& zr, Mpfr& zi, const Mpfr& zr2, const Mpfr& zi2, Mpfr& t, mpfr_srcptr addRe,
                     mpfr_srcptr addIm) {
    mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
    mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
    mpfr_add(zi.get(), t.get(), addIm, MPFR_RNDN);
    mpfr_sub(zr.get(), zr2.get(), zi2.get(), MPFR_RNDN);
    mpfr_add(zr.get(), zr.get(), addRe, MPFR_RNDN);
}

// Appends z = (zr, zi), which `out` does not hold yet, and its successors
// until one after the start lies beyond 2 (kept) or `out` holds `length`
// values; z is left at the last value kept. The start counts as after the
// start when `out` held values before. Returns Cancelled when asked to stop.
OrbitOutcome runOrbit(Mpfr& zr, Mpfr& zi, mpfr_srcptr addRe, mpfr_srcptr addIm, std::size_t length,
                      const std::function<bool()>& cancelled, ReferenceOrbit& out) {
    const bool carriedOn = !out.re.empty();
    const mpfr_prec_t bits = zr.bits();
    Mpfr zr2(bits), zi2(bits), t(bits);
    // Short orbits are the rule near escaping points: grow as needed.
    const std::size_t room = std::min<std::size_t>(length, out.re.size() + 4096);
    out.re.reserve(room);
    out.im.reserve(room);
    out.excess.reserve(room);
    out.reLow.reserve(room);
    out.imLow.reserve(room);
    const auto low = [&](mpfr_srcptr v, double high) {
        mpfr_sub_d(t.get(), v, high, MPFR_RNDN);
        return mpfr_get_d(t.get(), MPFR_RNDN);
    };
    // An orbit on the real axis stays there: its imaginary parts and their
    // squares are exact zeros, and the real steps alone give the same values.
    const bool real = mpfr_zero_p(zi.get()) && mpfr_zero_p(addIm);
    const auto keep = [&] {
        out.re.push_back(mpfr_get_d(zr.get(), MPFR_RNDN));
        out.reLow.push_back(low(zr.get(), out.re.back()));
        mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
        if (real) {
            out.im.push_back(0.0);
            out.imLow.push_back(0.0);
            mpfr_sub_ui(t.get(), zr2.get(), 4, MPFR_RNDN);
        } else {
            out.im.push_back(mpfr_get_d(zi.get(), MPFR_RNDN));
            out.imLow.push_back(low(zi.get(), out.im.back()));
            mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
            mpfr_add(t.get(), zr2.get(), zi2.get(), MPFR_RNDN);
            mpfr_sub_ui(t.get(), t.get(), 4, MPFR_RNDN);
        }
        out.excess.push_back(mpfr_get_d(t.get(), MPFR_RNDN));
    };
    keep();
    if (carriedOn && (mpfr_sgn(t.get()) > 0 || mpfr_nan_p(t.get()))) return OrbitOutcome::Done;
    for (std::size_t k = out.re.size(); k < length; ++k) {
        if ((k & 255) == 0 && cancelled && cancelled()) return OrbitOutcome::Cancelled;
        // zr2 and zi2 hold the squares keep() took.
        if (real)
            mpfr_add(zr.get(), zr2.get(), addRe, MPFR_RNDN);
        else
            stepFromSquares(zr, zi, zr2, zi2, t, addRe, addIm);
        keep();
        if (mpfr_sgn(t.get()) > 0 || mpfr_nan_p(t.get())) break;
    }
    return OrbitOutcome::Done;
}

// Fills `out` afresh by fill(), which leaves z = (zr, zi) at the orbit's
// last value, and pads it; that value goes to (lastRe, lastIm) when asked.
template <class Fill>
OrbitOutcome buildOrbit(ReferenceOrbit& out, const Mpfr& zr, const Mpfr& zi, Mpfr* lastRe, Mpfr* lastIm,
                        Fill fill) {
    try {
        clearOrbit(out);
        const OrbitOutcome outcome = fill();
        if (outcome != OrbitOutcome::Done) return outcome;
        padOrbit(out);
    } catch (const std::bad_alloc&) {
        clearOrbit(out);
        return OrbitOutcome::NoMemory;
    }
    if (lastRe != nullptr) *lastRe = zr;
    if (lastIm != nullptr) *lastIm = zi;
    return OrbitOutcome::Done;
}

}  // namespace

OrbitOutcome computeOrbit(mpfr_srcptr startRe, mpfr_srcptr startIm, mpfr_srcptr addRe, mpfr_srcptr addIm,
                          std::size_t length, const std::function<bool()>& cancelled, ReferenceOrbit& out,
                          Mpfr* lastRe, Mpfr* lastIm) {
    length = std::clamp<std::size_t>(length, 2, kMaxOrbitLength);
    const mpfr_prec_t bits = mpfr_get_prec(startRe);
    Mpfr zr(bits), zi(bits);
    mpfr_set(zr.get(), startRe, MPFR_RNDN);
    mpfr_set(zi.get(), startIm, MPFR_RNDN);
    return buildOrbit(out, zr, zi, lastRe, lastIm,
                      [&] { return runOrbit(zr, zi, addRe, addIm, length, cancelled, out); });
}

OrbitOutcome extendOrbit(const ReferenceOrbit& from, const Mpfr& lastRe, const Mpfr& lastIm, mpfr_srcptr addRe,
                         mpfr_srcptr addIm, std::size_t length, const std::function<bool()>& cancelled,
                         ReferenceOrbit& out, Mpfr* newLastRe, Mpfr* newLastIm) {
    length = std::clamp<std::size_t>(length, 2, kMaxOrbitLength);
    const std::size_t kept = from.size();
    Mpfr zr(lastRe), zi(lastIm);
    return buildOrbit(out, zr, zi, newLastRe, newLastIm, [&] {
        out.re.assign(from.re.begin(), from.re.begin() + static_cast<std::ptrdiff_t>(kept));
        out.im.assign(from.im.begin(), from.im.begin() + static_cast<std::ptrdiff_t>(kept));
        out.excess.assign(from.excess.begin(), from.excess.begin() + static_cast<std::ptrdiff_t>(kept));
        out.reLow.assign(from.reLow.begin(), from.reLow.begin() + static_cast<std::ptrdiff_t>(kept));
        out.imLow.assign(from.imLow.begin(), from.imLow.begin() + static_cast<std::ptrdiff_t>(kept));
        if (kept >= length) return OrbitOutcome::Done;
        // The next value after the last one kept.
        const mpfr_prec_t bits = zr.bits();
        Mpfr t(bits), zr2(bits), zi2(bits);
        mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
        stepFromSquares(zr, zi, zr2, zi2, t, addRe, addIm);
        return runOrbit(zr, zi, addRe, addIm, length, cancelled, out);
    });
}

}  // namespace velmora

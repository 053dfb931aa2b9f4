#include "deep/ReferenceOrbit.h"

#include <algorithm>
#include <new>

#include "location/Mpfr.h"

namespace velmora {

OrbitOutcome computeOrbit(mpfr_srcptr startRe, mpfr_srcptr startIm, mpfr_srcptr addRe, mpfr_srcptr addIm,
                          std::size_t length, const std::function<bool()>& cancelled, ReferenceOrbit& out) {
    length = std::clamp<std::size_t>(length, 2, kMaxOrbitLength);
    const mpfr_prec_t bits = mpfr_get_prec(startRe);
    Mpfr zr(bits), zi(bits), zr2(bits), zi2(bits), t(bits);
    mpfr_set(zr.get(), startRe, MPFR_RNDN);
    mpfr_set(zi.get(), startIm, MPFR_RNDN);
    try {
        out.re.clear();
        out.im.clear();
        out.excess.clear();
        out.reLow.clear();
        out.imLow.clear();
        // Short orbits are the rule near escaping points: grow as needed.
        out.re.reserve(std::min<std::size_t>(length, 4096));
        out.im.reserve(std::min<std::size_t>(length, 4096));
        out.excess.reserve(std::min<std::size_t>(length, 4096));
        out.reLow.reserve(std::min<std::size_t>(length, 4096));
        out.imLow.reserve(std::min<std::size_t>(length, 4096));
        const auto low = [&](mpfr_srcptr v, double high) {
            mpfr_sub_d(t.get(), v, high, MPFR_RNDN);
            return mpfr_get_d(t.get(), MPFR_RNDN);
        };
        const auto keep = [&] {
            out.re.push_back(mpfr_get_d(zr.get(), MPFR_RNDN));
            out.im.push_back(mpfr_get_d(zi.get(), MPFR_RNDN));
            out.reLow.push_back(low(zr.get(), out.re.back()));
            out.imLow.push_back(low(zi.get(), out.im.back()));
            mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
            mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
            mpfr_add(t.get(), zr2.get(), zi2.get(), MPFR_RNDN);
            mpfr_sub_ui(t.get(), t.get(), 4, MPFR_RNDN);
            out.excess.push_back(mpfr_get_d(t.get(), MPFR_RNDN));
        };
        keep();
        for (std::size_t k = 1; k < length; ++k) {
            if ((k & 255) == 0 && cancelled && cancelled()) return OrbitOutcome::Cancelled;
            // zr2 and zi2 hold the squares keep() took.
            mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
            mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
            mpfr_add(zi.get(), t.get(), addIm, MPFR_RNDN);
            mpfr_sub(zr.get(), zr2.get(), zi2.get(), MPFR_RNDN);
            mpfr_add(zr.get(), zr.get(), addRe, MPFR_RNDN);
            keep();
            if (mpfr_sgn(t.get()) > 0 || mpfr_nan_p(t.get())) break;
        }
        out.re.insert(out.re.end(), ReferenceOrbit::kPadding, 0.0);
        out.im.insert(out.im.end(), ReferenceOrbit::kPadding, 0.0);
        out.excess.insert(out.excess.end(), ReferenceOrbit::kPadding, -4.0);
        out.reLow.insert(out.reLow.end(), ReferenceOrbit::kPadding, 0.0);
        out.imLow.insert(out.imLow.end(), ReferenceOrbit::kPadding, 0.0);
    } catch (const std::bad_alloc&) {
        out.re.clear();
        out.im.clear();
        out.excess.clear();
        out.reLow.clear();
        out.imLow.clear();
        return OrbitOutcome::NoMemory;
    }
    return OrbitOutcome::Done;
}

}  // namespace velmora

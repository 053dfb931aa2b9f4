#pragma once
// One step of z -> z^2 + c and of its derivative by c in MPFR, for the
// benchmarks that find their own places (Misiurewicz points, nuclei, periods).
#include <mpfr.h>

#include "location/Mpfr.h"

namespace velmora::bench {

// z = z^2 + c; t and u are scratch.
inline void squareAdd(Mpfr& zr, Mpfr& zi, mpfr_srcptr cr, mpfr_srcptr ci, Mpfr& t, Mpfr& u) {
    mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
    mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
    mpfr_sqr(u.get(), zr.get(), MPFR_RNDN);
    mpfr_fms(u.get(), zi.get(), zi.get(), u.get(), MPFR_RNDN);
    mpfr_neg(u.get(), u.get(), MPFR_RNDN);
    mpfr_add(zr.get(), u.get(), cr, MPFR_RNDN);
    mpfr_add(zi.get(), t.get(), ci, MPFR_RNDN);
}

// d = 2 z d + 1, the derivative of z by c (taken before z's own step); t and
// u are scratch.
inline void derivativeStep(const Mpfr& zr, const Mpfr& zi, Mpfr& dr, Mpfr& di, Mpfr& t, Mpfr& u) {
    mpfr_mul(t.get(), zr.get(), dr.get(), MPFR_RNDN);
    mpfr_mul(u.get(), zi.get(), di.get(), MPFR_RNDN);
    mpfr_sub(t.get(), t.get(), u.get(), MPFR_RNDN);
    mpfr_mul(u.get(), zr.get(), di.get(), MPFR_RNDN);
    mpfr_fma(u.get(), zi.get(), dr.get(), u.get(), MPFR_RNDN);
    mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
    mpfr_mul_2ui(di.get(), u.get(), 1, MPFR_RNDN);
    mpfr_add_ui(dr.get(), t.get(), 1, MPFR_RNDN);
}

}  // namespace velmora::bench

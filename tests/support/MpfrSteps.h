#pragma once
// The escape-time step in MPFR, written out in full (no shortcut of the
// engine's): the tests' own yardstick for deep differences and counts.
#include <mpfr.h>

#include "location/Mpfr.h"

namespace velmora::test {

// z = z^2 + c; t and u are scratch. Returns |z|^2 > 4 after the step.
inline bool fullStep(Mpfr& zr, Mpfr& zi, mpfr_srcptr cr, mpfr_srcptr ci, Mpfr& t, Mpfr& u) {
    mpfr_sqr(t.get(), zr.get(), MPFR_RNDN);
    mpfr_sqr(u.get(), zi.get(), MPFR_RNDN);
    mpfr_sub(t.get(), t.get(), u.get(), MPFR_RNDN);
    mpfr_mul(u.get(), zr.get(), zi.get(), MPFR_RNDN);
    mpfr_mul_2ui(u.get(), u.get(), 1, MPFR_RNDN);
    mpfr_add(zr.get(), t.get(), cr, MPFR_RNDN);
    mpfr_add(zi.get(), u.get(), ci, MPFR_RNDN);
    mpfr_sqr(t.get(), zr.get(), MPFR_RNDN);
    mpfr_sqr(u.get(), zi.get(), MPFR_RNDN);
    mpfr_add(t.get(), t.get(), u.get(), MPFR_RNDN);
    return mpfr_cmp_ui(t.get(), 4) > 0;
}

}  // namespace velmora::test

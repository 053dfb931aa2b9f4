#include "location/ZoomDepth.h"

#include <cmath>
#include <cstdio>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora {

std::string zoomDepthText(const FractalParams& p) {
    const ExactLocation text = exactTextOf(p);
    const mpfr_prec_t bits = bitsToRead(text);
    Mpfr left(bits), right(bits), depth(bits);
    if (!readDecimal(text.left, left) || !readDecimal(text.right, right)) return "Zoom -";
    mpfr_sub(depth.get(), right.get(), left.get(), MPFR_RNDN);
    if (mpfr_zero_p(depth.get())) return "Zoom -";
    mpfr_abs(depth.get(), depth.get(), MPFR_RNDN);
    mpfr_ui_div(depth.get(), 4, depth.get(), MPFR_RNDN);
    char buf[64];
    const double shallow = mpfr_get_d(depth.get(), MPFR_RNDN);
    if (shallow < 1e5) {
        std::snprintf(buf, sizeof buf, "Zoom %.5g", shallow);
        return buf;
    }
    // Past any double's range too: two digits and the power of ten.
    mpfr_exp_t e = 0;
    char* digits = mpfr_get_str(nullptr, &e, 10, 2, depth.get(), MPFR_RNDN);
    std::snprintf(buf, sizeof buf, "Zoom %c.%ce+%02ld", digits[0], digits[1], static_cast<long>(e) - 1);
    mpfr_free_str(digits);
    return buf;
}

}  // namespace velmora

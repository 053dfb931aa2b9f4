#include "deep/PlainMpfrLoop.h"

#include <cmath>

#include "render/EscapeTime.h"

namespace velmora {

std::uint8_t plainMpfrPixel(const DeepLocation& loc, std::int64_t i, std::int64_t j) {
    const MpfrEscape e = plainMpfrEscape(loc, i, j);
    return e.count == 0 ? 0 : shownIndex(e.count);
}

MpfrEscape plainMpfrEscape(const DeepLocation& loc, std::int64_t i, std::int64_t j) {
    const std::int32_t limit = loc.iterations();
    if (limit <= 0) return {};
    const mpfr_prec_t bits = loc.precision();
    Mpfr cr(bits), ci(bits), zr(bits), zi(bits), zr2(bits), zi2(bits), t(bits);
    loc.pixel(i, j, cr.get(), ci.get());
    mpfr_srcptr ar = loc.mandelbrot() ? cr.get() : loc.juliaRe();
    mpfr_srcptr ai = loc.mandelbrot() ? ci.get() : loc.juliaIm();
    mpfr_set(zr.get(), cr.get(), MPFR_RNDN);
    mpfr_set(zi.get(), ci.get(), MPFR_RNDN);
    mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
    mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
    if (mpfr_zero_p(zi.get()) && mpfr_zero_p(ai)) {
        // An orbit on the real axis stays there: the imaginary parts and their
        // squares are exact zeros, so the real steps alone give the same values.
        for (std::int32_t n = 1;; ++n) {
            mpfr_add(zr.get(), zr2.get(), ar, MPFR_RNDN);
            mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
            if (mpfr_cmp_ui(zr2.get(), 4) > 0) return {n, mpfr_get_d(zr.get(), MPFR_RNDN), 0.0};
            if (n >= limit) return {};
        }
    }
    for (std::int32_t n = 1;; ++n) {
        mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), t.get(), ai, MPFR_RNDN);
        mpfr_sub(zr.get(), zr2.get(), zi2.get(), MPFR_RNDN);
        mpfr_add(zr.get(), zr.get(), ar, MPFR_RNDN);
        mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
        mpfr_add(t.get(), zr2.get(), zi2.get(), MPFR_RNDN);
        if (mpfr_cmp_ui(t.get(), 4) > 0) return {n, mpfr_get_d(zr.get(), MPFR_RNDN), mpfr_get_d(zi.get(), MPFR_RNDN)};
        if (n >= limit) return {};
    }
}

void samplePixel(std::int64_t k, std::int64_t count, std::int32_t width, std::int32_t height, std::int32_t& i,
                 std::int32_t& j) {
    // Rows evenly spaced, columns by the golden ratio: no two samples share a
    // pattern with the picture's own rows and columns.
    const double row = (static_cast<double>(k) + 0.5) / static_cast<double>(count);
    const double column = std::fmod(static_cast<double>(k) * 0.6180339887498949 + 0.5, 1.0);
    j = static_cast<std::int32_t>(row * height);
    i = static_cast<std::int32_t>(column * width);
    if (j >= height) j = height - 1;
    if (i >= width) i = width - 1;
}

}  // namespace velmora

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
    // zi^2 below a quarter of zr^2's last place (as long orbits near the real
    // axis have it) changes neither zr^2 - zi^2 nor zr^2 + zi^2 once rounded:
    // it is then left out, with the same values.
    const auto negligible = [&] {
        if (mpfr_zero_p(zi.get())) return true;
        return mpfr_regular_p(zr2.get()) && 2 * mpfr_get_exp(zi.get()) < mpfr_get_exp(zr2.get()) - bits - 2;
    };
    bool small = negligible();
    for (std::int32_t n = 1;; ++n) {
        mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), t.get(), ai, MPFR_RNDN);
        if (small) {
            mpfr_add(zr.get(), zr2.get(), ar, MPFR_RNDN);
        } else {
            mpfr_sub(zr.get(), zr2.get(), zi2.get(), MPFR_RNDN);
            mpfr_add(zr.get(), zr.get(), ar, MPFR_RNDN);
        }
        mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
        small = negligible();
        bool beyond = false;
        if (small) {
            beyond = mpfr_cmp_ui(zr2.get(), 4) > 0;
        } else {
            mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
            // Two squares below 2 each cannot pass 4.
            const auto below2 = [](const Mpfr& x) { return mpfr_zero_p(x.get()) || mpfr_get_exp(x.get()) <= 1; };
            if (!below2(zr2) || !below2(zi2)) {
                mpfr_add(t.get(), zr2.get(), zi2.get(), MPFR_RNDN);
                beyond = mpfr_cmp_ui(t.get(), 4) > 0;
            }
        }
        if (beyond) return {n, mpfr_get_d(zr.get(), MPFR_RNDN), mpfr_get_d(zi.get(), MPFR_RNDN)};
        if (n >= limit) return {};
    }
}

bool realAxisInsideSet(mpfr_srcptr re, mpfr_srcptr im) {
    return mpfr_zero_p(im) && mpfr_cmp_si(re, -2) >= 0 && mpfr_cmp_d(re, 0.25) <= 0;
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

#include "deep/DeepLocation.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

#include "deep/Precision.h"

namespace velmora {
namespace {

// Reads the whole text as a decimal number; false for anything else.
bool readNumber(const std::string& text, mpfr_ptr out) {
    if (text.empty()) return false;
    return mpfr_set_str(out, text.c_str(), 10, MPFR_RNDN) == 0 && mpfr_number_p(out);
}

std::int64_t exponentOf(mpfr_srcptr v) {
    return mpfr_regular_p(v) ? mpfr_get_exp(v) : INT64_MIN / 4;
}

}  // namespace

ExtFloat toExtFloat(mpfr_srcptr v) {
    if (!mpfr_regular_p(v)) return ExtFloat();
    long e = 0;
    const double m = mpfr_get_d_2exp(&e, v, MPFR_RNDN);
    return ExtFloat(m, e);
}

DoubleDouble splitOff(Mpfr& v) {
    DoubleDouble out{mpfr_get_d(v.get(), MPFR_RNDN), 0.0};
    mpfr_sub_d(v.get(), v.get(), out.hi, MPFR_RNDN);
    out.lo = mpfr_get_d(v.get(), MPFR_RNDN);
    return out;
}

DeepLocation::DeepLocation(const FractalParams& p, mpfr_prec_t minimumBits)
    : m_precision(kMinPrecision),
      m_mandelbrot((static_cast<std::int32_t>(p.type) & 1) != 0),
      m_iterations(p.iterations),
      m_width(p.width),
      m_height(p.height),
      m_xMin(kMinPrecision),
      m_xMax(kMinPrecision),
      m_yMin(kMinPrecision),
      m_yMax(kMinPrecision),
      m_kRe(kMinPrecision),
      m_kIm(kMinPrecision),
      m_stepX(kMinPrecision),
      m_stepY(kMinPrecision) {
    // First at a precision that holds every digit given, to learn the
    // magnitude and the spacing; then again at the precision they call for.
    std::size_t digits = 0;
    for (const std::string* s :
         {&p.exact.left, &p.exact.top, &p.exact.right, &p.exact.bottom, &p.exact.cReal, &p.exact.cImag})
        digits = std::max(digits, s->size());
    const auto firstPass = static_cast<mpfr_prec_t>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(digits) * 4 + kPrecisionMargin, kMinPrecision, kMaxPrecision));
    setPrecisionOfAll(firstPass);
    readDoubles(p);
    m_usedExactText = !p.exact.empty() && readExact(p.exact);
    order();
    m_precision = std::clamp<mpfr_prec_t>(std::max(neededPrecision(), minimumBits), kMinPrecision, kMaxPrecision);
    setPrecisionOfAll(m_precision);
    readDoubles(p);
    if (m_usedExactText) readExact(p.exact);
    order();
    Mpfr t(m_precision);
    mpfr_div_si(t.get(), m_stepX.get(), std::max(m_width, 1), MPFR_RNDN);
    m_spacingX = toExtFloat(t.get());
    mpfr_div_si(t.get(), m_stepY.get(), std::max(m_height, 1), MPFR_RNDN);
    m_spacingY = toExtFloat(t.get());
}

void DeepLocation::setPrecisionOfAll(mpfr_prec_t bits) {
    for (Mpfr* v : {&m_xMin, &m_xMax, &m_yMin, &m_yMax, &m_kRe, &m_kIm, &m_stepX, &m_stepY})
        mpfr_set_prec(v->get(), bits);
}

mpfr_prec_t DeepLocation::bitsForGap(double gapLog2) const {
    return static_cast<mpfr_prec_t>(bitsForLocation(m_magnitude, static_cast<std::int64_t>(std::floor(gapLog2))));
}

mpfr_prec_t DeepLocation::neededPrecision() {
    std::int64_t magnitude = std::max(
        {exponentOf(m_xMin.get()), exponentOf(m_xMax.get()), exponentOf(m_yMin.get()), exponentOf(m_yMax.get())});
    if (!m_mandelbrot) magnitude = std::max({magnitude, exponentOf(m_kRe.get()), exponentOf(m_kIm.get())});
    m_magnitude = magnitude;
    // Spacing = edge distance / pixels; a side without extent says nothing.
    std::int64_t spacing = magnitude - 53;
    bool any = false;
    const auto consider = [&](mpfr_srcptr step, std::int32_t pixels) {
        if (!mpfr_regular_p(step)) return;
        const std::int64_t e =
            mpfr_get_exp(step) -
            static_cast<std::int64_t>(std::bit_width(static_cast<std::uint32_t>(std::max(pixels, 1))));
        spacing = any ? std::min(spacing, e) : e;
        any = true;
    };
    consider(m_stepX.get(), m_width);
    consider(m_stepY.get(), m_height);
    if (!m_mandelbrot && any) {
        // The first step squares the view; the orbits after it are the
        // renderer's to measure (they need a reference orbit).
        Mpfr mid(64);
        mpfr_add(mid.get(), m_xMin.get(), m_xMax.get(), MPFR_RNDN);
        const double re = std::ldexp(mpfr_get_d(mid.get(), MPFR_RNDN), -1);
        mpfr_add(mid.get(), m_yMin.get(), m_yMax.get(), MPFR_RNDN);
        const double im = std::ldexp(mpfr_get_d(mid.get(), MPFR_RNDN), -1);
        const double gap = narrowestJuliaGap(&re, &im, 1, static_cast<double>(spacing), std::max(m_width, m_height));
        spacing = std::min(spacing, static_cast<std::int64_t>(std::floor(gap)));
    }
    return static_cast<mpfr_prec_t>(bitsForLocation(magnitude, spacing));
}

bool DeepLocation::readExact(const ExactLocation& e) {
    const mpfr_prec_t bits = mpfr_get_prec(m_xMin.get());
    Mpfr v[6] = {Mpfr(bits), Mpfr(bits), Mpfr(bits), Mpfr(bits), Mpfr(bits), Mpfr(bits)};
    const std::string* text[6] = {&e.left, &e.right, &e.top, &e.bottom, &e.cReal, &e.cImag};
    Mpfr* dest[6] = {&m_xMin, &m_xMax, &m_yMin, &m_yMax, &m_kRe, &m_kIm};
    // All or nothing; a Julia constant not given exactly keeps its double.
    for (int k = 0; k < 6; ++k) {
        if (k >= 4 && text[k]->empty()) continue;
        if (!readNumber(*text[k], v[k].get())) return false;
        // The doubles are the nearest to the exact values; text far from them
        // belongs to another location (left behind by an edit of the doubles).
        const double nearest = mpfr_get_d(v[k].get(), MPFR_RNDN);
        const double given = mpfr_get_d(dest[k]->get(), MPFR_RNDN);
        if (!(std::fabs(nearest - given) <= std::ldexp(std::max(std::fabs(given), 0x1p-1000), -40))) return false;
    }
    for (int k = 0; k < 6; ++k)
        if (k < 4 || !text[k]->empty()) mpfr_set(dest[k]->get(), v[k].get(), MPFR_RNDN);
    return true;
}

void DeepLocation::readDoubles(const FractalParams& p) {
    mpfr_set_d(m_xMin.get(), p.left, MPFR_RNDN);
    mpfr_set_d(m_xMax.get(), p.right, MPFR_RNDN);
    mpfr_set_d(m_yMin.get(), p.top, MPFR_RNDN);
    mpfr_set_d(m_yMax.get(), p.bottom, MPFR_RNDN);
    mpfr_set_d(m_kRe.get(), p.cReal, MPFR_RNDN);
    mpfr_set_d(m_kIm.get(), p.cImag, MPFR_RNDN);
}

void DeepLocation::order() {
    // As the engine takes them: the smaller and the larger of each pair.
    if (mpfr_greater_p(m_xMin.get(), m_xMax.get())) mpfr_swap(m_xMin.get(), m_xMax.get());
    if (mpfr_greater_p(m_yMin.get(), m_yMax.get())) mpfr_swap(m_yMin.get(), m_yMax.get());
    mpfr_sub(m_stepX.get(), m_xMax.get(), m_xMin.get(), MPFR_RNDN);
    mpfr_sub(m_stepY.get(), m_yMax.get(), m_yMin.get(), MPFR_RNDN);
}

void DeepLocation::pixel(std::int64_t i, std::int64_t j, mpfr_ptr re, mpfr_ptr im) const {
    mpfr_mul_si(re, m_stepX.get(), static_cast<long>(i), MPFR_RNDN);
    mpfr_div_si(re, re, std::max(m_width, 1), MPFR_RNDN);
    mpfr_add(re, re, m_xMin.get(), MPFR_RNDN);
    mpfr_mul_si(im, m_stepY.get(), static_cast<long>(j), MPFR_RNDN);
    mpfr_div_si(im, im, std::max(m_height, 1), MPFR_RNDN);
    mpfr_add(im, im, m_yMin.get(), MPFR_RNDN);
}

}  // namespace velmora

#pragma once
// A picture's location in full precision: the ordered edges, the Julia
// constant, and pixel (i, j) at xmin + i (xmax - xmin) / W, ymin + j (ymax - ymin) / H.
#include <cstdint>

#include "deep/DoubleDouble.h"
#include "deep/ExtFloat.h"
#include "location/Mpfr.h"
#include "location/FractalParams.h"

namespace velmora {

class DeepLocation {
public:
    // The exact decimal values when the parameters carry them and every one
    // reads as a number; the doubles (taken as exact values) otherwise. At
    // least minimumBits of precision (to check that more bits change nothing,
    // or when an orbit showed the location needs more).
    explicit DeepLocation(const FractalParams& params, mpfr_prec_t minimumBits = 0);

    mpfr_prec_t precision() const { return m_precision; }
    bool usedExactText() const { return m_usedExactText; }
    bool mandelbrot() const { return m_mandelbrot; }
    std::int32_t iterations() const { return m_iterations; }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    mpfr_srcptr juliaRe() const { return m_kRe.get(); }
    mpfr_srcptr juliaIm() const { return m_kIm.get(); }

    // Pixel (i, j)'s point, rounded to precision() bits; re and im must have
    // that precision.
    void pixel(std::int64_t i, std::int64_t j, mpfr_ptr re, mpfr_ptr im) const;
    // The distance between neighbouring columns and rows.
    ExtFloat spacingX() const { return m_spacingX; }
    ExtFloat spacingY() const { return m_spacingY; }
    // The bits this location needs for pixel gaps as narrow as 2^gapLog2
    // somewhere along its orbits.
    mpfr_prec_t bitsForGap(double gapLog2) const;

private:
    bool readExact(const ExactLocation& exact);
    void setPrecisionOfAll(mpfr_prec_t bits);
    mpfr_prec_t neededPrecision();
    void readDoubles(const FractalParams& params);
    void order();

    mpfr_prec_t m_precision;
    std::int64_t m_magnitude = 0;  // binary exponent of the largest coordinate or constant
    bool m_usedExactText = false;
    bool m_mandelbrot;
    std::int32_t m_iterations;
    std::int32_t m_width;
    std::int32_t m_height;
    Mpfr m_xMin, m_xMax, m_yMin, m_yMax, m_kRe, m_kIm;
    Mpfr m_stepX, m_stepY;  // xmax - xmin and ymax - ymin
    ExtFloat m_spacingX, m_spacingY;
};

// v to a double's precision with a wide exponent; 0 for zero and for values
// that are not numbers.
ExtFloat toExtFloat(mpfr_srcptr v);

// v as the nearest double and the nearest double to what that leaves: the
// double-double number closest to it. v is used up (it keeps the rest).
DoubleDouble splitOff(Mpfr& v);

}  // namespace velmora

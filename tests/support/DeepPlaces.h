#pragma once
// Deep places for tests: a picture's edges as exact decimal text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>

#include <mpfr.h>

#include "location/FractalParams.h"
#include "location/Mpfr.h"

namespace velmora::test {

// A W x H picture `width` wide around (re, im), edges as exact decimal text.
inline FractalParams around(const char* re, const char* im, const char* width, std::int32_t w, std::int32_t h,
                     std::int32_t limit, FractalType type = FractalType::Mandelbrot) {
    FractalParams p;
    std::tie(p.type, p.width, p.height, p.iterations) = std::tuple(type, w, h, limit);
    Mpfr half(1400), centre(1400), edge(1400);
    mpfr_set_str(half.get(), width, 10, MPFR_RNDN);
    mpfr_div_2ui(half.get(), half.get(), 1, MPFR_RNDN);
    // The centre less or plus half the width, or half the height (the width's share) for y.
    const struct { const char* centre; long sign; bool vertical; std::string& text; double& value; } edges[] = {
        {re, -1, false, p.exact.left, p.left}, {re, 1, false, p.exact.right, p.right},
        {im, -1, true, p.exact.top, p.top}, {im, 1, true, p.exact.bottom, p.bottom}};
    for (const auto& e : edges) {
        mpfr_set_str(centre.get(), e.centre, 10, MPFR_RNDN);
        mpfr_mul_si(edge.get(), half.get(), e.sign, MPFR_RNDN);
        if (e.vertical) {
            mpfr_mul_si(edge.get(), edge.get(), h, MPFR_RNDN);
            mpfr_div_si(edge.get(), edge.get(), w, MPFR_RNDN);
        }
        mpfr_add(edge.get(), centre.get(), edge.get(), MPFR_RNDN);
        char* s = nullptr;
        mpfr_asprintf(&s, "%.400Re", edge.get());  // every digit down to 1e-300 widths
        e.text = s;
        mpfr_free_str(s);
        e.value = std::strtod(e.text.c_str(), nullptr);  // stod refuses subnormal results
    }
    return p;
}

}  // namespace velmora::test

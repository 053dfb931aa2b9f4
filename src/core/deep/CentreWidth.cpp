#include "deep/CentreWidth.h"

#include <algorithm>

#include "deep/DecimalText.h"
#include "deep/ExactLocationValues.h"
#include "deep/Mpfr.h"

namespace velmora {
namespace {

// Significant digits that hold centre -/+ half at every place the texts give:
// from the larger edge's first digit down to the lowest place of the centre
// and of the half (one place below the full extent's).
std::size_t exactDigits(const Mpfr& low, const Mpfr& high, const std::string& centre,
                        const std::string& extent) {
    long top = 0;
    for (const Mpfr* v : {&low, &high})
        if (!mpfr_zero_p(v->get()))
            top = std::max(top, static_cast<long>(static_cast<double>(mpfr_get_exp(v->get())) * 0.30103) + 1);
    const long lowest = std::min(lowestDigitPlace(centre), lowestDigitPlace(extent) - 1);
    return static_cast<std::size_t>(std::max(0L, top - lowest + 2));
}

}  // namespace

CentreWidthFault edgesFromCentre(const CentreWidth& given, std::int32_t pixelsWide, std::int32_t pixelsHigh,
                                 ExactLocation& edges) {
    if (!isDecimalText(given.re) || !isDecimalText(given.im)) return CentreWidthFault::Centre;
    if (pixelsWide < 1 || pixelsHigh < 1) return CentreWidthFault::Range;
    const mpfr_prec_t read = std::max({bitsToRead(given.re), bitsToRead(given.im), bitsToRead(given.width)});
    Mpfr width(read);
    if (!readDecimal(given.width, width) || mpfr_sgn(width.get()) <= 0) return CentreWidthFault::Width;
    Mpfr re(read), im(read);
    if (!readDecimal(given.re, re) || !readDecimal(given.im, im)) return CentreWidthFault::Centre;
    // Enough bits to keep the edges apart from the centre, and the aspect's
    // quotient far below the width.
    const long widthExp = mpfr_get_exp(width.get());
    const auto expOf = [widthExp](const Mpfr& v) {
        return mpfr_zero_p(v.get()) ? widthExp : static_cast<long>(mpfr_get_exp(v.get()));
    };
    const long spread = std::max<long>(0, std::max(expOf(re), expOf(im)) - widthExp);
    const mpfr_prec_t bits =
        std::min<mpfr_prec_t>(read + std::min<long>(spread, kMaxLocationBits) + 128, kMaxLocationBits);
    mpfr_prec_round(re.get(), bits, MPFR_RNDN);
    mpfr_prec_round(im.get(), bits, MPFR_RNDN);
    mpfr_prec_round(width.get(), bits, MPFR_RNDN);
    Mpfr half(bits), left(bits), right(bits), top(bits), bottom(bits);
    mpfr_div_2ui(half.get(), width.get(), 1, MPFR_RNDN);
    mpfr_sub(left.get(), re.get(), half.get(), MPFR_RNDN);
    mpfr_add(right.get(), re.get(), half.get(), MPFR_RNDN);
    mpfr_mul_si(half.get(), width.get(), pixelsHigh, MPFR_RNDN);
    mpfr_div_si(half.get(), half.get(), pixelsWide, MPFR_RNDN);
    mpfr_div_2ui(half.get(), half.get(), 1, MPFR_RNDN);
    mpfr_sub(top.get(), im.get(), half.get(), MPFR_RNDN);
    mpfr_add(bottom.get(), im.get(), half.get(), MPFR_RNDN);
    ExactLocation out;
    formatAxis(left, right, out.left, out.right, exactDigits(left, right, given.re, given.width));
    formatAxis(top, bottom, out.top, out.bottom, exactDigits(top, bottom, given.im, given.width));
    double d = 0.0;
    for (const std::string* s : {&out.left, &out.top, &out.right, &out.bottom})
        if (!nearestDouble(*s, d)) return CentreWidthFault::Range;
    edges = out;
    return CentreWidthFault::None;
}

CentreWidth centreOf(const FractalParams& p) {
    CentreWidth out;
    if (p.exact.empty()) {
        out.re = shortestDecimal(p.left + (p.right - p.left) / 2.0);
        out.im = shortestDecimal(p.top + (p.bottom - p.top) / 2.0);
        out.width = shortestDecimal(p.right - p.left);
        return out;
    }
    const mpfr_prec_t bits = bitsToRead(p.exact) + 2;
    Mpfr left(bits), top(bits), right(bits), bottom(bits), mid(bits);
    readDecimal(p.exact.left, left);
    readDecimal(p.exact.top, top);
    readDecimal(p.exact.right, right);
    readDecimal(p.exact.bottom, bottom);
    const std::size_t digits = std::max(digitsToKeep(left, right), digitsToKeep(top, bottom));
    mpfr_add(mid.get(), left.get(), right.get(), MPFR_RNDN);
    mpfr_div_2ui(mid.get(), mid.get(), 1, MPFR_RNDN);
    out.re = formatDecimal(mid, digits);
    mpfr_add(mid.get(), top.get(), bottom.get(), MPFR_RNDN);
    mpfr_div_2ui(mid.get(), mid.get(), 1, MPFR_RNDN);
    out.im = formatDecimal(mid, digits);
    mpfr_sub(mid.get(), right.get(), left.get(), MPFR_RNDN);
    out.width = formatDecimal(mid, 25);
    return out;
}

}  // namespace velmora

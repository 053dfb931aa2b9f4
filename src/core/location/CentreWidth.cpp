#include "location/CentreWidth.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <string>
#include <utility>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora {
namespace {

// Places that w x H / (2W) has below w's last digit: H / 2W in lowest terms
// ends after max(a, b) places when its denominator is 2^a 5^b. Other
// proportions never end; their edges are kept to digitsToKeep's places below
// the extent, and one place (as the width's half) is counted here.
long halfHeightPlaces(std::int32_t pixelsWide, std::int32_t pixelsHigh) {
    std::int64_t denominator = 2 * static_cast<std::int64_t>(pixelsWide);
    denominator /= std::gcd(denominator, static_cast<std::int64_t>(pixelsHigh));
    long twos = 0, fives = 0;
    for (; denominator % 2 == 0; denominator /= 2) ++twos;
    for (; denominator % 5 == 0; denominator /= 5) ++fives;
    return denominator == 1 ? std::max({1L, twos, fives}) : 1L;
}

long decimalDigitsOf(std::int32_t n) {
    return static_cast<long>(std::to_string(n).size());
}

// The place of the first digit of the larger of two edges, from their binary
// exponents (at most one place high).
long highestPlace(const Mpfr& low, const Mpfr& high) {
    long top = LONG_MIN / 2;
    for (const Mpfr* v : {&low, &high})
        if (!mpfr_zero_p(v->get()))
            top = std::max(top, static_cast<long>(std::ceil(static_cast<double>(mpfr_get_exp(v->get())) * 0.30103)));
    return top == LONG_MIN / 2 ? 0 : top;
}

// Significant digits from the larger edge's first place down to `lowest`.
std::size_t digitsDownTo(const Mpfr& low, const Mpfr& high, long lowest) {
    return static_cast<std::size_t>(std::max(1L, highestPlace(low, high) - lowest + 2));
}

}  // namespace

CentreWidthFault edgesFromCentre(const CentreWidth& given, std::int32_t pixelsWide, std::int32_t pixelsHigh,
                                 ExactLocation& edges) {
    if (!isDecimalText(given.re) || !isDecimalText(given.im)) return CentreWidthFault::Centre;
    if (pixelsWide < 1 || pixelsHigh < 1) return CentreWidthFault::Range;
    if (!isDecimalText(given.width)) return CentreWidthFault::Width;
    // Every place the edges can have a digit in: from the larger edge's first
    // down to the centre's and the half extent's last, and past the extent as
    // far as formatAxis keeps. The texts are read at that precision: rounded
    // at fewer bits first, a centre such as 0.1 would move by more than the
    // width of a deep picture.
    const long widthLead = leadingDigitPlace(given.width);
    const long reLowest = std::min(lowestDigitPlace(given.re), lowestDigitPlace(given.width) - 1);
    const long imLowest =
        std::min(lowestDigitPlace(given.im), lowestDigitPlace(given.width) - halfHeightPlaces(pixelsWide, pixelsHigh));
    const long highest = std::max({leadingDigitPlace(given.re), leadingDigitPlace(given.im),
                                   widthLead + decimalDigitsOf(pixelsHigh)}) + 1;
    const long lowest = std::min({reLowest, imLowest, widthLead - decimalDigitsOf(pixelsWide) - 24});
    const mpfr_prec_t bits = bitsForPlaces(highest, lowest);
    Mpfr width(bits);
    if (!readDecimal(given.width, width) || mpfr_sgn(width.get()) <= 0) return CentreWidthFault::Width;
    Mpfr re(bits), im(bits);
    if (!readDecimal(given.re, re) || !readDecimal(given.im, im)) return CentreWidthFault::Centre;
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
    formatAxis(left, right, out.left, out.right, digitsDownTo(left, right, reLowest));
    formatAxis(top, bottom, out.top, out.bottom, digitsDownTo(top, bottom, imLowest));
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
    // The midpoint and the difference of two decimals end one place below
    // the lower of their last places: worked out and written to every digit,
    // they give the same edges back.
    const ExactLocation& e = p.exact;
    const auto placesOf = [](const std::string& a, const std::string& b) {
        return std::pair{std::max(leadingDigitPlace(a), leadingDigitPlace(b)) + 1,
                         std::min(lowestDigitPlace(a), lowestDigitPlace(b)) - 1};
    };
    const auto [xHigh, xLow] = placesOf(e.left, e.right);
    const auto [yHigh, yLow] = placesOf(e.top, e.bottom);
    const mpfr_prec_t bits = std::max(bitsForPlaces(xHigh, xLow), bitsForPlaces(yHigh, yLow));
    Mpfr left(bits), top(bits), right(bits), bottom(bits), mid(bits);
    readDecimal(e.left, left);
    readDecimal(e.top, top);
    readDecimal(e.right, right);
    readDecimal(e.bottom, bottom);
    // Counted from each result's own first place: a width far below the
    // edges has no digits at the edges' places.
    const auto text = [](const Mpfr& v, long lowest) {
        return formatDecimal(v, std::min(digitsDownTo(v, v, lowest), kMaxDecimalChars - 16));
    };
    mpfr_add(mid.get(), left.get(), right.get(), MPFR_RNDN);
    mpfr_div_2ui(mid.get(), mid.get(), 1, MPFR_RNDN);
    out.re = text(mid, xLow);
    mpfr_add(mid.get(), top.get(), bottom.get(), MPFR_RNDN);
    mpfr_div_2ui(mid.get(), mid.get(), 1, MPFR_RNDN);
    out.im = text(mid, yLow);
    mpfr_sub(mid.get(), right.get(), left.get(), MPFR_RNDN);
    out.width = text(mid, xLow);
    return out;
}

}  // namespace velmora

#include "location/ExactLocationValues.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "location/DecimalText.h"

namespace velmora {
namespace {

constexpr long kRelativeLimitBits = 40;
// 2^-960: pixel spacing of even the widest pictures stays a normal double.
constexpr long kSmallestExtentExp = -960;

bool needsExact(long extentExp, long largestExp) {
    return extentExp < largestExp - kRelativeLimitBits || extentExp < kSmallestExtentExp;
}

template <typename Location>
ExactLocation textOf(const Location& p) {
    if (!p.exact.empty()) return p.exact;
    return ExactLocation{shortestDecimal(p.left),   shortestDecimal(p.top),   shortestDecimal(p.right),
                         shortestDecimal(p.bottom), shortestDecimal(p.cReal), shortestDecimal(p.cImag)};
}

template <typename Location>
bool assign(Location& p, const ExactLocation& v) {
    double d[6];
    const std::string* text[6] = {&v.left, &v.top, &v.right, &v.bottom, &v.cReal, &v.cImag};
    bool more = false;
    for (int i = 0; i < 6; ++i) {
        if (!nearestDouble(*text[i], d[i])) return false;
        more = more || !sameDecimalValue(*text[i], shortestDecimal(d[i]));
    }
    p.left = d[0];
    p.top = d[1];
    p.right = d[2];
    p.bottom = d[3];
    p.cReal = d[4];
    p.cImag = d[5];
    if (more) {
        p.exact = v;
    } else {
        p.exact.clear();
    }
    return true;
}

}  // namespace

bool axisNeedsExact(double low, double high) {
    const double extent = std::fabs(high - low);
    if (extent == 0.0 || !std::isfinite(extent)) return false;
    int extentExp = 0;
    int largestExp = 0;
    std::frexp(extent, &extentExp);
    std::frexp(std::max(std::fabs(low), std::fabs(high)), &largestExp);
    return needsExact(extentExp, largestExp);
}

bool axisNeedsExact(const Mpfr& low, const Mpfr& high) {
    Mpfr extent(std::max(low.bits(), high.bits()) + 1);
    mpfr_sub(extent.get(), high.get(), low.get(), MPFR_RNDN);
    if (mpfr_zero_p(extent.get()) || !mpfr_number_p(extent.get())) return false;
    const long largest = std::max(mpfr_zero_p(low.get()) ? LONG_MIN : mpfr_get_exp(low.get()),
                                  mpfr_zero_p(high.get()) ? LONG_MIN : mpfr_get_exp(high.get()));
    return needsExact(mpfr_get_exp(extent.get()), largest);
}

bool regionNeedsExact(double left, double top, double right, double bottom) {
    return axisNeedsExact(left, right) || axisNeedsExact(top, bottom);
}

ExactLocation exactTextOf(const FractalParams& p) {
    return textOf(p);
}
ExactLocation exactTextOf(const Keyframe& k) {
    return textOf(k);
}

bool assignExact(FractalParams& p, const ExactLocation& values) {
    return assign(p, values);
}
bool assignExact(Keyframe& k, const ExactLocation& values) {
    return assign(k, values);
}

long axisSpanBits(const Mpfr& low, const Mpfr& high) {
    Mpfr extent(std::max(low.bits(), high.bits()) + 1);
    mpfr_sub(extent.get(), high.get(), low.get(), MPFR_RNDN);
    if (mpfr_zero_p(extent.get()) || !mpfr_number_p(extent.get())) return 0;
    long largest = mpfr_get_exp(extent.get());
    if (!mpfr_zero_p(low.get())) largest = std::max(largest, static_cast<long>(mpfr_get_exp(low.get())));
    if (!mpfr_zero_p(high.get())) largest = std::max(largest, static_cast<long>(mpfr_get_exp(high.get())));
    return largest - mpfr_get_exp(extent.get());
}

std::size_t digitsToKeep(const Mpfr& low, const Mpfr& high) {
    // log10(2) < 0.30103; 20 digits below the extent place every pixel.
    const auto digits = static_cast<std::size_t>(static_cast<double>(axisSpanBits(low, high)) * 0.30103) + 21;
    return std::clamp<std::size_t>(digits, 17, kMaxDecimalChars - 16);
}

void formatAxis(const Mpfr& low, const Mpfr& high, std::string& lowText, std::string& highText,
                std::size_t minDigits) {
    if (axisNeedsExact(low, high)) {
        const std::size_t digits = std::max(digitsToKeep(low, high), std::min(minDigits, kMaxDecimalChars - 16));
        lowText = formatDecimal(low, digits);
        highText = formatDecimal(high, digits);
    } else {
        lowText = shortestDecimal(mpfr_get_d(low.get(), MPFR_RNDN));
        highText = shortestDecimal(mpfr_get_d(high.get(), MPFR_RNDN));
    }
}

mpfr_prec_t bitsForPlaces(long highest, long lowest) {
    // log2(10) < 10/3, and a margin for the rounding of a few steps.
    const long places = std::max(0L, highest - lowest + 1);
    return static_cast<mpfr_prec_t>(std::min<long>(places * 10 / 3 + 64, kMaxLocationBits));
}

mpfr_prec_t bitsToRead(const ExactLocation& v) {
    mpfr_prec_t bits = 64;
    for (const std::string* s : {&v.left, &v.top, &v.right, &v.bottom, &v.cReal, &v.cImag})
        bits = std::max(bits, bitsToRead(*s));
    return bits;
}

}  // namespace velmora

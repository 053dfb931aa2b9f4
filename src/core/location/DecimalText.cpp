#include "location/DecimalText.h"

#include <charconv>
#include <cmath>

namespace velmora {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exponents beyond this many digits (leading zeros aside) name no place any
// picture could show.
constexpr std::size_t kMaxExponentDigits = 6;

// A decimal number as sign, significant digits and the power of ten of the
// first digit's place; zero has no digits.
struct Canonical {
    bool negative = false;
    std::string digits;
    long exponent = 0;
    friend bool operator==(const Canonical&, const Canonical&) = default;
};

Canonical canonical(std::string_view text) {
    Canonical c;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') c.negative = text[i++] == '-';
    long pointPlace = -1;  // digits before the point
    long count = 0;
    std::string all;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            pointPlace = count;
        } else {
            all += text[i];
            ++count;
        }
    }
    if (pointPlace < 0) pointPlace = count;
    long exp10 = 0;
    if (i < text.size()) {  // 'e' or 'E'
        ++i;
        bool negExp = false;
        if (text[i] == '+' || text[i] == '-') negExp = text[i++] == '-';
        for (; i < text.size(); ++i) exp10 = exp10 * 10 + (text[i] - '0');
        if (negExp) exp10 = -exp10;
    }
    const std::size_t first = all.find_first_not_of('0');
    if (first == std::string::npos) return Canonical{};
    const std::size_t last = all.find_last_not_of('0');
    c.digits = all.substr(first, last - first + 1);
    c.exponent = pointPlace - static_cast<long>(first) - 1 + exp10;
    return c;
}

}  // namespace

bool isDecimalText(std::string_view text) {
    if (text.empty() || text.size() > kMaxDecimalChars) return false;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i == text.size()) return true;
    if (text[i] != 'e' && text[i] != 'E') return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t expStart = i;
    std::size_t significant = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) return false;
        if (significant > 0 || text[i] != '0') ++significant;
    }
    return i > expStart && significant <= kMaxExponentDigits;
}

bool readDecimal(std::string_view text, Mpfr& out) {
    if (!isDecimalText(text)) return false;
    const std::string terminated(text);
    char* end = nullptr;
    mpfr_strtofr(out.get(), terminated.c_str(), &end, 10, MPFR_RNDN);
    if (end != terminated.c_str() + terminated.size() || !mpfr_number_p(out.get())) return false;
    return std::isfinite(mpfr_get_d(out.get(), MPFR_RNDN));
}

bool nearestDouble(std::string_view text, double& out) {
    Mpfr v(53);
    if (!readDecimal(text, v)) return false;
    out = mpfr_get_d(v.get(), MPFR_RNDN);
    return true;
}

std::string shortestDecimal(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string formatDecimal(const Mpfr& v, std::size_t significantDigits) {
    if (!mpfr_number_p(v.get())) return "nan";
    if (mpfr_zero_p(v.get())) return "0";
    mpfr_exp_t e = 0;
    char* raw = mpfr_get_str(nullptr, &e, 10, significantDigits < 2 ? 2 : significantDigits, v.get(), MPFR_RNDN);
    std::string digits(raw);
    mpfr_free_str(raw);
    std::string sign;
    if (digits[0] == '-') {
        sign = "-";
        digits.erase(0, 1);
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    // The value is 0.DIGITS x 10^e.
    const long k = static_cast<long>(digits.size());
    const long exp = static_cast<long>(e);
    if (exp > -20 && exp <= 40) {
        if (exp <= 0) return sign + "0." + std::string(static_cast<std::size_t>(-exp), '0') + digits;
        if (exp >= k) return sign + digits + std::string(static_cast<std::size_t>(exp - k), '0');
        return sign + digits.substr(0, static_cast<std::size_t>(exp)) + "." +
               digits.substr(static_cast<std::size_t>(exp));
    }
    std::string out = sign + digits.substr(0, 1);
    if (k > 1) out += "." + digits.substr(1);
    return out + "e" + std::to_string(exp - 1);
}

bool sameDecimalValue(std::string_view a, std::string_view b) {
    Canonical ca = canonical(a);
    Canonical cb = canonical(b);
    if (ca.digits.empty()) ca.negative = false;
    if (cb.digits.empty()) cb.negative = false;
    return ca == cb;
}

bool carriesMoreThanDouble(std::string_view text) {
    double d = 0.0;
    if (!nearestDouble(text, d)) return false;
    return !sameDecimalValue(text, shortestDecimal(d));
}

long lowestDigitPlace(std::string_view text) {
    const Canonical c = canonical(text);
    return c.digits.empty() ? 0 : c.exponent - static_cast<long>(c.digits.size()) + 1;
}

long leadingDigitPlace(std::string_view text) {
    const Canonical c = canonical(text);
    return c.digits.empty() ? 0 : c.exponent;
}

mpfr_prec_t bitsToRead(std::string_view text) {
    std::size_t digits = 0;
    for (const char c : text) {
        if (c == 'e' || c == 'E') break;
        if (isDigit(c)) ++digits;
    }
    // log2(10) < 10/3, and a margin for the rounding of every later step.
    return static_cast<mpfr_prec_t>(digits * 10 / 3 + 64);
}

}  // namespace velmora

#pragma once
// Decimal text of any length: the form exact locations are typed, kept and
// stored in. Strict: an optional sign, digits with at most one point, an
// optional exponent; no spaces, no "inf" or "nan", no hexadecimal.
#include <cstddef>
#include <string>
#include <string_view>

#include "location/Mpfr.h"

namespace velmora {

// Longer text is refused: no location needs it, and reading it would cost
// time and memory for nothing.
inline constexpr std::size_t kMaxDecimalChars = 20000;

bool isDecimalText(std::string_view text);

// The value rounded to out's precision. False, with out unspecified, for text
// that is not decimal text or names a value beyond the range of doubles.
bool readDecimal(std::string_view text, Mpfr& out);

// The double nearest to the text's value; false as readDecimal.
bool nearestDouble(std::string_view text, double& out);

// The shortest text that reads back as v; non-finite values as "nan", "inf",
// "-inf" (which isDecimalText refuses).
std::string shortestDecimal(double v);

// v rounded to that many significant digits, trailing zeros dropped;
// positional for moderate exponents, else d.ddde-N.
std::string formatDecimal(const Mpfr& v, std::size_t significantDigits);

// Whether two decimal texts name the same number (-0 and 0 are the same).
bool sameDecimalValue(std::string_view a, std::string_view b);

// True when the text names a value its nearest double does not carry: it has
// more digits than the shortest text of that double.
bool carriesMoreThanDouble(std::string_view text);

// The power of ten of the text's last significant digit (0 for zero): what
// sums and halves of such numbers need to come out exactly.
long lowestDigitPlace(std::string_view text);

// The power of ten of the text's first significant digit (0 for zero).
long leadingDigitPlace(std::string_view text);

// Bits enough to hold the text's value to well below its last digit.
mpfr_prec_t bitsToRead(std::string_view text);

}  // namespace velmora

#pragma once
// How the settings dialog shows numbers and reads back what the user typed.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Whether a point that ends the text is dropped: the region fields show "2",
// the Julia constant fields "2.".
enum class RealStyle { Region, Constant };

// 10 significant digits; plain decimals for 0 and for magnitudes from 0.1 up
// to below 1e10, else "d.ddddddddde+xxx"; trailing zeros go, the point stays
// ("2.", "5.e-002") unless the style drops a final point.
std::string formatReal(double value, RealStyle style);

// Signed decimal without grouping.
std::string formatInteger(std::int32_t value);

// Only the first 30 characters of a field are read.
inline constexpr std::size_t kParsedFieldChars = 30;

// The first count characters of UTF-8 text (a character is never split).
std::string_view firstCharacters(std::string_view text, std::size_t count);

// Reads the leading decimal floating-point number of the first 30 characters
// after leading white space; 0 when there is none. Magnitudes beyond the
// double range read as the largest finite double of that sign.
double parseReal(std::string_view text);

// Reads leading white space, an optional sign and the digits that follow from
// the first 30 characters; 0 without digits. Values beyond the 32-bit range
// saturate to its ends instead of wrapping round.
std::int32_t parseInteger(std::string_view text);

}  // namespace velmora

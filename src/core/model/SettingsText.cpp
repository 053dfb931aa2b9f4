#include "model/SettingsText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "model/DialogNumber.h"

namespace velmora {

namespace {

constexpr int kSignificantDigits = 10;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

// Drops zeros after the point at the end of digits, keeping the point.
void trimFractionZeros(std::string& digits) {
    if (digits.find('.') == std::string::npos) return;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

}  // namespace

std::string formatReal(double value, RealStyle style) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0.0) value = 0.0;  // no "-0"

    // The rounded value decides the notation, so 9999999999.6 (which rounds to
    // 1e10) is written in scientific notation. to_chars, unlike printf, ignores
    // the user's locale: the point is always a point.
    char sci[64];
    const auto sciEnd = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific,
                                      kSignificantDigits - 1).ptr;
    const std::string_view sciText(sci, static_cast<std::size_t>(sciEnd - sci));
    const std::size_t ePos = sciText.find('e');
    int exponent = 0;
    const std::string_view expText = sciText.substr(ePos + 1);
    std::from_chars(expText.data() + (expText.front() == '+' ? 1 : 0), expText.data() + expText.size(),
                    exponent);

    std::string text;
    if (value == 0.0 || (exponent >= -1 && exponent < 10)) {
        char plain[64];
        const auto plainEnd = std::to_chars(plain, plain + sizeof plain, value, std::chars_format::fixed,
                                            kSignificantDigits - 1 - exponent).ptr;
        text.assign(plain, plainEnd);
        if (text.find('.') == std::string::npos) text += '.';
        trimFractionZeros(text);
    } else {
        std::string mantissa(sciText.substr(0, ePos));
        if (mantissa.find('.') == std::string::npos) mantissa += '.';
        trimFractionZeros(mantissa);
        const int magnitude = exponent < 0 ? -exponent : exponent;
        std::string digits = std::to_string(magnitude);
        if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
        text = mantissa + 'e' + (exponent < 0 ? '-' : '+') + digits;
    }
    if (style == RealStyle::Region && !text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string formatInteger(std::int32_t value) { return std::to_string(value); }

std::string_view firstCharacters(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    std::size_t seen = 0;
    while (i < text.size()) {
        // A new character starts at every byte that is not a UTF-8 continuation.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count) break;
            ++seen;
        }
        ++i;
    }
    return text.substr(0, i);
}

double parseReal(std::string_view text) {
    const std::string_view s = skipBlanks(firstCharacters(text, kParsedFieldChars));
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    // An exponent counts only with at least one digit: "5e" reads as 5.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    const std::string_view number = s.substr(numberStart, i - numberStart);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large keeps to the finite range so a
        // region never holds an infinity.
        const bool tooLarge = [&] {
            const std::size_t e = number.find_first_of("eE");
            return e != std::string_view::npos && number.substr(e + 1).find('-') == std::string_view::npos;
        }();
        value = tooLarge ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc() || end != number.data() + number.size()) {
        value = 0.0;
    } else if (std::isinf(value)) {
        value = std::numeric_limits<double>::max();
    }
    return negative ? -value : value;
}

std::int32_t parseInteger(std::string_view text) {
    return readLeadingInt(firstCharacters(text, kParsedFieldChars));
}

}  // namespace velmora

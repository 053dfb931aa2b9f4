#include "JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velmora::json {

std::string number(double value) {
    if (std::isnan(value)) return "\"nan\"";
    if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
    if (value == 0.0 && std::signbit(value)) return "-0.0";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

namespace {

// The length of the well-formed UTF-8 sequence that starts at text[i], or 0.
std::size_t utf8Length(const std::string& text, std::size_t i) {
    const auto at = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
    const unsigned c = at(0);
    const auto cont = [&](std::size_t k, unsigned low = 0x80, unsigned high = 0xBF) {
        return at(k) >= low && at(k) <= high;
    };
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        // No overlong forms (E0 below A0) and no surrogates (ED above 9F).
        const bool second = c == 0xE0 ? cont(1, 0xA0) : c == 0xED ? cont(1, 0x80, 0x9F) : cont(1);
        return second && cont(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const bool second = c == 0xF0 ? cont(1, 0x90) : c == 0xF4 ? cont(1, 0x80, 0x8F) : cont(1);
        return second && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

std::string string(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            // Names from files may be in any encoding; JSON text is UTF-8, so a
            // byte that begins no UTF-8 character becomes U+FFFD.
            const std::size_t n = utf8Length(text, i);
            out += n == 0 ? std::string("\\ufffd") : text.substr(i, n);
            if (n > 0) i += n - 1;
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace velmora::json

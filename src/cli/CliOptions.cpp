#include "CliOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora::cli {
namespace {

// from_chars takes a minus sign but no plus sign: a plus sign is stepped over,
// and a second sign after it ("+-5") refused rather than read as -5.
bool skipPlus(const char*& first, const char* last) {
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return false;
    }
    return first != last;
}

}  // namespace

bool parseDouble(const std::string& text, double& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (!skipPlus(first, last)) return false;
    const auto r = std::from_chars(first, last, out);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: take what strtod makes of it.
        out = std::strtod(text.c_str(), nullptr);
    } else if (r.ec != std::errc()) {
        return false;
    }
    // "nan", "inf" and overflowing exponents name no place in the plane.
    return r.ptr == last && std::isfinite(out);
}

bool parseInt32(const std::string& text, std::int32_t& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (!skipPlus(first, last)) return false;
    const auto r = std::from_chars(first, last, out);
    return r.ec == std::errc() && r.ptr == last;
}

bool parseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt32(text.substr(0, x), width) && parseInt32(text.substr(x + 1), height);
}

bool parseDecimalList(const std::string& text, std::size_t n, std::vector<std::string>& texts,
                      std::vector<double>& out) {
    out.clear();
    texts.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        texts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        double v = 0;
        if (!nearestDouble(texts.back(), v)) return false;
        out.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out.size() == n;
}

bool applyOverrides(const Overrides& o, FractalParams& p, std::string& error) {
    if (o.width) p.width = *o.width;
    if (o.height) p.height = *o.height;
    if (o.left) p.left = *o.left;
    if (o.top) p.top = *o.top;
    if (o.right) p.right = *o.right;
    if (o.bottom) p.bottom = *o.bottom;
    if (o.iterations) p.iterations = *o.iterations;
    if (o.type) p.type = *o.type;
    if (o.cReal) p.cReal = *o.cReal;
    if (o.cImag) p.cImag = *o.cImag;
    if (!o.regionText && !o.juliaText && !o.centre) return true;
    // The location again, from its text: what was not given keeps the
    // document's own values, exact ones included.
    ExactLocation text = exactTextOf(p);
    if (o.regionText) {
        text.left = (*o.regionText)[0];
        text.top = (*o.regionText)[1];
        text.right = (*o.regionText)[2];
        text.bottom = (*o.regionText)[3];
    }
    if (o.juliaText) {
        text.cReal = (*o.juliaText)[0];
        text.cImag = (*o.juliaText)[1];
    }
    if (o.centre) {
        ExactLocation edges;
        if (edgesFromCentre(*o.centre, p.width, p.height, edges) != CentreWidthFault::None) {
            error = "The region of --center " + o.centre->re + "," + o.centre->im + " --width " + o.centre->width +
                    " lies beyond the numbers Velmora can hold.";
            return false;
        }
        text.left = edges.left;
        text.top = edges.top;
        text.right = edges.right;
        text.bottom = edges.bottom;
    }
    if (!assignExact(p, text)) {
        error = "The document's location cannot be combined with the values given.";
        return false;
    }
    return true;
}

}  // namespace velmora::cli

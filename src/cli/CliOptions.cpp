#include "CliOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora::cli {
namespace {

// Splits "a,b,c" into exactly n decimal numbers of any length, each within
// the range of doubles: their text and their nearest doubles.
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

bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value, std::string& error) {
    if (i + 1 >= args.size()) {
        error = "Option " + args[i] + " needs a value.";
        return false;
    }
    value = args[++i];
    return true;
}

bool parseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt32(text.substr(0, x), width) && parseInt32(text.substr(x + 1), height);
}

bool parseOptions(const std::vector<std::string>& args, bool allowOutput, bool allowOverrides,
                  Options& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        auto value = [&](std::string& v) { return takeValue(args, i, v, error); };
        std::string v;
        if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (allowOutput && (a == "-o" || a == "--output")) {
            if (!value(v)) return false;
            if (v.empty()) {
                error = "Option " + a + " needs a file name, and it was given an empty one.";
                return false;
            }
            out.output = v;
        } else if (allowOverrides && a == "--size") {
            if (!value(v)) return false;
            std::int32_t w = 0, h = 0;
            if (!parseSize(v, w, h) || w < 1 || h < 1) {
                error = "Invalid --size '" + v + "': expected WIDTHxHEIGHT with both at least 1.";
                return false;
            }
            out.overrides.width = w;
            out.overrides.height = h;
        } else if (allowOverrides && a == "--region") {
            if (!value(v)) return false;
            std::vector<double> d;
            std::vector<std::string> t;
            if (!parseDecimalList(v, 4, t, d)) {
                error = "Invalid --region '" + v + "': expected four finite numbers LEFT,TOP,RIGHT,BOTTOM.";
                return false;
            }
            out.overrides.left = d[0];
            out.overrides.top = d[1];
            out.overrides.right = d[2];
            out.overrides.bottom = d[3];
            out.overrides.regionText = std::array<std::string, 4>{t[0], t[1], t[2], t[3]};
        } else if (allowOverrides && a == "--center") {
            if (!value(v)) return false;
            std::vector<double> d;
            std::vector<std::string> t;
            if (!parseDecimalList(v, 2, t, d)) {
                error = "Invalid --center '" + v + "': expected two finite numbers RE,IM.";
                return false;
            }
            if (!out.overrides.centre) out.overrides.centre = CentreWidth{};
            out.overrides.centre->re = t[0];
            out.overrides.centre->im = t[1];
        } else if (allowOverrides && a == "--width") {
            if (!value(v)) return false;
            Mpfr w(64);
            if (!readDecimal(v, w) || mpfr_sgn(w.get()) <= 0) {
                error = "Invalid --width '" + v + "': expected a finite number greater than 0.";
                return false;
            }
            if (!out.overrides.centre) out.overrides.centre = CentreWidth{};
            out.overrides.centre->width = v;
        } else if (allowOverrides && a == "--iterations") {
            if (!value(v)) return false;
            std::int32_t n = 0;
            if (!parseInt32(v, n)) {
                error = "Invalid --iterations '" + v + "': expected a whole number from -2147483648 to 2147483647.";
                return false;
            }
            out.overrides.iterations = n;
        } else if (allowOutput && allowOverrides && a == "--supersample") {
            if (!value(v)) return false;
            std::int32_t n = 0;
            if (!parseInt32(v, n) || n < 1 || n > 8) {
                error = "Invalid --supersample '" + v + "': expected a whole number from 1 to 8.";
                return false;
            }
            out.supersample = n;
        } else if (allowOutput && allowOverrides && a == "--smooth") {
            out.smooth = true;
        } else if (allowOutput && allowOverrides && a == "--verify") {
            if (!value(v)) return false;
            std::int32_t n = 0;
            if (!parseInt32(v, n) || n < 1) {
                error = "Invalid --verify '" + v + "': expected a whole number from 1 to 2147483647.";
                return false;
            }
            out.verify = n;
        } else if (allowOverrides && a == "--type") {
            if (!value(v)) return false;
            if (v == "mandelbrot") {
                out.overrides.type = FractalType::Mandelbrot;
            } else if (v == "julia") {
                out.overrides.type = FractalType::Julia;
            } else {
                error = "Invalid --type '" + v + "': expected mandelbrot or julia.";
                return false;
            }
        } else if (allowOverrides && a == "--julia") {
            if (!value(v)) return false;
            std::vector<double> d;
            std::vector<std::string> t;
            if (!parseDecimalList(v, 2, t, d)) {
                error = "Invalid --julia '" + v + "': expected two finite numbers REAL,IMAGINARY.";
                return false;
            }
            out.overrides.cReal = d[0];
            out.overrides.cImag = d[1];
            out.overrides.juliaText = std::array<std::string, 2>{t[0], t[1]};
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "Unknown option '" + a + "'.";
            return false;
        } else if (a.empty()) {
            error = "An empty file name was given.";
            return false;
        } else {
            out.positional.push_back(a);
        }
    }
    if (const auto& c = out.overrides.centre) {
        if (c->re.empty() || c->width.empty()) {
            error = "Options --center and --width go together: give both.";
            return false;
        }
        if (out.overrides.regionText) {
            error = "Options --center and --width replace --region: give one or the other.";
            return false;
        }
    }
    return true;
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

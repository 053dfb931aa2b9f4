// The trust sweep: many locations nobody picked to pass, each rendered as the
// program renders it (double engine or deep engine, whichever it chooses) and
// compared pixel by pixel with the plain MPFR loop. A pixel whose MPFR count
// changes when the loop is given half as many bits again is "unresolved" and
// left out; the rest must agree.
//
//   velmora_deep_sweep [--seed N] [--size WxH] [--scale F] [--verbose] [--deep-paths]
//
// Classes: zoom paths into the Mandelbrot and several Julia sets (each step to
// a boundary pixel, narrowing 10^2 to 10^5), band borders far from the set,
// Julia sets at their critical point, minibrots found by Newton's method and
// their edges, and a few far deeper than 1e-300.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <mpfr.h>

#include "deep/DeepLocation.h"
#include "deep/DeepRenderer.h"
#include "deep/DeepSwitch.h"
#include "location/Mpfr.h"
#include "deep/PlainMpfrLoop.h"
#include "engine/BandRender.h"

#include "OrbitSteps.h"

namespace {

using velmora::FractalParams;
using velmora::Mpfr;
using velmora::bench::derivativeStep;
using velmora::bench::squareAdd;

constexpr mpfr_prec_t kBits = 4200;  // locations down to 1e-1200
std::int32_t g_width = 64, g_height = 48;

struct Complex {
    Mpfr re{kBits}, im{kBits};
};

std::string text(mpfr_srcptr v, int digits) {
    char* s = nullptr;
    mpfr_asprintf(&s, "%.*Re", digits, v);
    std::string out(s);
    mpfr_free_str(s);
    return out;
}

int digitsFor(mpfr_srcptr width) {
    return static_cast<int>(-static_cast<double>(mpfr_get_exp(width)) * 0.30103) + 24;
}

// The picture centred on c, `width` wide, with exact edges.
FractalParams locate(const Complex& c, mpfr_srcptr width, bool mandelbrot, double kr, double ki,
                     std::int32_t iterations) {
    Mpfr half(kBits), halfH(kBits), t(kBits);
    mpfr_div_2ui(half.get(), width, 1, MPFR_RNDN);
    mpfr_mul_si(halfH.get(), half.get(), g_height, MPFR_RNDN);
    mpfr_div_si(halfH.get(), halfH.get(), g_width, MPFR_RNDN);
    const int digits = digitsFor(width);
    FractalParams p;
    p.width = g_width;
    p.height = g_height;
    p.iterations = iterations;
    p.type = mandelbrot ? velmora::FractalType::Mandelbrot : velmora::FractalType::Julia;
    p.cReal = kr;
    p.cImag = ki;
    mpfr_sub(t.get(), c.re.get(), half.get(), MPFR_RNDN);
    p.exact.left = text(t.get(), digits);
    mpfr_add(t.get(), c.re.get(), half.get(), MPFR_RNDN);
    p.exact.right = text(t.get(), digits);
    mpfr_sub(t.get(), c.im.get(), halfH.get(), MPFR_RNDN);
    p.exact.top = text(t.get(), digits);
    mpfr_add(t.get(), c.im.get(), halfH.get(), MPFR_RNDN);
    p.exact.bottom = text(t.get(), digits);
    p.left = std::strtod(p.exact.left.c_str(), nullptr);
    p.right = std::strtod(p.exact.right.c_str(), nullptr);
    p.top = std::strtod(p.exact.top.c_str(), nullptr);
    p.bottom = std::strtod(p.exact.bottom.c_str(), nullptr);
    // Where doubles hold the place well, the doubles are the location (as a
    // document without exact values has it), for the loop and the engine alike.
    if (mpfr_cmp_d(width, 1e-12) > 0) p.exact.clear();
    return p;
}

std::vector<std::uint8_t> renderAsProgram(const FractalParams& p, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    velmora::BandRenderer band(p, p.height);
    band.render(0, p.height);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(p.width) * p.height);
    for (std::int32_t j = 0; j < p.height; ++j)
        std::copy_n(band.row(j), p.width, out.begin() + static_cast<std::ptrdiff_t>(j) * p.width);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return out;
}

// A boundary pixel of a small picture: one with a neighbour of another count.
bool boundaryPixel(const std::vector<std::uint8_t>& px, std::mt19937_64& rng, std::int32_t& bi, std::int32_t& bj) {
    std::vector<std::pair<std::int32_t, std::int32_t>> found;
    for (std::int32_t j = 1; j + 1 < g_height; ++j)
        for (std::int32_t i = 1; i + 1 < g_width; ++i) {
            const auto at = [&](std::int32_t x, std::int32_t y) { return px[static_cast<std::size_t>(y) * g_width + x]; };
            const std::uint8_t v = at(i, j);
            if (v != at(i + 1, j) || v != at(i - 1, j) || v != at(i, j + 1) || v != at(i, j - 1)) found.emplace_back(i, j);
        }
    if (found.empty()) return false;
    const auto& f = found[std::uniform_int_distribution<std::size_t>(0, found.size() - 1)(rng)];
    bi = f.first;
    bj = f.second;
    return true;
}

void moveTo(Complex& c, mpfr_srcptr width, std::int32_t i, std::int32_t j) {
    Mpfr t(kBits);
    mpfr_div_si(t.get(), width, g_width, MPFR_RNDN);
    Mpfr d(kBits);
    mpfr_mul_si(d.get(), t.get(), i - g_width / 2, MPFR_RNDN);
    mpfr_add(c.re.get(), c.re.get(), d.get(), MPFR_RNDN);
    mpfr_mul_si(d.get(), t.get(), j - g_height / 2, MPFR_RNDN);
    mpfr_add(c.im.get(), c.im.get(), d.get(), MPFR_RNDN);
}

struct Case {
    std::string cls;
    FractalParams p;
    std::string centre, width;
};

Case makeCase(const std::string& cls, const Complex& c, mpfr_srcptr width, bool mandelbrot, double kr, double ki,
              std::int32_t iterations) {
    const int digits = digitsFor(width);
    return Case{cls, locate(c, width, mandelbrot, kr, ki, iterations),
                text(c.re.get(), digits) + "," + text(c.im.get(), digits), text(width, 3)};
}


// The plain loop's count at a point, at `bits` (Mandelbrot: z0 = c; Julia:
// z0 = the point, K added).
int exactCount(const Complex& at, bool mandelbrot, double kr, double ki, int limit, mpfr_prec_t bits) {
    Complex add;
    Mpfr zr(bits), zi(bits), t(bits), u(bits), m(bits);
    mpfr_set(zr.get(), at.re.get(), MPFR_RNDN);
    mpfr_set(zi.get(), at.im.get(), MPFR_RNDN);
    if (mandelbrot) {
        add = at;
    } else {
        mpfr_set_d(add.re.get(), kr, MPFR_RNDN);
        mpfr_set_d(add.im.get(), ki, MPFR_RNDN);
    }
    for (int n = 1; n <= limit; ++n) {
        squareAdd(zr, zi, add.re.get(), add.im.get(), t, u);
        mpfr_sqr(t.get(), zr.get(), MPFR_RNDN);
        mpfr_fma(m.get(), zi.get(), zi.get(), t.get(), MPFR_RNDN);
        if (mpfr_cmp_ui(m.get(), 4) > 0) return n;
    }
    return 0;
}

// Moves c from a pixel centre onto the border between its count and a
// neighbour's, bisecting with the plain loop, so that the next, much
// narrower view still holds the border.
void ontoBorder(Complex& c, mpfr_srcptr width, const std::vector<std::uint8_t>& px, std::int32_t i, std::int32_t j,
                bool mandelbrot, double kr, double ki, int limit) {
    const std::int32_t di[] = {1, -1, 0, 0}, dj[] = {0, 0, 1, -1};
    const auto at = [&](std::int32_t x, std::int32_t y) { return px[static_cast<std::size_t>(y) * g_width + x]; };
    for (int k = 0; k < 4; ++k) {
        if (at(i + di[k], j + dj[k]) == at(i, j)) continue;
        const mpfr_prec_t bits = std::max<mpfr_prec_t>(128, -mpfr_get_exp(width) + 96);
        Complex a = c, b = c, mid;
        Mpfr step(kBits);
        mpfr_div_si(step.get(), width, g_width, MPFR_RNDN);
        mpfr_mul_si(step.get(), step.get(), di[k] != 0 ? di[k] : dj[k], MPFR_RNDN);
        mpfr_add(di[k] != 0 ? b.re.get() : b.im.get(), di[k] != 0 ? b.re.get() : b.im.get(), step.get(), MPFR_RNDN);
        const int countA = exactCount(a, mandelbrot, kr, ki, limit, bits);
        if (countA == exactCount(b, mandelbrot, kr, ki, limit, bits)) return;
        for (int s = 0; s < 24; ++s) {
            mpfr_add(mid.re.get(), a.re.get(), b.re.get(), MPFR_RNDN);
            mpfr_div_2ui(mid.re.get(), mid.re.get(), 1, MPFR_RNDN);
            mpfr_add(mid.im.get(), a.im.get(), b.im.get(), MPFR_RNDN);
            mpfr_div_2ui(mid.im.get(), mid.im.get(), 1, MPFR_RNDN);
            if (exactCount(mid, mandelbrot, kr, ki, limit, bits) == countA) a = mid;
            else b = mid;
        }
        c = a;
        return;
    }
}

// Steps toward boundary pixels, narrowing 10^2 to 10^5 (or `narrowMax`), and
// keeps every step from 1e-6 down to `deepest`.
void zoomPath(const std::string& cls, Complex c, double startWidth, bool mandelbrot, double kr, double ki,
              double deepestLog, double narrowMin, double narrowMax, std::size_t keep, std::mt19937_64& rng,
              std::vector<Case>& out, double keepShare = 1.0, bool onBorder = false) {
    Mpfr width(kBits), factor(kBits);
    mpfr_set_d(width.get(), startWidth, MPFR_RNDN);
    std::size_t kept = 0;
    int misses = 0;
    Complex before;
    Mpfr widthBefore(kBits);
    while (kept < keep && mpfr_get_exp(width.get()) > deepestLog * 3.3219) {
        const std::int32_t iterations = 3000;
        double ignored = 0;
        const FractalParams p = locate(c, width.get(), mandelbrot, kr, ki, iterations);
        const std::vector<std::uint8_t> px = renderAsProgram(p, ignored);
        std::int32_t i = 0, j = 0;
        if (!boundaryPixel(px, rng, i, j)) {
            // Narrowed onto one count: back to the step before, another pixel.
            if (++misses > 20 || mpfr_zero_p(widthBefore.get())) return;
            c = before;
            mpfr_set(width.get(), widthBefore.get(), MPFR_RNDN);
            continue;
        }
        before = c;
        mpfr_set(widthBefore.get(), width.get(), MPFR_RNDN);
        moveTo(c, width.get(), i, j);
        if (onBorder) ontoBorder(c, width.get(), px, i, j, mandelbrot, kr, ki, iterations);
        const double narrow = std::uniform_real_distribution<double>(narrowMin, narrowMax)(rng);
        mpfr_set_d(factor.get(), std::pow(10.0, narrow), MPFR_RNDN);
        mpfr_div(width.get(), width.get(), factor.get(), MPFR_RNDN);
        if (mpfr_cmp_d(width.get(), 1e-6) <= 0 && mpfr_get_exp(width.get()) > deepestLog * 3.3219 &&
            std::uniform_real_distribution<double>(0.0, 1.0)(rng) < keepShare) {
            out.push_back(makeCase(cls, c, width.get(), mandelbrot, kr, ki, iterations));
            ++kept;
        }
    }
}


// The nucleus of period p nearest c (Newton's method on z_p(c) = 0) and the
// minibrot's size estimate 1 / |beta lambda^2|; false when it does not settle.
bool nucleus(Complex& c, int period, Mpfr& size) {
    const mpfr_prec_t bits = mpfr_get_prec(c.re.get());
    Mpfr zr(bits), zi(bits), dr(bits), di(bits), t(bits), u(bits), den(bits);
    for (int step = 0; step < 40; ++step) {
        mpfr_set_zero(zr.get(), 1), mpfr_set_zero(zi.get(), 1), mpfr_set_zero(dr.get(), 1), mpfr_set_zero(di.get(), 1);
        for (int n = 0; n < period; ++n) {
            // d = 2 z d + 1; z = z^2 + c
            derivativeStep(zr, zi, dr, di, t, u);
            squareAdd(zr, zi, c.re.get(), c.im.get(), t, u);
        }
        // c -= z / d
        mpfr_sqr(den.get(), dr.get(), MPFR_RNDN);
        mpfr_fma(den.get(), di.get(), di.get(), den.get(), MPFR_RNDN);
        if (mpfr_zero_p(den.get())) return false;
        mpfr_mul(t.get(), zr.get(), dr.get(), MPFR_RNDN);
        mpfr_fma(t.get(), zi.get(), di.get(), t.get(), MPFR_RNDN);
        mpfr_mul(u.get(), zi.get(), dr.get(), MPFR_RNDN);
        mpfr_fms(u.get(), zr.get(), di.get(), u.get(), MPFR_RNDN);
        mpfr_neg(u.get(), u.get(), MPFR_RNDN);
        mpfr_div(t.get(), t.get(), den.get(), MPFR_RNDN);
        mpfr_div(u.get(), u.get(), den.get(), MPFR_RNDN);
        mpfr_sub(c.re.get(), c.re.get(), t.get(), MPFR_RNDN);
        mpfr_sub(c.im.get(), c.im.get(), u.get(), MPFR_RNDN);
    }
    // l = prod 2 z_k, b = 1 + sum 1 / l_k, size = 1 / |b l^2| (low precision, wide range).
    const mpfr_prec_t lo = 64;
    Mpfr lr(lo), li(lo), br(lo), bi(lo), a(lo), b(lo), s(lo);
    mpfr_set_ui(lr.get(), 1, MPFR_RNDN), mpfr_set_zero(li.get(), 1);
    mpfr_set_ui(br.get(), 1, MPFR_RNDN), mpfr_set_zero(bi.get(), 1);
    mpfr_set_zero(zr.get(), 1), mpfr_set_zero(zi.get(), 1);
    for (int n = 1; n < period; ++n) {
        squareAdd(zr, zi, c.re.get(), c.im.get(), t, u);
        // l = 2 z l
        mpfr_mul(a.get(), zr.get(), lr.get(), MPFR_RNDN);
        mpfr_mul(b.get(), zi.get(), li.get(), MPFR_RNDN);
        mpfr_sub(a.get(), a.get(), b.get(), MPFR_RNDN);
        mpfr_mul(b.get(), zr.get(), li.get(), MPFR_RNDN);
        mpfr_fma(b.get(), zi.get(), lr.get(), b.get(), MPFR_RNDN);
        mpfr_mul_2ui(lr.get(), a.get(), 1, MPFR_RNDN);
        mpfr_mul_2ui(li.get(), b.get(), 1, MPFR_RNDN);
        // b += 1 / l
        mpfr_hypot(s.get(), lr.get(), li.get(), MPFR_RNDN);
        mpfr_sqr(s.get(), s.get(), MPFR_RNDN);
        mpfr_div(a.get(), lr.get(), s.get(), MPFR_RNDN);
        mpfr_div(b.get(), li.get(), s.get(), MPFR_RNDN);
        mpfr_add(br.get(), br.get(), a.get(), MPFR_RNDN);
        mpfr_sub(bi.get(), bi.get(), b.get(), MPFR_RNDN);
    }
    mpfr_hypot(s.get(), lr.get(), li.get(), MPFR_RNDN);
    mpfr_sqr(s.get(), s.get(), MPFR_RNDN);
    mpfr_hypot(a.get(), br.get(), bi.get(), MPFR_RNDN);
    mpfr_mul(s.get(), s.get(), a.get(), MPFR_RNDN);
    mpfr_ui_div(size.get(), 1, s.get(), MPFR_RNDN);
    return mpfr_number_p(size.get()) && !mpfr_zero_p(size.get());
}

// The period of the minibrot nearest the view: the first step at which the
// view's image (a disc of the width's radius, carried by the derivative)
// holds 0. 0 when none does within the limit.
int ballPeriod(const Complex& c, mpfr_srcptr radius, int limit) {
    const mpfr_prec_t bits = mpfr_get_prec(c.re.get());
    Mpfr zr(bits), zi(bits), t(bits), u(bits), dr(64), di(64), a(64), b(64), m(64), reach(64);
    for (int n = 1; n <= limit; ++n) {
        // d = 2 z d + 1 (low precision), z = z^2 + c
        derivativeStep(zr, zi, dr, di, a, b);
        squareAdd(zr, zi, c.re.get(), c.im.get(), t, u);
        mpfr_hypot(m.get(), zr.get(), zi.get(), MPFR_RNDN);
        if (mpfr_cmp_ui(m.get(), 2) > 0) return 0;
        mpfr_hypot(reach.get(), dr.get(), di.get(), MPFR_RNDN);
        mpfr_mul(reach.get(), reach.get(), radius, MPFR_RNDN);
        if (mpfr_less_p(m.get(), reach.get())) return n;
    }
    return 0;
}

struct Result {
    std::int64_t equal = 0, resolved = 0, unresolved = 0;
    double engineSeconds = 0, loopSeconds = 0;
    bool deep = false;
    double agreement() const { return resolved == 0 ? 1.0 : static_cast<double>(equal) / resolved; }
};

// The velmora-cli options that render the case.
std::string command(const Case& k) {
    char julia[96];
    std::snprintf(julia, sizeof julia, " --type julia --julia %.17g,%.17g", k.p.cReal, k.p.cImag);
    return "--center " + k.centre + " --width " + k.width + " --size " + std::to_string(k.p.width) + "x" +
           std::to_string(k.p.height) + " --iterations " + std::to_string(k.p.iterations) +
           (k.p.type == velmora::FractalType::Julia ? julia : "");
}

Result check(const Case& c) {
    Result r;
    r.deep = velmora::needsDeepEngine(c.p);
    const std::vector<std::uint8_t> px = renderAsProgram(c.p, r.engineSeconds);
    // The loop at the precision the deep engine settles on for the place
    // (its orbits may ask for more than the spacing does).
    const velmora::DeepLocation loc = velmora::settledLocation(c.p);
    const mpfr_prec_t more = loc.precision() + std::max<mpfr_prec_t>(64, loc.precision() / 2);
    const velmora::DeepLocation finer(c.p, more);
    const std::size_t count = px.size();
    std::vector<std::uint8_t> exact(count), check(count);
    std::atomic<std::size_t> next{0};
    std::vector<double> loopTime(2, 0.0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t k; (k = next++) < count;) {
                const auto i = static_cast<std::int64_t>(k % static_cast<std::size_t>(c.p.width));
                const auto j = static_cast<std::int64_t>(k / static_cast<std::size_t>(c.p.width));
                const auto start = std::chrono::steady_clock::now();
                exact[k] = velmora::plainMpfrPixel(loc, i, j);
                loopTime[static_cast<std::size_t>(t)] +=
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                check[k] = velmora::plainMpfrPixel(finer, i, j);
            }
        });
    for (std::thread& t : threads) t.join();
    r.loopSeconds = loopTime[0] + loopTime[1];
    for (std::size_t k = 0; k < count; ++k) {
        if (exact[k] != check[k]) {
            ++r.unresolved;
            continue;
        }
        ++r.resolved;
        r.equal += exact[k] == px[k];
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t seed = 2026;
    double scale = 1.0;
    bool verbose = false;
    bool deepPaths = false;  // only zoom paths, kept all the way down to 1e-300
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--seed" && a + 1 < argc) seed = std::strtoull(argv[++a], nullptr, 10);
        else if (arg == "--scale" && a + 1 < argc) scale = std::strtod(argv[++a], nullptr);
        else if (arg == "--size" && a + 1 < argc) std::sscanf(argv[++a], "%dx%d", &g_width, &g_height);
        else if (arg == "--verbose") verbose = true;
        else if (arg == "--deep-paths") deepPaths = true;
        else {
            std::fprintf(stderr, "usage: velmora_deep_sweep [--seed N] [--size WxH] [--scale F] [--verbose] [--deep-paths]\n");
            return 2;
        }
    }
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto count = [&](double n) { return static_cast<std::size_t>(std::max(1.0, std::round(n * scale))); };
    std::vector<Case> cases;
    Complex c;
    const auto setC = [&](double re, double im) {
        mpfr_set_d(c.re.get(), re, MPFR_RNDN);
        mpfr_set_d(c.im.get(), im, MPFR_RNDN);
    };
    // Mandelbrot zoom paths from several starts.
    const double starts[][2] = {{-0.75, 0.1}, {-1.25, 0.05}, {0.3, 0.5}, {-0.1, 0.9}, {-1.75, 0.01}, {0.25, 0.0}};
    const double constants[][2] = {{-0.8, 0.156}, {0.0, 1.0}, {-0.75, 0.1}, {0.285, 0.01}, {-0.123, 0.745}};
    if (deepPaths) {
        // About one step in sixteen kept, so each path reaches 1e-300 (each
        // step moved onto the border its pixel showed); the
        // pictures are smaller, the plain loop being slow that deep.
        g_width = std::max(8, g_width / 2);
        g_height = std::max(6, g_height / 2);
        for (int path = 0; path < static_cast<int>(count(12)); ++path) {
            const auto& s = starts[path % 6];
            setC(s[0], s[1]);
            zoomPath("M deep path", c, 0.5, true, 0, 0, -300, 2, 5, 5, rng, cases, 0.06, true);
        }
        for (int path = 0; path < static_cast<int>(count(6)); ++path) {
            const auto& k = constants[path % 5];
            setC(0.3 * unit(rng) - 0.15, 0.3 * unit(rng) + 0.3);
            zoomPath("J deep path", c, 3.0, false, k[0], k[1], -300, 2, 5, 5, rng, cases, 0.06, true);
        }
    }
    for (int path = 0; path < (deepPaths ? 0 : 12); ++path) {
        const auto& s = starts[path % 6];
        setC(s[0], s[1]);
        zoomPath("M path", c, 0.5, true, 0, 0, -300, 2, 5, count(8), rng, cases);
    }
    // Julia zoom paths for several constants.
    for (int path = 0; path < (deepPaths ? 0 : 10); ++path) {
        const auto& k = constants[path % 5];
        setC(0.3 * unit(rng) - 0.15, 0.3 * unit(rng) + 0.3);
        zoomPath("J path", c, 3.0, false, k[0], k[1], -300, 2, 5, count(6), rng, cases);
    }
    // Band borders far from the set: only escaping pixels in view.
    for (int path = 0; path < (deepPaths ? 0 : 8); ++path) {
        const double angle = 6.283185307179586 * unit(rng);
        setC(-0.5 + 1.2 * std::cos(angle), 1.2 * std::sin(angle));
        zoomPath("band border", c, 0.05, path % 2 == 0, 0.28, 0.0113, -300, 3, 10, count(6), rng, cases);
    }
    // The classes below run long orbits in the plain loop at many bits:
    // smaller pictures keep the sweep within the hour.
    g_width = std::max(8, g_width / 2);
    g_height = std::max(6, g_height / 2);
    // Julia sets zoomed at the critical point.
    Mpfr width(kBits);
    for (int k = 0; k < (deepPaths ? 0 : static_cast<int>(count(50))); ++k) {
        const auto& K = constants[k % 5];
        const double exponent = -6.0 - 294.0 * unit(rng);
        mpfr_set_d(c.re.get(), exponent, MPFR_RNDN);
        mpfr_exp10(width.get(), c.re.get(), MPFR_RNDN);
        mpfr_mul_d(c.re.get(), width.get(), unit(rng) - 0.5, MPFR_RNDN);
        mpfr_mul_d(c.im.get(), width.get(), unit(rng) - 0.5, MPFR_RNDN);
        cases.push_back(makeCase("J critical", c, width.get(), false, K[0], K[1], 3000));
    }
    // Minibrots from the Mandelbrot paths' places, whole and at their edges.
    std::vector<Case> mpaths;
    for (const Case& k : cases)
        if (k.cls == "M path") mpaths.push_back(k);
    std::shuffle(mpaths.begin(), mpaths.end(), rng);
    std::size_t minis = 0;
    for (const Case& k : mpaths) {
        if (minis >= count(50)) break;
        Complex n;
        const auto comma = k.centre.find(',');
        mpfr_set_str(n.re.get(), k.centre.substr(0, comma).c_str(), 10, MPFR_RNDN);
        mpfr_set_str(n.im.get(), k.centre.substr(comma + 1).c_str(), 10, MPFR_RNDN);
        Mpfr radius(kBits);
        mpfr_set_str(radius.get(), k.width.c_str(), 10, MPFR_RNDN);
        const int period = ballPeriod(n, radius.get(), 20000);
        Mpfr size(64);
        if (period < 2 || !nucleus(n, period, size)) continue;
        // Only minibrots deep enough for the sweep's widths, found near the place.
        if (mpfr_cmp_d(size.get(), 2.5e-7) > 0 || mpfr_get_exp(size.get()) < -1000 * 3.3219) continue;
        if (period > 4000) continue;
        const std::int32_t iterations = std::max(3000, 2 * period + 1000);
        mpfr_mul_ui(width.get(), size.get(), 4, MPFR_RNDN);
        cases.push_back(makeCase("minibrot", n, width.get(), true, 0, 0, iterations));
        // At the edge: a hundredth of the size, beside the nucleus.
        Complex e = n;
        mpfr_mul_d(width.get(), size.get(), 0.37 + 0.2 * unit(rng), MPFR_RNDN);
        mpfr_add(e.re.get(), e.re.get(), width.get(), MPFR_RNDN);
        mpfr_mul_d(width.get(), size.get(), 0.01, MPFR_RNDN);
        cases.push_back(makeCase("minibrot edge", e, width.get(), true, 0, 0, iterations));
        minis += 2;
    }
    // A few far deeper than 1e-300: z^2 + i around its critical point, which
    // lies on the Julia set at every scale (smaller still: the plain loop
    // takes minutes a picture there).
    g_width = std::max(8, g_width / 2);
    g_height = std::max(6, g_height / 2);
    for (const char* far : {"1e-400", "3e-520", "1e-600"}) {
        if (deepPaths) break;
        mpfr_set_str(width.get(), far, 10, MPFR_RNDN);
        mpfr_mul_d(c.re.get(), width.get(), unit(rng) - 0.5, MPFR_RNDN);
        mpfr_mul_d(c.im.get(), width.get(), unit(rng) - 0.5, MPFR_RNDN);
        cases.push_back(makeCase("far deeper", c, width.get(), false, 0.0, 1.0, 6000));
    }

    struct Summary {
        int locations = 0, perfect = 0, atLeast999 = 0, deep = 0;
        double sum = 0, worst = 1, engine = 0, loop = 0;
        std::int64_t unresolved = 0, wrong = 0;
        std::string worstCase, size;
    };
    std::map<std::string, Summary> table;
    Summary all;
    std::size_t done = 0;
    for (const Case& k : cases) {
        std::fprintf(stderr, "\r%zu of %zu", ++done, cases.size());
        const Result r = check(k);
        const double a = r.agreement();
        for (Summary* s : {&table[k.cls], &all}) {
            ++s->locations;
            const std::string size = std::to_string(k.p.width) + "x" + std::to_string(k.p.height);
            if (s->size.find(size) == std::string::npos) s->size += (s->size.empty() ? "" : ", ") + size;
            s->perfect += r.equal == r.resolved;
            s->atLeast999 += a >= 0.999;
            s->deep += r.deep;
            s->sum += a;
            s->unresolved += r.unresolved;
            s->wrong += r.resolved - r.equal;
            s->engine += r.engineSeconds;
            s->loop += r.loopSeconds;
            if (a < s->worst || s->worstCase.empty()) {
                s->worst = a;
                s->worstCase = command(k);
            }
        }
        if (verbose || a < 0.999)
            std::printf("%-14s w=%-9s %s %7.3f%%  unresolved %3lld  engine %.3fs  loop %.3fs  %s\n", k.cls.c_str(),
                        k.width.c_str(), r.deep ? "deep  " : "double", 100.0 * a, static_cast<long long>(r.unresolved),
                        r.engineSeconds, r.loopSeconds, a < 0.999 ? command(k).c_str() : "");
        std::fflush(stdout);
    }
    std::printf("\nEvery pixel against the MPFR loop (seed %llu)\n\n", static_cast<unsigned long long>(seed));
    std::printf("| class | locations | pixels | deep engine | 100%% | >= 99.9%% | mean | worst | wrong px | unresolved px | "
                "loop/engine time |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    table["all"] = all;
    for (const auto& [name, s] : table)
        std::printf("| %s | %d | %s | %d | %d | %d | %.4f%% | %.4f%% | %lld | %lld | %.0fx |\n", name.c_str(),
                    s.locations, name == "all" ? "" : s.size.c_str(), s.deep, s.perfect, s.atLeast999, 100.0 * s.sum / std::max(1, s.locations), 100.0 * s.worst,
                    static_cast<long long>(s.wrong), static_cast<long long>(s.unresolved),
                    s.engine > 0 ? s.loop / s.engine : 0.0);
    std::printf("\nworst overall: %.4f%%  %s\n", 100.0 * all.worst, all.worstCase.c_str());
    return all.atLeast999 == all.locations ? 0 : 1;
}

#include "deep/Perturbation.h"

#include <algorithm>
#include <cmath>

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "render/EscapeTime.h"

namespace velmora {
namespace {

struct Walk {
    const ReferenceOrbit* orbit;
    std::size_t m;
    std::int32_t n = 1;
};

// Whether doubles can take the difference from here on.
bool inDoubleRange(const PerturbationOrbits& o, const Walk& w, ExtFloat dzr, ExtFloat dzi) {
    return std::max(dzr.exponent(), dzi.exponent()) >= kDoubleFloor && w.n > o.wideSteps;
}

// Runs in wide-exponent numbers until the difference reaches the double range.
// Returns true with `result` set when the pixel is decided.
bool runWide(const PerturbationOrbits& o, Walk& w, ExtFloat& dzr, ExtFloat& dzi, ExtFloat cr, ExtFloat ci,
             PixelCount& result) {
    const auto escaped = [&](std::int32_t n, ExtFloat zr, ExtFloat zi) {
        result.index = shownIndex(n);
        result.count = n;
        result.zr = zr.toDouble();
        result.zi = zi.toDouble();
        return true;
    };
    for (; w.n <= o.limit; ++w.n) {
        const BlaTable* bla = w.orbit == o.primary ? o.primaryBla : o.rebaseBla;
        if (bla != nullptr) {
            // As in the double loop below, with wide numbers.
            std::int64_t length = 0;
            while (const BlaStep* s = bla->find(w.m, (dzr * dzr + dzi * dzi).toDouble(), o.limit - (w.n - 1), length)) {
                const ExtFloat ar(s->ar), ai(s->ai), br(s->br), bi(s->bi);
                const ExtFloat nr = (ar * dzr - ai * dzi) + (br * cr - bi * ci);
                const ExtFloat ni = (ar * dzi + ai * dzr) + (br * ci + bi * cr);
                dzr = nr;
                dzi = ni;
                w.m += static_cast<std::size_t>(length);
                w.n += static_cast<std::int32_t>(length);
                const ExtFloat zr = ExtFloat(w.orbit->re[w.m]) + dzr, zi = ExtFloat(w.orbit->im[w.m]) + dzi;
                if (escapesWide(zr * zr + zi * zi, w.orbit->excess[w.m], w.orbit->re[w.m], w.orbit->im[w.m], dzr,
                                dzi))
                    return escaped(w.n - 1, zr, zi);
                if (w.n > o.limit) {
                    result = PixelCount{};
                    return true;
                }
            }
            if (inDoubleRange(o, w, dzr, dzi)) return false;
        }
        if (w.m + 1 >= w.orbit->size()) {
            dzr = ExtFloat(w.orbit->re[w.m]) + dzr;
            dzi = ExtFloat(w.orbit->im[w.m]) + dzi;
            w.m = 0;
            w.orbit = o.rebase;
        }
        // A Julia reference starts at its own pixel, which may lie below the
        // double range: its start is kept wide.
        const bool start = w.m == 0 && w.orbit == o.primary && !o.mandelbrot;
        const ExtFloat zr0 = start ? o.startRe : ExtFloat(w.orbit->re[w.m]);
        const ExtFloat zi0 = start ? o.startIm : ExtFloat(w.orbit->im[w.m]);
        const ExtFloat tr = zr0 + zr0 + dzr, ti = zi0 + zi0 + dzi;
        const ExtFloat nr = tr * dzr - ti * dzi + cr;
        const ExtFloat ni = tr * dzi + ti * dzr + ci;
        ++w.m;
        const ExtFloat zr = ExtFloat(w.orbit->re[w.m]) + nr, zi = ExtFloat(w.orbit->im[w.m]) + ni;
        const ExtFloat nz = zr * zr + zi * zi;
        if (escapesWide(nz, w.orbit->excess[w.m], w.orbit->re[w.m], w.orbit->im[w.m], nr, ni))
            return escaped(w.n, zr, zi);
        if (lessMagnitude(nz, nr * nr + ni * ni)) {
            dzr = zr;
            dzi = zi;
            w.m = 0;
            w.orbit = o.rebase;
        } else {
            dzr = nr;
            dzi = ni;
        }
        ++w.n;
        if (inDoubleRange(o, w, dzr, dzi)) return false;
        --w.n;
    }
    result = PixelCount{};
    return true;
}

}  // namespace

namespace {

// Pixels whose offset is below 1/64 of the largest (in |dc|^2 here) look
// for stretches of their own after the common ones: about six steps or more.
constexpr double kOwnStretchShare = 1.0 / 4096.0;

// The double loop from walk w. With handOver, stops (false) at the first step
// where no stretch can be skipped, leaving the state in *state.
bool runDouble(const PerturbationOrbits& o, const Walk& w, double dzr, double dzi, double cr, double ci,
               double err2, bool ownStretches, PixelHandOver* handOver, PixelCount& result) {
    const double* zre = w.orbit->re.data();
    const double* zim = w.orbit->im.data();
    const double* zex = w.orbit->excess.data();
    std::size_t size = w.orbit->size();
    std::size_t m = w.m;
    bool onRebase = w.orbit != o.primary;
    const double* rebaseRe = o.rebase->re.data();
    const double* rebaseIm = o.rebase->im.data();
    const double* rebaseEx = o.rebase->excess.data();
    const std::size_t rebaseSize = o.rebase->size();
    const BlaTable* bla = onRebase ? o.rebaseBla : o.primaryBla;
    if (bla != nullptr && (bla->empty() || !ownStretches)) bla = nullptr;
    const BlaTable* rebaseBla = o.rebaseBla != nullptr && !o.rebaseBla->empty() ? o.rebaseBla : nullptr;
    // On to the orbit to rebase onto, at its start.
    const auto rebase = [&] {
        m = 0;
        zre = rebaseRe;
        zim = rebaseIm;
        zex = rebaseEx;
        size = rebaseSize;
        bla = rebaseBla;
        onRebase = true;
    };
    // z_{n-1} = Z_m + dz: its |z|^2, and how far rounding may have moved it.
    const double zr0 = zre[m] + dzr, zi0 = zim[m] + dzi;
    double nzBefore = zr0 * zr0 + zi0 * zi0;
    // n: the escape count, 0 at the limit; z there.
    const auto decide = [&](std::int32_t n, double excess, double zr, double zi) {
        result.index = n == 0 ? 0 : shownIndex(n);
        result.count = n;
        result.zr = n == 0 ? 0.0 : zr;
        result.zi = n == 0 ? 0.0 : zi;
        result.doubtful = countInDoubt(err2, excess, nzBefore - 4.0);
        return true;
    };
    for (std::int32_t n = w.n; n <= o.limit; ++n) {
        if (bla != nullptr) {
            // z_{n-1} = Z_m + dz. Skip whole stretches while they hold: z stays
            // next to the reference there, which neither escapes nor needs a rebase.
            std::int64_t length = 0;
            for (;;) {
                const double dzStart2 = dzr * dzr + dzi * dzi;
                const BlaStep* s = bla->find(m, dzStart2, o.limit - (n - 1), length);
                if (s == nullptr) break;
                const double nr = (s->ar * dzr - s->ai * dzi) + (s->br * cr - s->bi * ci);
                const double ni = (s->ar * dzi + s->ai * dzr) + (s->br * ci + s->bi * cr);
                dzr = nr;
                dzi = ni;
                m += static_cast<std::size_t>(length);
                n += static_cast<std::int32_t>(length);
                const double zr = zre[m] + dzr, zi = zim[m] + dzi;
                const double nz = zr * zr + zi * zi;
                const double dz2 = dzr * dzr + dzi * dzi;
                // Each step of the stretch leaves out at most kBlaEpsilon of the
                // difference at its radius, and less in proportion below it.
                const double skipped = 2.0 * static_cast<double>(length) * kBlaEpsilon;
                const double left = skipped * skipped * (dzStart2 / s->r2);
                err2 = (s->ar * s->ar + s->ai * s->ai) * err2 + (left + kStepRounding) * dz2;
                const double excess = escapeExcess(nz, zex[m], zre[m], zim[m], dzr, dzi);
                if (excess > 0.0) return decide(n - 1, excess, zr, zi);
                if (n > o.limit) return decide(0, excess, zr, zi);
                nzBefore = nz;
            }
        }
        // No stretch holds from here (odd indices only start single steps, so
        // one more step there first): plain steps from now on.
        if (handOver != nullptr && (bla == nullptr || (m > 0 && (m & 1) == 0))) {
            *handOver = PixelHandOver{m, onRebase, n, dzr, dzi, cr, ci, err2, nzBefore};
            return false;
        }
        if (m + 1 >= size) {
            dzr += zre[m];
            dzi += zim[m];
            rebase();
        }
        const double tr = 2.0 * zre[m] + dzr, ti = 2.0 * zim[m] + dzi;
        const double nr = (tr * dzr - ti * dzi) + cr;
        const double ni = (tr * dzi + ti * dzr) + ci;
        const double dzNext2 = nr * nr + ni * ni;
        err2 = errorAfterStep(err2, nzBefore, dzNext2);
        ++m;
        const double zr = zre[m] + nr, zi = zim[m] + ni;
        const double nz = zr * zr + zi * zi;
        const double excess = escapeExcess(nz, zex[m], zre[m], zim[m], nr, ni);
        if (excess > 0.0) return decide(n, excess, zr, zi);
        if (nz < dzNext2) {
            dzr = zr;
            dzi = zi;
            rebase();
        } else {
            dzr = nr;
            dzi = ni;
        }
        if (n == o.limit) return decide(0, excess, zr, zi);
        nzBefore = nz;
    }
    result = PixelCount{};
    return true;
}

// 2^(kDoubleFloor - 1), where the full start would take wide numbers.
constexpr double kQuickFloor = [] {
    double v = 1.0;
    for (std::int64_t k = kDoubleFloor - 1; k < 0; ++k) v /= 2.0;
    return v;
}();

// Only offsets within the largest it was made for take the common stretches.
bool commonApplies(const PerturbationOrbits& o, double dcr, double dci) {
    return o.mandelbrot && o.primaryBla != nullptr && o.common.m > 1 && dcr * dcr + dci * dci <= o.common.offsetMax2;
}

// Every pixel's first stretches at once: dz = P dc, or the series beyond,
// with its bound; z_{n-1} = Z_m + dz.
struct AfterCommon {
    std::size_t m;
    std::int32_t n;
    double dzr, dzi, err2;
    bool ownStretches;
};
AfterCommon afterCommon(const PerturbationOrbits& o, double dcr, double dci, const SeriesValue* value = nullptr) {
    const CommonSkip& s = o.common;
    const double dc2 = dcr * dcr + dci * dci;
    AfterCommon a;
    double err2 = 0.0;
    if (o.series.m > s.m) {
        const SeriesValue v = value != nullptr ? *value : seriesValue(o.series, dcr, dci);
        a.m = o.series.m;
        a.n = 1 + o.series.steps();
        a.dzr = v.dzr;
        a.dzi = v.dzi;
        err2 = v.err2;
    } else {
        a.m = s.m;
        a.n = 1 + s.steps();
        a.dzr = s.pr * dcr - s.pi * dci;
        a.dzi = s.pr * dci + s.pi * dcr;
        err2 = s.err2PerOffset2 * dc2;
    }
    a.err2 = err2 + kStepRounding * (a.dzr * a.dzr + a.dzi * a.dzi);
    // Near the largest offset a pixel's own stretches would reach a step or
    // two further: plain steps cost less than the search for them.
    a.ownStretches = dc2 < kOwnStretchShare * s.offsetMax2;
    return a;
}

bool run(const PerturbationOrbits& o, ExtFloat dcrWide, ExtFloat dciWide, PixelHandOver* handOver,
         PixelCount& result) {
    result = PixelCount{};
    if (o.limit <= 0) return true;
    Walk w{o.primary, o.mandelbrot ? std::size_t{1} : std::size_t{0}};
    // z0 is the pixel's point: the reference's start plus the offset.
    ExtFloat dzrWide = dcrWide, dziWide = dciWide;
    const bool zero = dcrWide.isZero() && dciWide.isZero();
    if (!zero && (std::max(dcrWide.exponent(), dciWide.exponent()) < kDoubleFloor || o.wideSteps > 0)) {
        const ExtFloat none;
        if (runWide(o, w, dzrWide, dziWide, o.mandelbrot ? dcrWide : none, o.mandelbrot ? dciWide : none,
                    result))
            return true;
    }
    // An offset below the double range adds nothing a double could hold
    // next to a difference that has reached it.
    const double cr = o.mandelbrot ? dcrWide.toDouble() : 0.0;
    const double ci = o.mandelbrot ? dciWide.toDouble() : 0.0;
    double dzr = dzrWide.toDouble(), dzi = dziWide.toDouble();
    const double dc2 = dzr * dzr + dzi * dzi;
    double err2 = kStepRounding * dc2;
    bool ownStretches = true;
    if (w.m == 1 && w.n == 1 && commonApplies(o, cr, ci)) {
        const AfterCommon a = afterCommon(o, cr, ci);
        dzr = a.dzr;
        dzi = a.dzi;
        err2 = a.err2;
        ownStretches = a.ownStretches;
        w.m = a.m;
        w.n = a.n;
    }
    return runDouble(o, w, dzr, dzi, cr, ci, err2, ownStretches, handOver, result);
}

}  // namespace

PixelCount perturbedPixel(const PerturbationOrbits& o, ExtFloat dcr, ExtFloat dci) {
    PixelCount result;
    run(o, dcr, dci, nullptr, result);
    return result;
}

bool perturbedPixelStart(const PerturbationOrbits& o, ExtFloat dcr, ExtFloat dci, PixelCount& result,
                         PixelHandOver& state) {
    return run(o, dcr, dci, &state, result);
}

bool quickPixelStart(const PerturbationOrbits& o, double dcr, double dci, PixelHandOver& state,
                     const SeriesValue* value) {
    if (o.limit <= 0 || !commonApplies(o, dcr, dci)) return false;
    // Where the full start would take wide numbers (below 2^(floor - 1)).
    const double larger = std::max(std::fabs(dcr), std::fabs(dci));
    if (larger != 0.0 && larger < kQuickFloor) return false;
    const AfterCommon a = afterCommon(o, dcr, dci, value);
    if (a.ownStretches) return false;
    // What the double loop hands over at once, without stretches of its own.
    const double zr = o.primary->re[a.m] + a.dzr, zi = o.primary->im[a.m] + a.dzi;
    state = PixelHandOver{a.m, false, a.n, a.dzr, a.dzi, dcr, dci, a.err2, zr * zr + zi * zi};
    return true;
}

}  // namespace velmora

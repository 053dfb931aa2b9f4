#include "deep/Perturbation.h"

#include <algorithm>

namespace velmora {
namespace {

std::uint8_t indexFor(std::int32_t n) {
    const auto index = static_cast<std::uint8_t>(n & 0xFF);
    return index == 0 ? 1 : index;
}

struct Walk {
    const ReferenceOrbit* orbit;
    std::size_t m;
    std::int32_t n = 1;
};

// Runs in wide-exponent numbers until the difference reaches the double range.
// Returns true with `result` set when the pixel is decided.
bool runWide(const PerturbationOrbits& o, Walk& w, ExtFloat& dzr, ExtFloat& dzi, ExtFloat cr, ExtFloat ci,
             std::uint8_t& result) {
    for (; w.n <= o.limit; ++w.n) {
        const BlaTable* bla = w.orbit == o.primary ? o.primaryBla : o.rebaseBla;
        if (bla != nullptr) {
            // As in the double loop below, with wide numbers.
            std::int64_t length = 0;
            while (const BlaStep* s = bla->find(w.m, (dzr * dzr + dzi * dzi).toDouble(), o.limit - (w.n - 1),
                                                length)) {
                const ExtFloat ar(s->ar), ai(s->ai), br(s->br), bi(s->bi);
                const ExtFloat nr = (ar * dzr - ai * dzi) + (br * cr - bi * ci);
                const ExtFloat ni = (ar * dzi + ai * dzr) + (br * ci + bi * cr);
                dzr = nr;
                dzi = ni;
                w.m += static_cast<std::size_t>(length);
                w.n += static_cast<std::int32_t>(length);
                const ExtFloat zr = ExtFloat(w.orbit->re[w.m]) + dzr, zi = ExtFloat(w.orbit->im[w.m]) + dzi;
                if ((zr * zr + zi * zi).toDouble() > 4.0) {
                    result = indexFor(w.n - 1);
                    return true;
                }
                if (w.n > o.limit) {
                    result = 0;
                    return true;
                }
            }
            if (std::max(dzr.exponent(), dzi.exponent()) >= kDoubleFloor) return false;
        }
        if (w.m + 1 >= w.orbit->size()) {
            dzr = ExtFloat(w.orbit->re[w.m]) + dzr;
            dzi = ExtFloat(w.orbit->im[w.m]) + dzi;
            w.m = 0;
            w.orbit = o.rebase;
        }
        const ExtFloat zr0(w.orbit->re[w.m]), zi0(w.orbit->im[w.m]);
        const ExtFloat tr = zr0 + zr0 + dzr, ti = zi0 + zi0 + dzi;
        const ExtFloat nr = tr * dzr - ti * dzi + cr;
        const ExtFloat ni = tr * dzi + ti * dzr + ci;
        ++w.m;
        const ExtFloat zr = ExtFloat(w.orbit->re[w.m]) + nr, zi = ExtFloat(w.orbit->im[w.m]) + ni;
        const ExtFloat nz = zr * zr + zi * zi;
        if (nz.toDouble() > 4.0) {
            result = indexFor(w.n);
            return true;
        }
        if (lessMagnitude(nz, nr * nr + ni * ni)) {
            dzr = zr;
            dzi = zi;
            w.m = 0;
            w.orbit = o.rebase;
        } else {
            dzr = nr;
            dzi = ni;
        }
        if (std::max(dzr.exponent(), dzi.exponent()) >= kDoubleFloor) {
            ++w.n;
            return false;
        }
    }
    result = 0;
    return true;
}

}  // namespace

std::uint8_t perturbedPixel(const PerturbationOrbits& o, ExtFloat dcrWide, ExtFloat dciWide) {
    if (o.limit <= 0) return 0;
    Walk w{o.primary, o.mandelbrot ? std::size_t{1} : std::size_t{0}};
    // z0 is the pixel's point: the reference's start plus the offset.
    ExtFloat dzrWide = dcrWide, dziWide = dciWide;
    const bool zero = dcrWide.isZero() && dciWide.isZero();
    if (!zero && std::max(dcrWide.exponent(), dciWide.exponent()) < kDoubleFloor) {
        std::uint8_t result = 0;
        const ExtFloat zero;
        if (runWide(o, w, dzrWide, dziWide, o.mandelbrot ? dcrWide : zero, o.mandelbrot ? dciWide : zero, result))
            return result;
    }
    // An offset below the double range adds nothing a double could hold
    // next to a difference that has reached it.
    const double cr = o.mandelbrot ? dcrWide.toDouble() : 0.0;
    const double ci = o.mandelbrot ? dciWide.toDouble() : 0.0;
    double dzr = dzrWide.toDouble(), dzi = dziWide.toDouble();
    const double* zre = w.orbit->re.data();
    const double* zim = w.orbit->im.data();
    std::size_t size = w.orbit->size();
    std::size_t m = w.m;
    const double* rebaseRe = o.rebase->re.data();
    const double* rebaseIm = o.rebase->im.data();
    const std::size_t rebaseSize = o.rebase->size();
    const BlaTable* bla = w.orbit == o.primary ? o.primaryBla : o.rebaseBla;
    if (bla != nullptr && bla->empty()) bla = nullptr;
    const BlaTable* rebaseBla = o.rebaseBla != nullptr && !o.rebaseBla->empty() ? o.rebaseBla : nullptr;
    for (std::int32_t n = w.n; n <= o.limit; ++n) {
        if (bla != nullptr) {
            // z_{n-1} = Z_m + dz. Skip whole stretches while they hold: z stays
            // next to the reference there, which neither escapes nor needs a rebase.
            std::int64_t length = 0;
            while (const BlaStep* s = bla->find(m, dzr * dzr + dzi * dzi, o.limit - (n - 1), length)) {
                const double nr = (s->ar * dzr - s->ai * dzi) + (s->br * cr - s->bi * ci);
                const double ni = (s->ar * dzi + s->ai * dzr) + (s->br * ci + s->bi * cr);
                dzr = nr;
                dzi = ni;
                m += static_cast<std::size_t>(length);
                n += static_cast<std::int32_t>(length);
                const double zr = zre[m] + dzr, zi = zim[m] + dzi;
                if (zr * zr + zi * zi > 4.0) return indexFor(n - 1);
                if (n > o.limit) return 0;
            }
        }
        if (m + 1 >= size) {
            dzr += zre[m];
            dzi += zim[m];
            m = 0;
            zre = rebaseRe;
            zim = rebaseIm;
            size = rebaseSize;
            bla = rebaseBla;
        }
        const double tr = 2.0 * zre[m] + dzr, ti = 2.0 * zim[m] + dzi;
        const double nr = (tr * dzr - ti * dzi) + cr;
        const double ni = (tr * dzi + ti * dzr) + ci;
        ++m;
        const double zr = zre[m] + nr, zi = zim[m] + ni;
        const double nz = zr * zr + zi * zi;
        if (nz > 4.0) return indexFor(n);
        if (nz < nr * nr + ni * ni) {
            dzr = zr;
            dzi = zi;
            m = 0;
            zre = rebaseRe;
            zim = rebaseIm;
            size = rebaseSize;
            bla = rebaseBla;
        } else {
            dzr = nr;
            dzi = ni;
        }
    }
    return 0;
}

}  // namespace velmora

#include "deep/DoubleDoublePixel.h"

#include "deep/ErrorBound.h"
#include "deep/EscapeTest.h"
#include "render/EscapeTime.h"

namespace velmora {

PixelCount doubleDoublePixel(const PerturbationOrbits& o, DoubleDouble dcr, DoubleDouble dci) {
    PixelCount result;
    if (o.limit <= 0) return result;
    const ReferenceOrbit* orbit = o.primary;
    std::size_t m = o.mandelbrot ? 1 : 0;
    const DoubleDouble cr = o.mandelbrot ? dcr : DoubleDouble{}, ci = o.mandelbrot ? dci : DoubleDouble{};
    DoubleDouble dzr = dcr, dzi = dci;
    const auto value = [&](std::size_t k, DoubleDouble& re, DoubleDouble& im) {
        re = {orbit->re[k], orbit->reLow[k]};
        im = {orbit->im[k], orbit->imLow[k]};
    };
    DoubleDouble zr, zi;
    value(m, zr, zi);
    double nzBefore = dd::magnitude2(dd::add(zr, dzr), dd::add(zi, dzi));
    double err2 = kDoubleDoubleStepRounding * dd::magnitude2(dzr, dzi);
    for (std::int32_t n = 1; n <= o.limit; ++n) {
        if (m + 1 >= orbit->size()) {
            dzr = dd::add(zr, dzr);
            dzi = dd::add(zi, dzi);
            orbit = o.rebase;
            m = 0;
            value(m, zr, zi);
        }
        // dz' = (2 Z + dz) dz + dc
        const DoubleDouble tr = dd::add(dd::twice(zr), dzr), ti = dd::add(dd::twice(zi), dzi);
        const DoubleDouble nr = dd::add(dd::add(dd::mul(tr, dzr), dd::neg(dd::mul(ti, dzi))), cr);
        const DoubleDouble ni = dd::add(dd::add(dd::mul(tr, dzi), dd::mul(ti, dzr)), ci);
        const double dzNext2 = dd::magnitude2(nr, ni);
        err2 = kErrorGrowth * nzBefore * err2 + kDoubleDoubleStepRounding * dzNext2 + o.orbitRounding2 * nzBefore;
        if (!(err2 < kHopelessError2)) {
            result.doubtful = true;
            return result;
        }
        ++m;
        value(m, zr, zi);
        const DoubleDouble xr = dd::add(zr, nr), xi = dd::add(zi, ni);
        // |z|^2 - 4 to the double-double's own accuracy.
        const DoubleDouble excessDd = dd::add(dd::add(dd::mul(xr, xr), dd::mul(xi, xi)), DoubleDouble{-4.0, 0.0});
        double excess = dd::toDouble(excessDd);
        // Closer to radius 2 than even these numbers resolve: decided by the
        // reference's exact excess, as in doubles.
        if (nearEscapeRadius(excess + 4.0))
            excess = excessByReference(orbit->excess[m], orbit->re[m], orbit->im[m], dd::toDouble(nr), dd::toDouble(ni));
        const double nz = excess + 4.0;
        if (excess > 0.0 || n == o.limit) {
            result.index = excess > 0.0 ? shownIndex(n) : 0;
            result.doubtful = countInDoubt(err2, excess, nzBefore - 4.0);
            if (excess > 0.0) {
                result.count = n;
                result.zr = dd::toDouble(xr);
                result.zi = dd::toDouble(xi);
            }
            return result;
        }
        if (nz < dzNext2) {
            dzr = xr;
            dzi = xi;
            orbit = o.rebase;
            m = 0;
            value(m, zr, zi);
        } else {
            dzr = nr;
            dzi = ni;
        }
        nzBefore = nz;
    }
    return result;
}

}  // namespace velmora

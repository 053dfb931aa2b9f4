#include "deep/Bla.h"

#include <algorithm>
#include <cmath>

#include "deep/ErrorBound.h"

namespace velmora {

void BlaTable::build(const ReferenceOrbit& orbit, bool withOffset, double offsetMax) {
    m_levels.clear();
    const std::size_t n = orbit.size();
    if (n < 3 || n > kBlaMaxOrbit) return;
    // Level 0: one step from m to m + 1, for m + 1 <= n - 1.
    std::vector<BlaStep> level(n - 1);
    for (std::size_t m = 0; m + 1 < n; ++m) {
        const double zr = orbit.re[m], zi = orbit.im[m];
        const double size = std::hypot(zr, zi);
        // A stretch passes its inner values unchecked: none may lie where a
        // pixel next to the reference could already be beyond radius 2.
        const double r = size < 2.0 - kBlaEscapeMargin ? kBlaEpsilon * size : 0.0;
        level[m] = {2.0 * zr, 2.0 * zi, withOffset ? 1.0 : 0.0, 0.0, r * r};
    }
    m_levels.push_back(std::move(level));
    // Level k from pairs of level k - 1: x then y.
    for (std::size_t k = 1;; ++k) {
        const std::vector<BlaStep>& lower = m_levels.back();
        const std::size_t span = std::size_t{1} << k;
        if (span > n - 1) break;
        const std::size_t count = (n - 1) / span;  // j span + span <= n - 1
        std::vector<BlaStep> next(count);
        for (std::size_t j = 0; j < count; ++j) {
            const BlaStep& x = lower[2 * j];
            const BlaStep& y = lower[2 * j + 1];
            BlaStep s;
            s.ar = y.ar * x.ar - y.ai * x.ai;
            s.ai = y.ar * x.ai + y.ai * x.ar;
            s.br = (y.ar * x.br - y.ai * x.bi) + y.br;
            s.bi = (y.ar * x.bi + y.ai * x.br) + y.bi;
            // dz at the middle is at most |Ax| |dz| + |Bx| |dc|: y must hold there.
            const double ax = std::hypot(x.ar, x.ai);
            const double rx = std::sqrt(x.r2), ry = std::sqrt(y.r2);
            double r = rx;
            if (ax > 0.0) r = std::min(rx, std::max(0.0, (ry - std::hypot(x.br, x.bi) * offsetMax) / ax));
            s.r2 = r * r;
            next[j] = s;
        }
        m_levels.push_back(std::move(next));
    }
}

CommonSkip commonSkip(const BlaTable& table, const ReferenceOrbit& orbit, double dcMax, std::int32_t limit) {
    CommonSkip skip;
    // z_0 = c: dz = dc, rounded once when the pixel's offset was.
    skip.err2PerOffset2 = kStepRounding;
    if (table.empty() || !(dcMax > 0.0) || !std::isfinite(dcMax)) return skip;
    skip.offsetMax2 = dcMax * dcMax;
    // The count stays below the limit: the pixel's own loop decides there.
    std::int64_t room = static_cast<std::int64_t>(limit) - 2 - skip.steps();
    while (room > 0) {
        const double dzStart2 = (skip.pr * skip.pr + skip.pi * skip.pi) * dcMax * dcMax;
        std::int64_t length = 0;
        const BlaStep* s = table.findWithSingle(skip.m, dzStart2, room, length);
        if (s == nullptr) break;
        const double pr = (s->ar * skip.pr - s->ai * skip.pi) + s->br;
        const double pi = (s->ar * skip.pi + s->ai * skip.pr) + s->bi;
        const std::size_t m = skip.m + static_cast<std::size_t>(length);
        // No pixel may be near radius 2 where the stretch ends (each would
        // have to be tested there): a shorter one may still do.
        const double dzMax = std::hypot(pr, pi) * dcMax;
        if (!(std::hypot(orbit.re[m], orbit.im[m]) + dzMax < 2.0 - kBlaEscapeMargin)) {
            room = length - 1;
            continue;
        }
        // As a pixel's own stretch adds its error (see the double loop).
        const double skipped = 2.0 * static_cast<double>(length) * kBlaEpsilon;
        const double left = skipped * skipped * (dzStart2 / s->r2);
        skip.err2PerOffset2 =
            (s->ar * s->ar + s->ai * s->ai) * skip.err2PerOffset2 + (left + kStepRounding) * (pr * pr + pi * pi);
        skip.pr = pr;
        skip.pi = pi;
        skip.m = m;
        room = static_cast<std::int64_t>(limit) - 2 - skip.steps();
    }
    return skip;
}

}  // namespace velmora

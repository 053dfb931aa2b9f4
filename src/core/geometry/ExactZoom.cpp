#include "geometry/ExactZoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "location/Mpfr.h"

namespace velmora {
namespace {

struct Edges {
    explicit Edges(mpfr_prec_t bits) : left(bits), top(bits), right(bits), bottom(bits) {}
    Mpfr left, top, right, bottom;
};

// The location's edges at `bits`: its exact text where it has some, else the
// doubles themselves (which MPFR holds exactly).
Edges readEdges(const FractalParams& p, mpfr_prec_t bits) {
    Edges e(bits);
    if (p.exact.empty()) {
        mpfr_set_d(e.left.get(), p.left, MPFR_RNDN);
        mpfr_set_d(e.top.get(), p.top, MPFR_RNDN);
        mpfr_set_d(e.right.get(), p.right, MPFR_RNDN);
        mpfr_set_d(e.bottom.get(), p.bottom, MPFR_RNDN);
    } else {
        // The text was checked when it was set.
        readDecimal(p.exact.left, e.left);
        readDecimal(p.exact.top, e.top);
        readDecimal(p.exact.right, e.right);
        readDecimal(p.exact.bottom, e.bottom);
    }
    return e;
}

// Bits for the arithmetic: what reads the location, what its extents span
// below its edges, what the step may zoom in by (`extraBits`), and a margin.
mpfr_prec_t workingBits(const FractalParams& p, long extraBits) {
    const mpfr_prec_t read = p.exact.empty() ? 64 : bitsToRead(p.exact);
    const Edges e = readEdges(p, read);
    const long span =
        std::min<long>(std::max(axisSpanBits(e.left, e.right), axisSpanBits(e.top, e.bottom)), kMaxLocationBits);
    return std::min<mpfr_prec_t>(std::max<mpfr_prec_t>(read, span + 64) + extraBits + 64, kMaxLocationBits);
}

// The moved edges as the location's exact text and doubles; empty when an
// edge left the range of doubles.
std::optional<FractalParams> finish(const FractalParams& p, const Edges& e) {
    for (const Mpfr* v : {&e.left, &e.top, &e.right, &e.bottom})
        if (!mpfr_number_p(v->get())) return std::nullopt;
    ExactLocation values = exactTextOf(p);
    formatAxis(e.left, e.right, values.left, values.right);
    formatAxis(e.top, e.bottom, values.top, values.bottom);
    FractalParams out = p;
    if (!assignExact(out, values)) return std::nullopt;
    return out;
}

// Runs the doubles' step on a location the doubles hold, and the exact step
// (which moves the edges in place, false when it cannot) on any other.
template <typename DoubleStep, typename ExactStep>
std::optional<FractalParams> move(const FractalParams& p, long extraBits, DoubleStep doubles, ExactStep exact) {
    if (p.exact.empty()) {
        const std::optional<PlaneRegion> r = doubles(PlaneRegion{p.left, p.top, p.right, p.bottom});
        if (!r) return std::nullopt;
        if (!regionNeedsExact(r->left, r->top, r->right, r->bottom)) {
            FractalParams out = p;
            out.left = r->left;
            out.top = r->top;
            out.right = r->right;
            out.bottom = r->bottom;
            return out;
        }
    }
    Edges e = readEdges(p, workingBits(p, extraBits));
    if (!exact(e)) return std::nullopt;
    return finish(p, e);
}

// origin + extent x (n / d), with extent = to - origin.
void place(Mpfr& out, const Mpfr& origin, const Mpfr& to, long n, long d) {
    Mpfr extent(out.bits());
    mpfr_sub(extent.get(), to.get(), origin.get(), MPFR_RNDN);
    mpfr_mul_si(extent.get(), extent.get(), n, MPFR_RNDN);
    mpfr_div_si(extent.get(), extent.get(), d, MPFR_RNDN);
    mpfr_add(out.get(), origin.get(), extent.get(), MPFR_RNDN);
}

// The box's plane edges on one axis, for zoom in.
void zoomAxisIn(Mpfr& low, Mpfr& high, long boxLow, long boxHigh, long client) {
    const Mpfr origin = low;
    place(low, origin, high, boxLow, client);
    place(high, origin, high, boxHigh, client);
}

// Zoom out on one axis: the whole extent shrinks into the box.
bool zoomAxisOut(Mpfr& low, Mpfr& high, long boxLow, long boxHigh, long client) {
    const mpfr_prec_t bits = low.bits();
    Mpfr extent(bits), boxStart(bits), boxEnd(bits), boxExtent(bits), grown(bits);
    mpfr_sub(extent.get(), high.get(), low.get(), MPFR_RNDN);
    place(boxStart, low, high, boxLow, client);
    place(boxEnd, low, high, boxHigh, client);
    mpfr_sub(boxExtent.get(), boxEnd.get(), boxStart.get(), MPFR_RNDN);
    if (mpfr_zero_p(boxExtent.get())) return false;
    mpfr_sqr(grown.get(), extent.get(), MPFR_RNDN);
    mpfr_div(grown.get(), grown.get(), boxExtent.get(), MPFR_RNDN);
    // low = boxStart - (boxLow / client) x grown; high = low + grown.
    mpfr_mul_si(extent.get(), grown.get(), boxLow, MPFR_RNDN);
    mpfr_div_si(extent.get(), extent.get(), client, MPFR_RNDN);
    mpfr_sub(low.get(), boxStart.get(), extent.get(), MPFR_RNDN);
    mpfr_add(high.get(), low.get(), grown.get(), MPFR_RNDN);
    return true;
}

// One wheel notch on one axis about the point at at/client of it.
void wheelAxis(Mpfr& low, Mpfr& high, long at, long client, bool in) {
    Mpfr point(low.bits());
    place(point, low, high, at, client);
    for (Mpfr* e : {&low, &high}) {
        mpfr_sub(e->get(), e->get(), point.get(), MPFR_RNDN);
        if (in) {
            mpfr_div_2ui(e->get(), e->get(), 1, MPFR_RNDN);
        } else {
            mpfr_mul_2ui(e->get(), e->get(), 1, MPFR_RNDN);
        }
        mpfr_add(e->get(), point.get(), e->get(), MPFR_RNDN);
    }
}

void panAxis(Mpfr& low, Mpfr& high, long moved, long client) {
    Mpfr shift(low.bits());
    mpfr_sub(shift.get(), high.get(), low.get(), MPFR_RNDN);
    mpfr_mul_si(shift.get(), shift.get(), -moved, MPFR_RNDN);
    mpfr_div_si(shift.get(), shift.get(), client, MPFR_RNDN);
    mpfr_add(low.get(), low.get(), shift.get(), MPFR_RNDN);
    mpfr_add(high.get(), high.get(), shift.get(), MPFR_RNDN);
}

// A box or pan step cannot zoom by more than a client's pixel count.
constexpr long kClientBits = 34;

}  // namespace

std::optional<FractalParams> zoomInLocation(const FractalParams& p, const PixelRect& box, std::int32_t cw,
                                            std::int32_t ch) {
    if (cw <= 0 || ch <= 0) return std::nullopt;
    return move(
        p, kClientBits, [&](const PlaneRegion& r) { return zoomInRegion(r, box, cw, ch); },
        [&](Edges& e) {
            zoomAxisIn(e.left, e.right, box.left, box.right, cw);
            zoomAxisIn(e.top, e.bottom, box.top, box.bottom, ch);
            return true;
        });
}

std::optional<CentreWidth> pointUnder(const FractalParams& p, ClientPoint at, std::int32_t cw, std::int32_t ch) {
    if (at.x < 0 || at.y < 0 || at.x >= cw || at.y >= ch) return std::nullopt;
    // The pixel as a region of its own: its centre, to the digits its width needs.
    const auto pixel = zoomInLocation(p, PixelRect{at.x, at.y, at.x + 1, at.y + 1}, cw, ch);
    if (!pixel) return std::nullopt;
    return centreOf(*pixel);
}

std::optional<FractalParams> zoomOutLocation(const FractalParams& p, const PixelRect& box, std::int32_t cw,
                                             std::int32_t ch) {
    if (cw <= 0 || ch <= 0) return std::nullopt;
    return move(
        p, kClientBits, [&](const PlaneRegion& r) { return zoomOutRegion(r, box, cw, ch); },
        [&](Edges& e) {
            return zoomAxisOut(e.left, e.right, box.left, box.right, cw) &&
                   zoomAxisOut(e.top, e.bottom, box.top, box.bottom, ch);
        });
}

std::optional<FractalParams> wheelZoomLocation(const FractalParams& p, ClientPoint at, int notches, std::int32_t cw,
                                               std::int32_t ch) {
    if (cw <= 0 || ch <= 0 || notches == 0) return std::nullopt;
    return move(
        p, kClientBits + std::abs(static_cast<long>(notches)),
        [&](const PlaneRegion& r) { return wheelZoomRegion(r, at, notches, cw, ch); },
        [&](Edges& e) {
            for (long i = 0; i < std::abs(static_cast<long>(notches)); ++i) {
                wheelAxis(e.left, e.right, at.x, cw, notches > 0);
                wheelAxis(e.top, e.bottom, at.y, ch, notches > 0);
            }
            return true;
        });
}

std::optional<FractalParams> panLocation(const FractalParams& p, std::int32_t dx, std::int32_t dy, std::int32_t cw,
                                         std::int32_t ch) {
    if (cw <= 0 || ch <= 0) return std::nullopt;
    return move(
        p, kClientBits, [&](const PlaneRegion& r) { return panRegion(r, dx, dy, cw, ch); },
        [&](Edges& e) {
            panAxis(e.left, e.right, dx, cw);
            panAxis(e.top, e.bottom, dy, ch);
            return true;
        });
}

std::optional<FractalParams> scaleAboutLocation(const FractalParams& p, double x, double y, double factor,
                                                std::int32_t cw, std::int32_t ch) {
    if (cw <= 0 || ch <= 0 || !(factor > 0.0) || !std::isfinite(factor) || !std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    const double fx = x / cw;
    const double fy = y / ch;
    const long extraBits = kClientBits + static_cast<long>(std::ceil(std::abs(std::log2(factor))));
    return move(
        p, extraBits,
        [&](const PlaneRegion& r) -> std::optional<PlaneRegion> {
            const double px = r.left + fx * (r.right - r.left);
            const double py = r.top + fy * (r.bottom - r.top);
            const auto step = [factor](double e, double q) { return q + (e - q) / factor; };
            const PlaneRegion out{step(r.left, px), step(r.top, py), step(r.right, px), step(r.bottom, py)};
            if (!std::isfinite(out.left) || !std::isfinite(out.top) || !std::isfinite(out.right) ||
                !std::isfinite(out.bottom))
                return std::nullopt;
            return out;
        },
        [&](Edges& e) {
            const auto axis = [factor](Mpfr& low, Mpfr& high, double f) {
                Mpfr point(low.bits());
                mpfr_sub(point.get(), high.get(), low.get(), MPFR_RNDN);
                mpfr_mul_d(point.get(), point.get(), f, MPFR_RNDN);
                mpfr_add(point.get(), point.get(), low.get(), MPFR_RNDN);
                for (Mpfr* v : {&low, &high}) {
                    mpfr_sub(v->get(), v->get(), point.get(), MPFR_RNDN);
                    mpfr_div_d(v->get(), v->get(), factor, MPFR_RNDN);
                    mpfr_add(v->get(), v->get(), point.get(), MPFR_RNDN);
                }
            };
            axis(e.left, e.right, fx);
            axis(e.top, e.bottom, fy);
            return true;
        });
}

double heldZoomFactor(double perSecond, double seconds, bool out) {
    if (!(perSecond > 1.0) || !std::isfinite(perSecond) || !(seconds > 0.0)) return 1.0;
    const double factor = std::pow(perSecond, seconds);
    return out ? 1.0 / factor : factor;
}

std::optional<ClientPlacement> placeInClient(const FractalParams& shown, const FractalParams& target,
                                             std::int32_t cw, std::int32_t ch) {
    if (cw <= 0 || ch <= 0) return std::nullopt;
    const mpfr_prec_t bits = std::max(workingBits(shown, 0), workingBits(target, 0));
    const Edges from = readEdges(shown, bits);
    const Edges to = readEdges(target, bits);
    // (value - origin) / (end - origin) x client: where a plane value lies in target's client pixels.
    const auto at = [bits](const Mpfr& value, const Mpfr& origin, const Mpfr& end, std::int32_t client) {
        Mpfr extent(bits), offset(bits);
        mpfr_sub(extent.get(), end.get(), origin.get(), MPFR_RNDN);
        mpfr_sub(offset.get(), value.get(), origin.get(), MPFR_RNDN);
        mpfr_div(offset.get(), offset.get(), extent.get(), MPFR_RNDN);
        return mpfr_get_d(offset.get(), MPFR_RNDN) * client;
    };
    const ClientPlacement out{at(from.left, to.left, to.right, cw), at(from.top, to.top, to.bottom, ch),
                              at(from.right, to.left, to.right, cw), at(from.bottom, to.top, to.bottom, ch)};
    for (const double v : {out.left, out.top, out.right, out.bottom})
        if (!std::isfinite(v)) return std::nullopt;
    return out;
}

}  // namespace velmora

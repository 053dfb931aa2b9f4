#include "deep/DeepRenderer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "deep/DoubleDoubleLanes.h"
#include "deep/DoubleDoublePixel.h"
#include "deep/PlainMpfrLoop.h"
#include "deep/Precision.h"
#include "render/ThreadPool.h"

namespace velmora {

namespace {

// Bits short of the measured need that the margin covers without a second orbit.
constexpr mpfr_prec_t kPrecisionSlack = 16;
// Bits a Mandelbrot reference is computed with beyond its picture's need: a
// zoom of 2^32 about it can keep it.
constexpr mpfr_prec_t kKeptHeadroom = 32;

// The row whose imaginary part is nearest 0, when orbits starting there stay
// real (Mandelbrot, or a real Julia constant) and it lies within a millionth
// of a row spacing of the axis; -1 otherwise.
std::int32_t realAxisRow(const DeepLocation& loc) {
    if (!loc.mandelbrot() && !mpfr_zero_p(loc.juliaIm())) return -1;
    const ExtFloat spacing = loc.spacingY();
    if (spacing.isZero() || spacing.mantissa() < 0) return -1;
    Mpfr x(loc.precision()), y(loc.precision());
    loc.pixel(0, 0, x.get(), y.get());
    if (mpfr_sgn(y.get()) > 0) return -1;  // the top row lies above the axis
    // Rows from the top to the axis: -y / spacing, in the spacing's scale.
    mpfr_neg(y.get(), y.get(), MPFR_RNDN);
    mpfr_div_2si(y.get(), y.get(), spacing.exponent(), MPFR_RNDN);
    const double rows = mpfr_get_d(y.get(), MPFR_RNDN) / spacing.mantissa();
    if (!(rows < loc.height() - 0.5)) return -1;
    const auto row = static_cast<std::int32_t>(std::llround(rows));
    loc.pixel(0, row, x.get(), y.get());
    if (!mpfr_zero_p(y.get()) && mpfr_get_exp(y.get()) > spacing.exponent() - 20) return -1;
    return row;
}

// Whether every pixel of the row lies on the real axis within [-2, 1/4],
// inside the Mandelbrot set: none of them ever escapes.
bool rowInsideSet(const DeepLocation& loc, std::int32_t row) {
    if (!loc.mandelbrot()) return false;
    Mpfr x(loc.precision()), y(loc.precision());
    for (const std::int32_t i : {0, loc.width() - 1}) {
        loc.pixel(i, row, x.get(), y.get());
        if (!realAxisInsideSet(x.get(), y.get())) return false;
    }
    return true;
}

}  // namespace

DeepRenderer::Prepared DeepRenderer::prepare(const FractalParams& params, const std::function<bool()>& cancelled,
                                             std::shared_ptr<const KeptReference> kept) {
    m_kept = std::move(kept);
    const Prepared ready = prepareAt(params, cancelled, -1, false);
    m_exactPixels = 0;
    m_redrawnPixels = 0;
    m_axis.reset();
    m_axisRow = -1;
    m_axisInside = false;
    if (ready != Prepared::Ready) return ready;
    const std::int32_t row = realAxisRow(*m_location);
    if (row < 0) return ready;
    if (rowInsideSet(*m_location, row)) {
        // Nothing to follow there: no reference of its own.
        m_axisRow = row;
        m_axisInside = true;
        return ready;
    }
    auto axis = std::make_unique<DeepRenderer>();
    const Prepared axisReady = axis->prepareAt(params, cancelled, row, true);
    if (axisReady != Prepared::Ready) return axisReady;
    axis->setLanes(m_lanesAllowed);
    axis->setLaneWidth(m_lanes.width);
    m_axis = std::move(axis);
    m_axisRow = row;
    return ready;
}

OrbitOutcome DeepRenderer::computeOrbits(std::int32_t row, bool onAxis, const std::function<bool()>& cancelled) {
    const DeepLocation& loc = *m_location;
    // The reference is the middle pixel: offsets stay within half the picture.
    m_refI = loc.width() / 2;
    m_refJ = row >= 0 ? row : loc.height() / 2;
    const mpfr_prec_t bits = loc.precision();
    Mpfr re(bits), im(bits), zero(bits);
    mpfr_set_zero(zero.get(), 1);
    loc.pixel(m_refI, m_refJ, re.get(), im.get());
    m_onAxis = onAxis;
    if (onAxis) {
        m_axisOffset = toExtFloat(im.get());
        mpfr_set_zero(im.get(), 1);
    }
    m_shiftRe = m_shiftIm = ExtFloat();
    m_refRe = mpfr_get_d(re.get(), MPFR_RNDN);
    m_refIm = mpfr_get_d(im.get(), MPFR_RNDN);
    m_juliaRe = loc.mandelbrot() ? 0.0 : mpfr_get_d(loc.juliaRe(), MPFR_RNDN);
    m_juliaIm = loc.mandelbrot() ? 0.0 : mpfr_get_d(loc.juliaIm(), MPFR_RNDN);
    // Enough values for the longest pixel: the Mandelbrot orbit starts one
    // step early (at 0, with z0 = c its second value).
    const std::size_t limit = loc.iterations() > 0 ? static_cast<std::size_t>(loc.iterations()) : 0;
    auto primary = std::make_shared<ReferenceOrbit>();
    m_primary = primary;
    if (loc.mandelbrot()) {
        // With bits to spare, so that the orbit serves the next pictures of a
        // zoom too (the point itself stays the pixel's, exactly).
        const mpfr_prec_t spare = onAxis ? bits : bits + kKeptHeadroom;
        re.setPrecision(spare);
        im.setPrecision(spare);
        zero.setPrecision(spare);
        Mpfr lastRe(spare), lastIm(spare);
        const OrbitOutcome outcome =
            computeOrbit(zero.get(), zero.get(), re.get(), im.get(), limit + 2, cancelled, *primary, &lastRe, &lastIm);
        if (outcome == OrbitOutcome::Done && !onAxis)
            m_kept = std::make_shared<KeptReference>(KeptReference{re, im, loc.iterations(), primary, lastRe, lastIm});
        return outcome;
    }
    m_orbits.startRe = toExtFloat(re.get());
    m_orbits.startIm = toExtFloat(im.get());
    const OrbitOutcome outcome =
        computeOrbit(re.get(), im.get(), loc.juliaRe(), loc.juliaIm(), limit + 1, cancelled, *primary);
    if (outcome != OrbitOutcome::Done) return outcome;
    return computeOrbit(zero.get(), zero.get(), loc.juliaRe(), loc.juliaIm(), limit + 1, cancelled, m_rebase);
}

DeepRenderer::Prepared DeepRenderer::prepareAt(const FractalParams& params, const std::function<bool()>& cancelled,
                                               std::int32_t row, bool onAxis) {
    try {
        m_location = std::make_unique<DeepLocation>(params);
    } catch (const std::bad_alloc&) {
        return Prepared::NoMemory;
    }
    m_orbits.wideSteps = 0;
    std::shared_ptr<const KeptReference> offered = onAxis ? nullptr : std::move(m_kept);
    m_kept.reset();
    m_reused = offered && takeKept(offered, cancelled);
    offered.reset();  // an orbit not taken is freed before the new one is computed
    OrbitOutcome outcome = m_reused ? OrbitOutcome::Done : computeOrbits(row, onAxis, cancelled);
    if (outcome == OrbitOutcome::Done && !m_location->mandelbrot() && !m_location->spacingX().isZero() &&
        !m_location->spacingY().isZero()) {
        // Where the reference passes close to 0 the pixels' gaps shrink: the
        // location then needs more bits than its spacing told (and the orbits
        // again at that precision).
        const DeepLocation& first = *m_location;
        const double gap = std::min(first.spacingX().exponent(), first.spacingY().exponent());
        std::size_t wideSteps = 0;
        const double narrowest = narrowestJuliaGap(m_primary->re.data(), m_primary->im.data(), m_primary->size(), gap,
                                                   std::max(first.width(), first.height()), &wideSteps, kWideGap);
        m_orbits.wideSteps =
            wideSteps == 0 ? 0 : static_cast<std::int32_t>(std::min<std::size_t>(wideSteps + 1, INT32_MAX));
        const mpfr_prec_t wanted = first.bitsForGap(narrowest);
        if (wanted > first.precision() + kPrecisionSlack) {
            try {
                m_location = std::make_unique<DeepLocation>(params, wanted);
            } catch (const std::bad_alloc&) {
                return Prepared::NoMemory;
            }
            outcome = computeOrbits(row, onAxis, cancelled);
        }
    }
    if (outcome == OrbitOutcome::Cancelled) return Prepared::Cancelled;
    if (outcome == OrbitOutcome::NoMemory) return Prepared::NoMemory;
    const DeepLocation& loc = *m_location;
    m_orbits.primary = m_primary.get();
    m_orbits.rebase = loc.mandelbrot() ? m_primary.get() : &m_rebase;
    m_orbits.mandelbrot = loc.mandelbrot();
    m_orbits.limit = loc.iterations();
    m_orbits.orbitRounding2 = std::ldexp(1.0, -2 * static_cast<int>(std::min<mpfr_prec_t>(loc.precision() - 3, 500)));
    // |dc| at the picture's corners: the offsets are measured from its middle.
    const double sx = loc.spacingX().toDouble(), sy = loc.spacingY().toDouble();
    // A kept reference lies up to a pixel off (m_refI, m_refJ), and may
    // sit near any edge.
    const double offsetMax = std::hypot(sx * (std::max(loc.width() - m_refI, m_refI) + 1),
                                        sy * (std::max(loc.height() - m_refJ, m_refJ) + 1));
    try {
        m_primaryBla.build(*m_primary, loc.mandelbrot(), offsetMax);
        if (!loc.mandelbrot()) m_rebaseBla.build(m_rebase, false, 0.0);
    } catch (const std::bad_alloc&) {
        m_primaryBla = BlaTable();
        m_rebaseBla = BlaTable();
    }
    m_orbits.common =
        loc.mandelbrot() ? commonSkip(m_primaryBla, *m_primary, offsetMax, loc.iterations()) : CommonSkip{};
    m_orbits.series = loc.mandelbrot() ? seriesStart(m_orbits.common, *m_primary, loc.iterations()) : SeriesStart{};
    setSkipping(true);
    m_lanes.mandelbrot = loc.mandelbrot();
    m_lanes.limit = loc.iterations();
    m_lanes.primaryEnd = static_cast<std::int64_t>(m_primary->size());
    if (loc.mandelbrot()) {
        // One orbit: the lanes read it where it is.
        m_lanes.re = m_primary->re.data();
        m_lanes.im = m_primary->im.data();
        m_lanes.excess = m_primary->excess.data();
        m_lanes.rebaseBegin = 0;
        m_lanes.rebaseEnd = m_lanes.primaryEnd;
    } else {
        try {
            m_laneRe.assign(m_primary->re.begin(), m_primary->re.begin() + m_lanes.primaryEnd);
            m_laneRe.insert(m_laneRe.end(), m_rebase.re.begin(), m_rebase.re.end());
            m_laneIm.assign(m_primary->im.begin(), m_primary->im.begin() + m_lanes.primaryEnd);
            m_laneIm.insert(m_laneIm.end(), m_rebase.im.begin(), m_rebase.im.end());
            m_laneExcess.assign(m_primary->excess.begin(), m_primary->excess.begin() + m_lanes.primaryEnd);
            m_laneExcess.insert(m_laneExcess.end(), m_rebase.excess.begin(), m_rebase.excess.end());
        } catch (const std::bad_alloc&) {
            return Prepared::NoMemory;
        }
        m_lanes.re = m_laneRe.data();
        m_lanes.im = m_laneIm.data();
        m_lanes.excess = m_laneExcess.data();
        m_lanes.rebaseBegin = m_lanes.primaryEnd;
        m_lanes.rebaseEnd = m_lanes.primaryEnd + static_cast<std::int64_t>(m_rebase.size());
    }
    // Lanes take each pixel where its own start (wide numbers, skipped
    // stretches) leaves it, so they serve every depth.
    m_lanesUsable = perturbationLanesSupported();
    m_lanes.width = widestPerturbationLanes();
    // Offsets in plain doubles where every product and sum of offsetRe and
    // offsetIm stays a normal double, so that both give the same values.
    const auto normal = [](ExtFloat v) { return v.isZero() || (v.exponent() > -1000 && v.exponent() < 1000); };
    m_quickOffsets = loc.mandelbrot() && !loc.spacingX().isZero() && !loc.spacingY().isZero() &&
                     normal(loc.spacingX()) && normal(loc.spacingY()) && normal(m_shiftRe) && normal(m_shiftIm);
    m_spacingRe = loc.spacingX().toDouble();
    m_shiftReValue = m_shiftRe.toDouble();
    return Prepared::Ready;
}

bool DeepRenderer::lanesPay() const {
    return m_lanesUsable && m_lanesAllowed;
}

void DeepRenderer::setSkipping(bool allowed) {
    m_orbits.primaryBla = allowed ? &m_primaryBla : nullptr;
    m_orbits.rebaseBla = allowed ? (m_orbits.mandelbrot ? &m_primaryBla : &m_rebaseBla) : nullptr;
}

ExtFloat DeepRenderer::offsetRe(std::int32_t i) const {
    return ExtFloat(static_cast<double>(i - m_refI)) * m_location->spacingX() + m_shiftRe;
}

ExtFloat DeepRenderer::offsetIm(std::int32_t j) const {
    if (m_onAxis && j == m_refJ) return m_axisOffset;
    return ExtFloat(static_cast<double>(j - m_refJ)) * m_location->spacingY() + m_shiftIm;
}

bool DeepRenderer::takeKept(std::shared_ptr<const KeptReference> kept, const std::function<bool()>& cancelled) {
    const DeepLocation& loc = *m_location;
    if (!loc.mandelbrot() || !kept->orbit || kept->re.bits() < loc.precision()) return false;
    if (loc.spacingX().isZero() || loc.spacingY().isZero()) return false;
    // The point in pixels from the top-left one: it must lie in the picture.
    const mpfr_prec_t bits = kept->re.bits();
    Mpfr x(bits), y(bits);
    loc.pixel(0, 0, x.get(), y.get());
    mpfr_sub(x.get(), kept->re.get(), x.get(), MPFR_RNDN);
    mpfr_sub(y.get(), kept->im.get(), y.get(), MPFR_RNDN);
    mpfr_div_2si(x.get(), x.get(), loc.spacingX().exponent(), MPFR_RNDN);
    mpfr_div_2si(y.get(), y.get(), loc.spacingY().exponent(), MPFR_RNDN);
    const double across = mpfr_get_d(x.get(), MPFR_RNDN) / loc.spacingX().mantissa();
    const double down = mpfr_get_d(y.get(), MPFR_RNDN) / loc.spacingY().mantissa();
    if (!(across >= 0.0 && across <= loc.width() - 1) || !(down >= 0.0 && down <= loc.height() - 1)) return false;
    // An orbit that stopped at its own limit, short of this one, is carried on.
    const bool escaped = kept->orbit->size() < static_cast<std::size_t>(kept->limit) + 2;
    if (!escaped && kept->limit < loc.iterations()) {
        auto orbit = std::make_shared<ReferenceOrbit>();
        Mpfr lastRe(bits), lastIm(bits);
        const auto length = static_cast<std::size_t>(loc.iterations()) + 2;
        if (extendOrbit(*kept->orbit, kept->lastRe, kept->lastIm, kept->re.get(), kept->im.get(), length, cancelled,
                        *orbit, &lastRe, &lastIm) != OrbitOutcome::Done)
            return false;
        kept = std::make_shared<KeptReference>(
            KeptReference{kept->re, kept->im, loc.iterations(), std::move(orbit), lastRe, lastIm});
    }
    m_refI = static_cast<std::int32_t>(std::lround(across));
    m_refJ = static_cast<std::int32_t>(std::lround(down));
    // The shift from that pixel to the point, exactly, then rounded once.
    loc.pixel(m_refI, m_refJ, x.get(), y.get());
    mpfr_sub(x.get(), x.get(), kept->re.get(), MPFR_RNDN);
    mpfr_sub(y.get(), y.get(), kept->im.get(), MPFR_RNDN);
    m_shiftRe = toExtFloat(x.get());
    m_shiftIm = toExtFloat(y.get());
    m_refRe = mpfr_get_d(kept->re.get(), MPFR_RNDN);
    m_refIm = mpfr_get_d(kept->im.get(), MPFR_RNDN);
    m_onAxis = false;
    m_primary = kept->orbit;
    m_kept = kept;
    return true;
}

std::uint8_t DeepRenderer::pixel(std::int32_t i, std::int32_t j) const {
    if (m_axisInside && j == m_axisRow) return 0;
    if (m_axis && j == m_axisRow) return m_axis->pixel(i, j);
    return settledPixel(i, j).index;
}

PixelCount DeepRenderer::settledPixel(std::int32_t i, std::int32_t j) const {
    const PixelCount count = perturbedPixel(m_orbits, offsetRe(i), offsetIm(j));
    return count.doubtful ? exactPixel(i, j) : count;
}

SmoothSample DeepRenderer::smoothSample(std::int32_t i, std::int32_t j, std::int32_t count, double zr,
                                        double zi) const {
    if (!m_location->mandelbrot()) return smoothSampleAt(count, zr, zi, m_juliaRe, m_juliaIm);
    // The pixel's point rounded to doubles: the reference plus its offset.
    const double cr = m_refRe + offsetRe(i).toDouble();
    const double ci = m_refIm + offsetIm(j).toDouble();
    return smoothSampleAt(count, zr, zi, cr, ci);
}

DeepRenderer::Offset DeepRenderer::exactOffset(std::int32_t i, std::int32_t j, DdOffset& offset) const {
    const DeepLocation& loc = *m_location;
    const mpfr_prec_t bits = loc.precision();
    Mpfr re(bits), im(bits), refRe(bits), refIm(bits);
    loc.pixel(i, j, re.get(), im.get());
    if (loc.mandelbrot() && realAxisInsideSet(re.get(), im.get())) return Offset::Inside;
    if (m_reused) {
        refRe = m_kept->re;
        refIm = m_kept->im;
    } else {
        loc.pixel(m_refI, m_refJ, refRe.get(), refIm.get());
    }
    if (m_onAxis) mpfr_set_zero(refIm.get(), 1);
    mpfr_sub(re.get(), re.get(), refRe.get(), MPFR_RNDN);
    mpfr_sub(im.get(), im.get(), refIm.get(), MPFR_RNDN);
    const bool fits = m_orbits.wideSteps == 0 && (mpfr_zero_p(re.get()) || mpfr_get_exp(re.get()) > kDoubleFloor) &&
                      (mpfr_zero_p(im.get()) || mpfr_get_exp(im.get()) > kDoubleFloor);
    if (!fits) return Offset::BelowDoubles;
    const DoubleDouble dcr = splitOff(re), dci = splitOff(im);
    offset = DdOffset{{dcr.hi, dcr.lo}, {dci.hi, dci.lo}};
    return Offset::Fits;
}

PixelCount DeepRenderer::fullPrecisionPixel(std::int32_t i, std::int32_t j) const {
    m_exactPixels.fetch_add(1, std::memory_order_relaxed);
    const MpfrEscape e = plainMpfrEscape(*m_location, i, j);
    return PixelCount{e.count == 0 ? std::uint8_t{0} : shownIndex(e.count), false, e.count, e.zr, e.zi};
}

PixelCount DeepRenderer::exactPixel(std::int32_t i, std::int32_t j) const {
    // First in double-double numbers, where the offsets fit them; then, if
    // still in doubt, by the full-precision loop.
    m_redrawnPixels.fetch_add(1, std::memory_order_relaxed);
    DdOffset offset;
    const Offset where = exactOffset(i, j, offset);
    if (where == Offset::Inside) return PixelCount{};
    if (where == Offset::Fits) {
        const PixelCount count = doubleDoublePixel(m_orbits, {offset.re[0], offset.re[1]}, {offset.im[0], offset.im[1]});
        if (!count.doubtful) return count;
    }
    return fullPrecisionPixel(i, j);
}

void DeepRenderer::settleDoubts(const std::int32_t* is, const std::int32_t* js, std::int32_t i0, std::int32_t j0,
                                std::int32_t count, const std::uint8_t* doubt, std::uint8_t* out,
                                const std::atomic<bool>* cancel, LaneEscape* escapes) const {
    const auto settle = [&](std::int32_t k, const PixelCount& c) {
        out[k] = c.index;
        if (escapes != nullptr) escapes[k] = {c.count, c.zr, c.zi};
    };
    const auto cancelled = [&] { return cancel != nullptr && cancel->load(std::memory_order_relaxed); };
    const auto column = [&](std::int32_t k) { return is != nullptr ? is[k] : i0 + k; };
    const auto row = [&](std::int32_t k) { return js != nullptr ? js[k] : j0; };
    // As exactPixel, for all of them: first in double-double numbers, where
    // the offsets fit them, then by the full-precision loop. A Mandelbrot
    // picture's pixels follow one orbit, so they take the double-double
    // steps together, in vector lanes.
    std::vector<std::int32_t> fitting, alone;  // for the double-double steps, and for the full loop
    std::vector<DdOffset> offsets;
    for (std::int32_t k = 0; k < count; ++k) {
        if (doubt[k] == 0) continue;
        m_redrawnPixels.fetch_add(1, std::memory_order_relaxed);
        DdOffset offset;
        const Offset where = exactOffset(column(k), row(k), offset);
        if (where == Offset::Inside) settle(k, PixelCount{});
        if (where == Offset::Fits) fitting.push_back(k), offsets.push_back(offset);
        if (where == Offset::BelowDoubles) alone.push_back(k);
    }
    std::vector<PixelCount> counts(fitting.size());
    if (m_orbits.mandelbrot) {
        if (cancelled()) return;
        doubleDoublePixels(m_orbits, offsets.data(), static_cast<std::int32_t>(fitting.size()), counts.data());
    } else {
        for (std::size_t q = 0; q < fitting.size(); ++q) {
            if (cancelled()) return;
            const DdOffset& d = offsets[q];
            counts[q] = doubleDoublePixel(m_orbits, {d.re[0], d.re[1]}, {d.im[0], d.im[1]});
        }
    }
    for (std::size_t q = 0; q < fitting.size(); ++q) {
        if (counts[q].doubtful)
            alone.push_back(fitting[q]);
        else
            settle(fitting[q], counts[q]);
    }
    for (const std::int32_t k : alone) {
        if (cancelled()) return;
        settle(k, fullPrecisionPixel(column(k), row(k)));
    }
}

void DeepRenderer::span(std::int32_t j, std::int32_t begin, std::int32_t end, std::uint8_t* out,
                        const std::atomic<bool>* cancel, SmoothSample* smooth) const {
    if (m_axisInside && j == m_axisRow) {
        std::fill(out + begin, out + end, std::uint8_t{0});
        if (smooth != nullptr) std::fill(smooth + begin, smooth + end, SmoothSample{});
        return;
    }
    if (m_axis && j == m_axisRow) {
        m_axis->span(j, begin, end, out, cancel, smooth);
        return;
    }
    if (!lanesPay()) {
        for (std::int32_t i = begin; i < end; ++i) {
            // Deep pixels are slow: look at the flag often so a cancel is prompt.
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
            const PixelCount c = settledPixel(i, j);
            out[i] = c.index;
            if (smooth != nullptr) smooth[i] = smoothSample(i, j, c.count, c.zr, c.zi);
        }
        return;
    }
    constexpr std::int32_t kChunk = 256;
    LaneStart starts[kChunk];
    std::uint8_t doubt[kChunk];
    LaneEscape escapes[kChunk];
    LaneEscape* const kept = smooth != nullptr ? escapes : nullptr;
    for (std::int32_t from = begin; from < end; from += kChunk) {
        const std::int32_t count = end - from < kChunk ? end - from : kChunk;
        const std::int32_t waiting = startPixels(from, j, count, nullptr, out + from, doubt, starts, nullptr, kept);
        perturbedSpanLanes(m_lanes, starts, waiting, out + from, doubt, cancel, kept);
        settleDoubts(nullptr, nullptr, from, j, count, doubt, out + from, cancel, kept);
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
        if (kept == nullptr) continue;
        for (std::int32_t k = 0; k < count; ++k)
            smooth[from + k] = smoothSample(from + k, j, escapes[k].count, escapes[k].zr, escapes[k].zi);
    }
}

std::int32_t DeepRenderer::startPixels(std::int32_t i0, std::int32_t j0, std::int32_t count, const std::int32_t* is,
                                       std::uint8_t* out, std::uint8_t* doubt, LaneStart* starts,
                                       const std::int32_t* js, LaneEscape* escapes) const {
    // Each pixel skips what it can on its own, then waits for a lane.
    std::int32_t waiting = 0;
    // offsetRe's and offsetIm's values, where both are normal doubles.
    const auto quickIm = [&](std::int32_t j, double& value) {
        const ExtFloat im = offsetIm(j);
        value = im.toDouble();
        return m_quickOffsets && (im.isZero() || im.exponent() > -1000);
    };
    double rowIm = 0.0;
    const bool quickRow = js == nullptr && quickIm(j0, rowIm);
    const auto quickRe = [&](std::int32_t i) { return static_cast<double>(i - m_refI) * m_spacingRe + m_shiftReValue; };
    // A quick row's series values, a vector of pixels at a time.
    constexpr std::int32_t kBatch = 256;
    alignas(64) double seriesRe[kBatch + 8], dzr[kBatch + 8], dzi[kBatch + 8], err2[kBatch + 8];
    const bool batch = quickRow && is == nullptr && m_orbits.series.m > 0 && count <= kBatch;
    if (batch) {
        for (std::int32_t k = 0; k < count + 8; ++k) seriesRe[k] = k < count ? quickRe(i0 + k) : 0.0;
        seriesValuesLanes(m_lanes.width, m_orbits.series, seriesRe, rowIm, count, dzr, dzi, err2);
    }
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t i = is != nullptr ? is[k] : i0 + k;
        const std::int32_t j = js != nullptr ? js[k] : j0;
        PixelHandOver h;
        double im = rowIm;
        if (js != nullptr ? quickIm(j, im) : quickRow) {
            const SeriesValue value{batch ? dzr[k] : 0.0, batch ? dzi[k] : 0.0, batch ? err2[k] : 0.0};
            if (quickPixelStart(m_orbits, quickRe(i), im, h, batch ? &value : nullptr)) {
                doubt[k] = 0;
                starts[waiting++] = laneStart(h, k);
                continue;
            }
        }
        const ExtFloat dcr = offsetRe(i);
        const ExtFloat dci = offsetIm(j);
        PixelCount decided;
        const bool done = perturbedPixelStart(m_orbits, dcr, dci, decided, h);
        doubt[k] = done && decided.doubtful ? 1 : 0;
        if (done) {
            out[k] = decided.index;
            if (escapes != nullptr) escapes[k] = {decided.count, decided.zr, decided.zi};
            continue;
        }
        starts[waiting++] = laneStart(h, k);
    }
    return waiting;
}

LaneStart DeepRenderer::laneStart(const PixelHandOver& h, std::int32_t k) const {
    const auto m = static_cast<std::int64_t>(h.m);
    return LaneStart{h.dzr,
                     h.dzi,
                     h.cr,
                     h.ci,
                     h.err2,
                     h.nz,
                     h.onRebase ? m_lanes.rebaseBegin + m : m,
                     h.onRebase ? m_lanes.rebaseEnd : m_lanes.primaryEnd,
                     h.n,
                     k};
}

void DeepRenderer::pixels(const std::int32_t* i, const std::int32_t* j, std::int32_t count, std::uint8_t* out,
                          SmoothSample* smooth) const {
    if (!m_axis && !m_axisInside) {
        pixelsOffAxis(i, j, count, out, smooth);
        return;
    }
    // The axis row's pixels from its own reference, the rest from this one.
    std::vector<std::int32_t> is[2], js[2], at[2];
    for (std::int32_t k = 0; k < count; ++k) {
        const int side = j[k] == m_axisRow ? 1 : 0;
        is[side].push_back(i[k]), js[side].push_back(j[k]), at[side].push_back(k);
    }
    for (int side = 0; side < 2; ++side) {
        const auto n = static_cast<std::int32_t>(is[side].size());
        std::vector<std::uint8_t> part(is[side].size());
        std::vector<SmoothSample> samples(smooth != nullptr ? is[side].size() : 0);
        if (side == 0 || m_axis)
            (side == 1 ? *m_axis : *this)
                .pixelsOffAxis(is[side].data(), js[side].data(), n, part.data(),
                               smooth != nullptr ? samples.data() : nullptr);
        for (std::size_t k = 0; k < at[side].size(); ++k) {
            out[at[side][k]] = part[k];
            if (smooth != nullptr) smooth[at[side][k]] = samples[k];
        }
    }
}

void DeepRenderer::pixelsOffAxis(const std::int32_t* i, const std::int32_t* j, std::int32_t count,
                                 std::uint8_t* out, SmoothSample* smooth) const {
    if (!lanesPay()) {
        for (std::int32_t k = 0; k < count; ++k) {
            const PixelCount c = settledPixel(i[k], j[k]);
            out[k] = c.index;
            if (smooth != nullptr) smooth[k] = smoothSample(i[k], j[k], c.count, c.zr, c.zi);
        }
        return;
    }
    std::vector<LaneStart> starts(static_cast<std::size_t>(count));
    std::vector<std::uint8_t> doubt(static_cast<std::size_t>(count), 0);
    std::vector<LaneEscape> escapes(smooth != nullptr ? static_cast<std::size_t>(count) : 0);
    LaneEscape* const kept = smooth != nullptr ? escapes.data() : nullptr;
    const std::int32_t waiting = startPixels(0, 0, count, i, out, doubt.data(), starts.data(), j, kept);
    perturbedSpanLanes(m_lanes, starts.data(), waiting, out, doubt.data(), nullptr, kept);
    settleDoubts(i, j, 0, 0, count, doubt.data(), out, nullptr, kept);
    if (kept == nullptr) return;
    for (std::int32_t k = 0; k < count; ++k) smooth[k] = smoothSample(i[k], j[k], kept[k].count, kept[k].zr, kept[k].zi);
}

namespace {

struct DeepWork {
    const DeepRenderer* renderer;
    const RenderJob* job;
    std::int32_t firstRow;   // of the job
    std::int32_t imageRow0;  // image row of the job's row 0
    std::int32_t column0;    // image column of the job's column 0
    std::int64_t spansPerRow;
    std::int64_t spanWidth;

    void operator()(std::size_t item) const {
        const auto index = static_cast<std::int64_t>(item);
        const std::int32_t row = firstRow + static_cast<std::int32_t>(index / spansPerRow);
        const std::int64_t begin = (index % spansPerRow) * spanWidth;
        const std::int64_t end = begin + spanWidth < job->width ? begin + spanWidth : job->width;
        if (job->cancelled()) return;
        // The span writes at image columns: the job's row starts column0 into the picture's.
        SmoothSample* smooth = job->smooth != nullptr ? job->smoothRow(row) - column0 : nullptr;
        renderer->span(imageRow0 + row, column0 + static_cast<std::int32_t>(begin),
                       column0 + static_cast<std::int32_t>(end), job->row(row) - column0, job->cancel, smooth);
    }
};

}  // namespace

void DeepRenderer::renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) {
    if (!m_location || job.width <= 0 || endRow <= firstRow) return;
    ThreadPool& pool = ThreadPool::shared();
    const std::int64_t rows = endRow - firstRow;
    // Rows are cut into spans so every thread gets several pieces to balance.
    const std::int64_t wanted = 8 * static_cast<std::int64_t>(pool.size());
    std::int64_t spansPerRow = rows < wanted ? (wanted + rows - 1) / rows : 1;
    // A row on the axis with a reference of its own may leave most of its
    // pixels to the full-precision loop: rows are cut as finely as that one
    // must be for every thread to share it.
    if (m_axis && m_axisRow >= m_firstRow + firstRow && m_axisRow < m_firstRow + endRow && spansPerRow < wanted)
        spansPerRow = wanted;
    if (spansPerRow > job.width) spansPerRow = job.width;
    const std::int64_t spanWidth = (job.width + spansPerRow - 1) / spansPerRow;
    spansPerRow = (job.width + spanWidth - 1) / spanWidth;
    DeepWork work{this, &job, firstRow, m_firstRow, m_firstColumn, spansPerRow, spanWidth};
    pool.forEach(static_cast<std::size_t>(rows * spansPerRow), 0, work);
}

DeepLocation settledLocation(const FractalParams& params) {
    DeepRenderer engine;
    mpfr_prec_t bits = 0;
    if (engine.prepare(params, {}) == DeepRenderer::Prepared::Ready) bits = engine.location()->precision();
    return DeepLocation(params, bits);
}

}  // namespace velmora

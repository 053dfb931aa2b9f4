// The stretch every pixel of a Mandelbrot picture skips at once, and the
// series that carries it on: their differences against the exact ones, within
// their error bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include <mpfr.h>

#include "deep/Bla.h"
#include "deep/DoubleDoubleLanes.h"
#include "deep/DoubleDoublePixel.h"
#include "deep/Perturbation.h"
#include "deep/PerturbationLanes.h"
#include "deep/ReferenceOrbit.h"
#include "deep/SeriesStart.h"
#include "MpfrSteps.h"
#include "location/Mpfr.h"

namespace {

using velmora::Mpfr;

constexpr mpfr_prec_t kBits = 600;

struct Place {
    const char* name;
    const char* re;
    const char* im;
    double dcMax;
    std::int32_t limit;
    std::int32_t leastSteps;        // the skip must be worth having
    std::int32_t leastSeriesSteps;  // and the series beyond it
};

// Near Misiurewicz points (the difference grows steadily until it leaves the
// reference), in seahorse valley, inside the cardioid (it never leaves)
// and just outside the set.
const Place kPlaces[] = {
    {"M3_1 at 1e-20", "-1.543689012692076361570855971801747986", "1e-30", 1e-20, 5000, 30, 30},
    {"M4_1 at 1e-30", "-0.1010963638456221610257854457386225654638", "0.9562865108091415007710960577299774358098",
     1e-30, 5000, 30, 60},
    {"seahorse at 1e-12", "-0.7436438870371587", "0.1318259042053", 1e-12, 5000, 10, 10},
    // The limit leaves the series no step (0: none).
    {"cardioid", "-0.1", "0.1", 1e-16, 300, 298, 0},
    // The reference itself escapes: the skip stops short of it, and the
    // series has nowhere to go.
    {"escaping reference", "0.2501", "1e-9", 1e-80, 5000, 305, 0},
};

// The reference orbit of c = (re, im), `limit` steps long.
velmora::ReferenceOrbit orbitOf(const char* re, const char* im, std::int32_t limit, Mpfr& cr, Mpfr& ci) {
    Mpfr zero(kBits);
    mpfr_set_str(cr.get(), re, 10, MPFR_RNDN);
    mpfr_set_str(ci.get(), im, 10, MPFR_RNDN);
    mpfr_set_zero(zero.get(), 1);
    velmora::ReferenceOrbit orbit;
    const auto outcome = velmora::computeOrbit(zero.get(), zero.get(), cr.get(), ci.get(),
                                               static_cast<std::size_t>(limit) + 2, [] { return false; }, orbit);
    EXPECT_EQ(outcome, velmora::OrbitOutcome::Done);
    return orbit;
}

class CommonSkip : public ::testing::TestWithParam<Place> {};

TEST_P(CommonSkip, EveryOffsetWithinReachLandsWithinTheBound) {
    const Place& place = GetParam();
    Mpfr cr(kBits), ci(kBits);
    const velmora::ReferenceOrbit orbit = orbitOf(place.re, place.im, place.limit, cr, ci);
    velmora::BlaTable table;
    table.build(orbit, true, place.dcMax);
    const velmora::CommonSkip skip = velmora::commonSkip(table, orbit, place.dcMax, place.limit);
    const velmora::SeriesStart series = velmora::seriesStart(skip, orbit, place.limit);
    // The series from the orbit's start (dz = dc there), so that what it
    // leaves out, not what the skip did, makes most of its bound.
    velmora::CommonSkip none;
    none.offsetMax2 = place.dcMax * place.dcMax;
    none.err2PerOffset2 = 0x1p-92;
    const velmora::SeriesStart fromStart = velmora::seriesStart(none, orbit, place.limit);
    EXPECT_GE(skip.steps(), place.leastSteps);
    const std::int32_t gained = series.m == 0 ? 0 : series.steps() - skip.steps();
    EXPECT_GE(gained, place.leastSeriesSteps);
    EXPECT_TRUE(place.leastSeriesSteps > 0 || series.m == 0);
    // Short of the limit, so the pixel's own loop decides there.
    EXPECT_LE(std::max(skip.steps(), series.steps()), place.limit - 2);

    // Offsets at the edge of reach and well inside it, all around.
    for (const double scale : {1.0, 0.7, 1e-3})
        for (int k = 0; k < 8; ++k) {
            const double angle = 0.3 + k * 0.785398;
            const double dcr = place.dcMax * scale * std::cos(angle), dci = place.dcMax * scale * std::sin(angle);
            // z of c + dc less Z, from 0 in full precision, at the skip's end
            // and at the series' end.
            Mpfr pr(kBits), pi(kBits), zr(kBits), zi(kBits), rr(kBits), ri(kBits), t(kBits), u(kBits);
            mpfr_add_d(pr.get(), cr.get(), dcr, MPFR_RNDN);
            mpfr_add_d(pi.get(), ci.get(), dci, MPFR_RNDN);
            mpfr_set_zero(zr.get(), 1), mpfr_set_zero(zi.get(), 1);
            mpfr_set_zero(rr.get(), 1), mpfr_set_zero(ri.get(), 1);
            const auto check = [&](std::size_t m, double dzr, double dzi, double bound2, const char* what) {
                mpfr_sub(t.get(), zr.get(), rr.get(), MPFR_RNDN);
                mpfr_sub(u.get(), zi.get(), ri.get(), MPFR_RNDN);
                const double exactR = mpfr_get_d(t.get(), MPFR_RNDN), exactI = mpfr_get_d(u.get(), MPFR_RNDN);
                const double miss2 = (dzr - exactR) * (dzr - exactR) + (dzi - exactI) * (dzi - exactI);
                EXPECT_LE(miss2, bound2) << what << " " << place.name << " scale " << scale << " angle " << angle;
                // Nowhere near radius 2 where it ends.
                EXPECT_LT(std::hypot(orbit.re[m] + dzr, orbit.im[m] + dzi), 2.0) << what << " " << place.name;
            };
            const std::size_t end = std::max({skip.m, series.m, fromStart.m});
            for (std::size_t n = 0;; ++n) {
                if (n == skip.m) {
                    const double dzr = skip.pr * dcr - skip.pi * dci, dzi = skip.pr * dci + skip.pi * dcr;
                    // The bound as a pixel starts with it, its own product's rounding included.
                    check(n, dzr, dzi, skip.err2PerOffset2 * (dcr * dcr + dci * dci) + 0x1p-92 * (dzr * dzr + dzi * dzi),
                          "skip");
                }
                for (const velmora::SeriesStart* s : {&series, &fromStart})
                    if (n == s->m) {
                        const velmora::SeriesValue v = velmora::seriesValue(*s, dcr, dci);
                        check(n, v.dzr, v.dzi, v.err2, "series");
                    }
                if (n == end) break;
                velmora::test::fullStep(zr, zi, pr.get(), pi.get(), t, u);
                velmora::test::fullStep(rr, ri, cr.get(), ci.get(), t, u);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Places, CommonSkip, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// Pixels near the largest offset start straight after the common stretches,
// in the very state the full start hands to the lanes; the others search on.
TEST(CommonSkipEdges, TheQuickStartIsTheFullStartWhereItApplies) {
    Mpfr cr(kBits), ci(kBits);
    const std::int32_t limit = 3000;
    const velmora::ReferenceOrbit orbit = orbitOf(kPlaces[0].re, kPlaces[0].im, limit, cr, ci);
    const double dcMax = 1e-20;
    velmora::BlaTable table;
    table.build(orbit, true, dcMax);
    velmora::PerturbationOrbits o;
    o.primary = o.rebase = &orbit;
    o.limit = limit;
    o.primaryBla = o.rebaseBla = &table;
    o.common = velmora::commonSkip(table, orbit, dcMax, limit);
    const struct {
        double re, im;
        bool quick;
    } offsets[] = {
        {1e-20, 0.0, true},       {-0.6e-20, 0.7e-20, true}, {0.2e-20, -0.1e-20, true},
        {1e-22, 1e-22, false},  // near the reference: it searches on
        {0.0, 0.0, false},
        {1e-20, 1e-21, false},  // beyond the largest offset it was made for
    };
    const auto compare = [&](const auto& d) {
        velmora::PixelHandOver quick{}, full{};
        velmora::PixelCount decided;
        EXPECT_EQ(velmora::quickPixelStart(o, d.re, d.im, quick), d.quick) << d.re << " " << d.im;
        if (!d.quick) return;
        ASSERT_FALSE(velmora::perturbedPixelStart(o, velmora::ExtFloat(d.re), velmora::ExtFloat(d.im), decided, full));
        EXPECT_EQ(quick.m, full.m);
        EXPECT_EQ(quick.onRebase, full.onRebase);
        EXPECT_EQ(quick.n, full.n);
        for (const auto& [a, b] : {std::pair{quick.dzr, full.dzr}, std::pair{quick.dzi, full.dzi},
                                  std::pair{quick.cr, full.cr}, std::pair{quick.ci, full.ci},
                                  std::pair{quick.err2, full.err2}, std::pair{quick.nz, full.nz}})
            EXPECT_EQ(a, b) << d.re << " " << d.im;
    };
    for (const auto& d : offsets) compare(d);
    // A picture just above the wide numbers' floor: its smaller offsets
    // below it start in wide numbers.
    velmora::BlaTable deeper;
    deeper.build(orbit, true, 0x1p-898);
    o.primaryBla = o.rebaseBla = &deeper;
    o.common = velmora::commonSkip(deeper, orbit, 0x1p-898, limit);
    using Offset = std::remove_cvref_t<decltype(offsets[0])>;
    for (const Offset& d : {Offset{0x1p-899, 0.0, true}, Offset{-0x1p-902, 0x1p-903, false}}) compare(d);
    // Without stretches to skip, nothing starts quickly.
    o.primaryBla = o.rebaseBla = nullptr;
    velmora::PixelHandOver h{};
    EXPECT_FALSE(velmora::quickPixelStart(o, 1e-20, 0.0, h));
}

// The lanes' series values are the one-pixel ones, bit for bit.
TEST(SeriesLanes, GiveTheValuesOfOnePixel) {
    Mpfr cr(kBits), ci(kBits);
    const velmora::ReferenceOrbit orbit = orbitOf(kPlaces[1].re, kPlaces[1].im, 5000, cr, ci);
    velmora::BlaTable table;
    table.build(orbit, true, 1e-30);
    const velmora::SeriesStart series =
        velmora::seriesStart(velmora::commonSkip(table, orbit, 1e-30, 5000), orbit, 5000);
    ASSERT_GT(series.m, 0u);
    constexpr int kCount = 13;  // not a multiple of the lanes
    alignas(64) double re[16] = {}, dzr[16], dzi[16], err2[16];
    for (int k = 0; k < kCount; ++k) re[k] = (k - 6) * 1.5e-31;
    for (const int width : {8, 4}) {
        if (width > velmora::widestPerturbationLanes()) continue;
        velmora::seriesValuesLanes(width, series, re, -0.4e-30, kCount, dzr, dzi, err2);
        for (int k = 0; k < kCount; ++k) {
            const velmora::SeriesValue v = velmora::seriesValue(series, re[k], -0.4e-30);
            EXPECT_EQ(dzr[k], v.dzr) << width << " lanes, offset " << k;
            EXPECT_EQ(dzi[k], v.dzi) << width << " lanes, offset " << k;
            EXPECT_EQ(err2[k], v.err2) << width << " lanes, offset " << k;
        }
    }
}

// Pixels the doubles leave in doubt go through the double-double numbers in
// lanes: every count, bound and z the one-pixel loop's, bit for bit. In the
// chaotic place some stay in doubt there too; by the band border (the
// reference escapes by 1e-67) the last step is too near radius 2 for the
// double-double sums and is decided by the reference's own excess.
TEST(DoubleDoubleLanes, GiveTheOnePixelLoopsCounts) {
    const struct {
        const char *re, *im;
        double across, down, low;  // the offsets' steps, and their low parts' step
        bool someInDoubt;
    } places[] = {
        {"0.1749591049469072905827574995565", "0.5620776496584693053585833912296", 1.7e-8, 1.3e-8, 1e-25, true},
        {"-1.3235335745335901545330273867896039448741884955176460746506242785386978701702999161443327",
         "-0.12179238751163792400493931431076870493411110268073332889218161290028494185184460590701975", 3e-66, 3e-66,
         1e-83, false},
    };
    for (const auto& place : places) {
        Mpfr cr(kBits), ci(kBits);
        const velmora::ReferenceOrbit orbit = orbitOf(place.re, place.im, 3000, cr, ci);
        velmora::PerturbationOrbits o;
        o.primary = o.rebase = &orbit;
        o.limit = 3000;
        o.orbitRounding2 = 0x1p-1000;
        std::vector<velmora::DdOffset> offsets;
        for (int k = 0; k < 45; ++k)
            offsets.push_back({{(k % 9 - 4) * place.across, k * place.low}, {(k / 9 - 2) * place.down, 0.0}});
        std::vector<velmora::PixelCount> lanes(offsets.size());
        velmora::doubleDoublePixels(o, offsets.data(), static_cast<std::int32_t>(offsets.size()), lanes.data());
        int doubtful = 0;
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            const auto& d = offsets[k];
            const velmora::PixelCount one = velmora::doubleDoublePixel(o, {d.re[0], d.re[1]}, {d.im[0], d.im[1]});
            EXPECT_EQ(std::tuple(lanes[k].index, lanes[k].doubtful, lanes[k].count, lanes[k].zr, lanes[k].zi),
                      std::tuple(one.index, one.doubtful, one.count, one.zr, one.zi)) << place.re << " " << k;
            doubtful += one.doubtful;
        }
        EXPECT_GE(doubtful, place.someInDoubt ? 1 : 0);
        EXPECT_LT(doubtful, 45);
    }
}

}  // namespace

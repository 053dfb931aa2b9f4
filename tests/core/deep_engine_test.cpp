// The deep engine: precision bookkeeping, deep pixels against the plain MPFR
// loop, the switch between the double and the deep engine, bands, cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include <mpfr.h>

#include "DeepPlaces.h"
#include "EngineReference.h"
#include "FakeHost.h"
#include "MpfrSteps.h"
#include "deep/DeepLocation.h"
#include "deep/DeepRenderer.h"
#include "deep/DeepSwitch.h"
#include "location/Mpfr.h"
#include "deep/PerturbationLanes.h"
#include "deep/PlainMpfrLoop.h"
#include "deep/Precision.h"
#include "deep/ReferenceOrbit.h"
#include "engine/BandRender.h"
#include "engine/TiledRender.h"
#include "engine/FractalEngine.h"
#include "engine/RenderReport.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::around;

namespace {

// Image row j (0 at the top) of an engine's bottom-up buffer.
const std::uint8_t* imageRow(const FractalEngine& e, std::int32_t j) {
    return e.bits() + static_cast<std::size_t>(e.height() - 1 - j) * e.stride();
}

// ---- Precision bookkeeping ----

struct BitsCase {
    std::int64_t magnitude, spacing, bits;
};
class PrecisionBits : public ::testing::TestWithParam<BitsCase> {};
TEST_P(PrecisionBits, SpanOfTheLocationPlusMargin) {
    const BitsCase c = GetParam();
    EXPECT_EQ(bitsForLocation(c.magnitude, c.spacing), c.bits);
}
INSTANTIATE_TEST_SUITE_P(Table, PrecisionBits,
                         ::testing::Values(BitsCase{1, -176, 178 + kPrecisionMargin},  // 1e-50 over 1000 pixels near 1
                                           BitsCase{-20, -100, 102 + kPrecisionMargin},  // small coordinates count as 2
                                           BitsCase{11, -1000,
                                                    1011 + kPrecisionMargin},      // large coordinates widen the span
                                           BitsCase{2, 8, kMinPrecision},          // spacing above the values
                                           BitsCase{2, -10000000, kMaxPrecision},  // absurd depth stays bounded
                                           BitsCase{2, -1010, 1012 + kPrecisionMargin}));  // 1e-300 over 1000 pixels

TEST(DeepLocation, PrecisionFollowsTheSpacingOfTheExactText) {
    for (const char* width : {"1e-20", "1e-50", "1e-300"}) {
        SCOPED_TRACE(width);
        const DeepLocation loc(around("-0.75", "0.1", width, 1024, 768, 100));
        ASSERT_TRUE(loc.usedExactText());
        const double spacingBits = -std::log2(std::stod(width) / 1024);
        EXPECT_GE(loc.precision(), spacingBits + kPrecisionMargin);
        EXPECT_LE(loc.precision(), spacingBits + kPrecisionMargin + 4);
    }
}

TEST(DeepLocation, UnreadableOrStaleExactTextFallsBackToTheDoublesWhole) {
    struct Case {
        const char* name;
        void (*spoil)(FractalParams&);
    };
    const Case cases[] = {
        {"not a number", [](FractalParams& p) { p.exact.bottom = "0.1x"; }},
        {"doubles moved away", [](FractalParams& p) { p.right += 1e-9; }},
        {"Julia constant moved away", [](FractalParams& p) { p.exact.cReal = "0.31"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FractalParams p = around("-0.75", "0.1", "1e-30", 8, 8, 100, FractalType::Julia);
        EXPECT_TRUE(DeepLocation(p).usedExactText());
        c.spoil(p);
        const DeepLocation loc(p);
        EXPECT_FALSE(loc.usedExactText());
        Mpfr re(loc.precision()), im(loc.precision());
        loc.pixel(0, 0, re.get(), im.get());
        EXPECT_EQ(mpfr_get_d(re.get(), MPFR_RNDN), std::min(p.left, p.right));
        EXPECT_EQ(mpfr_get_d(im.get(), MPFR_RNDN), std::min(p.top, p.bottom));
    }
}

// ---- Deep pixels against the plain MPFR loop ----

struct DeepCase {
    const char* name;
    const char* re;
    const char* im;
    const char* width;
    FractalType type;
    double kr = 0.0, ki = 1.0;  // Julia: z^2 + i, whose Julia set passes through i at every scale
    std::int32_t limit = 1500;
    int distinct = 5;  // counts the picture shows at least: a flat picture proves little
    std::int32_t columns = 16;  // and three quarters as many rows
};
void PrintTo(const DeepCase& c, std::ostream* os) {
    *os << c.name;
}

// Every pixel of a small picture, whichever engine draws it, is the plain
// loop's at the precision the deep engine settles on.
class DeepAgainstMpfr : public ::testing::TestWithParam<DeepCase> {};
TEST_P(DeepAgainstMpfr, EscapeCountsAgree) {
    const DeepCase c = GetParam();
    FractalParams p = around(c.re, c.im, c.width, c.columns, c.columns * 3 / 4, c.limit, c.type);
    p.cReal = c.kr;
    p.cImag = c.ki;
    FractalEngine engine(p.width, p.height);
    engine.setParams(p);
    ASSERT_EQ(engine.render(), RenderOutcome::Done);
    EXPECT_TRUE(engine.lastRenderWasDeep());
    const DeepLocation loc = settledLocation(p);
    std::int64_t differing = 0;
    std::vector<int> seen(256, 0);
    for (std::int32_t j = 0; j < p.height; ++j)
        for (std::int32_t i = 0; i < p.width; ++i) {
            const std::uint8_t v = imageRow(engine, j)[i];
            ++seen[v];
            if (v != plainMpfrPixel(loc, i, j)) ++differing;
        }
    EXPECT_EQ(differing, 0);
    int distinct = 0;
    for (int n : seen) distinct += n > 0;
    EXPECT_GE(distinct, c.distinct);
}
const std::string kJustBelowI = "0." + std::string(299, '9') + "7";
INSTANTIATE_TEST_SUITE_P(
    Locations, DeepAgainstMpfr,
    ::testing::Values(
        DeepCase{"Mandelbrot_1e20", "3.1e-21", "1.0000000000000000000017", "1e-20", FractalType::Mandelbrot},
        DeepCase{"Mandelbrot_1e40", "-2.3e-41", "0.99999999999999999999999999999999999999996", "1e-40",
                 FractalType::Mandelbrot},
        // Beside a period-47 minibrot: orbits pass by 0 where the reference's do not.
        DeepCase{"Mandelbrot_minibrot", "6.2234319465285065252726116146726540094613538957364857372104039e-18",
                 "0.99999999999999999689458187799125048761114384724592366042274", "1e-33", FractalType::Mandelbrot},
        // The real axis on row 5 of 18, a Misiurewicz point's chaos along it:
        // orbits that start on the axis stay there, as the plain loop's do.
        DeepCase{"Mandelbrot_real_axis_off_the_middle", "-1.54368901269207636157085597180174798652520329765095",
                 "5e-33", "3e-32", FractalType::Mandelbrot, 0, 0, 1500, 5, 24},
        // Offsets below the double range start in wide-exponent numbers.
        DeepCase{"wide_numbers_1e300", "2.1e-301", kJustBelowI.c_str(), "1e-300", FractalType::Mandelbrot, 0, 0, 3000,
                 1, 12},
        DeepCase{"Julia_1e20", "1.3e-21", "0.9999999999999999999986", "1e-20", FractalType::Julia},
        DeepCase{"Julia_1e40", "-4.1e-41", "1.00000000000000000000000000000000000000003", "1e-40", FractalType::Julia},
        // Around the critical point the first step squares the offsets: the
        // bits, the switch and the wide numbers must all follow.
        DeepCase{"Julia_critical_point_1e9", "0", "0", "1e-9", FractalType::Julia, 0.0, 1.0, 3000},
        // Doubles, where 98 of the plain loop's pixels are wrong: only those
        // the bound on its rounding left in doubt are drawn again.
        DeepCase{"Julia_critical_point_checked_1e3", "0", "0", "1e-3", FractalType::Julia, -0.8, 0.156, 1000, 5, 64},
        DeepCase{"Julia_critical_point_1e25", "0.31e-25", "-0.17e-25", "1e-25", FractalType::Julia, 0.0, 1.0, 3000},
        DeepCase{"Julia_critical_point_1e170", "2.1e-171", "-1.3e-171", "1e-170", FractalType::Julia, 0.0, 1.0, 3000},
        // The reference pixel itself below the double range.
        DeepCase{"Julia_critical_point_1e330", "2.1e-331", "-1.3e-331", "1e-330", FractalType::Julia, 0.0, 1.0, 3000},
        // Only the border between counts 6 and 7 crosses the view: the
        // reference's rounding alone would put every pixel on one side.
        DeepCase{"band_border", "0.9057184064574985854819188981", "-0.4674940260962336946448658636654727160931",
                 "1e-20", FractalType::Mandelbrot, 0, 0, 3000, 2},
        // The reference escapes by 1e-67 on the border of counts 11 and 12;
        // half the picture lies just inside it.
        DeepCase{"reference_on_a_band_border",
                 "-1.3235335745335901545330273867896039448741884955176460746506242785386978701702999161443327",
                 "-0.12179238751163792400493931431076870493411110268073332889218161290028494185184460590701975",
                 "5.198e-65", FractalType::Mandelbrot, 0, 0, 3000, 2, 32},
        // Chaos where the doubles lose their bits along long orbits.
        DeepCase{"chaotic_1e10", "0.3", "0.57089845091854017", "1e-10", FractalType::Mandelbrot, 0, 0, 3000},
        DeepCase{"chaotic_Julia_1e12", "0.655265643551875", "0.187200020206875", "1e-12", FractalType::Julia, -0.8,
                 0.156, 5000},
        // A fifth of its pixels leave the doubles in doubt; the double-double
        // numbers settle most, where the orbits' own rounding allows.
        DeepCase{"chaotic_1e7", "0.1749591049469072905827574995565", "0.5620776496584693053585833912296", "1.598e-7",
                 FractalType::Mandelbrot, 0, 0, 3000, 5, 64},
        DeepCase{"long_orbits_1e20", "-1.75437718843724974978125", "-0.01249875187503153118750", "1e-20",
                 FractalType::Mandelbrot, 0, 0, 3000},
        // Row 6 lies on the real axis, inside the set (the width is 2^-64).
        DeepCase{"real_axis_inside", "-1.543689012692076361570855971801747986", "0",
                 "5.42101086242752217003726400434970855712890625e-20", FractalType::Mandelbrot}),
    [](const auto& info) { return std::string(info.param.name); });

// Its own rounding check would settle that row too, at the price of reruns.
TEST(DeepRenderer, ARowOnTheRealAxisFollowsAReferenceOnTheAxis) {
    const char* misiurewicz = "-1.54368901269207636157085597180174798652520329765095";
    for (const auto& [im, row] : {std::pair{"5e-33", 5}, std::pair{"5.3e-33", -1}}) {
        DeepRenderer deep;
        ASSERT_EQ(deep.prepare(around(misiurewicz, im, "3e-32", 24, 18, 1500), {}), DeepRenderer::Prepared::Ready);
        EXPECT_EQ(deep.axisRow(), row) << im;
    }
}

// On the real axis the loop takes real steps alone, and near it leaves out
// zi^2 while rounding would drop it: every count and z as the loop that takes
// each step in full. The pictures
// lie a hair off the axis, where the real orbits are chaotic and the
// imaginary parts grow from far below the last place of the real ones.
TEST(PlainMpfrLoop, NearTheAxisTheCountsAreTheFullLoops) {
    const struct {
        const char* re;
        const char* im;
        const char* width;
    } cases[] = {
        {"-1.54368901269207636157085597180174798652520329765095", "3e-160", "1e-150"},  // chaotic
        {"-1.9", "1e-200", "1e-199"},                                                     // chaotic, near -2
        {"-1.75", "1e-120", "1e-118"},                                                    // the period-3 window
        {"0.2500001", "1e-140", "1e-139"},  // just past 1/4: slowly out
        {"0.65", "0", "2.7"},  // on the axis (row 1) from -0.7 to 2, in and out of the set
    };
    for (const auto& c : cases) {
        const DeepLocation loc(around(c.re, c.im, c.width, 6, 2, 3000));
        const mpfr_prec_t bits = loc.precision();
        for (std::int32_t i = 0; i < loc.width(); ++i) {
            Mpfr cr(bits), ci(bits), zr(bits), zi(bits), t(bits), u(bits);
            loc.pixel(i, 1, cr.get(), ci.get());
            if (std::string(c.im) == "0") {
                ASSERT_TRUE(mpfr_zero_p(ci.get()));
            }
            mpfr_set(zr.get(), cr.get(), MPFR_RNDN);
            mpfr_set(zi.get(), ci.get(), MPFR_RNDN);
            MpfrEscape full;
            for (std::int32_t n = 1; n <= loc.iterations(); ++n)
                if (test::fullStep(zr, zi, cr.get(), ci.get(), t, u)) {
                    full = {n, mpfr_get_d(zr.get(), MPFR_RNDN), mpfr_get_d(zi.get(), MPFR_RNDN)};
                    break;
                }
            const MpfrEscape e = plainMpfrEscape(loc, i, 1);
            EXPECT_EQ(e.count, full.count) << c.re << " pixel " << i;
            EXPECT_EQ(e.zr, full.zr) << c.re << " pixel " << i;
            EXPECT_EQ(e.zi, full.zi) << c.re << " pixel " << i;
        }
    }
}

// A reference on the real axis takes real steps alone: every value, low
// part and excess as the full complex steps give them, chaotic or not.
TEST(ReferenceOrbit, OnTheRealAxisTheValuesAreTheComplexSteps) {
    for (const char* c : {"-1.9", "-1.54368901269207636157085597180174798652520329765095", "0.3"}) {
        const mpfr_prec_t bits = 300;
        Mpfr cr(bits), ci(bits), zr(bits), zi(bits), t(bits), u(bits);
        mpfr_set_str(cr.get(), c, 10, MPFR_RNDN);
        mpfr_set_zero(ci.get(), 1);
        mpfr_set_zero(zr.get(), 1);
        mpfr_set_zero(zi.get(), 1);
        ReferenceOrbit orbit;
        ASSERT_EQ(computeOrbit(zr.get(), zi.get(), cr.get(), ci.get(), 600, {}, orbit), OrbitOutcome::Done);
        for (std::size_t k = 0; k < orbit.size(); ++k) {
            ASSERT_EQ(orbit.re[k], mpfr_get_d(zr.get(), MPFR_RNDN)) << c << " step " << k;
            ASSERT_EQ(orbit.im[k], 0.0) << c << " step " << k;
            mpfr_sub_d(t.get(), zr.get(), orbit.re[k], MPFR_RNDN);
            ASSERT_EQ(orbit.reLow[k], mpfr_get_d(t.get(), MPFR_RNDN)) << c << " step " << k;
            mpfr_sqr(t.get(), zr.get(), MPFR_RNDN);
            mpfr_sub_ui(t.get(), t.get(), 4, MPFR_RNDN);
            ASSERT_EQ(orbit.excess[k], mpfr_get_d(t.get(), MPFR_RNDN)) << c << " step " << k;
            test::fullStep(zr, zi, cr.get(), ci.get(), t, u);
        }
        EXPECT_EQ(orbit.size() < 600, std::string(c) == "0.3") << c;  // only past 1/4 does it escape
    }
}

// On the axis from -2 to 1/4 the orbits stay real and bounded: those pixels
// are in the set at once, where the loop would run every step to the limit.
TEST(DeepRenderer, TheRealAxisFromMinusTwoToAQuarterIsInTheSet) {
    const struct {
        const char* re;
        const char* im;
        bool inside;
    } points[] = {
        {"-2", "0", true},        {"0.25", "0", true},  {"-1.5436890126920764", "0", true},
        {"0", "0", true},         {"-2.000000000000000000000000000001", "0", false},
        {"0.25000000000000000000000000001", "0", false},
        {"-1.5", "1e-300", false},  // a hair off the axis
    };
    for (const auto& p : points) {
        Mpfr re(200), im(200);
        mpfr_set_str(re.get(), p.re, 10, MPFR_RNDN);
        mpfr_set_str(im.get(), p.im, 10, MPFR_RNDN);
        EXPECT_EQ(realAxisInsideSet(re.get(), im.get()), p.inside) << p.re << " " << p.im;
    }
    // Pictures with a row on the axis (row 3): in the chaotic part, where
    // that row is the full loop's and none of it needed the loop, and across
    // 1/4, where its right half slowly escapes.
    for (const auto& [re, width, top, bottom] : {std::tuple{"-1.9", "1e-20", "-0.75e-20", "0.25e-20"},
                                                 std::tuple{"0.25", "1e-5", "-0.75e-5", "0.25e-5"}}) {
        FractalParams axis = around(re, "0", width, 8, 4, 3000);
        axis.exact.top = top, axis.exact.bottom = bottom, axis.top = std::stod(top), axis.bottom = std::stod(bottom);
        DeepRenderer deep;
        ASSERT_EQ(deep.prepare(axis, {}), DeepRenderer::Prepared::Ready);
        const DeepLocation loc(axis);
        std::vector<std::int32_t> is, js;
        for (std::int32_t i = 0; i < axis.width; ++i) is.push_back(i), js.push_back(3);
        std::vector<std::uint8_t> out(is.size());
        deep.pixels(is.data(), js.data(), static_cast<std::int32_t>(is.size()), out.data());
        for (std::size_t k = 0; k < is.size(); ++k) EXPECT_EQ(out[k], plainMpfrPixel(loc, is[k], 3)) << re << " " << is[k];
        if (out.back() == 0) EXPECT_EQ(deep.exactPixels(), 0) << re;
        else EXPECT_NE(out.front(), out.back()) << re;  // both sides of 1/4 shown
    }
}

// The reference of one render kept for the next: where it lies in the new
// picture and has its bits it is taken (its orbit carried on past its limit),
// and the pixels are those of a fresh reference; elsewhere a new one is computed.
TEST(DeepReference, AKeptReferenceGivesTheFreshReferencesPixels) {
    // Its reference escapes at once; inside the set one reaches its limit.
    const FractalParams edge = around("3.1e-21", "1.0000000000000000000017", "1e-20", 16, 12, 1500);
    const FractalParams inside = around("-0.1", "0.1", "1e-30", 16, 12, 1500);
    // Its reference outlasts 1500 steps; 23 of its pixels escape between 1500 and 3000.
    const char* const borderRe = "-0.74189314735186451";
    const char* const borderIm = "0.10608134266379189";
    const FractalParams border = around(borderRe, borderIm, "1e-11", 16, 12, 1500);
    struct Case {
        const char* name;
        const FractalParams& first;
        FractalParams next;
        bool reused;
    };
    const Case cases[] = {
        {"the same picture", edge, edge, true},
        {"panned by a third", edge, around("6.4e-21", "1.0000000000000000000012", "1e-20", 16, 12, 1500), true},
        {"zoomed in 3x off the middle", edge,
         around("4.1e-21", "1.0000000000000000000019", "3.3e-21", 16, 12, 1500), true},
        {"zoomed in beside it", edge, around("2e-21", "1.0000000000000000000017", "1e-21", 16, 12, 1500), false},
        {"past its bits", edge, around("3.1e-21", "1.0000000000000000000017", "1e-40", 16, 12, 1500), false},
        {"below its limit", inside, around("-0.1", "0.1", "1e-30", 16, 12, 1000), true},
        {"past its limit: carried on", inside, around("-0.1", "0.1", "1e-30", 16, 12, 3000), true},
        {"past its limit by the border: carried on", border, around(borderRe, borderIm, "1e-11", 16, 12, 3000), true},
        {"a Julia picture", edge,
         around("3.1e-21", "1.0000000000000000000017", "1e-20", 16, 12, 1500, FractalType::Julia), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FractalEngine kept(16, 12), fresh(16, 12);
        ASSERT_EQ(kept.render(c.first), RenderOutcome::Done);
        ASSERT_EQ(kept.render(c.next), RenderOutcome::Done);
        EXPECT_EQ(kept.lastRenderReusedReference(), c.reused);
        ASSERT_EQ(fresh.render(c.next), RenderOutcome::Done);
        EXPECT_FALSE(fresh.lastRenderReusedReference());
        EXPECT_TRUE(std::equal(kept.bits(), kept.bits() + kept.bufferSize(), fresh.bits()));
    }
}

TEST(DeepLanes, VectorLanesGiveThePixelsOfTheSingleLoop) {
    if (!perturbationLanesSupported()) GTEST_SKIP() << "no vector kernel on this machine";
    // Near c = i the orbits leave the reference for good; in the chaotic
    // place they pass by 0 and rebase, and many are left in doubt.
    const struct {
        const char *re, *im, *width;
        FractalType type;
    } places[] = {
        {"-1.3e-19", "0.99999999999999999999", "1e-18", FractalType::Mandelbrot},
        {"-1.3e-19", "0.99999999999999999999", "1e-18", FractalType::Julia},
        {"0.1749591049469072905827574995565", "0.5620776496584693053585833912296", "1.598e-7",
         FractalType::Mandelbrot},
    };
    for (const auto& place : places) {
        FractalParams p = around(place.re, place.im, place.width, 37, 9, 3000, place.type);
        p.cReal = 0.0;
        p.cImag = 1.0;
        DeepRenderer deep;
        ASSERT_EQ(deep.prepare(p, {}), DeepRenderer::Prepared::Ready);
        deep.setSkipping(false);
        for (std::int32_t j = 0; j < p.height; ++j) {
            SCOPED_TRACE(j);
            std::vector<std::uint8_t> single(p.width);
            deep.setLanes(false);
            std::int64_t redrawn = deep.redrawnPixels();
            deep.span(j, 0, p.width, single.data(), nullptr);
            // The same pixels left in doubt, too.
            const std::int64_t doubtful = deep.redrawnPixels() - redrawn;
            deep.setLanes(true);
            // Eight lanes (AVX-512) where the machine has them, and four.
            for (const int width : {8, 4}) {
                if (width > widestPerturbationLanes()) continue;
                deep.setLaneWidth(width);
                std::vector<std::uint8_t> lanes(p.width);
                redrawn = deep.redrawnPixels();
                deep.span(j, 0, p.width, lanes.data(), nullptr);
                EXPECT_EQ(lanes, single) << width << " lanes";
                EXPECT_EQ(deep.redrawnPixels() - redrawn, doubtful) << width << " lanes";
            }
        }
    }
}

// ---- The switch point ----

// A 16 x 12 picture near the seahorse valley whose pixel spacing is `factor`
// times the smallest the doubles are trusted with.
FractalParams nearTheWall(double factor) {
    FractalParams p;
    p.width = 16;
    p.height = 12;
    p.iterations = 400;
    const double cx = -0.7436438870371587, cy = 0.1318259042053119;
    const double dx = std::fabs(cx) * 1e-8 * factor;
    p.left = cx - dx * 8;
    p.right = cx + dx * 8;
    p.top = cy - dx * 6;
    p.bottom = cy + dx * 6;
    return p;
}

TEST(DeepSwitch, DecidesByTheSpacingAgainstTheCoordinates) {
    using enum EngineChoice;
    struct Case {
        const char* name;
        FractalParams p;
        EngineChoice choice;
    };
    FractalParams collapsed = nearTheWall(1e-6);
    collapsed.right = collapsed.left;
    FractalParams collapsedExact = collapsed;
    collapsedExact.exact = around("-0.75", "0.1", "1e-40", 16, 12, 100).exact;
    FractalParams julia = nearTheWall(1.2);
    julia.type = FractalType::Julia;
    julia.cReal = 1.5;  // larger than the coordinates: it sets the scale
    FractalParams wholeJulia;
    wholeJulia.type = FractalType::Julia;
    FractalParams realJulia = wholeJulia;  // a real constant, far from 0
    std::tie(realJulia.cReal, realJulia.cImag, realJulia.left, realJulia.right) = std::tuple(-1.0, 0.0, 0.5, 0.501);
    const Case cases[] = {
        {"default picture", FractalParams{}, Doubles},
        {"whole Julia set", wholeJulia, CheckedDoubles},
        {"Julia with a real constant, away from 0", realJulia, CheckedDoubles},
        {"just inside", nearTheWall(1.2), Doubles},
        {"just outside", nearTheWall(0.8), Deep},
        {"equal edges, no exact text", collapsed, Doubles},
        {"equal edges of an exact location", collapsedExact, Deep},
        {"Julia constant sets the scale", julia, Deep},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(chooseEngine(c.p), c.choice);
        EXPECT_EQ(needsDeepEngine(c.p), c.choice != Doubles);
    }
}

TEST(DeepSwitch, JustInsideIsTheDoubleEngineBitForBit) {
    const FractalParams p = nearTheWall(1.2);
    FractalEngine engine(p.width, p.height);
    engine.setParams(p);
    ASSERT_EQ(engine.render(), RenderOutcome::Done);
    EXPECT_FALSE(engine.lastRenderWasDeep());
    const auto expected =
        test::referenceImage({p.left, p.top, p.right, p.bottom, 1, 0.3, 0.6, p.iterations, p.width, p.height});
    EXPECT_EQ(std::vector<std::uint8_t>(engine.bits(), engine.bits() + engine.bufferSize()), expected);
}

// ---- Bands and cancel ----

TEST(DeepBands, BandRowsAreThePicturesRows) {
    const FractalParams p = around("3.1e-21", "1.0000000000000000000017", "1e-20", 20, 13, 400);
    FractalEngine engine(p.width, p.height);
    engine.setParams(p);
    ASSERT_EQ(engine.render(), RenderOutcome::Done);
    // The deep pixels placed by position, in tiles of a few columns and rows.
    DeepRenderer deep;
    ASSERT_EQ(deep.prepare(p, {}), DeepRenderer::Prepared::Ready);
    FractalEngine tiled(p.width, p.height);
    RenderJob job;
    std::tie(job.width, job.height, job.stride, job.bits) = std::tuple(p.width, p.height, tiled.stride(), tiled.bits());
    ASSERT_TRUE(TiledRender(CoordinateWalk::columns(p), CoordinateWalk::rows(p), 3, 4).render(deep, job, 0, p.height));
    EXPECT_TRUE(std::equal(tiled.bits(), tiled.bits() + tiled.bufferSize(), engine.bits()));
    BandRenderer bands(p, 4);
    for (std::int32_t first = 0; first < p.height; first += 4) {
        ASSERT_TRUE(bands.render(first, 4));
        for (std::int32_t j = first; j < std::min(first + 4, p.height); ++j) {
            SCOPED_TRACE(j);
            EXPECT_EQ(std::vector<std::uint8_t>(bands.row(j), bands.row(j) + p.width),
                      std::vector<std::uint8_t>(imageRow(engine, j), imageRow(engine, j) + p.width));
        }
    }
}

// A deep picture inside the set: every pixel and the orbit run to a huge limit.
FractalParams endless() {
    return around("-0.1", "0.1", "1e-30", 16, 12, 50000000);
}

// Sets the flag at the first checkpoint, as another thread might at any time.
class CancellingBar : public ProgressSink {
public:
    std::atomic<bool>* flag;
    explicit CancellingBar(std::atomic<bool>* f) : flag(f) {}
    void setRange(int, int) override {}
    void setPos(int) override {}
    void setStep(int) override {}
    void stepIt() override { flag->store(true); }
};

// A key or a flag during the reference orbit, or a flag set while the pixels
// are drawn, stops the render and leaves a blank picture.
TEST(DeepCancel, KeyOrFlagDuringTheOrbitOrThePixelsStopsTheRender) {
    enum When { KeyInOrbit, FlagInOrbit, FlagInPixels };
    for (const When when : {KeyInOrbit, FlagInOrbit, FlagInPixels}) {
        SCOPED_TRACE(when);
        FractalParams p = endless();
        // In the pixels: blocks of 3 rows, the flag comes after the first.
        if (when == FlagInPixels) p.iterations = 20000, p.height = 64;
        FakeHost host;
        if (when == KeyInOrbit) host.cancelAt = [](int poll) { return poll == 3; };  // poll 0 forgets an earlier key
        std::atomic<bool> cancel{when == FlagInOrbit};
        CancellingBar bar(&cancel);
        FractalEngine engine(p.width, p.height);
        engine.setParams(p);
        const RenderContext context = hostContext(host, when == FlagInPixels ? &bar : nullptr, &cancel);
        EXPECT_EQ(engine.render(context), RenderOutcome::Cancelled);
        EXPECT_TRUE(engine.lastRenderWasDeep() && !engine.isValid());
        EXPECT_EQ(std::vector<std::uint8_t>(engine.bits(), engine.bits() + engine.bufferSize()),
                  std::vector<std::uint8_t>(engine.bufferSize(), 0));
        // The orbit looks every 256 values: 50 million were never computed.
        if (when != FlagInPixels) {
            EXPECT_EQ(host.polls, when == KeyInOrbit ? 4 : 2);
        }
    }
}

}  // namespace

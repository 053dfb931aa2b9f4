// Smooth colouring: the spread of counts over the palette, the samples a
// render keeps beside its picture (every kernel, every depth), and deep
// fractions against an independent full-precision loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <mpfr.h>

#include "DeepPlaces.h"
#include "deep/DeepLocation.h"
#include "deep/DeepRenderer.h"
#include "engine/FractalEngine.h"
#include "engine/SmoothPicture.h"
#include "location/Mpfr.h"
#include "render/FastRowRenderer.h"
#include "render/SmoothColour.h"

using namespace velmora;
using velmora::test::around;

namespace {

Palette rampPalette() {
    Palette p;
    for (int k = 0; k < 256; ++k) {
        std::uint8_t* e = p.bytes() + 4 * k;
        e[0] = static_cast<std::uint8_t>(k), e[1] = static_cast<std::uint8_t>(255 - k), e[2] = static_cast<std::uint8_t>(k * 7);
    }
    return p;
}

std::vector<std::uint8_t> colour(const SmoothSample& s, const ColourSpread& spread) {
    std::vector<std::uint8_t> rgb(3);
    smoothColour(rampPalette(), s, spread, rgb.data());
    return rgb;
}

// ---- The spread ----

struct SpreadCase {
    const char* name;
    SmoothSample sample;
    ColourSpread spread;
    SmoothSample plainEquivalent;  // the plain sample of the same colour position
};

class Spread : public ::testing::TestWithParam<SpreadCase> {};
TEST_P(Spread, PositionIsOffsetPlusCountOverDensityRoundTheShownEntries) {
    const SpreadCase& c = GetParam();
    EXPECT_EQ(colour(c.sample, c.spread), colour(c.plainEquivalent, {}));
}
INSTANTIATE_TEST_SUITE_P(
    Table, Spread,
    ::testing::Values(
        SpreadCase{"offset_moves_whole_entries", {5, true, 0.25f}, {1.0, 3.0}, {8, true, 0.25f}},
        SpreadCase{"density_two_halves_the_position", {6, true, 0.5f}, {2.0, 0.0}, {3, true, 0.25f}},
        SpreadCase{"density_below_one_spreads_a_count_over_entries", {3, true, 0.25f}, {0.25, 0.0}, {13, true, 0.0f}},
        SpreadCase{"fractional_offset", {4, true, 0.0f}, {1.0, 0.5}, {4, true, 0.5f}},
        // Full counts wrap round the entries as a picture's do: 0 shows as 1.
        SpreadCase{"wraps_past_255", {300, true, 0.5f}, {1.0, 100.0}, {144, true, 0.5f}},
        SpreadCase{"wraps_onto_the_entry_shown_for_256", {255, true, 0.5f}, {1.0, 1.0}, {256, true, 0.5f}},
        SpreadCase{"large_counts_and_densities", {1000000, true, 0.0f}, {4000.0, 0.0}, {250, true, 0.0f}},
        SpreadCase{"inside_is_entry_0_whatever_the_spread", {0, false, 0.0f}, {3.0, 17.0}, {0, false, 0.0f}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Spread, PlainSpreadKeepsAHugeCountsFractionWhereADoubleSumWouldRoundIt) {
    // 2^30 + 2^-20 is not a double's worth of bits as a float's fraction adds them.
    const SmoothSample s{(1u << 30) + 7, true, 0x1p-20f + 0.5f};
    const Palette palette = rampPalette();
    std::uint8_t plain[3];
    smoothColour(palette, s, ColourSpread{}, plain);
    const std::uint8_t* a = palette.bytes() + 4 * 7;
    const std::uint8_t* b = palette.bytes() + 4 * 8;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(plain[c], static_cast<std::uint8_t>(a[2 - c] + double{s.fraction} * (b[2 - c] - a[2 - c]) + 0.5));
}

// ---- Samples kept by a render ----

FractalParams shallow(FractalType type) {
    FractalParams p;
    p.type = type;
    p.left = -0.9, p.right = 0.4, p.top = -0.05, p.bottom = 0.75;
    p.cReal = -0.8, p.cImag = 0.156;
    p.width = 67, p.height = 41, p.iterations = 300;
    return p;
}

// Each kernel keeps exactly the samples of smoothEscape along the engine's
// own coordinates, and the same picture as without them.
class KeptSamples : public ::testing::TestWithParam<SimdLevel> {};
TEST_P(KeptSamples, AreThePlainLoopsAndLeaveThePictureAsItWas) {
    if (!isSimdLevelSupported(GetParam())) GTEST_SKIP() << "not on this machine";
    FastRowRenderer renderer(0, GetParam());
    for (FractalType type : {FractalType::Mandelbrot, FractalType::Julia}) {
        const FractalParams p = shallow(type);
        FractalEngine plain(p.width, p.height), kept(p.width, p.height), reference(p.width, p.height);
        kept.setKeepSmooth(true);
        reference.setKeepSmooth(true);
        kept.setRowRenderer(renderer);
        reference.setRowRenderer(referenceRowRenderer());
        ASSERT_EQ(plain.render(p), RenderOutcome::Done);
        ASSERT_EQ(kept.render(p), RenderOutcome::Done);
        ASSERT_EQ(reference.render(p), RenderOutcome::Done);
        ASSERT_FALSE(plain.hasSmooth());
        ASSERT_TRUE(kept.hasSmooth() && reference.hasSmooth());
        EXPECT_EQ(0, std::memcmp(plain.bits(), kept.bits(), plain.bufferSize()));
        int escaped = 0;
        for (std::int32_t y = 0; y < p.height; ++y)
            for (std::int32_t x = 0; x < p.width; ++x) {
                const SmoothSample a = kept.smoothRow(y)[x], b = reference.smoothRow(y)[x];
                ASSERT_TRUE(a.count == b.count && a.escaped == b.escaped && a.fraction == b.fraction) << x << "," << y;
                const std::uint8_t shown = plain.bits()[(p.height - 1 - y) * plain.stride() + x];
                ASSERT_EQ(a.escaped ? shownIndex(a.count) : 0, shown);
                escaped += a.escaped;
            }
        EXPECT_GT(escaped, p.width * p.height / 4);
        EXPECT_LT(escaped, p.width * p.height);
    }
}
INSTANTIATE_TEST_SUITE_P(Kernels, KeptSamples,
                         ::testing::Values(SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512),
                         [](const auto& info) { return std::string(simdLevelName(info.param)); });

TEST(SmoothPicture, ColoursEachKeptSampleAsARgb32PixelAndNeedsSamples) {
    const FractalParams p = shallow(FractalType::Mandelbrot);
    FractalEngine e(p.width, p.height);
    const Palette palette = rampPalette();
    const ColourSpread spread{2.5, 10.0};
    std::vector<std::uint8_t> picture(std::size_t(p.width) * 4 * p.height + 4, 0xAB);
    ASSERT_EQ(e.render(p), RenderOutcome::Done);
    EXPECT_FALSE(smoothPicture(e, palette, spread, picture.data(), std::size_t(p.width) * 4));
    EXPECT_EQ(picture[0], 0xAB);
    e.setKeepSmooth(true);
    ASSERT_EQ(e.render(p), RenderOutcome::Done);
    ASSERT_TRUE(smoothPicture(e, palette, spread, picture.data(), std::size_t(p.width) * 4));
    for (std::int32_t y : {0, p.height / 2, p.height - 1})
        for (std::int32_t x : {0, p.width / 3, p.width - 1}) {
            std::uint8_t rgb[3];
            smoothColour(palette, e.smoothRow(y)[x], spread, rgb);
            std::uint32_t v = 0;
            std::memcpy(&v, picture.data() + (std::size_t(y) * p.width + x) * 4, 4);
            EXPECT_EQ(v, 0xff000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
        }
    EXPECT_EQ(picture.back(), 0xAB);  // nothing past the last row
    e.blank();
    EXPECT_EQ(e.smoothRow(0), nullptr);
}

// ---- Deep fractions ----

// The count and fraction by an independent full-precision loop: every step in
// MPFR, to the smooth radius too.
SmoothSample mpfrSmooth(const DeepLocation& loc, std::int32_t i, std::int32_t j) {
    const mpfr_prec_t bits = loc.precision();
    Mpfr cr(bits), ci(bits), zr(bits), zi(bits), t(bits), r2(bits), i2(bits);
    loc.pixel(i, j, cr.get(), ci.get());
    mpfr_srcptr ar = loc.mandelbrot() ? cr.get() : loc.juliaRe();
    mpfr_srcptr ai = loc.mandelbrot() ? ci.get() : loc.juliaIm();
    mpfr_set(zr.get(), cr.get(), MPFR_RNDN);
    mpfr_set(zi.get(), ci.get(), MPFR_RNDN);
    SmoothSample s;
    int extra = 0;
    for (std::int32_t n = 1; n <= loc.iterations() || s.escaped; ++n) {
        mpfr_sqr(r2.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(i2.get(), zi.get(), MPFR_RNDN);
        mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), t.get(), ai, MPFR_RNDN);
        mpfr_sub(zr.get(), r2.get(), i2.get(), MPFR_RNDN);
        mpfr_add(zr.get(), zr.get(), ar, MPFR_RNDN);
        mpfr_sqr(r2.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(i2.get(), zi.get(), MPFR_RNDN);
        mpfr_add(t.get(), r2.get(), i2.get(), MPFR_RNDN);
        const double norm = mpfr_get_d(t.get(), MPFR_RNDN);
        if (s.escaped) ++extra;
        if (!s.escaped && norm > 4.0) s = SmoothSample{static_cast<std::uint32_t>(n), true, 0.0f};
        if (s.escaped && (norm > 1e12 || extra == 8)) {
            const double f = 1.0 + extra - std::log2(0.5 * std::log2(norm));
            s.fraction = static_cast<float>(std::fmin(std::fmax(f, 0.0), std::nextafter(1.0, 0.0)));
            return s;
        }
    }
    return SmoothSample{};
}

struct DeepSmoothCase {
    const char* name;
    std::string re, im, width;
    FractalType type;
};
void PrintTo(const DeepSmoothCase& c, std::ostream* os) {
    *os << c.name;
}

// Near i, whose Mandelbrot and Julia (z^2 + i) sets show structure at every scale.
std::string justAboveI(int zeros) {
    return "1." + std::string(static_cast<std::size_t>(zeros), '0') + "3";
}

class DeepSmooth : public ::testing::TestWithParam<DeepSmoothCase> {};
TEST_P(DeepSmooth, CountsAreTheIndexedRendersAndFractionsTheFullPrecisionLoops) {
    const DeepSmoothCase& c = GetParam();
    FractalParams p = around(c.re.c_str(), c.im.c_str(), c.width.c_str(), 96, 24, 4000, c.type);
    p.cReal = 0.0, p.cImag = 1.0;
    FractalEngine indexed(p.width, p.height), smooth(p.width, p.height);
    smooth.setKeepSmooth(true);
    ASSERT_EQ(indexed.render(p), RenderOutcome::Done);
    ASSERT_EQ(smooth.render(p), RenderOutcome::Done);
    ASSERT_TRUE(smooth.lastRenderWasDeep() && smooth.hasSmooth());
    std::int64_t escaped = 0, borders = 0;
    double worstJump = 0.0;
    const auto value = [](const SmoothSample& s) { return s.count + double{s.fraction}; };
    for (std::int32_t y = 0; y < p.height; ++y) {
        const SmoothSample* row = smooth.smoothRow(y);
        for (std::int32_t x = 0; x < p.width; ++x) {
            const std::uint8_t shown = indexed.bits()[(p.height - 1 - y) * indexed.stride() + x];
            ASSERT_EQ(row[x].escaped ? shownIndex(row[x].count) : 0, shown) << x << "," << y;
            escaped += row[x].escaped;
        }
        // Counts n, n | n +- 1, n +- 1 along the row: the step across the
        // border is about the steps beside it (f near 1 meets f near 0); a
        // fraction off by a count would make it a whole count larger. (The
        // fraction's clamp to [0, 1) leaves up to a third of a count where
        // |c| is near 1, as at any depth.)
        for (std::int32_t x = 2; x + 1 < p.width; ++x) {
            const std::int64_t a = row[x - 1].count, b = row[x].count;
            if (!row[x - 2].escaped || row[x - 2].count != a || row[x + 1].count != b || (b != a + 1 && a != b + 1))
                continue;
            const double beside = std::fmax(std::fabs(value(row[x - 1]) - value(row[x - 2])),
                                            std::fabs(value(row[x + 1]) - value(row[x])));
            worstJump = std::fmax(worstJump, std::fabs(value(row[x]) - value(row[x - 1])) - beside);
            ++borders;
        }
    }
    EXPECT_GT(escaped, p.width * p.height / 2);
    EXPECT_GT(borders, 5);
    EXPECT_LT(worstJump, 0.5);
    const DeepLocation loc = settledLocation(p);
    double sum = 0.0, worst = 0.0;
    int checked = 0;
    for (std::int32_t y = 1; y < p.height; y += 5)
        for (std::int32_t x = y % 7; x < p.width; x += 9) {
            const SmoothSample want = mpfrSmooth(loc, x, y), got = smooth.smoothRow(y)[x];
            ASSERT_EQ(got.count, want.count) << x << "," << y;
            if (!want.escaped) continue;
            const double error = std::fabs(double{got.fraction} - want.fraction);
            sum += error, worst = std::fmax(worst, error), ++checked;
        }
    ASSERT_GT(checked, 20);
    EXPECT_LT(worst, 1e-3) << "mean " << sum / checked;
    RecordProperty("fraction_error_mean", std::to_string(sum / checked));
    RecordProperty("fraction_error_worst", std::to_string(worst));
}
INSTANTIATE_TEST_SUITE_P(
    Places, DeepSmooth,
    ::testing::Values(DeepSmoothCase{"Mandelbrot_1e30", "1.3e-31", justAboveI(30), "1e-30", FractalType::Mandelbrot},
                      DeepSmoothCase{"Mandelbrot_1e100", "2.1e-101", justAboveI(100), "1e-100",
                                     FractalType::Mandelbrot},
                      DeepSmoothCase{"Julia_1e30", "1.3e-31", justAboveI(30), "1e-30", FractalType::Julia},
                      DeepSmoothCase{"Julia_1e100", "2.1e-101", justAboveI(100), "1e-100", FractalType::Julia},
                      // Offsets below the double range: wide numbers until the escape.
                      DeepSmoothCase{"Mandelbrot_1e320", "2.1e-321", justAboveI(320), "1e-320",
                                     FractalType::Mandelbrot}),
    [](const auto& info) { return std::string(info.param.name); });

// The single-pixel path (no vector lanes) keeps the same samples as the lanes.
TEST(DeepSmooth, LanesAndSinglePixelsKeepTheSameSamples) {
    const FractalParams p = around("1.3e-31", justAboveI(30).c_str(), "1e-30", 40, 6, 4000);
    DeepRenderer lanes, single;
    ASSERT_EQ(lanes.prepare(p, {}), DeepRenderer::Prepared::Ready);
    ASSERT_EQ(single.prepare(p, {}), DeepRenderer::Prepared::Ready);
    single.setLanes(false);
    for (std::int32_t j = 0; j < p.height; ++j) {
        std::vector<std::uint8_t> a(40), b(40);
        std::vector<SmoothSample> sa(40), sb(40);
        lanes.span(j, 0, 40, a.data(), nullptr, sa.data());
        single.span(j, 0, 40, b.data(), nullptr, sb.data());
        EXPECT_EQ(a, b);
        for (int i = 0; i < 40; ++i)
            EXPECT_TRUE(sa[i].count == sb[i].count && sa[i].fraction == sb[i].fraction) << i << "," << j;
    }
}

}  // namespace

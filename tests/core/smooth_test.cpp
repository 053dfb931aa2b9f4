// Smooth colouring: the spread of counts over the palette, the samples a
// render keeps beside its picture (every kernel, every depth), and deep
// fractions against the plain full-precision loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "DeepPlaces.h"
#include "deep/DeepRenderer.h"
#include "deep/PlainMpfrLoop.h"
#include "engine/FractalEngine.h"
#include "engine/SmoothPicture.h"
#include "render/FastRowRenderer.h"
#include "render/SmoothColour.h"
#include "session/RenderSession.h"

using namespace velmora;
using velmora::test::around;

namespace {

// The spread: each case's colour is the plain spread's at the same position.
TEST(Spread, PositionIsOffsetPlusCountOverDensityRoundTheShownEntries) {
    const Palette palette = test::ramp(5);
    const struct { SmoothSample sample; ColourSpread spread; SmoothSample plain; } cases[] = {
        {{5, true, 0.25f}, {1.0, 3.0}, {8, true, 0.25f}},      // the offset moves whole entries
        {{6, true, 0.5f}, {2.0, 0.0}, {3, true, 0.25f}},       // density 2 halves the position
        {{3, true, 0.25f}, {0.25, 0.0}, {13, true, 0.0f}},     // below 1: a count spans entries
        {{4, true, 0.0f}, {1.0, 0.5}, {4, true, 0.5f}},        // a fractional offset
        {{300, true, 0.5f}, {1.0, 100.0}, {144, true, 0.5f}},  // full counts wrap round as a picture's do
        {{255, true, 0.5f}, {1.0, 1.0}, {256, true, 0.5f}},    // onto 256, shown as entry 1
        {{1000000, true, 0.0f}, {4000.0, 0.0}, {250, true, 0.0f}},
        {{0, false, 0.0f}, {3.0, 17.0}, {0, false, 0.0f}}};  // inside: entry 0 whatever the spread
    for (const auto& c : cases) {
        std::uint8_t got[3], want[3];
        smoothColour(palette, c.sample, c.spread, got);
        smoothColour(palette, c.plain, {}, want);
        EXPECT_TRUE(std::equal(got, got + 3, want)) << c.sample.count << " " << c.spread.density;
    }
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
// own coordinates, and the same picture as without them (the view holds
// points inside the set and outside).
class KeptSamples : public ::testing::TestWithParam<SimdLevel> {};
TEST_P(KeptSamples, AreThePlainLoopsAndLeaveThePictureAsItWas) {
    if (!isSimdLevelSupported(GetParam())) GTEST_SKIP() << "not on this machine";
    FastRowRenderer renderer(0, GetParam());
    for (FractalType type : {FractalType::Mandelbrot, FractalType::Julia}) {
        const FractalParams p = shallow(type);
        FractalEngine plain(p.width, p.height), kept(p.width, p.height), reference(p.width, p.height);
        kept.setRowRenderer(renderer);
        reference.setRowRenderer(referenceRowRenderer());
        for (FractalEngine* e : {&kept, &reference}) e->setKeepSmooth(true);
        for (FractalEngine* e : {&plain, &kept, &reference}) ASSERT_EQ(e->render(p), RenderOutcome::Done);
        ASSERT_TRUE(!plain.hasSmooth() && kept.hasSmooth() && reference.hasSmooth());
        EXPECT_EQ(0, std::memcmp(plain.bits(), kept.bits(), plain.bufferSize()));
        for (std::int32_t y = 0; y < p.height; ++y)
            for (std::int32_t x = 0; x < p.width; ++x) {
                const SmoothSample a = kept.smoothRow(y)[x], b = reference.smoothRow(y)[x];
                ASSERT_TRUE(a.count == b.count && a.escaped == b.escaped && a.fraction == b.fraction) << x << "," << y;
                ASSERT_EQ(a.escaped ? shownIndex(a.count) : 0, plain.bits()[(p.height - 1 - y) * plain.stride() + x]);
            }
    }
}
INSTANTIATE_TEST_SUITE_P(Kernels, KeptSamples,
                         ::testing::Values(SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512),
                         [](const auto& info) { return std::string(simdLevelName(info.param)); });

// Each pixel is its kept sample's colour as 0xffRRGGBB; nothing without samples.
TEST(SmoothPicture, ColoursEachKeptSampleAsARgb32PixelAndNeedsSamples) {
    const FractalParams p = shallow(FractalType::Mandelbrot);
    FractalEngine e(p.width, p.height);
    const Palette palette = test::ramp(5);
    const ColourSpread spread{2.5, 10.0};
    std::vector<std::uint32_t> picture(std::size_t(p.width) * p.height + 1, 7);
    const auto paint = [&] { return smoothPicture(e, palette, spread, reinterpret_cast<std::uint8_t*>(picture.data()), std::size_t(p.width) * 4); };
    ASSERT_EQ(e.render(p), RenderOutcome::Done);
    EXPECT_TRUE(!paint() && picture[0] == 7);
    e.setKeepSmooth(true);
    ASSERT_EQ(e.render(p), RenderOutcome::Done);
    ASSERT_TRUE(paint());
    for (std::int32_t y : {0, p.height - 1})
        for (std::int32_t x : {0, p.width / 3, p.width - 1}) {
            std::uint8_t rgb[3];
            smoothColour(palette, e.smoothRow(y)[x], spread, rgb);
            EXPECT_EQ(picture[std::size_t(y) * p.width + x], 0xff000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
        }
    EXPECT_EQ(picture.back(), 7u);  // nothing past the last row
}

// The session's smooth view holds for the pictures a new size makes.
TEST(SmoothPicture, ASessionKeepsSamplesInEveryPictureItMakes) {
    test::FakeHost host;
    Document doc(host);
    RenderSession session{doc};
    session.setKeepSmooth(true);
    doc.onNewDocument();  // a new picture
    ASSERT_EQ(session.render(), 1);
    EXPECT_TRUE(session.engine()->hasSmooth());
}

// ---- Deep fractions ----

// The count and z at the escape by the plain full-precision loop, the
// fraction from there with the pixel's own point.
SmoothSample mpfrSmooth(const DeepLocation& loc, std::int32_t i, std::int32_t j) {
    Mpfr cr(loc.precision()), ci(loc.precision());
    loc.pixel(i, j, cr.get(), ci.get());
    const MpfrEscape e = plainMpfrEscape(loc, i, j);
    const double ar = mpfr_get_d(loc.mandelbrot() ? cr.get() : loc.juliaRe(), MPFR_RNDN);
    const double ai = mpfr_get_d(loc.mandelbrot() ? ci.get() : loc.juliaIm(), MPFR_RNDN);
    return smoothSampleAt(e.count, e.zr, e.zi, ar, ai);
}

// Near i, whose Mandelbrot and Julia (z^2 + i) sets show structure at every scale.
std::string justAboveI(int zeros) {
    return "1." + std::string(static_cast<std::size_t>(zeros), '0') + "3";
}

// Counts are the indexed render's, fractions the full-precision loop's, and
// n + f runs on across count borders.
TEST(DeepSmooth, CountsAreTheIndexedRendersAndFractionsTheFullPrecisionLoops) {
    const struct { std::string re, im, width; FractalType type; } places[] = {
        {"1.3e-31", justAboveI(30), "1e-30", FractalType::Mandelbrot},
        {"2.1e-101", justAboveI(100), "1e-100", FractalType::Mandelbrot},
        {"1.3e-31", justAboveI(30), "1e-30", FractalType::Julia},
        {"2.1e-101", justAboveI(100), "1e-100", FractalType::Julia},
        {"2.1e-321", justAboveI(320), "1e-320", FractalType::Mandelbrot}};  // wide numbers until the escape
    for (const auto& c : places) {
        SCOPED_TRACE(c.width + (c.type == FractalType::Julia ? " Julia" : " Mandelbrot"));
        FractalParams p = around(c.re.c_str(), c.im.c_str(), c.width.c_str(), 96, 24, 4000, c.type);
        p.cReal = 0.0, p.cImag = 1.0;
        FractalEngine indexed(p.width, p.height), smooth(p.width, p.height);
        smooth.setKeepSmooth(true);
        ASSERT_EQ(indexed.render(p), RenderOutcome::Done);
        ASSERT_EQ(smooth.render(p), RenderOutcome::Done);
        ASSERT_TRUE(smooth.lastRenderWasDeep() && smooth.hasSmooth());
        std::int64_t borders = 0;
        double worstJump = 0.0;
        const auto value = [](const SmoothSample& s) { return s.count + double{s.fraction}; };
        for (std::int32_t y = 0; y < p.height; ++y) {
            const SmoothSample* row = smooth.smoothRow(y);
            for (std::int32_t x = 0; x < p.width; ++x)
                ASSERT_EQ(row[x].escaped ? shownIndex(row[x].count) : 0,
                          indexed.bits()[(p.height - 1 - y) * indexed.stride() + x]) << x << "," << y;
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
        EXPECT_GT(borders, 5);
        EXPECT_LT(worstJump, 0.5);
        const DeepLocation loc = settledLocation(p);
        int checked = 0;
        for (std::int32_t y = 1; y < p.height; y += 5)
            for (std::int32_t x = y % 7; x < p.width; x += 9) {
                const SmoothSample want = mpfrSmooth(loc, x, y), got = smooth.smoothRow(y)[x];
                ASSERT_EQ(got.count, want.count) << x << "," << y;
                EXPECT_NEAR(got.fraction, want.fraction, 1e-3) << x << "," << y;
                checked += want.escaped;
            }
        EXPECT_GT(checked, 20);
    }
}

}  // namespace

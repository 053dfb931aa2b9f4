// The engine's pixels byte for byte against the independent reference loop,
// for every row renderer: the plain loop, the default one, and each instruction
// set on one thread and on a pool with more threads than cores. Then the
// render schedule, cancel (by the key and by a flag from another thread) and memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <tuple>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "EngineReference.h"
#include "FakeHost.h"
#include "render/FastRowRenderer.h"
#include "engine/FractalEngine.h"
#include "engine/RenderReport.h"
#include "engine/TiledRender.h"
#include "render/SmoothColour.h"
#include "render/SpanKernel.h"
#include "render/ThreadPool.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::RefParams;
using namespace std::string_literals;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

RefParams P(double left, double top, double right, double bottom, std::int32_t w, std::int32_t h,
            std::int32_t limit = 201, int type = 1, double kr = 0.3, double ki = 0.6) {
    return RefParams{left, top, right, bottom, type, kr, ki, limit, w, h};
}

// The whole default region at another size, limit or type.
RefParams D(std::int32_t w, std::int32_t h, std::int32_t limit = 201, int type = 1, double kr = 0.3, double ki = 0.6) {
    return P(-2, -1.5, 2, 1.5, w, h, limit, type, kr, ki);
}

std::vector<std::uint8_t> bits(const FractalEngine& e) { return {e.bits(), e.bits() + e.bufferSize()}; }

enum class Kind { Default, Plain, Fast };
struct Renderer {
    const char* name;
    Kind kind;
    SimdLevel level = SimdLevel::Scalar;
    bool pooled = false;
};
void PrintTo(const Renderer& r, std::ostream* os) { *os << r.name; }

class EnginePixels : public ::testing::TestWithParam<Renderer> {
protected:
    void SetUp() override {
        const Renderer& r = GetParam();
        if (r.kind != Kind::Fast) return;
        if (!isSimdLevelSupported(r.level)) GTEST_SKIP() << "no " << r.name << " on this machine";
        static ThreadPool pool(3);
        m_fast = std::make_unique<FastRowRenderer>(r.pooled ? 0 : 1, r.level, r.pooled ? &pool : nullptr);
    }

    // A picture of all 1s comes first, so a renderer that skips a pixel cannot pass on zeroes.
    std::vector<std::uint8_t> render(const RefParams& p) {
        FractalEngine e(p.width, p.height);
        if (m_fast) e.setRowRenderer(*m_fast);
        if (GetParam().kind == Kind::Plain) e.setRowRenderer(referenceRowRenderer());
        EXPECT_EQ(e.render(FractalParams{10.0, 10.0, 11.0, 11.0, FractalType::Mandelbrot, 0, 0, 1, 0, 0, {}}),
                  RenderOutcome::Done);
        const FractalParams values{p.left, p.top, p.right, p.bottom, static_cast<FractalType>(p.type), p.kr, p.ki,
                                   p.limit, 0, 0, {}};
        EXPECT_EQ(e.render(values), RenderOutcome::Done);
        return bits(e);
    }

    void expectReference(const RefParams& p) {
        const auto got = render(p);
        const auto want = test::referenceImage(p);
        ASSERT_EQ(got.size(), want.size());
        const auto diff = std::mismatch(got.begin(), got.end(), want.begin());
        EXPECT_TRUE(diff.first == got.end()) << "first difference at byte " << (diff.first - got.begin()) << ": "
                                             << int(*diff.first) << " instead of " << int(*diff.second);
    }

    std::unique_ptr<FastRowRenderer> m_fast;
};

TEST_P(EnginePixels, EdgeRegionsMatchTheReference) {
    const struct { const char* name; RefParams p; } cases[] = {
        {"default 300x300", RefParams{}}, {"width 1", D(1, 9)}, {"width 2", D(2, 7)}, {"width 3", D(3, 9)},
        {"width 4", D(4, 7)}, {"width 5", D(5, 9)}, {"width 301", D(301, 11)}, {"one row", D(97, 1)},
        {"narrow and tall", D(9, 33)}, {"L = 1", D(50, 50, 1)}, {"L = 0", D(13, 7, 0)}, {"L negative", D(13, 7, -5)},
        {"L lowest", D(13, 7, std::numeric_limits<std::int32_t>::min())}, {"limit 600 wraps indices", D(90, 70, 600)},
        {"julia", D(101, 77, 300, 2, -0.8, 0.156)}, {"julia default K", D(64, 48, 201, 2)},
        {"julia on the real line", D(21, 21, 1000, 2, -0.75, 0.0)},
        {"julia K = 0 cycles", D(16, 15, 5000, 2, 0.0, 0.0)}, {"type 3 is Mandelbrot (bit 0)", D(40, 30, 201, 3)},
        {"type 0 is Julia", D(40, 30, 201, 0)}, {"type -1", D(40, 30, 201, -1)},
        {"nan K never escapes", D(9, 5, 201, 2, kNan)}, {"infinite K", D(9, 5, 201, 2, 0.3, kInf)},
        {"-inf and nan K", D(9, 5, 201, 2, -kInf, kNan)}, {"reversed edges", P(2, 1.5, -2, -1.5, 40, 31)},
        {"equal left/right", P(-0.75, -1.5, -0.75, 1.5, 17, 23)},
        {"real axis, deep limit", P(-2, 0, 2, 0, 64, 3, 3000)},
        {"deep boundary", P(-0.7454, 0.1130, -0.7452, 0.1132, 61, 47, 3000)},
        {"counts near 256: 0 turns into 1", P(0.25, -0.0001, 0.2502, 0.0001, 24, 9, 1200)},
        {"huge limit, all escape", P(0.5, 0.5, 2.5, 1.5, 33, 11, kMaxInt)},
        {"|z|^2 exactly 4 does not escape", P(0, 2, 1, 3, 1, 1, 50, 2, 4, 2)},
        {"nan left", P(kNan, -1.5, 2, 1.5, 9, 5)}, {"nan top", P(-2, kNan, 2, 1.5, 9, 5)},
        {"infinite right", P(-2, -1.5, kInf, 1.5, 9, 5)}, {"-inf left", P(-kInf, -1.5, 2, 1.5, 9, 5)},
        {"infinite top and bottom", P(-2, -kInf, 2, kInf, 9, 5)}, {"infinite sides", P(-kInf, -1.5, kInf, 1.5, 9, 5)},
        {"overflow in the loop", P(1e308, -1.5, 1.7e308, 1.5, 9, 5)},
        {"subnormal", P(-1e-310, -1e-310, 1e-310, 1e-310, 8, 3, 500)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectReference(c.p);
    }
}

// Tiles and chunks of any size, rows asked in any order, give the pixels of
// one walk over the whole picture.
TEST_P(EnginePixels, TilesOfAnySizeGiveTheWholeWalksPixels) {
    const RefParams p = D(23, 17, 300);
    const FractalParams values{p.left, p.top, p.right, p.bottom, FractalType::Mandelbrot, 0, 0, p.limit, p.width, p.height, {}};
    RowRenderer& renderer = m_fast ? *m_fast : GetParam().kind == Kind::Plain ? referenceRowRenderer() : defaultRowRenderer();
    for (const auto& [columns, rows] : {std::pair{1, 1}, {7, 5}, {5, 100}, {23, 17}, {100, 3}}) {
        FractalEngine e(p.width, p.height);  // the buffer
        RenderJob job;
        std::tie(job.width, job.height, job.stride, job.bits, job.iterations) =
            std::tuple(p.width, p.height, e.stride(), e.bits(), p.limit);
        TiledRender tiles(CoordinateWalk::columns(values), CoordinateWalk::rows(values), columns, rows);
        ASSERT_TRUE(tiles.render(renderer, job, 6, p.height) && tiles.render(renderer, job, 0, 6));
        EXPECT_EQ(bits(e), test::referenceImage(p)) << columns << "x" << rows;
    }
}

TEST_P(EnginePixels, RandomPicturesMatchTheReference) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::int32_t widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 17, 33, 64, 301};
    const std::int32_t limits[] = {-7, 0, 1, 2, 3, 50, 255, 256, 257, 600, 2000};
    const int types[] = {1, 2, 0, 3, -1, 4};
    for (int n = 0; n < 60; ++n) {
        // Centres around the set, from the whole view down to deep zooms.
        const double cx = -2.1 + 2.7 * unit(rng), cy = -1.3 + 2.6 * unit(rng);
        const double size = 4.0 * std::pow(10.0, -13.0 * unit(rng));
        RefParams p =
            P(cx - size * unit(rng), cy - size * unit(rng), cx + size * unit(rng), cy + size * unit(rng), 1, 1);
        if (n % 5 == 0) std::swap(p.left, p.right);
        p.type = types[n % 6];
        p.kr = -1.0 + 1.4 * unit(rng);
        p.ki = -0.8 + 1.6 * unit(rng);
        p.width = widths[rng() % std::size(widths)];
        p.height = 1 + static_cast<std::int32_t>(rng() % 40) * 2;
        p.limit = limits[rng() % std::size(limits)];
        if (p.width * p.height > 2000 && p.limit > 600) p.limit = 600;  // keeps the reference quick
        SCOPED_TRACE("random picture " + std::to_string(n));
        expectReference(p);
    }
}

TEST_P(EnginePixels, ProvablyEndlessOrbitsFinishAtOnceWithTheLargestLimit) {
    if (GetParam().kind == Kind::Plain) GTEST_SKIP() << "the plain loop runs all 2^31 iterations";
    // c = 0, -1 (a 2-cycle), -2 (|z|^2 stays exactly 4), i (a 2-cycle after one step).
    for (const auto& [re, im] : {std::pair{0.0, 0.0}, {-1.0, 0.0}, {-2.0, 0.0}, {0.0, 1.0}}) {
        for (const std::uint8_t b : render(P(re, im, re, im, 3, 2, kMaxInt))) EXPECT_EQ(b, 0) << re << "," << im;
    }
    for (const std::uint8_t b : render(D(5, 3, kMaxInt, 2, kNan))) EXPECT_EQ(b, 0);
    EXPECT_EQ(render(P(3, 0, 3, 0, 2, 1, kMaxInt)), (std::vector<std::uint8_t>{1, 1, 0, 0}));
}

using enum SimdLevel;
constexpr Kind kFast = Kind::Fast;
INSTANTIATE_TEST_SUITE_P(EveryRenderer, EnginePixels,
                         ::testing::Values(Renderer{"Default", Kind::Default}, Renderer{"Plain", Kind::Plain},
                                           Renderer{"Scalar1", kFast, Scalar}, Renderer{"Scalar3", kFast, Scalar, true},
                                           Renderer{"Sse2_1", kFast, Sse2}, Renderer{"Sse2_3", kFast, Sse2, true},
                                           Renderer{"Avx2_1", kFast, Avx2}, Renderer{"Avx2_3", kFast, Avx2, true},
                                           Renderer{"Avx512_1", kFast, Avx512},
                                           Renderer{"Avx512_3", kFast, Avx512, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every progress call as a line of text.
struct RecordingProgress : ProgressSink {
    std::vector<std::string> calls;
    void setRange(int a, int b) override { calls.push_back("range " + std::to_string(a) + " " + std::to_string(b)); }
    void setPos(int pos) override { calls.push_back("pos " + std::to_string(pos)); }
    void setStep(int step) override { calls.push_back("step " + std::to_string(step)); }
    void stepIt() override { calls.push_back("stepit"); }
};

TEST(EngineSchedule, CheckpointsProgressAndPolls) {
    const struct { int height, checkpoints; } cases[] = {
        {0, 0}, {1, 1}, {31, 31}, {32, 16}, {63, 31}, {300, 30}, {1000, 31}};
    for (const auto& c : cases) {
        SCOPED_TRACE("height " + std::to_string(c.height));
        FakeHost host;
        host.cancelAt = [](int n) { return n == 0; };  // the key still held from the menu: this poll is discarded
        FractalEngine e(3, c.height);
        RecordingProgress progress;
        ASSERT_EQ(e.render(FractalParams{.iterations = 5, .exact = {}}, hostContext(host, &progress, nullptr)), RenderOutcome::Done);
        ASSERT_GE(progress.calls.size(), 3u);
        const std::string h = std::to_string(c.height), step = std::to_string(c.height / 32);
        EXPECT_EQ(std::vector(progress.calls.begin(), progress.calls.begin() + 3),
                  (std::vector<std::string>{"range 0 " + h, "pos 0", "step " + step}));
        EXPECT_EQ(std::tuple(progress.calls.size() - 3, host.polls, e.isValid()),
                  std::tuple(std::size_t(c.checkpoints), 1 + c.checkpoints, true));
    }
}

TEST(EngineCancel, ZeroesThePictureAndTheNextRenderCompletes) {
    ThreadPool pool(2);
    FastRowRenderer pooled(0, bestSimdLevel(), &pool);
    const struct { const char* name; RowRenderer* renderer; int width, height, cancelPoll; } cases[] = {
        {"at the first checkpoint", nullptr, 301, 64, 1}, {"in the middle", nullptr, 40, 100, 8},
        {"in the middle, on a pool", &pooled, 301, 99, 5}, {"plain loop", &referenceRowRenderer(), 40, 100, 3},
        {"at the last checkpoint", nullptr, 40, 64, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host;
        FractalEngine e(c.width, c.height);
        if (c.renderer) e.setRowRenderer(*c.renderer);
        ASSERT_EQ(e.render(FractalParams{.iterations = 300, .exact = {}}), RenderOutcome::Done);  // a full picture first: cancel must blank it
        host.cancelAt = [&](int n) { return n == 0 || n == c.cancelPoll; };
        RecordingProgress progress;
        EXPECT_EQ(e.render(hostContext(host, &progress, nullptr)), RenderOutcome::Cancelled);
        EXPECT_EQ(std::tuple(e.isValid(), host.polls, progress.calls.back()),
                  std::tuple(false, c.cancelPoll + 1, "stepit"));
        EXPECT_EQ(bits(e), std::vector<std::uint8_t>(e.bufferSize(), 0));
        EXPECT_EQ(e.render(), RenderOutcome::Done);
        EXPECT_TRUE(e.isValid() && bits(e) == test::referenceImage(D(c.width, c.height, 300)));
    }
}

// Around the centre of the Siegel disk of this Julia set orbits neither escape
// nor come back exactly, so only the limit or a cancel ends them.
constexpr double kSiegelRe = -0.390541, kSiegelIm = -0.586788, kCentreRe = -0.3687, kCentreIm = -0.3377;

class SpanCancel : public ::testing::TestWithParam<SimdLevel> {};

TEST_P(SpanCancel, ASetFlagEndsASpanOfEndlessOrbitsAtOnce) {
    if (!isSimdLevelSupported(GetParam())) GTEST_SKIP() << simdLevelName(GetParam());
    std::vector<double> xs(256);
    for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = kCentreRe + 0.0001 * static_cast<double>(i);
    std::vector<std::uint8_t> out(xs.size(), 0xEE);
    std::atomic<bool> stop{true};
    SpanArgs args;
    std::tie(args.xs, args.count, args.ci, args.mandelbrot) = std::tuple(xs.data(), 256, kCentreIm, false);
    std::tie(args.juliaRe, args.juliaIm, args.limit, args.out, args.cancel) =
        std::tuple(kSiegelRe, kSiegelIm, kMaxInt, out.data(), &stop);
    // Without the check these orbits run for seconds before they repeat exactly.
    auto done = std::async(std::launch::async, [&] { spanKernelFor(GetParam())(args); });
    EXPECT_EQ(done.wait_for(std::chrono::seconds(1)), std::future_status::ready);
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, SpanCancel, ::testing::Values(Scalar, Sse2, Avx2, Avx512),
                         [](const auto& info) { return std::string(simdLevelName(info.param)); });

// With the bound on their rounding carried along, every kernel keeps the plain
// loop's pixels and flags the very pixels the plain loop flags: around the
// critical point of this Julia set, where a few of them are wrong.
class SpanDoubt : public ::testing::TestWithParam<SimdLevel> {};

TEST_P(SpanDoubt, KernelsFlagThePlainLoopsDoubtsAndKeepItsPixels) {
    if (!isSimdLevelSupported(GetParam())) GTEST_SKIP() << simdLevelName(GetParam());
    constexpr std::int32_t kW = 64, kH = 48;
    std::vector<double> xs(kW), ys(kH);
    for (std::int32_t i = 0; i < kW; ++i) xs[i] = -5e-4 + i * (1e-3 / kW);
    for (std::int32_t j = 0; j < kH; ++j) ys[j] = -3.75e-4 + j * (1e-3 / kW);
    auto render = [&](RowRenderer& renderer, std::vector<std::uint8_t>& doubt) {
        std::vector<std::uint8_t> bits(kW * kH, 0xEE);
        doubt.assign(bits.size(), 0xEE);
        RenderJob job;
        std::tie(job.xs, job.ys, job.width, job.height, job.stride, job.bits) =
            std::tuple(xs.data(), ys.data(), kW, kH, std::size_t{kW}, bits.data());
        std::tie(job.mandelbrot, job.iterations, job.juliaRe, job.juliaIm) = std::tuple(false, 1000, -0.8, 0.156);
        std::tie(job.doubt, job.doubtStart, job.doubtStep) = std::tuple(doubt.data(), 1e-40, 0x1p-90);
        renderer.renderRows(job, 0, kH);
        return bits;
    };
    std::vector<std::uint8_t> plainDoubt, doubt;
    const auto plain = render(referenceRowRenderer(), plainDoubt);
    FastRowRenderer fast(1, GetParam());
    EXPECT_EQ(render(fast, doubt), plain);
    EXPECT_EQ(doubt, plainDoubt);
    const auto flagged = std::count(doubt.begin(), doubt.end(), 1);
    EXPECT_GT(flagged, 20);
    EXPECT_LT(flagged, kW * kH / 4);
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, SpanDoubt, ::testing::Values(Scalar, Sse2, Avx2, Avx512),
                         [](const auto& info) { return std::string(simdLevelName(info.param)); });

TEST(EngineMemory, AFailedAllocationNeverTouchesABufferAndNonPositiveSizesAreHarmless) {
    FakeHost host;
    FractalEngine e(2147483647, 2147483647);
    EXPECT_EQ(e.render(hostContext(host, nullptr, nullptr)), RenderOutcome::NoMemory);
    EXPECT_EQ(std::tuple(e.hasBuffer(), e.bufferSize(), e.isValid(), host.polls), std::tuple(false, 0u, false, 0));
    for (auto [w, h] : {std::pair{0, 5}, {-7, 5}, {5, -3}, {0, 0}}) {
        FractalEngine empty(w, h);
        EXPECT_TRUE(empty.render() == RenderOutcome::Done && empty.hasBuffer() && empty.isValid()) << w << "x" << h;
    }
}

}  // namespace

// Along a line outside the set, n + fraction runs on without the jumps of the
// integer count (that the count is escapeIndex's: the smooth tests).
TEST(SmoothEscape, IsContinuousAcrossItsSteps) {
    double last = 0;
    int countChanges = 0;
    std::uint8_t lastCount = 0;
    for (int i = 0; i <= 4000; ++i) {
        const double x = 0.3 + i * 2.5e-5, y = 0.0;  // right of the cusp: 14 down to 8 steps
        const SmoothSample s = smoothEscape(x, y, x, y, 200);
        ASSERT_TRUE(s.escaped);
        ASSERT_TRUE(s.fraction >= 0.0f && s.fraction < 1.0f);
        const double value = s.count + double{s.fraction};
        if (i > 0) {
            EXPECT_NEAR(value, last, 0.15) << x;  // the count fixed at radius 2 leaves small steps
        }
        countChanges += i > 0 && s.count != lastCount;
        last = value, lastCount = s.count;
    }
    EXPECT_GT(countChanges, 3);
}

// A cancel set from another thread stops a render soon, however high the limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <cstdint>
#include <future>
#include <thread>
#include <vector>

#include "FakeHost.h"
#include "render/FastRowRenderer.h"
#include "render/FractalEngine.h"
#include "render/SpanKernel.h"

namespace velmora {
namespace {

// Around the centre of the Siegel disk of this Julia set orbits neither escape
// nor come back exactly, so only the limit or a cancel ends them.
constexpr double kSiegelRe = -0.390541;
constexpr double kSiegelIm = -0.586788;
constexpr double kCentreRe = -0.3687;
constexpr double kCentreIm = -0.3377;
constexpr std::int32_t kEndless = INT32_MAX;

class SpanCancel : public ::testing::TestWithParam<SimdLevel> {};

TEST_P(SpanCancel, ASetFlagEndsASpanOfEndlessOrbitsAtOnce) {
    if (!isSimdLevelSupported(GetParam())) GTEST_SKIP() << simdLevelName(GetParam());
    std::vector<double> xs(256);
    for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = kCentreRe + 0.0001 * static_cast<double>(i);
    std::vector<std::uint8_t> out(xs.size(), 0xEE);
    std::atomic<bool> stop{true};
    SpanArgs args;
    args.xs = xs.data();
    args.count = static_cast<std::int32_t>(xs.size());
    args.ci = kCentreIm;
    args.mandelbrot = false;
    args.juliaRe = kSiegelRe;
    args.juliaIm = kSiegelIm;
    args.limit = kEndless;
    args.out = out.data();
    args.cancel = &stop;
    // Without the check these orbits run for seconds before they repeat exactly.
    auto done = std::async(std::launch::async, [&] { spanKernelFor(GetParam())(args); });
    EXPECT_EQ(done.wait_for(std::chrono::seconds(1)), std::future_status::ready);
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, SpanCancel,
                         ::testing::Values(SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512),
                         [](const auto& info) { return std::string(simdLevelName(info.param)); });

TEST(EngineCancel, AFlagSetDuringARenderBlanksThePictureWithTheQuestionSound) {
    test::FakeHost host;
    FractalEngine engine(256, 192, host);
    FastRowRenderer renderer(0, bestSimdLevel());
    engine.setRowRenderer(renderer);
    engine.setType(2);
    engine.setRegion(kCentreRe - 0.02, kCentreIm - 0.02, kCentreRe + 0.02, kCentreIm + 0.02);
    engine.setJuliaConstant(kSiegelRe, kSiegelIm);
    engine.setIterations(kEndless);
    std::atomic<bool> stop{false};
    auto result = std::async(std::launch::async, [&] { return engine.render(nullptr, &stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        std::fputs("the render did not stop; it would run for hours\n", stderr);
        std::_Exit(1);  // the render cannot be stopped from here, so do not wait for it
    }
    EXPECT_EQ(result.get(), 0);
    EXPECT_FALSE(engine.isValid());
    EXPECT_EQ(host.questionSounds, 1);
    const std::uint8_t* bits = engine.bits();
    EXPECT_EQ(std::count(bits, bits + engine.bufferSize(), 0), static_cast<std::ptrdiff_t>(engine.bufferSize()));
}

}  // namespace
}  // namespace velmora

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EngineReference.h"
#include "FakeHost.h"
#include "render/FractalEngine.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::RefParams;

namespace {

std::vector<std::uint8_t> Render(const RefParams& p, FakeHost& host) {
    FractalEngine e(p.width, p.height, host);
    e.SetRegion(p.left, p.top, p.right, p.bottom);
    e.SetType(p.type);
    e.SetIterations(p.limit);
    e.SetJuliaConstant(p.kr, p.ki);
    EXPECT_EQ(e.Render(), 1);
    EXPECT_TRUE(e.IsValid());
    return std::vector<std::uint8_t>(e.GetBits(), e.GetBits() + e.GetBufferSize());
}

void ExpectMatchesReference(const RefParams& p, const std::string& what) {
    FakeHost host;
    const auto got = Render(p, host);
    const auto want = test::ReferenceImage(p);
    ASSERT_EQ(got.size(), want.size()) << what;
    std::size_t diffs = 0;
    for (std::size_t i = 0; i < got.size(); ++i) diffs += got[i] != want[i];
    EXPECT_EQ(diffs, 0u) << what;
}

TEST(EnginePixels, MatchReferenceOnManyRegions) {
    const RefParams base;
    struct Named { const char* name; RefParams p; } cases[] = {
        {"default", base},
        {"reversed edges", [] { RefParams p; p.left = 2; p.right = -2; p.top = 1.5; p.bottom = -1.5; return p; }()},
        {"equal left/right", [] { RefParams p; p.left = p.right = -0.75; p.width = 17; p.height = 23; return p; }()},
        {"equal top/bottom", [] { RefParams p; p.top = p.bottom = 0.1; p.width = 31; p.height = 9; return p; }()},
        {"julia", [] { RefParams p; p.type = 2; p.kr = -0.8; p.ki = 0.156; p.limit = 300; p.width = 101; p.height = 77; return p; }()},
        {"julia default K", [] { RefParams p; p.type = 2; p.width = 64; p.height = 48; return p; }()},
        {"type bit 0 only (3 is Mandelbrot)", [] { RefParams p; p.type = 3; p.width = 40; p.height = 30; return p; }()},
        {"type 0 is Julia", [] { RefParams p; p.type = 0; p.width = 40; p.height = 30; return p; }()},
        {"deep boundary", [] { RefParams p; p.left = -0.7454; p.right = -0.7452; p.top = 0.1130; p.bottom = 0.1132; p.limit = 1500; p.width = 61; p.height = 47; return p; }()},
        {"L = 1", [] { RefParams p; p.limit = 1; p.width = 50; p.height = 50; return p; }()},
        {"L = 0", [] { RefParams p; p.limit = 0; p.width = 13; p.height = 7; return p; }()},
        {"L negative", [] { RefParams p; p.limit = -5; p.width = 13; p.height = 7; return p; }()},
        {"width 301", [] { RefParams p; p.width = 301; p.height = 11; return p; }()},
        {"limit 600 wraps indices", [] { RefParams p; p.limit = 600; p.width = 90; p.height = 70; return p; }()},
    };
    for (const auto& c : cases) ExpectMatchesReference(c.p, c.name);
    for (int w = 1; w <= 5; ++w) {
        RefParams p;
        p.width = w;
        p.height = 9;
        ExpectMatchesReference(p, "width " + std::to_string(w));
    }
}

TEST(EnginePixels, NonFiniteInputsNeverCrashAndMatchReference) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RefParams p;
    p.width = 8;
    p.height = 8;
    p.left = nan;
    ExpectMatchesReference(p, "nan left");
    p = RefParams{};
    p.width = 8;
    p.height = 8;
    p.right = inf;
    ExpectMatchesReference(p, "infinite right");
    p = RefParams{};
    p.width = 8;
    p.height = 8;
    p.type = 2;
    p.kr = nan;
    ExpectMatchesReference(p, "nan Julia constant: never escapes");
}

TEST(EnginePixels, EscapeCountsWrapWithZeroTurnedIntoOne) {
    // Points on the real axis escape at known iterations; check the mapping of
    // counts to indices directly on single pixels.
    FakeHost host;
    for (const double c : {3.0, 2.5, 0.26, 0.251, 0.25015, 0.2500377}) {
        FractalEngine e(1, 1, host);
        e.SetRegion(c, 0.0, c + 1.0, 1.0);
        e.SetIterations(100000);
        ASSERT_EQ(e.Render(), 1);
        // Count the escape by hand on the real axis (zi stays 0).
        double z = c;
        std::int64_t n = 1;
        for (;; ++n) {
            z = z * z + c;
            if (z * z > 4.0 || n >= 100000) break;
        }
        const std::uint8_t want = z * z > 4.0 ? static_cast<std::uint8_t>(n % 256 == 0 ? 1 : n % 256) : 0;
        EXPECT_EQ(e.GetBits()[0], want) << "c = " << c << ", n = " << n;
    }
}

TEST(EnginePixels, MagnitudeExactlyFourDoesNotEscape) {
    // z0 = c = 2i with Julia K chosen so z1 = 0 + 2i: |z1|^2 = 4 exactly, and
    // z stays 2i forever (z^2 + K = -4 + 4 + 2i).
    FakeHost host;
    FractalEngine e(1, 1, host);
    e.SetRegion(0.0, 2.0, 1.0, 3.0);
    e.SetType(2);
    e.SetJuliaConstant(4.0, 2.0);
    e.SetIterations(50);
    ASSERT_EQ(e.Render(), 1);
    EXPECT_EQ(e.GetBits()[0], 0);
}

TEST(EngineLayout, PaddingStrideAndBottomUpRows) {
    FakeHost host;
    EXPECT_EQ(FractalEngine(300, 2, host).GetRowPadding(), 0);
    EXPECT_EQ(FractalEngine(301, 2, host).GetRowPadding(), 3);
    EXPECT_EQ(FractalEngine(301, 2, host).GetStride(), 304u);
    EXPECT_EQ(FractalEngine(5, 1, host).GetStride(), 8u);
    // Top image row is the smaller imaginary value and sits last in memory.
    FractalEngine e(1, 2, host);
    e.SetRegion(-0.1, -3.0, 0.0, 3.0);  // row 0 samples -3i (escapes at once), row 1 samples 0 (never)
    e.SetIterations(20);
    ASSERT_EQ(e.Render(), 1);
    EXPECT_EQ(e.GetBits()[4], 1);  // memory row 1 = image row 0
    EXPECT_EQ(e.GetBits()[0], 0);
}

class RecordingProgress : public ProgressSink {
public:
    std::vector<std::string> calls;
    void SetRange(int lo, int hi) override { calls.push_back("range " + std::to_string(lo) + " " + std::to_string(hi)); }
    void SetPos(int pos) override { calls.push_back("pos " + std::to_string(pos)); }
    void SetStep(int step) override { calls.push_back("step " + std::to_string(step)); }
    void StepIt() override { calls.push_back("stepit"); }
};

TEST(EngineSchedule, CheckpointsProgressAndPolls) {
    struct { int height, checkpoints; } cases[] = {{0, 0}, {1, 1}, {31, 31}, {32, 16}, {63, 31}, {300, 30}, {1000, 31}};
    for (const auto& c : cases) {
        FakeHost host;
        FractalEngine e(3, c.height, host);
        e.SetRegion(-2, -1.5, 2, 1.5);
        e.SetIterations(5);
        RecordingProgress progress;
        ASSERT_EQ(e.Render(&progress), 1) << c.height;
        ASSERT_GE(progress.calls.size(), 3u);
        EXPECT_EQ(progress.calls[0], "range 0 " + std::to_string(c.height));
        EXPECT_EQ(progress.calls[1], "pos 0");
        EXPECT_EQ(progress.calls[2], "step " + std::to_string(c.height / 32));
        EXPECT_EQ(static_cast<int>(progress.calls.size()) - 3, c.checkpoints) << "height " << c.height;
        EXPECT_EQ(host.polls, 1 + c.checkpoints) << "height " << c.height;  // plus the discarded first poll
        EXPECT_TRUE(e.IsValid());
    }
}

TEST(EngineSchedule, FirstPollIsDiscardedAndCancelAtFirstCheckpointZeroesEverything) {
    FakeHost host;
    host.cancelAt = [](int n) { return n <= 1; };  // "held down": first poll and the first checkpoint
    FractalEngine e(301, 64, host);
    e.SetRegion(-2, -1.5, 2, 1.5);
    e.SetIterations(50);
    RecordingProgress progress;
    EXPECT_EQ(e.Render(&progress), 0);
    EXPECT_FALSE(e.IsValid());
    EXPECT_EQ(host.polls, 2);
    EXPECT_EQ(host.questionSounds, 1);
    EXPECT_EQ(progress.calls.back(), "stepit");
    for (std::size_t i = 0; i < e.GetBufferSize(); ++i) ASSERT_EQ(e.GetBits()[i], 0) << i;
}

TEST(EngineSchedule, CancelInTheMiddleLeavesAllZeroAndNextRenderCompletes) {
    FakeHost host;
    host.cancelAt = [](int n) { return n == 8; };
    FractalEngine e(40, 100, host);
    e.SetRegion(-2, -1.5, 2, 1.5);
    e.SetIterations(50);
    EXPECT_EQ(e.Render(), 0);
    for (std::size_t i = 0; i < e.GetBufferSize(); ++i) ASSERT_EQ(e.GetBits()[i], 0);
    host.cancelAt = nullptr;
    EXPECT_EQ(e.Render(), 1);
    EXPECT_TRUE(e.IsValid());
}

TEST(EngineSchedule, PollOnlyOnceBeforeHeightZeroCompletes) {
    FakeHost host;
    host.cancelAt = [](int) { return true; };
    FractalEngine e(10, 0, host);
    EXPECT_EQ(e.Render(), 1);
    EXPECT_TRUE(e.IsValid());
    EXPECT_EQ(host.polls, 1);
}

TEST(EngineMemory, FailedAllocationReportsAndNeverTouchesABuffer) {
    FakeHost host;
    host.allowMessages = true;
    FractalEngine e(2147483647, 2147483647, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Not enough memory for bitmap.");
    EXPECT_EQ(host.messages[0].caption, "");
    EXPECT_EQ(host.messages[0].owner, MsgOwner::None);
    EXPECT_FALSE(e.HasBuffer());
    EXPECT_EQ(e.GetBufferSize(), 0u);
    EXPECT_EQ(e.Render(), 0);
    EXPECT_FALSE(e.IsValid());
    EXPECT_EQ(host.polls, 0);
}

TEST(EngineMemory, LargePictureSizeIsComputedWithoutOverflow) {
    FakeHost host;
    host.allowMessages = true;  // allowed to fail on a small machine, never to overflow
    FractalEngine e(40000, 40000, host);
    if (e.HasBuffer()) {
        EXPECT_EQ(e.GetBufferSize(), 1600000000u);
        EXPECT_EQ(e.GetBits()[1599999999u], 0);
    } else {
        EXPECT_EQ(host.LastText(), "Not enough memory for bitmap.");
    }
}

TEST(EngineMemory, NonPositiveSizesAreHarmless) {
    FakeHost host;
    for (auto [w, h] : {std::pair{0, 5}, {-7, 5}, {5, -3}, {0, 0}}) {
        FractalEngine e(w, h, host);
        EXPECT_TRUE(e.HasBuffer());
        EXPECT_EQ(e.Render(), 1);
        EXPECT_TRUE(e.IsValid());
    }
}

TEST(EngineSetters, SetRegionOrdersEachPairAndSettersLeavePixelsAlone) {
    FakeHost host;
    FractalEngine e(4, 4, host);
    e.SetRegion(1.0, 2.0, -1.0, -2.0);
    EXPECT_EQ(e.GetXMin(), -1.0);
    EXPECT_EQ(e.GetXMax(), 1.0);
    EXPECT_EQ(e.GetYMin(), -2.0);
    EXPECT_EQ(e.GetYMax(), 2.0);
    e.SetIterations(10);
    ASSERT_EQ(e.Render(), 1);
    const std::vector<std::uint8_t> before(e.GetBits(), e.GetBits() + e.GetBufferSize());
    e.SetRegion(5, 5, 6, 6);
    e.SetType(2);
    e.SetIterations(1);
    e.SetJuliaConstant(9, 9);
    EXPECT_TRUE(e.IsValid());
    EXPECT_EQ(std::vector<std::uint8_t>(e.GetBits(), e.GetBits() + e.GetBufferSize()), before);
}

}  // namespace

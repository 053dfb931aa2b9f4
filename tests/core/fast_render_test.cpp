// The fast renderer against the plain loop: same bytes for every instruction
// set and thread count, on random and on edge-case pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "FakeHost.h"
#include "render/FastRowRenderer.h"
#include "render/FractalEngine.h"
#include "render/ThreadPool.h"

using namespace velmora;
using velmora::test::FakeHost;

namespace {

struct Case {
    double left = -2, top = -1.5, right = 2, bottom = 1.5;
    std::int32_t type = 1;
    double kr = 0.3, ki = 0.6;
    std::int32_t limit = 201;
    std::int32_t width = 40, height = 31;

    std::string Describe() const {
        char buf[256];
        std::snprintf(buf, sizeof buf, "region (%.17g, %.17g, %.17g, %.17g) type %d K (%.17g, %.17g) L %d size %dx%d",
                      left, top, right, bottom, type, kr, ki, limit, width, height);
        return buf;
    }
};

// Renders the case with the given rows renderer. The engine first renders a
// picture of all 1s, so a renderer that skips a pixel cannot pass on zeroes.
std::vector<std::uint8_t> RenderWith(RowRenderer& renderer, const Case& c) {
    FakeHost host;
    FractalEngine e(c.width, c.height, host);
    e.SetRowRenderer(renderer);
    e.SetRegion(10.0, 10.0, 11.0, 11.0);
    e.SetIterations(1);
    EXPECT_EQ(e.Render(), 1);
    e.SetRegion(c.left, c.top, c.right, c.bottom);
    e.SetType(c.type);
    e.SetIterations(c.limit);
    e.SetJuliaConstant(c.kr, c.ki);
    EXPECT_EQ(e.Render(), 1);
    return std::vector<std::uint8_t>(e.GetBits(), e.GetBits() + e.GetBufferSize());
}

struct Variant {
    std::string name;
    std::unique_ptr<RowRenderer> renderer;
};

// Every supported instruction set, on the calling thread alone and on a private
// pool with more threads than cores (so blocks are cut into several spans).
std::vector<Variant>& Variants() {
    static ThreadPool pool(3);
    static std::vector<Variant> variants = [] {
        std::vector<Variant> v;
        for (const SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2, SimdLevel::Avx512}) {
            if (!IsSimdLevelSupported(level)) continue;
            const std::string name = SimdLevelName(level);
            v.push_back({name + " x1", std::make_unique<FastRowRenderer>(1, level)});
            v.push_back({name + " x3", std::make_unique<FastRowRenderer>(0, level, &pool)});
        }
        return v;
    }();
    return variants;
}

void ExpectAllMatch(const Case& c) {
    const auto want = RenderWith(ReferenceRowRenderer(), c);
    for (auto& v : Variants()) {
        const auto got = RenderWith(*v.renderer, c);
        ASSERT_EQ(got.size(), want.size());
        std::size_t diffs = 0, firstDiff = 0;
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (got[i] != want[i] && diffs++ == 0) firstDiff = i;
        }
        EXPECT_EQ(diffs, 0u) << v.name << ": " << c.Describe() << ", first difference at byte " << firstDiff
                             << " (" << int(got[firstDiff]) << " instead of " << int(want[firstDiff]) << ")";
    }
}

TEST(FastRender, EveryInstructionSetIsTested) {
    EXPECT_TRUE(IsSimdLevelSupported(SimdLevel::Scalar));
    EXPECT_TRUE(IsSimdLevelSupported(BestSimdLevel()));
    EXPECT_GE(Variants().size(), 2u);
}

TEST(FastRender, MatchesPlainLoopOnRandomPictures) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const std::int32_t widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 17, 33, 64, 301};
    const std::int32_t limits[] = {-7, 0, 1, 2, 3, 50, 255, 256, 257, 600, 2000};
    const std::int32_t types[] = {1, 2, 0, 3, -1, 4};
    for (int n = 0; n < 60; ++n) {
        Case c;
        // Centres around the set, from the whole view down to deep zooms.
        const double cx = -2.1 + 2.7 * unit(rng);
        const double cy = -1.3 + 2.6 * unit(rng);
        const double size = 4.0 * std::pow(10.0, -13.0 * unit(rng));
        c.left = cx - size * unit(rng);
        c.right = cx + size * unit(rng);
        c.top = cy - size * unit(rng);
        c.bottom = cy + size * unit(rng);
        if (n % 5 == 0) std::swap(c.left, c.right);  // edges given the other way round
        c.type = types[n % 6];
        c.kr = -1.0 + 1.4 * unit(rng);
        c.ki = -0.8 + 1.6 * unit(rng);
        c.width = widths[rng() % std::size(widths)];
        c.height = 1 + static_cast<std::int32_t>(rng() % 40) * 2;  // odd heights
        c.limit = limits[rng() % std::size(limits)];
        if (c.width * c.height > 2000 && c.limit > 600) c.limit = 600;  // keep the plain loop quick
        ExpectAllMatch(c);
    }
}

TEST(FastRender, MatchesPlainLoopOnEdgeCases) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Case> cases;
    auto add = [&](auto change) {
        Case c;
        change(c);
        cases.push_back(c);
    };
    add([](Case&) {});
    for (std::int32_t w = 1; w <= 5; ++w) add([w](Case& c) { c.width = w; c.height = 7; });
    add([](Case& c) { c.width = 301; c.height = 5; });
    add([](Case& c) { c.height = 1; c.width = 97; });
    add([](Case& c) { c.height = 33; c.width = 9; });
    add([](Case& c) { c.limit = 1; });
    add([](Case& c) { c.limit = 0; });
    add([](Case& c) { c.limit = -2147483647 - 1; });
    add([](Case& c) { c.left = c.right = -0.75; });
    add([](Case& c) { c.top = c.bottom = 0.0; c.width = 64; c.height = 3; c.limit = 3000; });  // the real axis
    add([](Case& c) { c.left = -0.7454; c.right = -0.7452; c.top = 0.1130; c.bottom = 0.1132; c.limit = 3000; c.width = 23; c.height = 17; });
    add([](Case& c) { c.type = 2; c.kr = -0.8; c.ki = 0.156; c.limit = 1000; c.width = 37; c.height = 29; });
    add([](Case& c) { c.type = 2; c.kr = -0.75; c.ki = 0.0; c.limit = 1000; c.width = 21; c.height = 21; });
    add([](Case& c) { c.type = 2; c.kr = 0.0; c.ki = 0.0; c.limit = 5000; c.width = 16; c.height = 15; });  // cycles
    // Non-finite edges and constants, alone and together.
    add([&](Case& c) { c.left = nan; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.top = nan; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.right = inf; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.left = -inf; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.bottom = inf; c.top = -inf; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.left = -inf; c.right = inf; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.type = 2; c.kr = nan; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.type = 2; c.ki = inf; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.type = 2; c.kr = -inf; c.ki = nan; c.width = 9; c.height = 5; });
    add([&](Case& c) { c.left = 1e308; c.right = 1.7e308; c.width = 9; c.height = 5; });  // overflow to inf in the loop
    add([&](Case& c) { c.left = -1e-310; c.right = 1e-310; c.top = -1e-310; c.bottom = 1e-310; c.width = 8; c.height = 3; c.limit = 500; });
    // Escape counts near 256: indices wrap and 0 turns into 1.
    add([](Case& c) { c.left = 0.2500; c.right = 0.2502; c.top = -0.0001; c.bottom = 0.0001; c.limit = 1200; c.width = 24; c.height = 9; });
    // A huge limit where every point escapes, so the plain loop stays quick.
    add([](Case& c) { c.left = 0.5; c.right = 2.5; c.top = 0.5; c.bottom = 1.5; c.limit = 2147483647; c.width = 33; c.height = 11; });
    for (const auto& c : cases) ExpectAllMatch(c);
}

TEST(FastRender, ProvablyEndlessOrbitsFinishAtOnceWithHugeLimits) {
    // Exact fixed points and cycles: c = 0 (stays 0), c = -1 (0, -1, 0, ...),
    // c = -2 (2 forever: magnitude exactly 4 never escapes), c = i (-1+i, -i, ...);
    // and NaN orbits. The plain loop would take 2^31 iterations per pixel here.
    struct Point { double re, im; } points[] = {{0, 0}, {-1, 0}, {-2, 0}, {0, 1}};
    for (auto& v : Variants()) {
        for (const Point& p : points) {
            Case c;
            c.left = c.right = p.re;
            c.top = c.bottom = p.im;
            c.width = 3;
            c.height = 2;
            c.limit = 2147483647;
            for (const std::uint8_t b : RenderWith(*v.renderer, c)) EXPECT_EQ(b, 0) << v.name << " at " << p.re << "," << p.im;
        }
        Case nanJulia;
        nanJulia.type = 2;
        nanJulia.kr = std::numeric_limits<double>::quiet_NaN();
        nanJulia.width = 5;
        nanJulia.height = 3;
        nanJulia.limit = 2147483647;
        for (const std::uint8_t b : RenderWith(*v.renderer, nanJulia)) EXPECT_EQ(b, 0) << v.name;
        // And a point that escapes at the first iteration still gets 1.
        Case far;
        far.left = far.right = 3.0;
        far.width = 2;
        far.height = 1;
        far.limit = 2147483647;
        const auto bytes = RenderWith(*v.renderer, far);
        EXPECT_EQ(bytes[0], 1) << v.name;
        EXPECT_EQ(bytes[1], 1) << v.name;
    }
}

TEST(FastRender, CancelInTheMiddleLeavesAllZero) {
    ThreadPool pool(2);
    FastRowRenderer renderer(0, BestSimdLevel(), &pool);
    FakeHost host;
    host.cancelAt = [](int n) { return n == 5; };
    FractalEngine e(301, 99, host);
    e.SetRowRenderer(renderer);
    e.SetRegion(-2, -1.5, 2, 1.5);
    e.SetIterations(300);
    EXPECT_EQ(e.Render(), 0);
    EXPECT_FALSE(e.IsValid());
    EXPECT_EQ(host.polls, 6);
    EXPECT_EQ(host.questionSounds, 1);
    for (std::size_t i = 0; i < e.GetBufferSize(); ++i) ASSERT_EQ(e.GetBits()[i], 0) << i;
}

TEST(FastRender, EngineUsesTheFastRendererByDefault) {
    FakeHost host;
    FractalEngine a(50, 40, host);
    FractalEngine b(50, 40, host);
    b.SetRowRenderer(ReferenceRowRenderer());
    for (FractalEngine* e : {&a, &b}) {
        e->SetRegion(-0.7454, 0.1130, -0.7452, 0.1132);
        e->SetIterations(2500);
        ASSERT_EQ(e->Render(), 1);
    }
    EXPECT_TRUE(std::equal(a.GetBits(), a.GetBits() + a.GetBufferSize(), b.GetBits()));
    EXPECT_EQ(dynamic_cast<FastRowRenderer*>(&DefaultRowRenderer()) != nullptr, true);
}

TEST(ThreadPoolTest, EveryItemRunsExactlyOnceOnUpToTheAllowedThreads) {
    ThreadPool pool(3);
    EXPECT_EQ(pool.Size(), 3u);
    for (const unsigned maxThreads : {0u, 1u, 2u, 3u, 7u}) {
        std::vector<std::atomic<int>> hits(997);
        std::mutex m;
        std::set<std::thread::id> ids;
        auto task = [&](std::size_t i) {
            hits[i].fetch_add(1);
            std::lock_guard<std::mutex> lock(m);
            ids.insert(std::this_thread::get_id());
        };
        pool.ForEach(hits.size(), maxThreads, task);
        for (std::size_t i = 0; i < hits.size(); ++i) ASSERT_EQ(hits[i].load(), 1) << i;
        const unsigned allowed = maxThreads == 0 ? 3u : std::min(maxThreads, 3u);
        EXPECT_LE(ids.size(), allowed) << maxThreads;
        if (maxThreads == 1) {
            EXPECT_EQ(*ids.begin(), std::this_thread::get_id());
        }
    }
    int calls = 0;
    auto none = [&](std::size_t) { ++calls; };
    pool.ForEach(0, 0, none);
    EXPECT_EQ(calls, 0);
}

TEST(ThreadPoolTest, CallsFromSeveralThreadsTakeTurnsAndPoolsStopCleanly) {
    for (int round = 0; round < 20; ++round) {
        ThreadPool pool(2 + round % 3);
        std::atomic<long> sum{0};
        auto work = [&] {
            for (int k = 0; k < 20; ++k) {
                auto add = [&](std::size_t i) { sum.fetch_add(static_cast<long>(i)); };
                pool.ForEach(100, 0, add);
            }
        };
        std::thread other(work);
        work();
        other.join();
        EXPECT_EQ(sum.load(), 2L * 20 * (99 * 100 / 2));
    }  // each pool joins its workers here; a hang or a crash fails the test
    ThreadPool single(1);
    EXPECT_EQ(single.Size(), 1u);
    EXPECT_GE(ThreadPool::Shared().Size(), 1u);
}

}  // namespace

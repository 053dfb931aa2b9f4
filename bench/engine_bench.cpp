// Engine throughput: the plain scalar loop against the whole engine (the fast
// renderer, or whatever the engine chooses for the picture) on one thread and
// on all threads, in one binary so their ratios come from one run on one
// machine. Prints the usual benchmark table, then the speed-ups per case and
// the targets they are held to.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "engine/SampleCoordinates.h"
#include "render/EscapeTime.h"
#include "render/FastRowRenderer.h"
#include "engine/FractalEngine.h"
#include "render/SimdLevel.h"
#include "render/ThreadPool.h"

namespace {

using velmora::FractalEngine;

struct Case {
    const char* name;
    double left, top, right, bottom;
    bool mandelbrot;
    double kr, ki;
    std::int32_t limit;
    std::int32_t width, height;
    double target;  // the speed-up on all threads the case is held to (0: none)
};

const Case kCases[] = {
    {"a_default_L201", -2.0, -1.5, 2.0, 1.5, true, 0, 0, 201, 1024, 768, 0},
    {"a_default_L2000", -2.0, -1.5, 2.0, 1.5, true, 0, 0, 2000, 1024, 768, 0},
    {"b_deep_L5000", -0.7454, 0.1130, -0.7452, 0.1132, true, 0, 0, 5000, 1024, 768, 0},
    {"c_julia_L1000", -2.0, -1.5, 2.0, 1.5, false, -0.8, 0.156, 1000, 1024, 768, 0},
    // The speed issue's cases, at its size.
    {"d_seahorse_L5000_2048", -0.7454, 0.1130, -0.7452, 0.1132, true, 0, 0, 5000, 2048, 1536, 18},
    {"e_julia_L1000_2048", -2.0, -1.5, 2.0, 1.5, false, -0.8, 0.156, 1000, 2048, 1536, 16},
    {"f_whole_L20000_2048", -2.0, -1.5, 2.0, 1.5, true, 0, 0, 20000, 2048, 1536, 100},
};

// Total iterations the escape-time method spends on a case, counted once by
// the plain rule, so every variant is credited with the same work.
std::int64_t countIterations(const Case& c) {
    std::int64_t total = 0;
    const double dx = (c.right - c.left) / c.width;
    const double dy = (c.bottom - c.top) / c.height;
    double ci = c.top;
    for (int j = 0; j < c.height; ++j, ci += dy) {
        double cr = c.left;
        for (int i = 0; i < c.width; ++i, cr += dx) {
            const double ar = c.mandelbrot ? cr : c.kr;
            const double ai = c.mandelbrot ? ci : c.ki;
            double zr = cr, zi = ci, zr2 = zr * zr, zi2 = zi * zi;
            std::int32_t n = 1;
            for (;; ++n) {
                zi = 2.0 * zr * zi + ai;
                zr = (zr2 - zi2) + ar;
                zr2 = zr * zr;
                zi2 = zi * zi;
                if (zr2 + zi2 > 4.0 || n >= c.limit) break;
            }
            total += n;
        }
    }
    return total;
}

std::int64_t iterations(const Case& c) {
    static std::map<const Case*, std::int64_t> counted;
    auto it = counted.find(&c);
    if (it == counted.end()) it = counted.emplace(&c, countIterations(c)).first;
    return it->second;
}

void report(benchmark::State& state, const Case& c) {
    const double pixels = static_cast<double>(c.width) * c.height;
    state.counters["pixels/s"] = benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["iters/s"] =
        benchmark::Counter(static_cast<double>(iterations(c)), benchmark::Counter::kIsIterationInvariantRate);
}

// The plain one-pixel loop over the picture's own coordinates, nothing else:
// what a program without any of the engine's work would take.
void runPlain(benchmark::State& state, const Case* c) {
    FractalEngine engine(c->width, c->height);  // the buffer
    const velmora::FractalParams p{c->left, c->top, c->right, c->bottom,
                                   c->mandelbrot ? velmora::FractalType::Mandelbrot : velmora::FractalType::Julia,
                                   c->kr, c->ki, c->limit, c->width, c->height, {}};
    std::vector<double> xs, ys;
    velmora::CoordinateWalk::columns(p).values(0, static_cast<std::size_t>(c->width), xs);
    velmora::CoordinateWalk::rows(p).values(0, static_cast<std::size_t>(c->height), ys);
    velmora::RenderJob job;
    job.xs = xs.data();
    job.ys = ys.data();
    job.width = c->width;
    job.height = c->height;
    job.stride = engine.stride();
    job.bits = engine.bits();
    job.mandelbrot = c->mandelbrot;
    job.iterations = c->limit;
    job.juliaRe = c->kr;
    job.juliaIm = c->ki;
    for (auto _ : state) {
        velmora::renderRowsReference(job, 0, c->height);
        benchmark::DoNotOptimize(engine.bits());
    }
    report(state, *c);
}

// The whole engine render with the given rows renderer.
void runEngine(benchmark::State& state, const Case* c, velmora::RowRenderer* renderer) {
    FractalEngine engine(c->width, c->height);
    engine.setRowRenderer(*renderer);
    engine.setParams({c->left, c->top, c->right, c->bottom,
                      c->mandelbrot ? velmora::FractalType::Mandelbrot : velmora::FractalType::Julia, c->kr, c->ki,
                      c->limit, c->width, c->height, {}});
    for (auto _ : state) {
        engine.render();
        benchmark::DoNotOptimize(engine.bits());
    }
    report(state, *c);
}

// Remembers the best wall time of every benchmark over its repetitions, so the
// speed-ups printed at the end suffer least from other work on the machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;  // per render
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.iterations <= 0) continue;
            const double t = r.real_accumulated_time / static_cast<double>(r.iterations);
            auto it = seconds.find(r.run_name.function_name);
            if (it == seconds.end() || t < it->second) seconds[r.run_name.function_name] = t;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    static velmora::FastRowRenderer oneThread(1);
    static velmora::FastRowRenderer allThreads(0);
    const unsigned threads = allThreads.threads();
    const char* variants[] = {"plain", "fast_1thread", "fast_all"};
    velmora::RowRenderer* renderers[] = {nullptr, &oneThread, &allThreads};
    for (const Case& c : kCases) {
        for (int v = 0; v < 3; ++v) {
            const std::string name = std::string(c.name) + "/" + variants[v];
            auto* b = v == 0 ? benchmark::RegisterBenchmark(name.c_str(), runPlain, &c)
                             : benchmark::RegisterBenchmark(name.c_str(), runEngine, &c, renderers[v]);
            b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nFast renderer: %s kernel, %u threads in the pool.\n",
                velmora::simdLevelName(velmora::bestSimdLevel()), threads);
    std::printf("Best of the repetitions, wall time per render:\n");
    std::printf("%-22s %12s %12s %12s %10s %10s %8s\n", "case", "plain ms", "1 thread ms", "all ms", "1 thr x", "all x",
                "target");
    for (const Case& c : kCases) {
        const std::string base = std::string(c.name) + "/";
        auto get = [&](const char* v) {
            auto it = reporter.seconds.find(base + v);
            return it == reporter.seconds.end() ? 0.0 : it->second;
        };
        const double plain = get("plain"), one = get("fast_1thread"), all = get("fast_all");
        if (plain <= 0.0 || one <= 0.0 || all <= 0.0) continue;  // filtered out
        char target[32] = "";
        if (c.target > 0) std::snprintf(target, sizeof target, "%s %.0fx", plain / all >= c.target ? "met" : "MISSED", c.target);
        std::printf("%-22s %12.2f %12.2f %12.2f %10.1f %10.1f %s\n", c.name, plain * 1e3, one * 1e3, all * 1e3,
                    plain / one, plain / all, target);
    }
    benchmark::Shutdown();
    return 0;
}

// Engine throughput: the plain scalar loop against the engine's own render, in
// one binary so their ratio comes from one run on one machine.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/ConsoleHost.h"
#include "render/EscapeTime.h"
#include "render/FractalEngine.h"

#include <iostream>
#include <sstream>

namespace {

using velmora::FractalEngine;

struct Case {
    double left, top, right, bottom;
    bool mandelbrot;
    double kr, ki;
    std::int32_t limit;
    std::int32_t width, height;
};

// Total iterations the escape-time method spends on a case, counted once.
std::int64_t CountIterations(const Case& c) {
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

// The plain reference: one pixel at a time, coordinates by addition.
void PlainLoop(const Case& c, std::vector<std::uint8_t>& out) {
    const std::size_t stride = static_cast<std::size_t>(c.width + FractalEngine::PaddingFor(c.width));
    const double dx = (c.right - c.left) / c.width;
    const double dy = (c.bottom - c.top) / c.height;
    double ci = c.top;
    for (int j = 0; j < c.height; ++j, ci += dy) {
        std::uint8_t* row = out.data() + static_cast<std::size_t>(c.height - 1 - j) * stride;
        double cr = c.left;
        for (int i = 0; i < c.width; ++i, cr += dx) {
            row[i] = c.mandelbrot ? velmora::EscapeIndex(cr, ci, cr, ci, c.limit)
                                  : velmora::EscapeIndex(cr, ci, c.kr, c.ki, c.limit);
        }
    }
}

void Report(benchmark::State& state, const Case& c) {
    static std::int64_t cachedIters = -1;
    static const Case* cachedCase = nullptr;
    if (cachedCase != &c) {
        cachedIters = CountIterations(c);
        cachedCase = &c;
    }
    const double pixels = static_cast<double>(c.width) * c.height;
    state.counters["pixels/s"] = benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["iters/s"] =
        benchmark::Counter(static_cast<double>(cachedIters), benchmark::Counter::kIsIterationInvariantRate);
}

void RunPlain(benchmark::State& state, const Case& c) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(c.width + 4) * c.height);
    for (auto _ : state) {
        PlainLoop(c, out);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, c);
}

void RunEngine(benchmark::State& state, const Case& c) {
    std::ostringstream sink;
    velmora::ConsoleHost host(std::cerr);
    FractalEngine engine(c.width, c.height, host);
    engine.SetRegion(c.left, c.top, c.right, c.bottom);
    engine.SetType(c.mandelbrot ? 1 : 2);
    engine.SetIterations(c.limit);
    engine.SetJuliaConstant(c.kr, c.ki);
    for (auto _ : state) {
        engine.Render();
        benchmark::DoNotOptimize(engine.GetBits());
    }
    Report(state, c);
}

const Case kDefault201{-2.0, -1.5, 2.0, 1.5, true, 0, 0, 201, 1024, 768};
const Case kDefault2000{-2.0, -1.5, 2.0, 1.5, true, 0, 0, 2000, 1024, 768};

}  // namespace

BENCHMARK_CAPTURE(RunPlain, default_L201, kDefault201)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunEngine, default_L201, kDefault201)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunPlain, default_L2000, kDefault2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunEngine, default_L2000, kDefault2000)->Unit(benchmark::kMillisecond);

// The deep engine: whole 1024 x 768 pictures at widths 1e-20 to 1e-300 around
// Misiurewicz points (found by Newton's method in MPFR, so the picture stays
// full of detail at every depth), then, on sample pixels of each, the plain
// MPFR loop against deep pixels: the speed-up and the share that agree.
// "1 thr x": deep pixels one at a time per thread against the plain loop on the
// same pixels; "engine x": the whole picture's time per pixel (every core,
// orbit included) against the plain loop's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <mpfr.h>

#include "deep/DeepLocation.h"
#include "deep/DeepRenderer.h"
#include "location/Mpfr.h"
#include "deep/PlainMpfrLoop.h"
#include "engine/FractalEngine.h"
#include "render/ThreadPool.h"

#include "OrbitSteps.h"

namespace {

using velmora::Mpfr;

constexpr mpfr_prec_t kBits = 1400;  // every location digit down to 1e-300 widths and beyond

// c with z_{pre+period} = z_pre (z_1 = c), near the guess: Newton's method on
// z_{pre+period} - z_pre, with the derivatives carried along.
void misiurewicz(double guessRe, double guessIm, int pre, int period, Mpfr& re, Mpfr& im) {
    mpfr_set_d(re.get(), guessRe, MPFR_RNDN);
    mpfr_set_d(im.get(), guessIm, MPFR_RNDN);
    Mpfr zr(kBits), zi(kBits), dr(kBits), di(kBits), t(kBits), u(kBits);
    Mpfr ar(kBits), ai(kBits), adr(kBits), adi(kBits), gr(kBits), gi(kBits), hr(kBits), hi(kBits), den(kBits);
    for (int step = 0; step < 14; ++step) {
        mpfr_set_zero(zr.get(), 1);
        mpfr_set_zero(zi.get(), 1);
        mpfr_set_zero(dr.get(), 1);
        mpfr_set_zero(di.get(), 1);
        for (int n = 1; n <= pre + period; ++n) {
            // d' = 2 z d + 1, z' = z^2 + c
            velmora::bench::derivativeStep(zr, zi, dr, di, t, u);
            velmora::bench::squareAdd(zr, zi, re.get(), im.get(), t, u);
            if (n == pre) {
                mpfr_set(ar.get(), zr.get(), MPFR_RNDN);
                mpfr_set(ai.get(), zi.get(), MPFR_RNDN);
                mpfr_set(adr.get(), dr.get(), MPFR_RNDN);
                mpfr_set(adi.get(), di.get(), MPFR_RNDN);
            }
        }
        // c -= (z - a) / (d - ad)
        mpfr_sub(gr.get(), zr.get(), ar.get(), MPFR_RNDN);
        mpfr_sub(gi.get(), zi.get(), ai.get(), MPFR_RNDN);
        mpfr_sub(hr.get(), dr.get(), adr.get(), MPFR_RNDN);
        mpfr_sub(hi.get(), di.get(), adi.get(), MPFR_RNDN);
        mpfr_sqr(den.get(), hr.get(), MPFR_RNDN);
        mpfr_fma(den.get(), hi.get(), hi.get(), den.get(), MPFR_RNDN);
        mpfr_mul(t.get(), gr.get(), hr.get(), MPFR_RNDN);
        mpfr_fma(t.get(), gi.get(), hi.get(), t.get(), MPFR_RNDN);
        mpfr_mul(u.get(), gi.get(), hr.get(), MPFR_RNDN);
        mpfr_fms(u.get(), gr.get(), hi.get(), u.get(), MPFR_RNDN);
        mpfr_neg(u.get(), u.get(), MPFR_RNDN);
        mpfr_div(t.get(), t.get(), den.get(), MPFR_RNDN);
        mpfr_div(u.get(), u.get(), den.get(), MPFR_RNDN);
        mpfr_sub(re.get(), re.get(), t.get(), MPFR_RNDN);
        mpfr_sub(im.get(), im.get(), u.get(), MPFR_RNDN);
    }
}

std::string text(mpfr_srcptr v) {
    char* s = nullptr;
    mpfr_asprintf(&s, "%.400Re", v);
    std::string out(s);
    mpfr_free_str(s);
    return out;
}

struct Location {
    const char* name;
    double re, im;
    int pre, period;
};
const Location kLocations[] = {
    {"M4_1", -0.1010963638456221, 0.9562865108091415, 4, 1},
    {"M3_1", -1.5436890126920764, 0.0, 3, 1},
};
const char* const kWidths[] = {"1e-20", "1e-50", "1e-100", "1e-300"};
constexpr std::int32_t kWidth = 1024, kHeight = 768, kLimit = 10001, kSamples = 3000;

// A picture `width` wide whose centre is a fifth of the width off the point,
// so the point's symmetry does not line up with the pixels.
velmora::FractalParams params(const Location& l, const char* width, std::int32_t columns = kWidth,
                              std::int32_t rows = kHeight, std::int32_t limit = kLimit) {
    Mpfr cr(kBits), ci(kBits), w(kBits), h(kBits), t(kBits);
    misiurewicz(l.re, l.im, l.pre, l.period, cr, ci);
    mpfr_set_str(w.get(), width, 10, MPFR_RNDN);
    mpfr_div_ui(t.get(), w.get(), 5, MPFR_RNDN);
    mpfr_add(cr.get(), cr.get(), t.get(), MPFR_RNDN);
    mpfr_sub(ci.get(), ci.get(), t.get(), MPFR_RNDN);
    mpfr_mul_ui(h.get(), w.get(), rows, MPFR_RNDN);
    mpfr_div_ui(h.get(), h.get(), columns, MPFR_RNDN);
    velmora::FractalParams p;
    p.width = columns;
    p.height = rows;
    p.iterations = limit;
    mpfr_div_2ui(w.get(), w.get(), 1, MPFR_RNDN);
    mpfr_div_2ui(h.get(), h.get(), 1, MPFR_RNDN);
    mpfr_sub(t.get(), cr.get(), w.get(), MPFR_RNDN);
    p.exact.left = text(t.get());
    mpfr_add(t.get(), cr.get(), w.get(), MPFR_RNDN);
    p.exact.right = text(t.get());
    mpfr_sub(t.get(), ci.get(), h.get(), MPFR_RNDN);
    p.exact.top = text(t.get());
    mpfr_add(t.get(), ci.get(), h.get(), MPFR_RNDN);
    p.exact.bottom = text(t.get());
    p.left = std::stod(p.exact.left);
    p.right = std::stod(p.exact.right);
    p.top = std::stod(p.exact.top);
    p.bottom = std::stod(p.exact.bottom);
    return p;
}

struct Outcome {
    std::vector<std::uint8_t> bits;  // the last whole picture, bottom-up
    std::size_t stride = 0;
    double averageIterations = 0;
};
std::map<std::string, Outcome> g_outcomes;

void renderWhole(benchmark::State& state, velmora::FractalParams p, std::string key) {
    velmora::FractalEngine engine(p.width, p.height);
    engine.setParams(p);
    for (auto _ : state) {
        if (engine.render() != velmora::RenderOutcome::Done || !engine.lastRenderWasDeep())
            state.SkipWithError("not a deep render");
    }
    Outcome& o = g_outcomes[key];
    o.bits.assign(engine.bits(), engine.bits() + engine.bufferSize());
    o.stride = engine.stride();
    double sum = 0;
    int inside = 0;
    for (std::int32_t j = 0; j < p.height; ++j)
        for (std::int32_t i = 0; i < p.width; ++i) {
            const std::uint8_t v = o.bits[static_cast<std::size_t>(j) * o.stride + i];
            sum += v;
            inside += v == 0;
        }
    state.counters["mean index"] = sum / (static_cast<double>(p.width) * p.height);
    state.counters["limit share"] = static_cast<double>(inside) / (static_cast<double>(p.width) * p.height);
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(p.width) * p.height, benchmark::Counter::kIsIterationInvariantRate);
}

class BestTime : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
                const double t = r.real_accumulated_time / static_cast<double>(r.iterations);
                auto it = seconds.find(r.run_name.function_name);
                if (it == seconds.end() || t < it->second) seconds[r.run_name.function_name] = t;
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double timeRender(velmora::FractalEngine& engine, const velmora::FractalParams& p) {
    const double t0 = now();
    engine.render(p);
    return now() - t0;
}

// Exploring speed: a 1280 x 720 view at 1e-100, Detail Level 20000, whole;
// then one step of a continuous zoom (1.25x, its centre moving towards the
// point) on the same engine, which keeps the reference, and on a new one.
void exploringSpeed() {
    std::printf("\nExploring at 1e-100, 1280x720, Detail Level 20000 (targets: view < 0.5 s, zoom step < 0.2 s):\n");
    std::printf("%-8s %10s %16s %16s  %s\n", "place", "view s", "step s (kept)", "step s (fresh)", "targets");
    for (const Location& l : kLocations) {
        const velmora::FractalParams view = params(l, "1e-100", 1280, 720, 20001);
        const velmora::FractalParams step = params(l, "8e-101", 1280, 720, 20001);
        velmora::FractalEngine engine(1280, 720), fresh(1280, 720);
        const double whole = timeRender(engine, view);
        const double kept = timeRender(engine, step);
        const bool reused = engine.lastRenderReusedReference();
        const double anew = timeRender(fresh, step);
        std::printf("%-8s %10.3f %15.3f%s %16.3f  %s\n", l.name, whole, kept, reused ? " " : "!", anew,
                    whole < 0.5 && kept < 0.2 ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, velmora::FractalParams> cases;
    for (const Location& l : kLocations)
        for (const char* w : kWidths) {
            const std::string key = std::string(l.name) + "/" + w;
            cases[key] = params(l, w);
            benchmark::RegisterBenchmark(("deep/" + key).c_str(), renderWhole, cases[key], key)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(1)
                ->Repetitions(2);
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BestTime reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%u threads. Whole picture %dx%d, limit %d; %d sample pixels per case, one thread each way.\n",
                velmora::ThreadPool::shared().size(), kWidth, kHeight, kLimit, kSamples);
    std::printf("%-16s %9s %6s %11s %11s %9s %11s %9s %10s %8s  %s\n", "case", "whole s", "bits", "mpfr us/px",
                "deep us/px", "1 thr x", "engine us/px", "engine x", "agreement", "exact", "target");
    for (const auto& [key, p] : cases) {
        auto found = g_outcomes.find(key);
        if (found == g_outcomes.end()) continue;  // filtered out
        const Outcome& o = found->second;
        velmora::DeepRenderer deep;
        if (deep.prepare(p, {}) != velmora::DeepRenderer::Prepared::Ready) continue;
        const velmora::DeepLocation& loc = *deep.location();
        std::vector<std::pair<std::int32_t, std::int32_t>> at(kSamples);
        for (std::int32_t k = 0; k < kSamples; ++k)
            velmora::samplePixel(k, kSamples, kWidth, kHeight, at[k].first, at[k].second);
        std::vector<std::uint8_t> plain(kSamples);
        double t0 = now();
        for (std::int32_t k = 0; k < kSamples; ++k) plain[k] = velmora::plainMpfrPixel(loc, at[k].first, at[k].second);
        const double mpfrTime = now() - t0;
        // Deep pixels are quick: repeat them for a measurable time.
        std::vector<std::int32_t> is(kSamples), js(kSamples);
        for (std::int32_t k = 0; k < kSamples; ++k) std::tie(is[k], js[k]) = at[k];
        std::vector<std::uint8_t> mine(kSamples);
        const int rounds = 20;
        unsigned sink = 0;
        t0 = now();
        for (int r = 0; r < rounds; ++r) {
            deep.pixels(is.data(), js.data(), kSamples, mine.data());
            sink += mine[0];
        }
        const double deepTime = (now() - t0) / rounds;
        // Samples whose rounding left their count in doubt, computed again in full.
        const double exactShare = static_cast<double>(deep.exactPixels()) / rounds / kSamples;
        benchmark::DoNotOptimize(sink);
        std::int32_t agree = 0;
        for (std::int32_t k = 0; k < kSamples; ++k) {
            const auto [i, j] = at[k];
            const std::uint8_t v = o.bits[static_cast<std::size_t>(kHeight - 1 - j) * o.stride + i];
            agree += v == plain[k];
        }
        const auto best = reporter.seconds.find("deep/" + key);
        const double whole = best == reporter.seconds.end() ? 0.0 : best->second;
        const double enginePixel = whole / (static_cast<double>(kWidth) * kHeight);
        // The speed issue's targets for the engine: 600x at 1e-20 and 1e-50.
        const bool targeted = key.ends_with("/1e-20") || key.ends_with("/1e-50");
        const double engineRatio = mpfrTime / kSamples / enginePixel;
        std::printf("%-16s %9.2f %6ld %11.1f %11.2f %9.0f %11.2f %9.0f %9.2f%% %7.2f%%  %s\n", key.c_str(), whole,
                    static_cast<long>(loc.precision()), mpfrTime / kSamples * 1e6, deepTime / kSamples * 1e6,
                    mpfrTime / deepTime, enginePixel * 1e6, engineRatio, 100.0 * agree / kSamples,
                    100.0 * exactShare, !targeted ? "" : engineRatio >= 600.0 ? "met 600x" : "MISSED 600x");
    }
    exploringSpeed();
    benchmark::Shutdown();
    return 0;
}

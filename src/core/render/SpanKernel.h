#pragma once
// A span is a run of consecutive pixels of one image row. Each instruction set
// has its own kernel for it; all of them give exactly the pixels of escapeIndex.
#include <atomic>
#include <cstdint>

#include "render/SimdLevel.h"
#include "render/SmoothEscape.h"

namespace velmora {

struct SpanArgs {
    const double* xs = nullptr;  // the span's column values
    std::int32_t count = 0;      // pixels in the span
    double ci = 0.0;             // the row's imaginary value
    bool mandelbrot = true;
    double juliaRe = 0.0;
    double juliaIm = 0.0;
    std::int32_t limit = 0;
    std::uint8_t* out = nullptr;  // count bytes
    // Watched every few thousand iterations: a span of a million-iteration
    // limit would otherwise hold a cancel up for seconds.
    const std::atomic<bool>* cancel = nullptr;
    // When given, each pixel's full count and fraction too (count bytes' worth).
    SmoothSample* smooth = nullptr;
    // When given, 1 for each pixel whose count the doubles' rounding may have
    // moved, else 0 (see EscapeDoubt.h); the bound starts at doubtStart (the
    // coordinates' own error, squared) and grows by doubtStep a step.
    std::uint8_t* doubt = nullptr;
    double doubtStart = 0.0;
    double doubtStep = 0.0;
};

using SpanKernel = void (*)(const SpanArgs& args);

void renderSpanScalar(const SpanArgs& args);
#if defined(__x86_64__) || defined(__i386__)
void renderSpanSse2(const SpanArgs& args);
void renderSpanAvx2(const SpanArgs& args);
void renderSpanAvx512(const SpanArgs& args);
#endif

// The kernel for a level; the scalar one when the level is not supported here.
SpanKernel spanKernelFor(SimdLevel level);

}  // namespace velmora

#pragma once
// The engine's usual way to compute a block of rows: the block is cut into
// spans that the program's thread pool shares out, and each span runs on the
// widest vector kernel the processor has. Pixels are those of the plain loop.
#include <cstdint>

#include "render/EscapeTime.h"
#include "render/SimdLevel.h"
#include "render/SpanKernel.h"
#include "render/ThreadPool.h"

namespace velmora {

class FastRowRenderer final : public RowRenderer {
public:
    // maxThreads: most threads one block may use (0: the whole pool; 1: the
    // calling thread only). An unsupported level falls back to the scalar kernel.
    explicit FastRowRenderer(unsigned maxThreads = 0, SimdLevel level = bestSimdLevel(),
                             ThreadPool* pool = nullptr);

    void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override;

    // Threads a block may use at most, the caller included.
    unsigned threads() const;

private:
    unsigned m_maxThreads;
    SpanKernel m_kernel;
    ThreadPool* m_pool;  // null until needed, so a one-thread renderer never starts the pool
};

// The renderer every engine starts with: all threads, best instruction set.
RowRenderer& defaultRowRenderer();

}  // namespace velmora

#pragma once
// Rows of a picture rendered a bounded tile at a time: rows in chunks, columns
// in tiles, each tile's coordinates walked on from the picture's edges. The
// memory beside the pixels stays the same whatever the picture's shape (a
// 2147483647 x 1 picture held 16 GB of column coordinates), and every value is
// the one a walk over the whole picture gives, so pixels do not change.
#include <cstdint>
#include <vector>

#include "engine/SampleCoordinates.h"
#include "render/EscapeTime.h"

namespace velmora {

class TiledRender {
public:
    static constexpr std::int32_t kTileColumns = 1 << 16;
    static constexpr std::int32_t kChunkRows = 1 << 16;

    TiledRender(CoordinateWalk columns, CoordinateWalk rows, std::int32_t tileColumns = kTileColumns,
                std::int32_t chunkRows = kChunkRows)
        : m_columns(columns), m_rows(rows), m_tileColumns(tileColumns), m_chunkRows(chunkRows) {}

    // Job rows [first, end) of `whole` (its xs and ys unused), whose row 0 is
    // image row `imageRow0`. False when the job's cancel flag stopped it.
    bool render(RowRenderer& renderer, const RenderJob& whole, std::int32_t first, std::int32_t end,
                std::int32_t imageRow0 = 0);

private:
    CoordinateWalk m_columns;
    CoordinateWalk m_rows;
    std::int32_t m_tileColumns;
    std::int32_t m_chunkRows;
    std::vector<double> m_xs;
    std::vector<double> m_ys;
};

}  // namespace velmora

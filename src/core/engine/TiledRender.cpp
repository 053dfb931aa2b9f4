#include "engine/TiledRender.h"

#include <algorithm>

namespace velmora {

bool TiledRender::render(RowRenderer& renderer, const RenderJob& whole, std::int32_t first, std::int32_t end,
                         std::int32_t imageRow0) {
    for (std::int32_t r0 = first; r0 < end;) {
        const std::int32_t rows = std::min(m_chunkRows, end - r0);
        m_rows.values(static_cast<std::int64_t>(imageRow0) + r0, static_cast<std::size_t>(rows), m_ys);
        for (std::int32_t c0 = 0; c0 < whole.width;) {
            const std::int32_t columns = std::min(m_tileColumns, whole.width - c0);
            m_columns.values(c0, static_cast<std::size_t>(columns), m_xs);
            RenderJob tile = whole;
            tile.xs = m_xs.data();
            tile.ys = m_ys.data();
            tile.width = columns;
            tile.height = rows;
            // Rows are stored bottom-up: the chunk's last row has the lowest address.
            tile.bits = whole.row(r0 + rows - 1) + c0;
            if (whole.smooth != nullptr) tile.smooth = whole.smoothRow(r0 + rows - 1) + c0;
            renderer.setImageOrigin(imageRow0 + r0, c0);
            renderer.renderRows(tile, 0, rows);
            if (tile.cancelled()) return false;
            c0 += columns;
        }
        r0 += rows;
    }
    return true;
}

}  // namespace velmora

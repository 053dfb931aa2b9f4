#include "palette/PaletteEditOps.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

bool validIndex(int i) { return i >= 0 && i < static_cast<int>(Palette::kEntries); }

}  // namespace

void copyEntry(Palette& palette, int from, int to) {
    if (!validIndex(from) || !validIndex(to)) return;
    palette.setEntry(static_cast<std::size_t>(to), palette.entry(static_cast<std::size_t>(from)));
}

void swapEntries(Palette& palette, int a, int b) {
    if (!validIndex(a) || !validIndex(b)) return;
    const RgbQuad qa = palette.entry(static_cast<std::size_t>(a));
    palette.setEntry(static_cast<std::size_t>(a), palette.entry(static_cast<std::size_t>(b)));
    palette.setEntry(static_cast<std::size_t>(b), qa);
}

void spreadEntries(Palette& palette, int from, int to) {
    if (!validIndex(from) || !validIndex(to)) return;
    const int lo = std::min(from, to);
    const int hi = std::max(from, to);
    const int n = hi - lo;
    if (n == 0) return;
    std::uint8_t* bytes = palette.bytes();
    // Channel offsets within an entry: blue 0, green 1, red 2.
    for (int ch = 0; ch < 3; ++ch) {
        const double start = bytes[lo * 4 + ch];
        const double end = bytes[hi * 4 + ch];
        const float step = static_cast<float>((end - start) / n);
        // start + k * step is exact in double: a float step has 24 significant
        // bits, and at most 255 of them are summed onto an 8-bit start.
        double sum = start;
        for (int k = 0; k < n; ++k) {
            const double v = std::clamp(std::trunc(sum), 0.0, 255.0);
            bytes[(lo + k) * 4 + ch] = static_cast<std::uint8_t>(v);
            sum += static_cast<double>(step);
        }
    }
}

void PaletteGridModel::setClientSize(int width, int height) {
    m_cellWidth = std::max(width, 0) / kGridCells;
    m_cellHeight = std::max(height, 0) / kGridCells;
}

CellRect PaletteGridModel::rectOf(GridCell cell) const {
    const int left = cell.col * m_cellWidth;
    const int top = cell.row * m_cellHeight;
    return CellRect{left, top, left + m_cellWidth, top + m_cellHeight};
}

std::optional<GridCell> PaletteGridModel::cellAt(int x, int y) const {
    // A grid too small for one pixel per cell has no cells to hit.
    if (m_cellWidth <= 0 || m_cellHeight <= 0 || x < 0 || y < 0) return std::nullopt;
    const int col = x / m_cellWidth;
    const int row = y / m_cellHeight;
    if (col >= kGridCells || row >= kGridCells) return std::nullopt;
    return GridCell{col, row};
}

bool PaletteGridModel::setEditMode(PaletteEditMode mode) {
    if (!m_hasSelection) return false;
    m_mode = mode;
    return true;
}

GridAction PaletteGridModel::click(int x, int y) {
    GridAction action;
    const std::optional<GridCell> hit = cellAt(x, y);
    if (!hit) return action;  // an armed mode stays armed
    const int selected = selection().index();
    action.cell = *hit;
    action.previous = selection();
    switch (m_mode) {
        case PaletteEditMode::Copy:
            copyEntry(m_palette, selected, hit->index());
            action.kind = GridAction::Kind::Copied;
            break;
        case PaletteEditMode::Swap:
            swapEntries(m_palette, selected, hit->index());
            action.kind = GridAction::Kind::Swapped;
            break;
        case PaletteEditMode::Spread:
            spreadEntries(m_palette, selected, hit->index());
            action.kind = GridAction::Kind::Spread;
            break;
        case PaletteEditMode::None:
            m_selCol = hit->col;
            m_selRow = hit->row;
            m_hasSelection = true;
            action.kind = GridAction::Kind::Selected;
            return action;
    }
    m_mode = PaletteEditMode::None;
    return action;
}

GridAction PaletteGridModel::doubleClick(int x, int y) {
    const std::optional<GridCell> hit = cellAt(x, y);
    if (hit && *hit == selection()) {
        GridAction action;
        action.kind = GridAction::Kind::OpenChooser;
        action.cell = *hit;
        action.previous = selection();
        return action;
    }
    return click(x, y);
}

void PaletteGridModel::setEntryColour(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (!validIndex(index)) return;
    RgbQuad q = m_palette.entry(static_cast<std::size_t>(index));
    q.red = red;
    q.green = green;
    q.blue = blue;
    m_palette.setEntry(static_cast<std::size_t>(index), q);
}

}  // namespace velmora

#pragma once
// What the palette editor's grid does, without a window: the entry
// operations, the 16 x 16 cell geometry with its hit test, and the
// select / arm / perform state machine. The widget only paints and forwards.
#include <cstdint>
#include <optional>

#include "palette/Palette.h"

namespace velmora {

enum class PaletteEditMode : std::int32_t { None = 0, Copy = 1, Swap = 2, Spread = 3 };

inline constexpr int kGridCells = 16;  // per row and per column

// Whole-entry copy (all 4 bytes, reserved included).
void copyEntry(Palette& palette, int from, int to);
// Whole-entry exchange.
void swapEntries(Palette& palette, int a, int b);
// A linear ramp from the lower of the two entries towards the higher one, per
// channel. The step is rounded to single precision and added to an exact
// running sum, each value truncated toward zero; the higher entry itself and
// all reserved bytes are left alone.
void spreadEntries(Palette& palette, int from, int to);

struct GridCell {
    int col = 0;
    int row = 0;
    int index() const { return row * kGridCells + col; }
    static GridCell ofIndex(int i) { return GridCell{i % kGridCells, i / kGridCells}; }
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// Right and bottom edges exclusive.
struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// What a click or double-click asks the widget to show.
struct GridAction {
    enum class Kind {
        Nothing,       // outside the cells
        Selected,      // repaint `previous` sunken and `cell` raised
        Copied,        // repaint `cell` (the target)
        Swapped,       // repaint the selection raised and `cell` sunken
        Spread,        // repaint everything
        OpenChooser,   // double-click on the selected cell: open the colour chooser
    };
    Kind kind = Kind::Nothing;
    GridCell cell;
    GridCell previous;
};

class PaletteGridModel {
public:
    explicit PaletteGridModel(const Palette& palette = Palette()) : m_palette(palette) {}

    // Cell size from the grid's client size (integer division; the strips
    // left over to the right and below are not cells).
    void setClientSize(int width, int height);
    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }
    CellRect rectOf(GridCell cell) const;
    // The cell under a point in grid coordinates, if any.
    std::optional<GridCell> cellAt(int x, int y) const;

    // Arms a mode; false (and nothing changes) while no entry is selected.
    bool setEditMode(PaletteEditMode mode);
    PaletteEditMode mode() const { return m_mode; }
    bool hasSelection() const { return m_hasSelection; }
    GridCell selection() const { return GridCell{m_selCol, m_selRow}; }

    GridAction click(int x, int y);
    GridAction doubleClick(int x, int y);

    // The colour chooser's answer: red, green, blue of one entry; the
    // reserved byte stays.
    void setEntryColour(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    Palette& working() { return m_palette; }
    const Palette& working() const { return m_palette; }

private:
    PaletteEditMode m_mode = PaletteEditMode::None;
    bool m_hasSelection = false;
    int m_selCol = 0;
    int m_selRow = 0;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    Palette m_palette;
};

}  // namespace velmora

// The palette itself, its logical form, and the palette editor's entry
// operations, grid geometry and clicks.
#include <gtest/gtest.h>

#include "PaletteTestSupport.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteEditOps.h"

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(defaultPalette, TellingEntriesRoundDown) {
    const struct { int i; std::uint8_t r, g, b; } cases[] = {
        {0, 0, 0, 0},       {1, 255, 5, 0},     {2, 255, 10, 0},     {3, 255, 15, 0},    {48, 255, 255, 0},
        {49, 249, 255, 0},  {95, 5, 255, 0},    {96, 0, 255, 0},     {144, 0, 255, 255}, {145, 0, 249, 255},
        {192, 0, 0, 255},   {193, 7, 0, 255},   {208, 127, 0, 255},  {223, 247, 0, 255}, {224, 255, 0, 255},
        {225, 255, 0, 246}, {226, 255, 0, 238}, {254, 255, 0, 8},    {255, 255, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(defaultPalette().entry(c.i), (RgbQuad{c.b, c.g, c.r, 0})) << c.i;
}

TEST(Palette, BytesAreBlueGreenRedReserved) {
    Palette p = defaultPalette();
    p.setEntry(7, RgbQuad{1, 2, 3, 4});
    EXPECT_EQ(std::vector<std::uint8_t>(p.bytes() + 28, p.bytes() + 32), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    p.clearReserved();
    EXPECT_EQ(p.entry(7), (RgbQuad{1, 2, 3, 0}));
}

TEST(spreadEntries, SinglePrecisionStepTruncatedOverManyPairsEitherWay) {
    // The rule computed a different way: k multiplications instead of a running sum.
    const Palette base = patternPalette(4);
    for (int lo = 0; lo < 256; lo += 37) {
        for (int hi = lo + 1; hi < 256; hi += 29) {
            Palette p = base;
            (lo + hi) % 2 ? spreadEntries(p, hi, lo) : spreadEntries(p, lo, hi);  // either way round
            for (int i = 0; i < 256; ++i) {
                for (int ch = 0; ch < 4; ++ch) {
                    int want = base.bytes()[i * 4 + ch];  // outside the range, the end entry and reserved bytes stay
                    if (i >= lo && i < hi && ch < 3) {
                        const double start = base.bytes()[lo * 4 + ch];
                        const float step = static_cast<float>((base.bytes()[hi * 4 + ch] - start) / (hi - lo));
                        want = static_cast<int>(start + static_cast<double>(step) * (i - lo));
                    }
                    ASSERT_EQ(p.bytes()[i * 4 + ch], want) << lo << ".." << hi << " entry " << i << " byte " << ch;
                }
            }
        }
    }
    Palette same = base;
    spreadEntries(same, 77, 77);
    EXPECT_EQ(same, base);
}

TEST(CopyAndSwap, MoveAllFourBytesOfOneEntry) {
    const Palette base = patternPalette(2);
    Palette p = base;
    copyEntry(p, 5, 200);
    swapEntries(p, 5, 20);
    swapEntries(p, 30, 30);
    Palette want = base;
    want.setEntry(200, base.entry(5));
    want.setEntry(5, base.entry(20));
    want.setEntry(20, base.entry(5));
    EXPECT_EQ(p, want);
}

TEST(PaletteGrid, CellsByIntegerDivisionWithStripsLeftOver) {
    PaletteGridModel g;
    EXPECT_EQ(g.click(0, 0).kind, GridAction::Kind::Nothing);  // no size before the first paint
    g.setClientSize(200, 158);  // cells 12 x 9; strips of 8 and 14 pixels
    EXPECT_EQ(g.rectOf(GridCell{0, 0}), (CellRect{0, 0, 12, 9}));
    EXPECT_EQ(g.rectOf(GridCell{15, 15}), (CellRect{180, 135, 192, 144}));
    const struct { int x, y; std::optional<GridCell> cell; } cases[] = {
        {0, 0, GridCell{0, 0}}, {11, 8, GridCell{0, 0}}, {12, 9, GridCell{1, 1}}, {191, 143, GridCell{15, 15}},
        {192, 10, std::nullopt}, {199, 10, std::nullopt}, {10, 144, std::nullopt}, {10, 157, std::nullopt},
        {-1, 5, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(g.cellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    EXPECT_EQ(GridCell::ofIndex(33), (GridCell{1, 2}));
    g.setClientSize(15, 300);  // too narrow for cells
    EXPECT_EQ(g.cellAt(3, 3), std::nullopt);
}

class PaletteGridClicks : public ::testing::Test {
protected:
    PaletteGridClicks() : g(patternPalette(5)) { g.setClientSize(330, 170); }  // cells 20 x 10, strips of 10
    GridAction clickEntry(int i, bool twice = false) {
        const int x = (i % 16) * 20 + 10, y = (i / 16) * 10 + 5;
        return twice ? g.doubleClick(x, y) : g.click(x, y);
    }
    PaletteGridModel g;
};

TEST_F(PaletteGridClicks, SelectArmAndPerform) {
    using K = GridAction::Kind;
    using M = PaletteEditMode;
    const struct { M mode; int selected, target; K kind; void (*op)(Palette&, int, int); } cases[] = {
        {M::Copy, 5, 200, K::Copied, copyEntry}, {M::Swap, 10, 20, K::Swapped, swapEntries},
        {M::Spread, 50, 40, K::Spread, spreadEntries}, {M::Spread, 9, 9, K::Spread, spreadEntries}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        g.working() = patternPalette(5);
        EXPECT_EQ(clickEntry(c.selected).kind, K::Selected);
        ASSERT_TRUE(g.setEditMode(c.mode));
        EXPECT_EQ(clickEntry(c.target).kind, c.kind);
        Palette want = patternPalette(5);
        c.op(want, c.selected, c.target);
        EXPECT_EQ(g.working(), want);
        // The selection stays where it was.
        EXPECT_EQ(std::pair(g.selection(), g.mode()), std::pair(GridCell::ofIndex(c.selected), M::None));
    }
}

TEST_F(PaletteGridClicks, ModesNeedASelectionAndStayArmedOverStrips) {
    EXPECT_FALSE(g.setEditMode(PaletteEditMode::Copy));
    EXPECT_EQ(clickEntry(33).previous, (GridCell{0, 0}));
    g.setEditMode(PaletteEditMode::Copy);
    g.setEditMode(PaletteEditMode::Swap);  // another mode button replaces the armed one
    EXPECT_EQ(g.click(325, 5).kind, GridAction::Kind::Nothing);
    EXPECT_EQ(g.doubleClick(5, 165).kind, GridAction::Kind::Nothing);
    EXPECT_EQ(clickEntry(2).kind, GridAction::Kind::Swapped);
    clickEntry(77);  // the first press of a double-click
    EXPECT_EQ(clickEntry(77, true).kind, GridAction::Kind::OpenChooser);
    EXPECT_EQ(clickEntry(78, true).kind, GridAction::Kind::Selected);  // elsewhere it is a click
    g.setEntryColour(12, 1, 2, 3);
    EXPECT_EQ(g.working().entry(12), (RgbQuad{3, 2, 1, patternPalette(5).entry(12).reserved}));
}

}  // namespace

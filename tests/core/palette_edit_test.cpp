// The palette editor's entry operations, grid geometry and click handling.
#include <gtest/gtest.h>

#include <cmath>

#include "PaletteTestSupport.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteEditOps.h"

using namespace velmora;
using namespace velmora::test;

namespace {

Palette WithRed(std::initializer_list<std::pair<int, int>> reds) {
    Palette p;
    for (auto [i, r] : reds) {
        RgbQuad q = p.Entry(static_cast<std::size_t>(i));
        q.red = static_cast<std::uint8_t>(r);
        p.SetEntry(static_cast<std::size_t>(i), q);
    }
    return p;
}

// Centre of a cell for a grid whose cells are w x h.
std::pair<int, int> Centre(int index, int w, int h) {
    return {(index % 16) * w + w / 2, (index / 16) * h + h / 2};
}

}  // namespace

// ---- Spread ------------------------------------------------------------------

TEST(SpreadEntries, BlackToRedInTheDefaultPaletteIsARamp) {
    Palette p = DefaultPalette();
    SpreadEntries(p, 0, 255);
    for (int k = 0; k < 255; ++k)
        ASSERT_EQ(p.Entry(static_cast<std::size_t>(k)), (RgbQuad{0, 0, static_cast<std::uint8_t>(k), 0})) << k;
    EXPECT_EQ(p.Entry(255), (RgbQuad{0, 0, 255, 0}));
}

TEST(SpreadEntries, StepIsRoundedToSinglePrecision) {
    // 2 / 50 = 0.04 becomes 0.0399999991 as a float: 26 zeros, then 24 ones.
    Palette p = WithRed({{100, 0}, {150, 2}});
    SpreadEntries(p, 100, 150);
    for (int k = 0; k < 50; ++k) ASSERT_EQ(p.Entry(static_cast<std::size_t>(100 + k)).red, k <= 25 ? 0 : 1) << k;
    EXPECT_EQ(p.Entry(150).red, 2);
}

TEST(SpreadEntries, DownwardStepsTruncateTowardZero) {
    Palette p = WithRed({{0, 200}, {3, 0}});
    SpreadEntries(p, 0, 3);
    // step = -66.666...f; 200, 133.33, 66.67
    EXPECT_EQ(p.Entry(0).red, 200);
    EXPECT_EQ(p.Entry(1).red, 133);
    EXPECT_EQ(p.Entry(2).red, 66);
    EXPECT_EQ(p.Entry(3).red, 0);
}

TEST(SpreadEntries, ChannelsAreIndependentAndReservedBytesStay) {
    Palette p = PatternPalette(1);
    p.SetEntry(10, RgbQuad{30, 250, 0, 9});
    p.SetEntry(16, RgbQuad{0, 10, 60, 7});
    const Palette before = p;
    SpreadEntries(p, 16, 10);
    for (int k = 0; k < 6; ++k) {
        const RgbQuad q = p.Entry(static_cast<std::size_t>(10 + k));
        EXPECT_EQ(q.red, 10 * k) << k;
        EXPECT_EQ(q.green, 250 - 40 * k) << k;
        EXPECT_EQ(q.blue, 30 - 5 * k) << k;
        EXPECT_EQ(q.reserved, before.Entry(static_cast<std::size_t>(10 + k)).reserved) << k;
    }
    EXPECT_EQ(p.Entry(16), before.Entry(16));
    for (std::size_t i = 0; i < 256; ++i)
        if (i < 10 || i > 16) {
            ASSERT_EQ(p.Entry(i), before.Entry(i)) << i;
        }
}

TEST(SpreadEntries, DirectionDoesNotMatterAndSameEntryChangesNothing) {
    Palette a = PatternPalette(2);
    Palette b = a;
    SpreadEntries(a, 50, 40);
    SpreadEntries(b, 40, 50);
    EXPECT_EQ(a, b);
    Palette c = PatternPalette(3);
    SpreadEntries(c, 77, 77);
    EXPECT_EQ(c, PatternPalette(3));
}

TEST(SpreadEntries, MatchesSinglePrecisionStepOverEveryPair) {
    // Against the rule computed a different way: k multiplications instead of a sum.
    const Palette base = PatternPalette(4);
    for (int lo = 0; lo < 256; lo += 37) {
        for (int hi = lo + 1; hi < 256; hi += 29) {
            Palette p = base;
            SpreadEntries(p, hi, lo);
            for (int ch = 0; ch < 3; ++ch) {
                const double start = base.Bytes()[lo * 4 + ch];
                const float step = static_cast<float>((base.Bytes()[hi * 4 + ch] - start) / (hi - lo));
                for (int k = 0; k < hi - lo; ++k) {
                    const int expected = static_cast<int>(start + static_cast<double>(step) * k);
                    ASSERT_EQ(p.Bytes()[(lo + k) * 4 + ch], expected) << lo << ".." << hi << " ch " << ch << " k " << k;
                }
            }
        }
    }
}

// ---- Copy and Swap -------------------------------------------------------------

TEST(CopyAndSwap, MoveAllFourBytes) {
    Palette p;
    p.SetEntry(5, RgbQuad{1, 2, 3, 4});
    p.SetEntry(200, RgbQuad{9, 8, 7, 6});
    CopyEntry(p, 5, 200);
    EXPECT_EQ(p.Entry(200), (RgbQuad{1, 2, 3, 4}));
    EXPECT_EQ(p.Entry(5), (RgbQuad{1, 2, 3, 4}));
    p.SetEntry(20, RgbQuad{9, 8, 7, 6});
    SwapEntries(p, 5, 20);
    EXPECT_EQ(p.Entry(5), (RgbQuad{9, 8, 7, 6}));
    EXPECT_EQ(p.Entry(20), (RgbQuad{1, 2, 3, 4}));
    SwapEntries(p, 20, 20);
    EXPECT_EQ(p.Entry(20), (RgbQuad{1, 2, 3, 4}));
}

// ---- grid geometry ---------------------------------------------------------------

TEST(PaletteGridGeometry, CellsByIntegerDivisionWithStripsLeftOver) {
    PaletteGridModel g;
    g.SetClientSize(200, 158);  // cells 12 x 9; strips of 8 and 14 pixels
    EXPECT_EQ(g.CellWidth(), 12);
    EXPECT_EQ(g.CellHeight(), 9);
    EXPECT_EQ(g.RectOf(GridCell{0, 0}), (CellRect{0, 0, 12, 9}));
    EXPECT_EQ(g.RectOf(GridCell{15, 15}), (CellRect{180, 135, 192, 144}));
    EXPECT_EQ(g.CellAt(0, 0), (GridCell{0, 0}));
    EXPECT_EQ(g.CellAt(11, 8), (GridCell{0, 0}));
    EXPECT_EQ(g.CellAt(12, 9), (GridCell{1, 1}));
    EXPECT_EQ(g.CellAt(191, 143), (GridCell{15, 15}));
    EXPECT_EQ(g.CellAt(192, 10), std::nullopt);
    EXPECT_EQ(g.CellAt(199, 10), std::nullopt);
    EXPECT_EQ(g.CellAt(10, 144), std::nullopt);
    EXPECT_EQ(g.CellAt(10, 157), std::nullopt);
    EXPECT_EQ(g.CellAt(-1, 5), std::nullopt);
}

TEST(PaletteGridGeometry, TooSmallForCellsHasNone) {
    PaletteGridModel g;  // before the first paint: no size yet
    EXPECT_EQ(g.CellAt(0, 0), std::nullopt);
    EXPECT_EQ(g.Click(0, 0).kind, GridAction::Kind::Nothing);
    g.SetClientSize(15, 300);
    EXPECT_EQ(g.CellAt(3, 3), std::nullopt);
    g.SetClientSize(-5, -5);
    EXPECT_EQ(g.CellAt(0, 0), std::nullopt);
}

TEST(PaletteGridGeometry, EntryAndCellCorrespond) {
    for (int i = 0; i < 256; ++i) {
        const GridCell c = GridCell::OfIndex(i);
        ASSERT_EQ(c.row, i / 16);
        ASSERT_EQ(c.col, i % 16);
        ASSERT_EQ(c.Index(), i);
    }
}

// ---- select, arm, perform ----------------------------------------------------------

class PaletteGridClicks : public ::testing::Test {
protected:
    PaletteGridClicks() : g(PatternPalette(5)) { g.SetClientSize(320, 160); }  // cells 20 x 10
    GridAction ClickEntry(int i) {
        auto [x, y] = Centre(i, 20, 10);
        return g.Click(x, y);
    }
    PaletteGridModel g;
};

TEST_F(PaletteGridClicks, NothingSelectedArmsNothing) {
    EXPECT_FALSE(g.SetEditMode(PaletteEditMode::Copy));
    EXPECT_EQ(g.Mode(), PaletteEditMode::None);
    const GridAction a = ClickEntry(33);
    EXPECT_EQ(a.kind, GridAction::Kind::Selected);
    EXPECT_EQ(a.previous, (GridCell{0, 0}));
    EXPECT_EQ(a.cell, (GridCell{1, 2}));
    EXPECT_EQ(g.Working(), PatternPalette(5));
    EXPECT_TRUE(g.HasSelection());
}

TEST_F(PaletteGridClicks, CopyKeepsTheSelection) {
    ClickEntry(5);
    ASSERT_TRUE(g.SetEditMode(PaletteEditMode::Copy));
    const GridAction a = ClickEntry(200);
    EXPECT_EQ(a.kind, GridAction::Kind::Copied);
    EXPECT_EQ(a.cell, GridCell::OfIndex(200));
    EXPECT_EQ(g.Working().Entry(200), PatternPalette(5).Entry(5));
    EXPECT_EQ(g.Selection(), GridCell::OfIndex(5));
    EXPECT_EQ(g.Mode(), PaletteEditMode::None);
    // The next click selects again.
    EXPECT_EQ(ClickEntry(7).kind, GridAction::Kind::Selected);
    EXPECT_EQ(g.Selection(), GridCell::OfIndex(7));
}

TEST_F(PaletteGridClicks, SwapLeavesTheSelectionOnItsCell) {
    ClickEntry(10);
    ASSERT_TRUE(g.SetEditMode(PaletteEditMode::Swap));
    EXPECT_EQ(ClickEntry(20).kind, GridAction::Kind::Swapped);
    EXPECT_EQ(g.Working().Entry(10), PatternPalette(5).Entry(20));
    EXPECT_EQ(g.Working().Entry(20), PatternPalette(5).Entry(10));
    EXPECT_EQ(g.Selection(), GridCell::OfIndex(10));
}

TEST_F(PaletteGridClicks, SpreadDownwardsKeepsTheUpperSelection) {
    ClickEntry(50);
    ASSERT_TRUE(g.SetEditMode(PaletteEditMode::Spread));
    EXPECT_EQ(ClickEntry(40).kind, GridAction::Kind::Spread);
    Palette expected = PatternPalette(5);
    SpreadEntries(expected, 40, 50);
    EXPECT_EQ(g.Working(), expected);
    EXPECT_EQ(g.Selection(), GridCell::OfIndex(50));
    EXPECT_EQ(g.Mode(), PaletteEditMode::None);
}

TEST_F(PaletteGridClicks, SpreadOntoItselfEndsTheMode) {
    ClickEntry(9);
    g.SetEditMode(PaletteEditMode::Spread);
    EXPECT_EQ(ClickEntry(9).kind, GridAction::Kind::Spread);
    EXPECT_EQ(g.Working(), PatternPalette(5));
    EXPECT_EQ(g.Mode(), PaletteEditMode::None);
}

TEST_F(PaletteGridClicks, StripClicksLeaveAnArmedModeArmed) {
    g.SetClientSize(330, 170);  // cells 20 x 10, strips of 10 pixels
    ClickEntry(3);
    g.SetEditMode(PaletteEditMode::Swap);
    EXPECT_EQ(g.Click(325, 5).kind, GridAction::Kind::Nothing);
    EXPECT_EQ(g.Click(5, 165).kind, GridAction::Kind::Nothing);
    EXPECT_EQ(g.DoubleClick(325, 165).kind, GridAction::Kind::Nothing);
    EXPECT_EQ(g.Mode(), PaletteEditMode::Swap);
    EXPECT_EQ(g.Working(), PatternPalette(5));
}

TEST_F(PaletteGridClicks, AnotherModeButtonReplacesTheArmedMode) {
    ClickEntry(1);
    g.SetEditMode(PaletteEditMode::Copy);
    g.SetEditMode(PaletteEditMode::Swap);
    EXPECT_EQ(ClickEntry(2).kind, GridAction::Kind::Swapped);
}

TEST_F(PaletteGridClicks, DoubleClickOnTheSelectedCellOpensTheChooser) {
    auto [x, y] = Centre(77, 20, 10);
    g.Click(x, y);  // the first press of the double-click
    const GridAction a = g.DoubleClick(x, y);
    EXPECT_EQ(a.kind, GridAction::Kind::OpenChooser);
    EXPECT_EQ(a.cell.Index(), 77);
    // Elsewhere it is a click.
    EXPECT_EQ(g.DoubleClick(Centre(78, 20, 10).first, y).kind, GridAction::Kind::Selected);
    EXPECT_EQ(g.Selection().Index(), 78);
}

TEST_F(PaletteGridClicks, ArmedDoubleClickPerformsThenSelects) {
    ClickEntry(4);
    g.SetEditMode(PaletteEditMode::Copy);
    auto [x, y] = Centre(90, 20, 10);
    EXPECT_EQ(g.Click(x, y).kind, GridAction::Kind::Copied);
    EXPECT_EQ(g.DoubleClick(x, y).kind, GridAction::Kind::Selected);
    EXPECT_EQ(g.Selection().Index(), 90);
    EXPECT_EQ(g.Working().Entry(90), PatternPalette(5).Entry(4));
}

TEST_F(PaletteGridClicks, ChosenColourKeepsTheReservedByte) {
    g.SetEntryColour(12, 1, 2, 3);
    EXPECT_EQ(g.Working().Entry(12), (RgbQuad{3, 2, 1, PatternPalette(5).Entry(12).reserved}));
}

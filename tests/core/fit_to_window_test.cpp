// Fit Picture to Window's region arithmetic: the y edges follow the client
// area's proportions about the centre; the x edges never move.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>

#include "location/CentreWidth.h"
#include "location/DecimalText.h"
#include "location/ExactLocationValues.h"
#include "geometry/FitToWindow.h"

namespace velmora {
namespace {

using R = PlaneRegion;

void expectSame(const R& got, const R& want) {
    EXPECT_EQ(std::tuple(got.left, got.top, got.right, got.bottom),
              std::tuple(want.left, want.top, want.right, want.bottom));
}

TEST(FitToWindow, TheRegionTakesTheClientProportionsAboutItsCentre) {
    const double big = std::numeric_limits<double>::max();
    const std::optional<R> refused;
    const struct { const char* name; R region; int cw, ch; std::optional<R> want; } cases[] = {
        {"proportions already match", {-2, -1.5, 2, 1.5}, 400, 300, R{-2, -1.5, 2, 1.5}},
        {"square client", {-2, -1.5, 2, 1.5}, 300, 300, R{-2, -2, 2, 2}},
        {"wide client", {-2, -1.5, 2, 1.5}, 600, 300, R{-2, -1, 2, 1}},
        {"tall client, centre off the axis", {0, 1, 1, 2}, 100, 300, R{0, 0, 1, 3}},
        {"top below bottom stays so", {-2, 1.5, 2, -1.5}, 300, 300, R{-2, 2, 2, -2}},
        {"mirrored x edges stay", {2, -1.5, -2, 1.5}, 300, 300, R{2, -2, -2, 2}},
        {"no height yet: top becomes the smaller", {-1, 0.5, 1, 0.5}, 200, 100, R{-1, 0, 1, 1}},
        {"no client width", {-2, -1.5, 2, 1.5}, 0, 300, refused},
        {"no client height", {-2, -1.5, 2, 1.5}, 300, 0, refused},
        {"negative client size", {-2, -1.5, 2, 1.5}, -4, 300, refused},
        {"width beyond doubles", {-big, 0, big, 1}, 300, 300, refused},
        {"height beyond doubles", {-big, -1, big, 1}, 300, 600, refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<R> got = fitRegionToClient(c.region, c.cw, c.ch);
        ASSERT_EQ(got.has_value(), c.want.has_value());
        if (!got) continue;
        expectSame(*got, *c.want);
        // Fitting what was fitted changes nothing, bit for bit.
        expectSame(fitRegionToClient(*got, c.cw, c.ch).value(), *got);
    }
}

// The preview's region: the smallest of the client's proportions that holds
// the whole region, one pair of edges kept.
TEST(FitToWindow, ARegionAroundHoldsTheWholeRegion) {
    const struct { const char* name; R region; int cw, ch; R want; } cases[] = {
        {"wide client widens", {-2, -1.5, 2, 1.5}, 600, 300, R{-3, -1.5, 3, 1.5}},
        {"tall client heightens", {-2, -1.5, 2, 1.5}, 300, 600, R{-2, -4, 2, 4}},
        {"matching stays", {-2, -1.5, 2, 1.5}, 400, 300, R{-2, -1.5, 2, 1.5}},
        {"mirrored x edges widen mirrored", {2, -1.5, -2, 1.5}, 600, 300, R{3, -1.5, -3, 1.5}},
        {"off-centre", {0, 0, 1, 3}, 200, 300, R{-0.5, 0, 1.5, 3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectSame(regionAround(c.region, c.cw, c.ch).value(), c.want);
    }
    EXPECT_FALSE(regionAround({-2, -1.5, 2, 1.5}, 0, 300).has_value());
}

// Regions whose proportions match only up to rounding, as deep wheel zooms
// leave them, are kept as they are instead of being rebuilt from their centre;
// a real mismatch however small is fitted.
TEST(FitToWindow, RoundingAloneMovesNothing) {
    R r{-2, -1.5, 2, 1.5};
    for (int notch = 0; notch < 40; ++notch) r = wheelZoomRegion(r, {123, 77}, 1, 400, 300).value();
    expectSame(fitRegionToClient(r, 400, 300).value(), r);
    EXPECT_NE(fitRegionToClient(r, 401, 300).value().top, r.top);
}


// A location past the doubles keeps its exact centre and width and takes the
// picture's proportions in full precision; the y pair keeps its direction.
TEST(FitToWindow, AnExactLocationIsFittedInFullPrecision) {
    for (const bool flipped : {false, true}) {
        FractalParams p;
        ExactLocation square;
        ASSERT_EQ(edgesFromCentre({"-0.7436438870371587522", "0.1318259042053119", "3e-30"}, 300, 300, square),
                  CentreWidthFault::None);
        if (flipped) std::swap(square.top, square.bottom);
        square.cReal = "0.3", square.cImag = "0.6";
        ASSERT_TRUE(assignExact(p, square));
        p.width = 400, p.height = 300;
        const std::optional<FractalParams> fitted = fitExactLocation(p);
        ASSERT_TRUE(fitted.has_value());
        const CentreWidth before = centreOf(p), after = centreOf(*fitted);
        EXPECT_EQ(std::tuple(after.re, after.im, after.width), std::tuple(before.re, before.im, before.width));
        Mpfr top(256), bottom(256);
        ASSERT_TRUE(readDecimal(fitted->exact.top, top) && readDecimal(fitted->exact.bottom, bottom));
        mpfr_sub(bottom.get(), bottom.get(), top.get(), MPFR_RNDN);
        EXPECT_NEAR(mpfr_get_d(bottom.get(), MPFR_RNDN), flipped ? -2.25e-30 : 2.25e-30, 1e-45) << flipped;
    }
    EXPECT_FALSE(fitExactLocation(FractalParams{}).has_value()) << "no exact values";
}

}  // namespace
}  // namespace velmora

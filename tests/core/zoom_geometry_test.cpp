#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/ZoomGeometry.h"

using namespace velmora;

namespace {

const PlaneRegion kDefaultRegion{-2.0, -1.5, 2.0, 1.5};
const PixelRect kCentreBox{100, 75, 300, 225};

TEST(ZoomSelection, NeedsMovementOnBothAxesAndAnEndedDrag) {
    EXPECT_FALSE(HasSelection(false, {10, 10}, {10, 10}));  // a click
    EXPECT_FALSE(HasSelection(false, {10, 10}, {50, 10}));  // same y
    EXPECT_FALSE(HasSelection(false, {10, 10}, {10, 50}));  // same x
    EXPECT_FALSE(HasSelection(true, {10, 10}, {50, 50}));   // still dragging
    EXPECT_TRUE(HasSelection(false, {10, 10}, {11, 110}));  // one pixel wide is enough
    EXPECT_TRUE(HasSelection(false, {50, 50}, {10, 10}));   // backwards drag
}

TEST(ZoomSelection, BoxIsNormalisedFromEitherCorner) {
    const PixelRect expected{10, 20, 50, 80};
    EXPECT_EQ(NormalizedBox({10, 20}, {50, 80}), expected);
    EXPECT_EQ(NormalizedBox({50, 80}, {10, 20}), expected);
    EXPECT_EQ(NormalizedBox({10, 80}, {50, 20}), expected);
    EXPECT_EQ(NormalizedBox({50, 20}, {10, 80}), expected);
    EXPECT_EQ(NormalizedBox({-5, 7}, {3, -9}), (PixelRect{-5, -9, 3, 7}));
}

TEST(ZoomIn, CentreBoxHalvesTheDefaultRegion) {
    const auto r = ZoomInRegion(kDefaultRegion, kCentreBox, 400, 300);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->left, -1.0);
    EXPECT_DOUBLE_EQ(r->top, -0.75);
    EXPECT_DOUBLE_EQ(r->right, 1.0);
    EXPECT_DOUBLE_EQ(r->bottom, 0.75);
}

TEST(ZoomIn, OneColumnIsStretchedOverThePicture) {
    const auto r = ZoomInRegion(kDefaultRegion, PixelRect{200, 0, 201, 100}, 400, 300);
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->left, 0.0, 1e-15);
    EXPECT_NEAR(r->right, 0.01, 1e-15);
    EXPECT_NEAR(r->top, -1.5, 1e-15);
    EXPECT_NEAR(r->bottom, -0.5, 1e-15);
}

TEST(ZoomIn, MirroredRegionMapsToTheMirrorImage) {
    // Top stored below bottom: the box's top edge lands near the stored top.
    const PlaneRegion flipped{-2.0, 1.5, 2.0, -1.5};
    const auto r = ZoomInRegion(flipped, PixelRect{0, 0, 200, 75}, 400, 300);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->top, 1.5);
    EXPECT_DOUBLE_EQ(r->bottom, 0.75);
    EXPECT_GT(r->top, r->bottom);  // not normalised
    const PlaneRegion mirrorX{2.0, -1.5, -2.0, 1.5};
    const auto m = ZoomInRegion(mirrorX, PixelRect{0, 0, 100, 300}, 400, 300);
    ASSERT_TRUE(m);
    EXPECT_DOUBLE_EQ(m->left, 2.0);
    EXPECT_DOUBLE_EQ(m->right, 1.0);
}

TEST(ZoomIn, BoxCornersOutsideTheViewExtrapolate) {
    const auto r = ZoomInRegion(kDefaultRegion, PixelRect{-100, 0, 500, 300}, 400, 300);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->left, -3.0);
    EXPECT_DOUBLE_EQ(r->right, 3.0);
}

TEST(ZoomOut, CentreBoxExample) {
    const auto r = ZoomOutRegion(kDefaultRegion, kCentreBox, 400, 300);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->left, -3.0);
    EXPECT_DOUBLE_EQ(r->top, -2.25);
    EXPECT_DOUBLE_EQ(r->right, 5.0);
    EXPECT_DOUBLE_EQ(r->bottom, 3.75);
}

TEST(ZoomOut, KeepsThePointUnderTheBoxCornerAndGrowsTheScale) {
    const PixelRect box{40, 30, 140, 80};
    const auto r = ZoomOutRegion(kDefaultRegion, box, 400, 300);
    ASSERT_TRUE(r);
    const auto boxInPlane = ZoomInRegion(kDefaultRegion, box, 400, 300);
    ASSERT_TRUE(boxInPlane);
    // The plane point under (40, 30) is the same before and after.
    const double xBefore = boxInPlane->left;
    const double xAfter = r->left + (40.0 / 400.0) * (r->right - r->left);
    EXPECT_NEAR(xAfter, xBefore, 1e-12);
    const double yAfter = r->top + (30.0 / 300.0) * (r->bottom - r->top);
    EXPECT_NEAR(yAfter, boxInPlane->top, 1e-12);
    // Scale grows by client / box: 400 / 100 across, 300 / 50 down.
    EXPECT_NEAR(r->right - r->left, 4.0 * 4.0, 1e-12);
    EXPECT_NEAR(r->bottom - r->top, 3.0 * 6.0, 1e-12);
}

TEST(ZoomOut, AfterZoomInReturnsToTheOldScaleButNotPosition) {
    const PixelRect box{100, 75, 300, 225};
    const auto in = ZoomInRegion(kDefaultRegion, box, 400, 300);
    ASSERT_TRUE(in);
    const auto out = ZoomOutRegion(*in, box, 400, 300);
    ASSERT_TRUE(out);
    EXPECT_DOUBLE_EQ(out->right - out->left, 4.0);
    EXPECT_DOUBLE_EQ(out->bottom - out->top, 3.0);
    EXPECT_DOUBLE_EQ(out->left, -1.5);  // moved: the box did not touch the top-left
    const PixelRect corner{0, 0, 200, 150};
    const auto in2 = ZoomInRegion(kDefaultRegion, corner, 400, 300);
    const auto back = ZoomOutRegion(*in2, corner, 400, 300);
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(back->left, -2.0);
    EXPECT_DOUBLE_EQ(back->top, -1.5);
    EXPECT_DOUBLE_EQ(back->right, 2.0);
    EXPECT_DOUBLE_EQ(back->bottom, 1.5);
}

TEST(ZoomOut, MirroredRegionUsesTheSameFormulas) {
    const PlaneRegion flipped{-2.0, 1.5, 2.0, -1.5};
    const auto r = ZoomOutRegion(flipped, kCentreBox, 400, 300);
    ASSERT_TRUE(r);
    // H = -3: new height 9 / -1.5 = -6, new top = 0.75 + 0.25 * 6.
    EXPECT_DOUBLE_EQ(r->top, 2.25);
    EXPECT_DOUBLE_EQ(r->bottom, -3.75);
    EXPECT_DOUBLE_EQ(r->left, -3.0);
    EXPECT_DOUBLE_EQ(r->right, 5.0);
}

TEST(ZoomBothWays, CollapsedClientAreaDoesNothing) {
    for (auto [cw, ch] : {std::pair{0, 300}, std::pair{400, 0}, std::pair{0, 0}, std::pair{-4, 300}}) {
        EXPECT_FALSE(ZoomInRegion(kDefaultRegion, kCentreBox, cw, ch)) << cw << "x" << ch;
        EXPECT_FALSE(ZoomOutRegion(kDefaultRegion, kCentreBox, cw, ch)) << cw << "x" << ch;
    }
}

TEST(ZoomBothWays, ResultsThatAreNotFiniteAreRefused) {
    // Equal edges: zooming out would divide 0 by 0.
    const PlaneRegion point{1.0, 1.0, 1.0, 1.0};
    EXPECT_FALSE(ZoomOutRegion(point, kCentreBox, 400, 300));
    const auto in = ZoomInRegion(point, kCentreBox, 400, 300);
    ASSERT_TRUE(in);  // zooming into a point stays a point
    EXPECT_EQ(in->left, 1.0);
    const double big = std::numeric_limits<double>::max();
    EXPECT_FALSE(ZoomInRegion(PlaneRegion{-big, 0, big, 1}, kCentreBox, 400, 300));
}

TEST(LockProportions, WorkedExamples) {
    const double aspect = ClientAspect(400, 320);
    EXPECT_DOUBLE_EQ(aspect, 1.25);
    const ClientPoint anchor{100, 100};
    // Candidate x 150 is not beyond 160: y follows x.
    EXPECT_EQ(LockProportionsPoint(anchor, {160, 140}, aspect), (ClientPoint{160, 148}));
    // Candidate 175 is beyond 150: x follows y.
    EXPECT_EQ(LockProportionsPoint(anchor, {150, 160}, aspect), (ClientPoint{175, 160}));
    // Up and right turns into down and right.
    EXPECT_EQ(LockProportionsPoint(anchor, {150, 60}, aspect), (ClientPoint{150, 140}));
}

TEST(LockProportions, DownLeftTurnsDownRightAndUpLeftKeepsItsDirection) {
    const double aspect = 1.25;
    const ClientPoint anchor{100, 100};
    // Down-left: candidate 150 > 50, so x jumps to the right of the anchor.
    EXPECT_EQ(LockProportionsPoint(anchor, {50, 140}, aspect), (ClientPoint{150, 140}));
    // Up-left keeps its direction: candidate 50 > 40 gives x = 50.
    EXPECT_EQ(LockProportionsPoint(anchor, {40, 60}, aspect), (ClientPoint{50, 60}));
    // Up-left with x ahead: y = (90 - 100) / 1.25 + 100 = 92.
    EXPECT_EQ(LockProportionsPoint(anchor, {90, 60}, aspect), (ClientPoint{90, 92}));
}

TEST(LockProportions, TruncatesTowardZero) {
    // (7 - 0) * 1.5 = 10.5 -> 10 is not beyond 20; y = 20 / 1.5 = 13.33 -> 13.
    EXPECT_EQ(LockProportionsPoint({0, 0}, {20, 7}, 1.5), (ClientPoint{20, 13}));
    // Negative results truncate toward zero too: (-7) * 1.5 = -10.5 -> -10.
    EXPECT_EQ(LockProportionsPoint({0, 0}, {-20, -7}, 1.5), (ClientPoint{-10, -7}));
}

TEST(LockProportions, UnusableAspectLeavesThePointAlone) {
    const ClientPoint p{160, 140};
    EXPECT_EQ(LockProportionsPoint({100, 100}, p, ClientAspect(400, 0)), p);
    EXPECT_EQ(LockProportionsPoint({100, 100}, p, ClientAspect(0, 0)), p);
    EXPECT_EQ(LockProportionsPoint({100, 100}, p, 0.0), p);
}

TEST(LockProportions, FarPointsSaturateInsteadOfOverflowing) {
    const ClientPoint p = LockProportionsPoint({0, 0}, {0, 2000000000}, 1000.0);
    EXPECT_EQ(p.x, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(p.y, 2000000000);
}

TEST(DragPoint, IsClampedToTheView) {
    EXPECT_EQ(ClampToView({-5, 20}, 400, 300), (ClientPoint{0, 20}));
    EXPECT_EQ(ClampToView({450, 350}, 400, 300), (ClientPoint{400, 300}));
    EXPECT_EQ(ClampToView({400, 300}, 400, 300), (ClientPoint{400, 300}));
    EXPECT_EQ(ClampToView({12, 34}, 0, 0), (ClientPoint{0, 0}));
}

}  // namespace

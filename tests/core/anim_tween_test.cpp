#include <gtest/gtest.h>

#include <cmath>

#include "anim/Tween.h"
#include "AnimTestSupport.h"

using namespace velmora;
using velmora::test::Key;

namespace {

Keyframe Tween(const Keyframe& a, const Keyframe& b, std::int32_t d, TweenStyle style) {
    Keyframe out;
    out.transitions = 77;
    TweenKeyframes(a, b, out, d, style);
    EXPECT_EQ(out.transitions, 77);  // the scratch record's count is not part of a frame
    return out;
}

TEST(TweenSlow, WeightsForFourSteps) {
    EXPECT_EQ(SlowAtKeyframesWeight(4, 0), 0.0);
    EXPECT_NEAR(SlowAtKeyframesWeight(4, 1), 0.6614, 5e-5);
    EXPECT_NEAR(SlowAtKeyframesWeight(4, 2), 0.8660, 5e-5);
    EXPECT_NEAR(SlowAtKeyframesWeight(4, 3), 0.9682, 5e-5);
    EXPECT_EQ(SlowAtKeyframesWeight(4, 1), std::sqrt(7.0) / 4.0);
    EXPECT_EQ(SlowAtKeyframesWeight(4, 3), std::sqrt(15.0) / 4.0);
}

TEST(TweenSlow, CountsBeyondThe32BitSquareStayExact) {
    // 46341 squared no longer fits 32 bits; the weight must still rise from 0 towards 1.
    for (const std::int32_t t : {46341, 100000, INT32_MAX}) {
        EXPECT_EQ(SlowAtKeyframesWeight(t, 0), 0.0);
        const double one = SlowAtKeyframesWeight(t, 1);
        const double half = SlowAtKeyframesWeight(t, t / 2);
        const double last = SlowAtKeyframesWeight(t, t - 1);
        EXPECT_GT(one, 0.0) << t;
        EXPECT_LT(one, half) << t;
        EXPECT_LT(half, last) << t;
        EXPECT_LE(last, 1.0) << t;
        EXPECT_NEAR(half, std::sqrt(0.75), 1e-4) << t;
    }
}

TEST(TweenSlow, EdgesMoveByTheOneWeight) {
    const Keyframe a = Key(-2, 2, -1.5, 1.5, 100, 4);
    const Keyframe b = Key(0, 1, 1, 3, 100, 1);
    const Keyframe m = Tween(a, b, 1, TweenStyle::SlowAtKeyframes);
    const double w = std::sqrt(7.0) / 4.0;
    EXPECT_EQ(m.left, -2 + (0 - -2.0) * w);
    EXPECT_EQ(m.right, 2 + (1 - 2.0) * w);
    EXPECT_EQ(m.top, -1.5 + (1 - -1.5) * w);
    EXPECT_EQ(m.bottom, 1.5 + (3 - 1.5) * w);
    const Keyframe first = Tween(a, b, 0, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(first.left, a.left);
    EXPECT_EQ(first.bottom, a.bottom);
}

TEST(TweenConstant, WidthsFourAndOneOverTwoFrames) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 2);
    const Keyframe b = Key(0, 1, -1, 1, 100, 1);
    const Keyframe m = Tween(a, b, 1, TweenStyle::ConstantSpeed);
    EXPECT_NEAR(m.left, -0.6667, 5e-5);
    EXPECT_NEAR(m.right, 1.3333, 5e-5);
    EXPECT_NEAR(m.right - m.left, 2.0, 1e-12);
    const Keyframe d0 = Tween(a, b, 0, TweenStyle::ConstantSpeed);
    EXPECT_EQ(d0.left, -2.0);
    EXPECT_EQ(d0.right, 2.0);
}

TEST(TweenConstant, TheExtentShrinksByOneFactorPerFrame) {
    const Keyframe a = Key(-2, 2, -1.5, 1.5, 100, 8);
    const Keyframe b = Key(-0.75, -0.74, 0.1, 0.1075, 100, 1);
    double previousRatioX = 0, previousRatioY = 0;
    for (int d = 1; d < 8; ++d) {
        const Keyframe p = Tween(a, b, d - 1, TweenStyle::ConstantSpeed);
        const Keyframe q = Tween(a, b, d, TweenStyle::ConstantSpeed);
        const double rx = (q.right - q.left) / (p.right - p.left);
        const double ry = (q.bottom - q.top) / (p.bottom - p.top);
        if (d > 1) {
            EXPECT_NEAR(rx, previousRatioX, 1e-9);
            EXPECT_NEAR(ry, previousRatioY, 1e-9);
        }
        previousRatioX = rx;
        previousRatioY = ry;
    }
    EXPECT_NEAR(std::pow(previousRatioX, 8), 0.01 / 4.0, 1e-12);
}

TEST(TweenConstant, EqualExtentsHoldTheEdgesUntilTheNextKeyframe) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 5);
    const Keyframe b = Key(3, 7, 5, 7, 100, 1);  // same width 4, same height 2
    for (int d = 0; d < 5; ++d) {
        const Keyframe m = Tween(a, b, d, TweenStyle::ConstantSpeed);
        EXPECT_EQ(m.left, -2.0);
        EXPECT_EQ(m.right, 2.0);
        EXPECT_EQ(m.top, -1.0);
        EXPECT_EQ(m.bottom, 1.0);
    }
}

TEST(TweenConstant, DegenerateAxesFallBackToLinearWithoutNaN) {
    // A zero width, widths of opposite signs and a zero height: no ratio or
    // real root exists, so these axes move linearly.
    const Keyframe a = Key(1, 1, -1, 1, 100, 4);
    const Keyframe b = Key(-3, 1, 1, 1, 100, 1);
    const Keyframe m = Tween(a, b, 1, TweenStyle::ConstantSpeed);
    EXPECT_EQ(m.left, 1 + ((-3 - 1.0) / 4) * 1);
    EXPECT_EQ(m.right, 1.0);
    EXPECT_EQ(m.top, -1 + ((1 - -1.0) / 4) * 1);
    EXPECT_EQ(m.bottom, 1.0);

    const Keyframe c = Key(2, -2, 1, -1, 100, 4);  // reversed edges: negative extents
    const Keyframe e = Key(-1, 1, -3, 3, 100, 1);
    const Keyframe n = Tween(c, e, 3, TweenStyle::ConstantSpeed);
    for (const double v : {n.left, n.right, n.top, n.bottom}) EXPECT_FALSE(std::isnan(v));
    EXPECT_EQ(n.left, 2 + ((-1 - 2.0) / 4) * 3);
    EXPECT_EQ(n.bottom, -1 + ((3 - -1.0) / 4) * 3);

    // Two negative extents keep the power law.
    const Keyframe f = Key(2, -2, 0, 0.5, 100, 2);
    const Keyframe g = Key(1, 0, 0, 0.5, 100, 1);
    const Keyframe o = Tween(f, g, 1, TweenStyle::ConstantSpeed);
    EXPECT_NEAR(o.right - o.left, -2.0, 1e-12);
}

TEST(TweenStyleByte, AnyValueButSlowIsConstantSpeed) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 2);
    const Keyframe b = Key(0, 1, -1, 1, 100, 1);
    const Keyframe constant = Tween(a, b, 1, TweenStyle::ConstantSpeed);
    for (const int byte : {0, 3, 255}) {
        const Keyframe m = Tween(a, b, 1, static_cast<TweenStyle>(byte));
        EXPECT_EQ(m.left, constant.left) << byte;
        EXPECT_EQ(m.right, constant.right) << byte;
    }
    EXPECT_NE(Tween(a, b, 1, TweenStyle::SlowAtKeyframes).left, constant.left);
}

TEST(TweenLinear, JuliaConstantAndTypeFromA) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 3, 2, -0.8, 0.156);
    const Keyframe b = Key(-2, 2, -1, 1, 100, 1, 1, 0.4, -0.5);
    for (const TweenStyle s : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        const Keyframe m = Tween(a, b, 2, s);
        EXPECT_EQ(m.cReal, -0.8 + ((0.4 - -0.8) / 3) * 2);
        EXPECT_EQ(m.cImag, 0.156 + ((-0.5 - 0.156) / 3) * 2);
        EXPECT_EQ(m.type, 2);
    }
}

TEST(TweenLinear, IterationStepIsTruncatedBeforeTheMultiplication) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 100);
    const Keyframe b = Key(-2, 2, -1, 1, 150, 1);
    for (const int d : {0, 1, 50, 99}) EXPECT_EQ(Tween(a, b, d, TweenStyle::SlowAtKeyframes).iterations, 100) << d;

    Keyframe c = Key(-2, 2, -1, 1, 150, 4);
    Keyframe e = Key(-2, 2, -1, 1, 100, 1);
    EXPECT_EQ(Tween(c, e, 3, TweenStyle::ConstantSpeed).iterations, 150 + (-50 / 4) * 3);  // -12 x 3
    c.iterations = 0;
    e.iterations = 7;
    EXPECT_EQ(Tween(c, e, 3, TweenStyle::ConstantSpeed).iterations, 3);  // 7 / 4 = 1

    // Limits a whole 32-bit range apart still tween between them.
    c.iterations = INT32_MIN;
    e.iterations = INT32_MAX;
    const std::int32_t mid = Tween(c, e, 2, TweenStyle::ConstantSpeed).iterations;
    EXPECT_EQ(mid, static_cast<std::int32_t>(INT32_MIN + ((std::int64_t{INT32_MAX} - INT32_MIN) / 4) * 2));
}

TEST(TweenLinear, ColoursZeroTo255OverThreeFrames) {
    Keyframe a = Key(-2, 2, -1, 1, 100, 3);
    Keyframe b = Key(-2, 2, -1, 1, 100, 1);
    a.palette = Palette();
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        a.palette.SetEntry(i, RgbQuad{0, 255, 10, 99});
        b.palette.SetEntry(i, RgbQuad{255, 0, 11, 42});
    }
    const Keyframe one = Tween(a, b, 1, TweenStyle::ConstantSpeed);
    const Keyframe two = Tween(a, b, 2, TweenStyle::SlowAtKeyframes);
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        EXPECT_EQ(one.palette.Entry(i), (RgbQuad{85, 170, 10, 0})) << i;
        EXPECT_EQ(two.palette.Entry(i), (RgbQuad{170, 85, 10, 0})) << i;  // 10 + 2/3 truncates to 10
    }
    // Step 0 is keyframe A's colours, with the reserved bytes cleared.
    const Keyframe zero = Tween(a, b, 0, TweenStyle::ConstantSpeed);
    EXPECT_EQ(zero.palette.Entry(17), (RgbQuad{0, 255, 10, 0}));
}

TEST(TweenLinear, EveryEntryFollowsItsOwnColours) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 7, 1, 0.3, 0.6, 0);
    const Keyframe b = Key(-2, 2, -1, 1, 100, 1, 1, 0.3, 0.6, 91);
    const Keyframe m = Tween(a, b, 5, TweenStyle::ConstantSpeed);
    for (std::size_t i = 0; i < Palette::kEntries; i += 17) {
        const RgbQuad ca = a.palette.Entry(i), cb = b.palette.Entry(i), cm = m.palette.Entry(i);
        EXPECT_EQ(cm.blue, static_cast<std::uint8_t>(((double(cb.blue) - ca.blue) / 7) * 5 + ca.blue)) << i;
        EXPECT_EQ(cm.green, static_cast<std::uint8_t>(((double(cb.green) - ca.green) / 7) * 5 + ca.green)) << i;
        EXPECT_EQ(cm.red, ca.red) << i;  // the red ramp is the same in both
        EXPECT_EQ(cm.reserved, 0) << i;
    }
}

TEST(TweenGuard, ASegmentWithoutFramesYieldsItsKeyframe) {
    const Keyframe a = Key(-2, 2, -1, 1, 100, 0, 1, 0.1, 0.2);
    const Keyframe b = Key(0, 1, 0, 1, 300, 1, 1, 0.9, 0.9, 50);
    const Keyframe m = Tween(a, b, 3, TweenStyle::SlowAtKeyframes);
    EXPECT_EQ(m.left, -2.0);
    EXPECT_EQ(m.iterations, 100);
    EXPECT_EQ(m.cReal, 0.1);
}

}  // namespace

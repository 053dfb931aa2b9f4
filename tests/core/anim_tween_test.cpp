#include <gtest/gtest.h>

#include <array>
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

TEST(TweenSlow, WeightIsTheQuarterCircle) {
    for (const std::int32_t d : {0, 1, 2, 3})
        EXPECT_EQ(SlowAtKeyframesWeight(4, d), std::sqrt(16.0 - (4 - d) * (4 - d)) / 4.0) << d;
    // 46341 squared no longer fits 32 bits; the weight must still rise from 0 towards 1.
    for (const std::int32_t t : {46341, 100000, INT32_MAX}) {
        const double one = SlowAtKeyframesWeight(t, 1), half = SlowAtKeyframesWeight(t, t / 2);
        const double last = SlowAtKeyframesWeight(t, t - 1);
        EXPECT_EQ(SlowAtKeyframesWeight(t, 0), 0.0) << t;
        EXPECT_TRUE(0.0 < one && one < half && half < last && last <= 1.0) << t;
        EXPECT_NEAR(half, std::sqrt(0.75), 1e-4) << t;
    }
}

TEST(TweenEdges, EachStyleAndTheAxesItCannotScale) {
    using Edges = std::array<double, 4>;  // left, right, top, bottom
    struct Case { const char* name; int style; Edges a, b; std::int32_t t, d; Edges want; };  // style as a stored byte
    const double w = std::sqrt(7.0) / 4.0;
    const Case cases[] = {
        {"slow", 1, {-2, 2, -1.5, 1.5}, {0, 1, 1, 3}, 4, 1, {-2 + 2 * w, 2 - w, -1.5 + 2.5 * w, 1.5 + 1.5 * w}},
        {"slow at step 0", 1, {-2, 2, -1.5, 1.5}, {0, 1, 1, 3}, 4, 0, {-2, 2, -1.5, 1.5}},
        {"constant: width 4 to 1", 2, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 1, {-2.0 / 3, 4.0 / 3, -1, 1}},
        {"byte 0", 0, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 1, {-2.0 / 3, 4.0 / 3, -1, 1}},  // anything but 1 is constant
        {"byte 255", 255, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 1, {-2.0 / 3, 4.0 / 3, -1, 1}},
        {"constant at step 0", 2, {-2, 2, -1, 1}, {0, 1, -1, 1}, 2, 0, {-2, 2, -1, 1}},
        {"equal extents hold", 2, {-2, 2, -1, 1}, {3, 7, 5, 7}, 5, 4, {-2, 2, -1, 1}},
        // No ratio or real root for a zero extent or extents of opposite signs:
        // those axes move linearly rather than becoming NaN.
        {"zero extents", 2, {1, 1, -1, 1}, {-3, 1, 1, 1}, 4, 1, {0, 1, -0.5, 1}},
        {"opposite signs", 2, {2, -2, 1, -1}, {-1, 1, -3, 3}, 4, 3, {-0.25, 0.25, -2, 2}},
        {"two negative extents", 2, {2, -2, 0, 0.5}, {1, 0, 0, 0.5}, 2, 1, {4.0 / 3, -2.0 / 3, 0, 0.5}},
        {"segment without frames", 1, {-2, 2, -1, 1}, {0, 1, 0, 1}, 0, 3, {-2, 2, -1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Keyframe m = Tween(Key(c.a[0], c.a[1], c.a[2], c.a[3], 100, c.t),
                                 Key(c.b[0], c.b[1], c.b[2], c.b[3], 100, 1), c.d, static_cast<TweenStyle>(c.style));
        const Edges got = {m.left, m.right, m.top, m.bottom};
        for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(got[i], c.want[i]) << "edge " << i;
    }
}

TEST(TweenLinear, JuliaConstantTypeAndIterations) {
    for (const TweenStyle s : {TweenStyle::SlowAtKeyframes, TweenStyle::ConstantSpeed}) {
        const Keyframe m = Tween(Key(-2, 2, -1, 1, 100, 3, 2, -0.8, 0.156), Key(-2, 2, -1, 1, 100, 1, 1, 0.4, -0.5), 2, s);
        EXPECT_EQ(m.cReal, -0.8 + ((0.4 - -0.8) / 3) * 2);
        EXPECT_EQ(m.cImag, 0.156 + ((-0.5 - 0.156) / 3) * 2);
        EXPECT_EQ(m.type, 2);  // from the first keyframe
    }
    // The step is truncated before the multiplication; limits a whole 32-bit
    // range apart still tween between them.
    const std::array<std::int32_t, 5> cases[] = {  // from, to, count, step, result
        {100, 150, 100, 0, 100}, {100, 150, 100, 99, 100}, {150, 100, 4, 3, 150 + (-50 / 4) * 3}, {0, 7, 4, 3, 3},
        {INT32_MIN, INT32_MAX, 4, 2, static_cast<std::int32_t>(INT32_MIN + ((std::int64_t{INT32_MAX} - INT32_MIN) / 4) * 2)}};
    for (const auto& [from, to, count, step, result] : cases)
        EXPECT_EQ(Tween(Key(-2, 2, -1, 1, from, count), Key(-2, 2, -1, 1, to, 1), step, TweenStyle::ConstantSpeed)
                      .iterations, result) << from << " to " << to << " step " << step;
}

TEST(TweenLinear, EachEntrysColoursTruncateAndLoseTheReservedByte) {
    Keyframe a = Key(-2, 2, -1, 1, 100, 3), b = Key(-2, 2, -1, 1, 100, 1);
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        const auto red = static_cast<std::uint8_t>(i);  // tells the entries apart
        a.palette.SetEntry(i, RgbQuad{0, 10, red, 99});
        b.palette.SetEntry(i, RgbQuad{255, 11, red, 42});
    }
    for (int d = 0; d < 3; ++d) {
        const Keyframe m = Tween(a, b, d, d == 1 ? TweenStyle::ConstantSpeed : TweenStyle::SlowAtKeyframes);
        for (std::size_t i = 0; i < Palette::kEntries; ++i)  // 10 + 2/3 truncates to 10
            ASSERT_EQ(m.palette.Entry(i), (RgbQuad{static_cast<std::uint8_t>(85 * d), 10, static_cast<std::uint8_t>(i), 0}))
                << "step " << d << " entry " << i;
    }
}

}  // namespace

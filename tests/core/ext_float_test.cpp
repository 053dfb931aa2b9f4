// Wide-exponent numbers: their sums and products are the doubles' own,
// scaled by a power of two, down to and through the doubles' subnormals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "deep/ExtFloat.h"

namespace {

using velmora::ExtFloat;

constexpr double kMin = std::numeric_limits<double>::min();
constexpr double kSub = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();

TEST(ExtFloat, ADoubleComesBackUnchangedAndSaysItsExponent) {
    const struct {
        double v;
        std::int64_t exponent;  // v in [2^(e-1), 2^e)
    } cases[] = {
        {1.0, 1},        {0.75, 0},        {-3.0, 2},          {kMin, -1021},
        {kSub, -1073},   {3 * kSub, -1072}, {kMax, 1024},       {-0x1.fffffffffffffp-1, 0},
        {0x1p-1000, -999},
    };
    for (const auto& c : cases) {
        const ExtFloat x(c.v);
        EXPECT_EQ(x.toDouble(), c.v) << c.v;
        EXPECT_EQ(x.exponent(), c.exponent) << c.v;
        EXPECT_GE(std::fabs(x.mantissa()), 0.5) << c.v;
        EXPECT_LT(std::fabs(x.mantissa()), 1.0) << c.v;
    }
    EXPECT_TRUE(ExtFloat(0.0).isZero());
    EXPECT_EQ(ExtFloat(0.0).toDouble(), 0.0);
}

TEST(ExtFloat, BeyondTheDoublesItRoundsToZeroOrInfinity) {
    const struct {
        double mantissa;
        std::int64_t exponent;
        double expected;
    } cases[] = {
        {0.5, -1073, kSub},  // the smallest subnormal
        {0.75, -1072, 3 * kSub},
        {0.5, -1021, kMin},
        {0.5, -1074, 0.0},  // half the smallest: ties to even
        {0.5, -5000, 0.0},
        {0.5, 1024, 0x1p1023},
        {0x1.fffffffffffffp-1, 1024, kMax},
        {0.5, 1025, HUGE_VAL},
        {-0.75, 1025, -HUGE_VAL},
        {0.75, -1022, 0x1.8p-1023},  // just below the normals
        {-0.5, 5000, -HUGE_VAL},
        {0.5, 5000, HUGE_VAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtFloat(c.mantissa, c.exponent).toDouble(), c.expected) << c.mantissa << " 2^" << c.exponent;
}

// Far below the doubles, at the edge of them and within: a sum or product
// carries the doubles' rounding, its exponent moved by exactly the scale.
TEST(ExtFloat, SumsAndProductsAreTheDoublesScaled) {
    const double values[] = {1.0, -0.3, 0x1.fffffffffffffp-1, 1e-10, 3.0000000000000004, -7.5e5, 0x1p-60};
    const std::int64_t scales[] = {0, -900, -1080, -4000, 3000};
    for (const std::int64_t s : scales)
        for (const double x : values)
            for (const double y : values) {
                const ExtFloat a(x, s), b(y, s);
                const ExtFloat sum = a + b, difference = a - b;
                const ExtFloat expectSum(x + y, s), expectDifference(x - y, s);
                EXPECT_EQ(sum.mantissa(), expectSum.mantissa()) << x << " + " << y << " at 2^" << s;
                EXPECT_EQ(sum.exponent(), expectSum.exponent()) << x << " + " << y << " at 2^" << s;
                EXPECT_EQ(difference.mantissa(), expectDifference.mantissa()) << x << " - " << y;
                const ExtFloat product = a * ExtFloat(y, -s);
                EXPECT_EQ(product.mantissa(), ExtFloat(x * y).mantissa()) << x << " * " << y;
                EXPECT_EQ(product.exponent(), ExtFloat(x * y).exponent()) << x << " * " << y;
                if (s == 0) {
                    EXPECT_EQ((a + b).toDouble(), x + y);
                }
            }
}

TEST(ExtFloat, ATermTooSmallToShowLeavesTheSum) {
    const ExtFloat big(1.0), small(1.0, -70), near(1.0, -52);
    EXPECT_EQ((big + small).toDouble(), 1.0);
    EXPECT_EQ((small + big).toDouble(), 1.0);
    EXPECT_EQ((big + near).toDouble(), 1.0 + 0x1p-52);
    EXPECT_EQ((near + big).toDouble(), 1.0 + 0x1p-52);
}

}  // namespace

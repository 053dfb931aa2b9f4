#pragma once
// Numbers as the unevaluated sum of two doubles (106 bits of mantissa), for
// the pixels whose own rounding in doubles could have moved their count: a
// second try at 2^-53 times the doubles' error before the full-precision loop.
// Exact sums and products by the error-free transformations (Dekker's split,
// so no fused multiply-add is needed).
namespace velmora {

struct DoubleDouble {
    double hi = 0.0;
    double lo = 0.0;
};

namespace dd {

inline DoubleDouble twoSum(double a, double b) {
    const double s = a + b;
    const double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

inline DoubleDouble quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

inline DoubleDouble twoProduct(double a, double b) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ta = kSplit * a, tb = kSplit * b;
    const double ah = ta - (ta - a), al = a - ah;
    const double bh = tb - (tb - b), bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

inline DoubleDouble add(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble s = twoSum(a.hi, b.hi);
    const DoubleDouble t = twoSum(a.lo, b.lo);
    const DoubleDouble u = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(u.hi, u.lo + t.lo);
}

inline DoubleDouble neg(DoubleDouble a) {
    return {-a.hi, -a.lo};
}

inline DoubleDouble mul(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble twice(DoubleDouble a) {
    return {2.0 * a.hi, 2.0 * a.lo};
}

inline double toDouble(DoubleDouble a) {
    return a.hi + a.lo;
}

}  // namespace dd
}  // namespace velmora

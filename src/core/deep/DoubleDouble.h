#pragma once
// Numbers as the unevaluated sum of two doubles (106 bits of mantissa), for
// the pixels whose own rounding in doubles could have moved their count: a
// second try at 2^-53 times the doubles' error before the full-precision loop.
// Exact sums and products by the error-free transformations (Dekker's split,
// so no fused multiply-add is needed; the AVX-512 lanes use theirs).
//
// Written for any number type T with the arithmetic of double: double itself,
// or a compiler's vector of doubles, one pixel a lane. A file that takes them
// over vectors inside a target region includes this first inside the region,
// so the functions are compiled for that instruction set.
namespace velmora {

template <class T>
struct DoubleDoubleOf {
    T hi{};
    T lo{};
};
using DoubleDouble = DoubleDoubleOf<double>;

namespace dd {

template <class T>
inline DoubleDoubleOf<T> twoSum(T a, T b) {
    const T s = a + b;
    const T v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

template <class T>
inline DoubleDoubleOf<T> quickTwoSum(T a, T b) {
    const T s = a + b;
    return {s, b - (s - a)};
}

// a b - p for p = a b rounded, which is exact: by Dekker's split here. A
// number type with a fused multiply-subtract may specialise this; the error
// is the same one, so the results are too.
template <class T>
struct ProductError {
    static T of(T a, T b, T p) {
        constexpr double kSplit = 134217729.0;  // 2^27 + 1
        const T ta = kSplit * a, tb = kSplit * b;
        const T ah = ta - (ta - a), al = a - ah;
        const T bh = tb - (tb - b), bl = b - bh;
        return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    }
};

template <class T>
inline DoubleDoubleOf<T> twoProduct(T a, T b) {
    const T p = a * b;
    return {p, ProductError<T>::of(a, b, p)};
}

template <class T>
inline DoubleDoubleOf<T> add(DoubleDoubleOf<T> a, DoubleDoubleOf<T> b) {
    const DoubleDoubleOf<T> s = twoSum(a.hi, b.hi);
    const DoubleDoubleOf<T> t = twoSum(a.lo, b.lo);
    const DoubleDoubleOf<T> u = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(u.hi, u.lo + t.lo);
}

template <class T>
inline DoubleDoubleOf<T> neg(DoubleDoubleOf<T> a) {
    return {-a.hi, -a.lo};
}

template <class T>
inline DoubleDoubleOf<T> mul(DoubleDoubleOf<T> a, DoubleDoubleOf<T> b) {
    const DoubleDoubleOf<T> p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

template <class T>
inline DoubleDoubleOf<T> twice(DoubleDoubleOf<T> a) {
    return {2.0 * a.hi, 2.0 * a.lo};
}

template <class T>
inline T toDouble(DoubleDoubleOf<T> a) {
    return a.hi + a.lo;
}
// |re + i im|^2 in doubles, as the error bounds take it.
template <class T>
inline T magnitude2(DoubleDoubleOf<T> re, DoubleDoubleOf<T> im) {
    const T r = toDouble(re), i = toDouble(im);
    return r * r + i * i;
}

}  // namespace dd
}  // namespace velmora

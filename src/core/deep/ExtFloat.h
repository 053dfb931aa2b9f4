#pragma once
// A real number as a double mantissa and a wide binary exponent, for pixel
// offsets too small for a double's own exponent (spacings down to 1e-300 and
// beyond). Only what the perturbation loop needs: +, -, x and comparisons.
#include <bit>
#include <cmath>
#include <cstdint>

namespace velmora {

class ExtFloat {
public:
    constexpr ExtFloat() = default;
    explicit ExtFloat(double v) { set(v, 0); }
    ExtFloat(double mantissa, std::int64_t exponent) { set(mantissa, exponent); }

    // Nearest double; 0 below the double range, infinity above it.
    double toDouble() const {
        if (m_mantissa == 0.0) return 0.0;
        if (m_exponent < -1100) return 0.0;
        if (m_exponent > 1100) return m_mantissa > 0 ? HUGE_VAL : -HUGE_VAL;
        return scale(m_mantissa, m_exponent);
    }
    double mantissa() const { return m_mantissa; }
    // The value lies in [2^(e-1), 2^e) in magnitude; very small for zero.
    std::int64_t exponent() const { return m_mantissa == 0.0 ? kZeroExponent : m_exponent; }
    bool isZero() const { return m_mantissa == 0.0; }

    friend ExtFloat operator*(ExtFloat a, ExtFloat b) {
        return ExtFloat(a.m_mantissa * b.m_mantissa, a.m_exponent + b.m_exponent);
    }
    friend ExtFloat operator+(ExtFloat a, ExtFloat b) {
        if (a.m_mantissa == 0.0) return b;
        if (b.m_mantissa == 0.0) return a;
        const std::int64_t d = a.m_exponent - b.m_exponent;
        // Beyond 64 binary places the smaller one cannot change the sum.
        if (d > 64) return a;
        if (d < -64) return b;
        if (d >= 0) return ExtFloat(a.m_mantissa + scale(b.m_mantissa, -d), a.m_exponent);
        return ExtFloat(scale(a.m_mantissa, d) + b.m_mantissa, b.m_exponent);
    }
    friend ExtFloat operator-(ExtFloat a) {
        a.m_mantissa = -a.m_mantissa;
        return a;
    }
    friend ExtFloat operator-(ExtFloat a, ExtFloat b) { return a + (-b); }

    // a < b for values that are not negative (squared magnitudes).
    friend bool lessMagnitude(ExtFloat a, ExtFloat b) {
        if (b.m_mantissa == 0.0) return false;
        if (a.m_mantissa == 0.0) return true;
        if (a.m_exponent != b.m_exponent) return a.m_exponent < b.m_exponent;
        return std::fabs(a.m_mantissa) < std::fabs(b.m_mantissa);
    }

private:
    static constexpr std::int64_t kZeroExponent = INT64_MIN / 4;
    // frexp and ldexp on the bits where the doubles stay normal (every pixel
    // takes several of each); the library's own at the edges.
    static constexpr int kBias = 1022;  // the exponent field of a mantissa in [0.5, 1)
    static int field(double v) { return static_cast<int>(std::bit_cast<std::uint64_t>(v) >> 52 & 0x7FF); }
    static double withField(double v, std::int64_t f) {
        const auto bits = std::bit_cast<std::uint64_t>(v) & ~(std::uint64_t{0x7FF} << 52);
        return std::bit_cast<double>(bits | static_cast<std::uint64_t>(f) << 52);
    }
    static double scale(double v, std::int64_t e) {
        const int f = field(v);
        if (f != 0 && f != 0x7FF && f + e > 0 && f + e < 0x7FF) return withField(v, f + e);
        return std::ldexp(v, static_cast<int>(e));
    }
    void set(double mantissa, std::int64_t exponent) {
        const int f = field(mantissa);
        if (f != 0 && f != 0x7FF) {
            m_mantissa = withField(mantissa, kBias);
            m_exponent = exponent + (f - kBias);
            return;
        }
        int e = 0;
        m_mantissa = std::frexp(mantissa, &e);
        m_exponent = m_mantissa == 0.0 ? 0 : exponent + e;
    }

    double m_mantissa = 0.0;  // 0 or 0.5 <= |m| < 1
    std::int64_t m_exponent = 0;
};

}  // namespace velmora

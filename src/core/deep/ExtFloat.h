#pragma once
// A real number as a double mantissa and a wide binary exponent, for pixel
// offsets too small for a double's own exponent (spacings down to 1e-300 and
// beyond). Only what the perturbation loop needs: +, -, x and comparisons.
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
        return std::ldexp(m_mantissa, static_cast<int>(m_exponent));
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
        if (d >= 0) return ExtFloat(a.m_mantissa + std::ldexp(b.m_mantissa, static_cast<int>(-d)), a.m_exponent);
        return ExtFloat(std::ldexp(a.m_mantissa, static_cast<int>(d)) + b.m_mantissa, b.m_exponent);
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
    void set(double mantissa, std::int64_t exponent) {
        int e = 0;
        m_mantissa = std::frexp(mantissa, &e);
        m_exponent = m_mantissa == 0.0 ? 0 : exponent + e;
    }

    double m_mantissa = 0.0;  // 0 or 0.5 <= |m| < 1
    std::int64_t m_exponent = 0;
};

}  // namespace velmora

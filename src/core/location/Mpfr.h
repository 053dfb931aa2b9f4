#pragma once
// An owned MPFR number, so full-precision values can live in containers and
// members and are always cleared. Only code under deep/ and the zoom and
// tween arithmetic see MPFR itself.
#include <mpfr.h>

namespace velmora {

class Mpfr {
public:
    // Starts at zero.
    explicit Mpfr(mpfr_prec_t precision) {
        mpfr_init2(m_value, precision);
        mpfr_set_zero(m_value, 1);
    }
    Mpfr(const Mpfr& other) {
        mpfr_init2(m_value, mpfr_get_prec(other.m_value));
        mpfr_set(m_value, other.m_value, MPFR_RNDN);
    }
    Mpfr& operator=(const Mpfr& other) {
        if (this != &other) {
            mpfr_set_prec(m_value, mpfr_get_prec(other.m_value));
            mpfr_set(m_value, other.m_value, MPFR_RNDN);
        }
        return *this;
    }
    ~Mpfr() { mpfr_clear(m_value); }

    mpfr_ptr get() { return m_value; }
    mpfr_srcptr get() const { return m_value; }
    mpfr_prec_t bits() const { return mpfr_get_prec(m_value); }
    // Changes the precision, keeping the value rounded to it.
    void setPrecision(mpfr_prec_t precision) { mpfr_prec_round(m_value, precision, MPFR_RNDN); }

private:
    mpfr_t m_value;
};

}  // namespace velmora

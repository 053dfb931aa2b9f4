#pragma once
// An MPFR number that owns its storage: the arbitrary-precision value exact
// locations are computed in. Only code under deep/ and the zoom and tween
// arithmetic see MPFR itself.
#include <mpfr.h>

namespace velmora {

class LocationReal {
public:
    explicit LocationReal(mpfr_prec_t bits) {
        mpfr_init2(m_v, bits);
        mpfr_set_zero(m_v, 1);
    }
    LocationReal(const LocationReal& other) {
        mpfr_init2(m_v, mpfr_get_prec(other.m_v));
        mpfr_set(m_v, other.m_v, MPFR_RNDN);
    }
    LocationReal& operator=(const LocationReal& other) {
        if (this != &other) {
            mpfr_set_prec(m_v, mpfr_get_prec(other.m_v));
            mpfr_set(m_v, other.m_v, MPFR_RNDN);
        }
        return *this;
    }
    ~LocationReal() { mpfr_clear(m_v); }

    mpfr_ptr get() { return m_v; }
    mpfr_srcptr get() const { return m_v; }
    mpfr_prec_t bits() const { return mpfr_get_prec(m_v); }

private:
    mpfr_t m_v;
};

}  // namespace velmora

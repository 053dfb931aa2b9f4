// The stretch every pixel of a Mandelbrot picture skips at once: its
// difference P dc against the exact one, within its error bound.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>

#include <mpfr.h>

#include "deep/Bla.h"
#include "deep/ReferenceOrbit.h"
#include "location/Mpfr.h"

namespace {

using velmora::Mpfr;

constexpr mpfr_prec_t kBits = 600;

struct Place {
    const char* name;
    const char* re;
    const char* im;
    double dcMax;
    std::int32_t limit;
    std::int32_t leastSteps;  // the skip must be worth having
};

// Near Misiurewicz points (the difference grows steadily until it leaves the
// reference), in seahorse valley, inside the cardioid (it never leaves)
// and just outside the set.
const Place kPlaces[] = {
    {"M3_1 at 1e-20", "-1.543689012692076361570855971801747986", "1e-30", 1e-20, 5000, 30},
    {"M4_1 at 1e-30", "-0.1010963638456221", "0.9562865108091415", 1e-30, 5000, 30},
    {"seahorse at 1e-12", "-0.7436438870371587", "0.1318259042053", 1e-12, 5000, 10},
    {"cardioid", "-0.1", "0.1", 1e-16, 300, 298},
    // The reference itself escapes: the skip stops short of it.
    {"escaping reference", "0.2501", "1e-9", 1e-80, 5000, 305},
};

class CommonSkip : public ::testing::TestWithParam<Place> {};

TEST_P(CommonSkip, EveryOffsetWithinReachLandsWithinTheBound) {
    const Place& place = GetParam();
    Mpfr cr(kBits), ci(kBits), zero(kBits);
    mpfr_set_str(cr.get(), place.re, 10, MPFR_RNDN);
    mpfr_set_str(ci.get(), place.im, 10, MPFR_RNDN);
    mpfr_set_zero(zero.get(), 1);
    velmora::ReferenceOrbit orbit;
    ASSERT_EQ(velmora::computeOrbit(zero.get(), zero.get(), cr.get(), ci.get(),
                                    static_cast<std::size_t>(place.limit) + 2, [] { return false; }, orbit),
              velmora::OrbitOutcome::Done);
    velmora::BlaTable table;
    table.build(orbit, true, place.dcMax);
    const velmora::CommonSkip skip = velmora::commonSkip(table, orbit, place.dcMax, place.limit);
    EXPECT_GE(skip.steps(), place.leastSteps);
    // Short of the limit, so the pixel's own loop decides there.
    EXPECT_LE(skip.steps(), place.limit - 2);

    // Offsets at the edge of reach and well inside it, all around.
    for (const double scale : {1.0, 0.7, 1e-3})
        for (int k = 0; k < 8; ++k) {
            const double angle = 0.3 + k * 0.785398;
            const double dcr = place.dcMax * scale * std::cos(angle), dci = place.dcMax * scale * std::sin(angle);
            // z_m of c + dc less Z_m, from 0 in full precision.
            Mpfr pr(kBits), pi(kBits), zr(kBits), zi(kBits), t(kBits), u(kBits);
            mpfr_add_d(pr.get(), cr.get(), dcr, MPFR_RNDN);
            mpfr_add_d(pi.get(), ci.get(), dci, MPFR_RNDN);
            Mpfr rr(kBits), ri(kBits);
            mpfr_set_zero(zr.get(), 1), mpfr_set_zero(zi.get(), 1);
            mpfr_set_zero(rr.get(), 1), mpfr_set_zero(ri.get(), 1);
            for (std::size_t n = 0; n < skip.m; ++n) {
                for (auto [xr, xi, ar, ai] : {std::tuple{&zr, &zi, &pr, &pi}, std::tuple{&rr, &ri, &cr, &ci}}) {
                    mpfr_sqr(t.get(), xr->get(), MPFR_RNDN);
                    mpfr_sqr(u.get(), xi->get(), MPFR_RNDN);
                    mpfr_sub(t.get(), t.get(), u.get(), MPFR_RNDN);
                    mpfr_mul(u.get(), xr->get(), xi->get(), MPFR_RNDN);
                    mpfr_mul_2ui(u.get(), u.get(), 1, MPFR_RNDN);
                    mpfr_add(xr->get(), t.get(), ar->get(), MPFR_RNDN);
                    mpfr_add(xi->get(), u.get(), ai->get(), MPFR_RNDN);
                }
            }
            mpfr_sub(zr.get(), zr.get(), rr.get(), MPFR_RNDN);
            mpfr_sub(zi.get(), zi.get(), ri.get(), MPFR_RNDN);
            const double exactR = mpfr_get_d(zr.get(), MPFR_RNDN), exactI = mpfr_get_d(zi.get(), MPFR_RNDN);
            const double dzr = skip.pr * dcr - skip.pi * dci, dzi = skip.pr * dci + skip.pi * dcr;
            const double miss2 = (dzr - exactR) * (dzr - exactR) + (dzi - exactI) * (dzi - exactI);
            const double dc2 = dcr * dcr + dci * dci;
            // The bound as a pixel starts with it, its own product's rounding included.
            const double bound2 = skip.err2PerOffset2 * dc2 + 0x1p-92 * (dzr * dzr + dzi * dzi);
            EXPECT_LE(miss2, bound2) << place.name << " scale " << scale << " angle " << angle;
            // Nowhere near radius 2 where it ends.
            EXPECT_LT(std::hypot(orbit.re[skip.m] + dzr, orbit.im[skip.m] + dzi), 2.0) << place.name;
        }
}

INSTANTIATE_TEST_SUITE_P(Places, CommonSkip, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(CommonSkipEdges, NoTableOrNoOffsetSkipsNothing) {
    velmora::ReferenceOrbit orbit;
    const velmora::BlaTable empty;
    const velmora::CommonSkip none = velmora::commonSkip(empty, orbit, 1e-10, 100);
    EXPECT_EQ(none.m, 1u);
    EXPECT_EQ(none.pr, 1.0);
    EXPECT_EQ(none.pi, 0.0);
}

}  // namespace

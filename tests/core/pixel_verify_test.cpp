// The --verify check: which pixels it takes, and when a pixel counts as
// differing from the plain loop or as unresolved.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "location/CentreWidth.h"
#include "location/ExactLocationValues.h"
#include "deep/PixelVerify.h"
#include "deep/PlainMpfrLoop.h"

namespace velmora {
namespace {

using Picture = std::function<std::uint8_t(std::int32_t i, std::int32_t j)>;

// The picker fed every row of the picture, with both neighbours.
std::vector<PixelSample> pick(std::int64_t count, std::int32_t w, std::int32_t h, const Picture& at) {
    PixelSamplePicker picker(count, w, h);
    std::vector<std::uint8_t> all;
    for (std::int32_t k = 0; k < w * h; ++k) all.push_back(at(k % w, k / w));
    const auto row = [&](std::int32_t j) { return j >= 0 && j < h ? all.data() + j * w : nullptr; };
    for (std::int32_t j = 0; j < h; ++j) picker.addRow(j, row(j), row(j - 1), row(j + 1));
    return picker.samples();
}

TEST(PixelSamplePicker, CapsAtThePictureAndTakesBordersFirst) {
    const Picture flat = [](auto, auto) { return std::uint8_t{9}; };
    const Picture lastColumn = [](auto i, auto) { return std::uint8_t(i == 3 ? 2 : 1); };
    const Picture corner = [](auto i, auto j) { return std::uint8_t(i == 15 && j == 11 ? 5 : 4); };
    using P = std::set<std::pair<int, int>>;
    const P columns23 = {{2, 0}, {2, 1}, {2, 2}, {2, 3}, {3, 0}, {3, 1}, {3, 2}, {3, 3}};
    const struct { const char* name; std::int32_t w, h; std::int64_t count; Picture at; P borders; std::size_t want; }
        cases[] = {{"1x1", 1, 1, 1, flat, {}, 1},
                   {"1x1 asked for more", 1, 1, 5, flat, {}, 1},
                   {"4x4 every pixel", 4, 4, 16, flat, {}, 16},
                   {"4x4 asked for the most", 4, 4, 2147483647, flat, {}, 16},
                   {"4x4 exactly its borders", 4, 4, 8, lastColumn, columns23, 8},
                   {"4x4 borders then spread", 4, 4, 11, lastColumn, columns23, 11},
                   {"4x4 fewer than its borders", 4, 4, 3, lastColumn, columns23, 3},
                   {"16x12 corner pixel", 16, 12, 3, corner, {{15, 11}, {14, 11}, {15, 10}}, 3},
                   {"16x12 none asked", 16, 12, 0, corner, {}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<PixelSample> got = pick(c.count, c.w, c.h, c.at);
        ASSERT_EQ(got.size(), c.want);
        P seen, bordersTaken;
        for (std::size_t k = 0; k < got.size(); ++k) {
            const PixelSample& s = got[k];
            ASSERT_TRUE(s.i >= 0 && s.i < c.w && s.j >= 0 && s.j < c.h);
            EXPECT_EQ(s.shown, c.at(s.i, s.j));
            EXPECT_TRUE(seen.insert({s.i, s.j}).second) << "twice: " << s.i << "," << s.j;
            // The borders come first: the first min(count, borders) samples are borders.
            EXPECT_EQ(c.borders.count({s.i, s.j}) == 1, k < c.borders.size()) << s.i << "," << s.j;
        }
    }
}

// The picture's pixel against the loop at the location's precision and at more bits.
TEST(VerifyPixels, AMovingCountIsUnresolvedNeverDiffering) {
    FractalParams p;
    p.width = 4, p.height = 3;
    const mpfr_prec_t base = DeepLocation(p).precision();
    const struct { std::uint8_t coarse, fine, shown; std::int64_t differing, unresolved; } cases[] = {
        {5, 5, 5, 0, 0}, {5, 5, 6, 1, 0}, {5, 6, 5, 0, 1}, {5, 6, 6, 0, 1}, {0, 0, 1, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.coarse) * 10000 + int(c.fine) * 100 + int(c.shown));
        const PixelLoop loop = [&](const DeepLocation& at, std::int64_t, std::int64_t) {
            EXPECT_TRUE(at.precision() == base || at.precision() >= base + 64);
            return at.precision() == base ? c.coarse : c.fine;
        };
        const VerifyResult r = verifyPixels(p, {{1, 2, c.shown}}, loop);
        EXPECT_EQ(std::tuple(r.checked, r.differing, r.unresolved), std::tuple(1, c.differing, c.unresolved));
    }
}

// Inside the main cardioid at 1e-20 every pixel stays to the limit; a
// renderer wrong at one pixel is caught by a check of only five.
TEST(VerifyPixels, AWrongPixelOfADeepPictureIsFound) {
    FractalParams p;
    p.width = 16, p.height = 12, p.iterations = 300;
    ExactLocation e;
    ASSERT_EQ(edgesFromCentre({"-0.1", "0.1", "1e-20"}, p.width, p.height, e), CentreWidthFault::None);
    e.cReal = "0", e.cImag = "0";
    ASSERT_TRUE(assignExact(p, e));
    const DeepLocation loc(p);
    const Picture wrongAtOne = [&](std::int32_t i, std::int32_t j) {
        return std::uint8_t(plainMpfrPixel(loc, i, j) + (i == 6 && j == 7 ? 3 : 0));
    };
    const VerifyResult r = verifyPixels(p, pick(5, p.width, p.height, wrongAtOne), plainMpfrPixel);
    EXPECT_EQ(std::tuple(r.checked, r.differing, r.unresolved), std::tuple(5, 1, 0));
}

}  // namespace
}  // namespace velmora

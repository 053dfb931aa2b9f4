#include <gtest/gtest.h>

#include <vector>

#include "render/Stretch.h"

namespace velmora {
namespace {

// A bottom-up source whose pixel value names its column (low bits) or row.
std::vector<std::uint8_t> Source(int w, int h, std::size_t stride, bool byColumn) {
    std::vector<std::uint8_t> s(stride * static_cast<std::size_t>(h), 0xEE);
    for (int memRow = 0; memRow < h; ++memRow)
        for (int x = 0; x < w; ++x)
            s[memRow * stride + x] = static_cast<std::uint8_t>(byColumn ? x % 251 : (h - 1 - memRow) % 251);
    return s;
}

// Runs of equal values along a line, as (value, length).
std::vector<std::pair<int, int>> Runs(const std::uint8_t* p, int n, std::ptrdiff_t step) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < n; ++i) {
        const int v = p[i * step];
        if (!runs.empty() && runs.back().first == v)
            ++runs.back().second;
        else
            runs.emplace_back(v, 1);
    }
    return runs;
}

TEST(Stretch, DoublingRepeatsEveryColumnTwice) {
    const auto src = Source(300, 300, 300, true);
    std::vector<std::uint8_t> dst(600 * 450);
    StretchBottomUp(src.data(), 300, 300, 300, dst.data(), 600, 600, 450);
    const auto runs = Runs(dst.data(), 600, 1);
    ASSERT_EQ(runs.size(), 300u);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(runs[i].first, i % 251);
        EXPECT_EQ(runs[i].second, 2);
    }
}

TEST(Stretch, OneAndAHalfTimesRepeatsWholeRowsOnceOrTwice) {
    const auto src = Source(300, 300, 300, false);
    std::vector<std::uint8_t> dst(600 * 450);
    StretchBottomUp(src.data(), 300, 300, 300, dst.data(), 600, 600, 450);
    const auto runs = Runs(dst.data(), 450, 600);
    ASSERT_EQ(runs.size(), 300u);  // every source row shows, none skipped
    int total = 0;
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(runs[i].first, i % 251) << "top-down order";
        EXPECT_TRUE(runs[i].second == 1 || runs[i].second == 2);
        total += runs[i].second;
    }
    EXPECT_EQ(total, 450);
}

TEST(Stretch, ShrinkingDropsWholeColumnsAndNeverBlends) {
    const auto src = Source(10, 1, 12, true);
    std::vector<std::uint8_t> dst(4);
    StretchBottomUp(src.data(), 12, 10, 1, dst.data(), 4, 4, 1);
    EXPECT_EQ(dst, (std::vector<std::uint8_t>{0, 2, 5, 7}));  // x * 10 / 4
}

TEST(Stretch, PaddingBytesAreNeverShown) {
    const auto src = Source(3, 2, 4, true);  // padding byte 0xEE in each row
    std::vector<std::uint8_t> dst(8 * 2);
    StretchBottomUp(src.data(), 4, 3, 2, dst.data(), 8, 8, 2);
    for (const std::uint8_t v : dst) EXPECT_NE(v, 0xEE);
}

TEST(Stretch, EmptySizesWriteNothing) {
    std::vector<std::uint8_t> dst(4, 9);
    const auto src = Source(2, 2, 4, true);
    StretchBottomUp(src.data(), 4, 2, 2, dst.data(), 4, 0, 1);
    StretchBottomUp(src.data(), 4, 0, 2, dst.data(), 4, 4, 1);
    StretchBottomUp(nullptr, 4, 2, 2, dst.data(), 4, 4, 1);
    EXPECT_EQ(dst, (std::vector<std::uint8_t>(4, 9)));
    EXPECT_EQ(NearestSource(5, 0, 10), 0);
}

}  // namespace
}  // namespace velmora

// The text stream under the .map and .pal readers, the number reader and the
// triple reader.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "palette/PaletteText.h"

using namespace velmora;
using namespace velmora::test;

namespace {

std::vector<int> AllNumbers(std::string_view text) {
    MemoryByteSource src(text);
    PaletteTextStream in(&src);
    std::vector<int> out;
    while (auto n = ReadPaletteNumber(in)) out.push_back(*n);
    return out;
}

TEST(PaletteTextStream, CrLfIsOneLineEndAndOtherBytesAreCharacters) {
    const struct { std::string_view text; std::vector<int> chars; } cases[] = {
        {"a\r\nb", {'a', '\n', 'b'}}, {"a\rb", {'a', '\r', 'b'}}, {"\r\r\n\n", {'\r', '\n', '\n'}},
        {"x\r", {'x', '\r'}}, {"\xff\x80", {0xFF, 0x80}}};
    for (const auto& c : cases) {
        MemoryByteSource src(c.text);
        PaletteTextStream in(&src);
        std::vector<int> got;
        for (int ch = in.Get(); ch != PaletteTextStream::kEnd; ch = in.Get()) got.push_back(ch);
        EXPECT_EQ(got, c.chars) << c.text;
    }
    MemoryByteSource src(std::string_view("\r\n7"));
    PaletteTextStream in(&src);
    EXPECT_FALSE(in.AtEnd());  // peeks without losing a character
    EXPECT_EQ(in.Get(), '\n');
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.Get(), '7');
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.Get(), PaletteTextStream::kEnd);
    EXPECT_EQ(in.Last(), PaletteTextStream::kEnd);
}

TEST(PaletteTextStream, ReadErrorOrNoFileEndsTheText) {
    MemoryByteSource src(std::string_view("12 34 56"), 4);
    PaletteTextStream in(&src);
    EXPECT_EQ(ReadPaletteNumber(in), 12);
    EXPECT_EQ(ReadPaletteNumber(in), 3);
    EXPECT_EQ(ReadPaletteNumber(in), std::nullopt);
    EXPECT_TRUE(src.Failed());
    PaletteTextStream closed(nullptr);
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(ReadPaletteNumber(closed), std::nullopt);
    Palette p = PatternPalette();
    EXPECT_FALSE(ReadPaletteTriples(closed, p));
    EXPECT_EQ(p, PatternPalette());
}

// The number reader's rule written out again: anything but a digit separates,
// at most three digits make a number, and the character after them is lost.
std::vector<int> ReferenceNumbers(const std::string& raw) {
    std::string t;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\r' || i + 1 >= raw.size() || raw[i + 1] != '\n') t += raw[i];
    }
    std::vector<int> out;
    auto digit = [&](std::size_t k) { return k < t.size() && t[k] >= '0' && t[k] <= '9'; };
    for (std::size_t i = 0;;) {
        while (i < t.size() && !digit(i)) ++i;
        if (i >= t.size()) return out;
        int v = 0;
        for (int n = 0; n < 3 && digit(i); ++n) v = v * 10 + (t[i++] - '0');
        ++i;
        out.push_back(v);
    }
}

// Text made mostly of what palette files hold, with some of everything else.
std::string RandomText(std::mt19937& rng, std::size_t maxLen) {
    static const char kCommon[] = "0123456789   \t\r\n\n-+#;JASC-PAL";
    std::string s(std::uniform_int_distribution<std::size_t>(0, maxLen)(rng), '\0');
    for (char& c : s) c = rng() % 10 != 0 ? kCommon[rng() % (sizeof kCommon - 1)] : static_cast<char>(rng());
    return s;
}

TEST(ReadPaletteNumber, FollowsItsRule) {
    EXPECT_EQ(AllNumbers("+7,-8;x9"), (std::vector<int>{7, 8, 9}));  // signs only separate
    EXPECT_EQ(AllNumbers("created 06-25-1996"), (std::vector<int>{6, 25, 199}));
    EXPECT_EQ(AllNumbers("123456789 1000 0 0"), (std::vector<int>{123, 567, 9, 100, 0, 0}));
    EXPECT_EQ(AllNumbers("no digits here\r\n"), std::vector<int>{});
    std::mt19937 rng(20261206);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(rng, 200);
        ASSERT_EQ(AllNumbers(text), ReferenceNumbers(text)) << "round " << round;
    }
}

TEST(ReadPaletteTriples, OneEntryPerLineReservedBytesNeverWritten) {
    std::string comments = "0 0 0   MAPGEN FRACTINT .MAP created 06-25-1996\n72 78 103   RGB cycles    5   14   14\r\n"
                           "73 45 85\tRGB max's    73  213  122\n";
    std::string blue255, split;
    for (int i = 3; i < 256; ++i) comments += "1 2 3\n";
    for (int i = 0; i < 256; ++i) blue255 += "1 2 255\n";  // the number reader eats the line end itself
    blue255.pop_back();
    for (int i = 0; i < 256; ++i) split += std::to_string(i) + "\r\n-" + std::to_string(i) + "\n\n7 \r\n";
    using E = std::pair<int, RgbQuad>;  // entry and colour (its reserved byte is never written)
    const struct { const char* name; std::string text; bool ok; std::vector<E> entries; std::vector<int> unchanged; } cases[] = {
        {"more lines than needed", MapText(256) + "9 9 9\n", true, {{0, {0, 255, 0}}, {255, {127, 0, 255}}}, {}},
        {"low eight bits", "300 0 0\n256 511 999\n" + MapText(254), true, {{0, {0, 0, 44}}, {1, {231, 255, 0}}}, {}},
        {"four digits lose the fourth", "1000 0 0\n" + MapText(255), true,
         {{0, {0, 0, 100}}, {1, {0, 255, 0}}, {255, {127, 1, 254}}}, {}},
        {"long run shifts within its line", "12345 6 7\n" + MapText(255), true, {{0, {6, 5, 123}}, {1, {0, 255, 0}}}, {}},
        {"comments after blue", comments, true, {{0, {0, 0, 0}}, {1, {103, 78, 72}}, {2, {85, 45, 73}}, {3, {3, 2, 1}}}, {}},
        {"blue of three digits", blue255, true, {{0, {255, 2, 1}}, {128, {255, 2, 1}}, {255, {255, 2, 1}}}, {}},
        {"a triple on several lines", split, true, {{5, {7, 5, 5}}, {255, {7, 255, 255}}}, {}},
        {"bare CR ends a line", MapText(256, "  old Mac comment 99\r"), true, {{200, {100, 55, 200}}}, {}},
        {"255 lines", MapText(255), false, {{254, {127, 1, 254}}, {255, {255, 255, 255}}}, {}},
        {"ends after a red", MapText(10) + "77", false, {{10, {255, 255, 77}}}, {11, 255}},
        {"empty", "", false, {}, {0, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Palette before = PatternPalette();
        Palette p = before;
        MemoryByteSource src(c.text);
        PaletteTextStream in(&src);
        EXPECT_EQ(ReadPaletteTriples(in, p), c.ok);
        for (const auto& [i, q] : c.entries) {
            EXPECT_EQ(p.Entry(i), (RgbQuad{q.blue, q.green, q.red, before.Entry(i).reserved})) << "entry " << i;
        }
        for (const int i : c.unchanged) EXPECT_EQ(p.Entry(i), before.Entry(i)) << "entry " << i;
        for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.Entry(i).reserved, before.Entry(i).reserved) << i;
    }
}

}  // namespace

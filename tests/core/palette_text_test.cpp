// The number reader, the triple reader and the text stream under them.
#include <gtest/gtest.h>

#include <optional>
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

std::vector<int> AllChars(std::string_view text) {
    MemoryByteSource src(text);
    PaletteTextStream in(&src);
    std::vector<int> out;
    for (int c = in.Get(); c != PaletteTextStream::kEnd; c = in.Get()) out.push_back(c);
    return out;
}

bool Triples(std::string_view text, Palette& p) {
    MemoryByteSource src(text);
    PaletteTextStream in(&src);
    return ReadPaletteTriples(in, p);
}

}  // namespace

TEST(PaletteTextStream, CrLfIsOneLineEndButLoneCrStays) {
    EXPECT_EQ(AllChars("a\r\nb"), (std::vector<int>{'a', '\n', 'b'}));
    EXPECT_EQ(AllChars("a\rb"), (std::vector<int>{'a', '\r', 'b'}));
    EXPECT_EQ(AllChars("\r\r\n\n"), (std::vector<int>{'\r', '\n', '\n'}));
    EXPECT_EQ(AllChars("x\r"), (std::vector<int>{'x', '\r'}));
    // Bytes above 127 are characters, not the end of the text.
    EXPECT_EQ(AllChars("\xff\x80"), (std::vector<int>{0xFF, 0x80}));
}

TEST(PaletteTextStream, AtEndPeeksWithoutLosingACharacter) {
    MemoryByteSource src(std::string_view("\r\n7"));
    PaletteTextStream in(&src);
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.Get(), '\n');
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.Get(), '7');
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.Get(), PaletteTextStream::kEnd);
    EXPECT_EQ(in.Last(), PaletteTextStream::kEnd);
}

TEST(PaletteTextStream, ReadErrorEndsTheText) {
    MemoryByteSource src(std::string_view("12 34 56"), 4);
    PaletteTextStream in(&src);
    EXPECT_EQ(ReadPaletteNumber(in), 12);
    EXPECT_EQ(ReadPaletteNumber(in), 3);
    EXPECT_EQ(ReadPaletteNumber(in), std::nullopt);
    EXPECT_TRUE(src.Failed());
}

TEST(ReadPaletteNumber, SignsAndOtherCharactersOnlySeparate) {
    EXPECT_EQ(AllNumbers("-5"), (std::vector<int>{5}));
    EXPECT_EQ(AllNumbers("+7,-8;x9"), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(AllNumbers("1.5"), (std::vector<int>{1, 5}));
    EXPECT_EQ(AllNumbers("created 06-25-1996"), (std::vector<int>{6, 25, 199}));
}

TEST(ReadPaletteNumber, AtMostThreeDigitsAndTheNextCharacterIsLost) {
    EXPECT_EQ(AllNumbers("12345"), (std::vector<int>{123, 5}));
    EXPECT_EQ(AllNumbers("1000 0 0"), (std::vector<int>{100, 0, 0}));
    EXPECT_EQ(AllNumbers("123456789"), (std::vector<int>{123, 567, 9}));
    EXPECT_EQ(AllNumbers("999"), (std::vector<int>{999}));
    EXPECT_EQ(AllNumbers("007"), (std::vector<int>{7}));
    EXPECT_EQ(AllNumbers("0000"), (std::vector<int>{0}));
    // Shorter numbers lose only their separator.
    EXPECT_EQ(AllNumbers("12,34"), (std::vector<int>{12, 34}));
}

TEST(ReadPaletteNumber, NoneWhenTheTextEndsOrIsNotOpen) {
    EXPECT_EQ(AllNumbers(""), std::vector<int>{});
    EXPECT_EQ(AllNumbers("no digits here\r\n"), std::vector<int>{});
    PaletteTextStream closed(nullptr);
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(ReadPaletteNumber(closed), std::nullopt);
}

TEST(ReadPaletteTriples, ReadsTwoHundredFiftySixLinesAndIgnoresTheRest) {
    Palette p = PatternPalette();
    const Palette before = p;
    EXPECT_TRUE(Triples(MapText(256) + "9 9 9\n8 8 8\n", p));
    ExpectMapColours(p);
    for (std::size_t i = 0; i < Palette::kEntries; ++i)
        EXPECT_EQ(p.Entry(i).reserved, before.Entry(i).reserved) << "reserved bytes are never written";
}

TEST(ReadPaletteTriples, ValuesAreStoredAsTheirLowEightBits) {
    Palette p;
    EXPECT_TRUE(Triples("300 0 0\n256 511 999\n" + MapText(254), p));
    EXPECT_EQ(p.Entry(0), (RgbQuad{0, 0, 44, 0}));
    EXPECT_EQ(p.Entry(1), (RgbQuad{231, 255, 0, 0}));
}

TEST(ReadPaletteTriples, FourDigitsLoseTheFourth) {
    Palette p;
    EXPECT_TRUE(Triples("1000 0 0\n" + MapText(255), p));
    EXPECT_EQ(p.Entry(0), (RgbQuad{0, 0, 100, 0}));
    // The next line is the next entry: nothing shifted.
    EXPECT_EQ(p.Entry(1), (RgbQuad{0, 255, 0, 0}));
    EXPECT_EQ(p.Entry(255), (RgbQuad{127, 1, 254, 0}));
}

TEST(ReadPaletteTriples, LongDigitRunShiftsOnlyWithinItsLine) {
    Palette p;
    EXPECT_TRUE(Triples("12345 6 7\n" + MapText(255), p));
    // 123, then 5 (the 4 is lost), then 6; the 7 is the rest of the line.
    EXPECT_EQ(p.Entry(0), (RgbQuad{6, 5, 123, 0}));
    EXPECT_EQ(p.Entry(1), (RgbQuad{0, 255, 0, 0}));
}

TEST(ReadPaletteTriples, CommentsAfterTheBlueNumberAreSkipped) {
    Palette p;
    std::string text = "0 0 0   MAPGEN FRACTINT .MAP created 06-25-1996\n"
                       "72 78 103   RGB cycles    5   14   14\r\n"
                       "73 45 85\tRGB max's    73  213  122\n";
    for (int i = 3; i < 256; ++i) text += "1 2 3\n";
    EXPECT_TRUE(Triples(text, p));
    EXPECT_EQ(p.Entry(0), (RgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(p.Entry(1), (RgbQuad{103, 78, 72, 0}));
    EXPECT_EQ(p.Entry(2), (RgbQuad{85, 45, 73, 0}));
    EXPECT_EQ(p.Entry(3), (RgbQuad{3, 2, 1, 0}));
}

TEST(ReadPaletteTriples, LineEndEatenByTheNumberReaderIsNotSkippedTwice) {
    // A three-digit blue consumes the line end itself; the next line must
    // still be the next entry. A blue at the very end of the text likewise.
    Palette p;
    std::string text;
    for (int i = 0; i < 256; ++i) text += "1 2 255\n";
    text.pop_back();
    EXPECT_TRUE(Triples(text, p));
    for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.Entry(i), (RgbQuad{255, 2, 1, 0})) << i;
}

TEST(ReadPaletteTriples, ATripleMayStandOnSeveralLines) {
    Palette p;
    std::string text;
    for (int i = 0; i < 256; ++i) text += std::to_string(i) + "\r\n-" + std::to_string(i) + "\n\n" + "7 \r\n";
    EXPECT_TRUE(Triples(text, p));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(p.Entry(static_cast<std::size_t>(i)),
                  (RgbQuad{7, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0}));
}

TEST(ReadPaletteTriples, BareCrEndsALineToo) {
    Palette p;
    EXPECT_TRUE(Triples(MapText(256, "  old Mac comment 99\r"), p));
    ExpectMapColours(p);
}

TEST(ReadPaletteTriples, TooFewTriplesFailAfterWritingInPlace) {
    Palette p = PatternPalette();
    const Palette before = p;
    EXPECT_FALSE(Triples(MapText(255), p));
    ExpectMapColours(p, 255);
    EXPECT_EQ(p.Entry(255), (RgbQuad{255, 255, 255, before.Entry(255).reserved}));

    // The text ending after a red number: green and blue are missing.
    p = before;
    EXPECT_FALSE(Triples(MapText(10) + "77", p));
    EXPECT_EQ(p.Entry(10), (RgbQuad{255, 255, 77, before.Entry(10).reserved}));
    EXPECT_EQ(p.Entry(11), before.Entry(11));
}

TEST(ReadPaletteTriples, EmptyOrClosedStreamWritesNothing) {
    Palette p = PatternPalette();
    const Palette before = p;
    EXPECT_FALSE(Triples("", p));
    PaletteTextStream closed(nullptr);
    EXPECT_FALSE(ReadPaletteTriples(closed, p));
    EXPECT_EQ(p, before);
}

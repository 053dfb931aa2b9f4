// Random input for the palette readers: bounded, with a fixed seed, so it runs
// as an ordinary test. Every input must be handled without a crash, and the
// readers' promises must hold whatever the bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "palette/PaletteText.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// Text made mostly of what palette files hold, with some of everything else.
std::string RandomText(std::mt19937& rng, std::size_t maxLen) {
    static const char kCommon[] = "0123456789   \t\r\n\n-+#;JASC-PAL";
    std::uniform_int_distribution<std::size_t> len(0, maxLen);
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_int_distribution<std::size_t> common(0, sizeof kCommon - 2);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s(len(rng), '\0');
    for (char& c : s) c = pick(rng) < 90 ? kCommon[common(rng)] : static_cast<char>(byte(rng));
    return s;
}

// The number reader's rule applied to an index into text whose CR LF pairs
// have already been made single line ends.
std::vector<int> ReferenceNumbers(const std::string& raw) {
    std::string t;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        t += raw[i];
    }
    std::vector<int> out;
    std::size_t i = 0;
    auto digit = [&](std::size_t k) { return k < t.size() && t[k] >= '0' && t[k] <= '9'; };
    for (;;) {
        while (i < t.size() && !digit(i)) ++i;
        if (i >= t.size()) return out;
        int v = 0;
        std::size_t n = 0;
        while (n < 3 && digit(i)) v = v * 10 + (t[i++] - '0'), ++n;
        ++i;  // the character after the last digit is lost
        out.push_back(v);
    }
}

}  // namespace

TEST(PaletteFuzz, NumberReaderMatchesItsRuleOnRandomText) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(rng, 200);
        MemoryByteSource src(text);
        PaletteTextStream in(&src);
        std::vector<int> got;
        while (auto n = ReadPaletteNumber(in)) {
            ASSERT_GE(*n, 0);
            ASSERT_LE(*n, 999);
            got.push_back(*n);
        }
        ASSERT_EQ(got, ReferenceNumbers(text)) << "round " << round;
    }
}

TEST(PaletteFuzz, TextReadersChangeColoursOnlyOnSuccess) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coin(0, 1);
    for (int round = 0; round < 1500; ++round) {
        // Half of the inputs are long enough to have a chance of loading.
        std::string text = RandomText(rng, coin(rng) ? 400 : 6000);
        if (coin(rng)) text = "JASC-PAL\r\n0100\r\n256\r\n" + text;
        for (int reader = 0; reader < 2; ++reader) {
            PaletteUi ui;
            MemoryByteSource src(text);
            PaletteTextStream in(&src);
            Palette p = PatternPalette(round);
            const Palette before = p;
            const PaletteLoadResult r =
                reader == 0 ? ReadFractIntMap(in, p, ui.ctx) : ReadJascPalette(in, p, ui.ctx);
            if (r == PaletteLoadResult::Loaded) {
                ASSERT_TRUE(ui.host.messages.empty());
                ASSERT_EQ(ui.rebuilds, 1);
                for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.Entry(i).reserved, before.Entry(i).reserved);
            } else {
                ASSERT_EQ(r, PaletteLoadResult::Refused);
                ASSERT_EQ(ui.host.messages.size(), 1u);
                ASSERT_EQ(ui.rebuilds, 0);
                ASSERT_EQ(p, before) << "round " << round << " reader " << reader;
            }
        }
    }
}

TEST(PaletteFuzz, RgbReaderOnRandomBytesAndReadErrors) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> len(0, 1200);
    std::uniform_int_distribution<int> coin(0, 2);
    for (int round = 0; round < 1500; ++round) {
        std::vector<std::uint8_t> bytes(len(rng));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(rng));
        const bool tagged = coin(rng) != 0;
        if (tagged && bytes.size() >= kRgbTagSize) std::memcpy(bytes.data(), kRgbTag, kRgbTagSize);
        const std::size_t failAfter = coin(rng) == 0 ? len(rng) : MemoryByteSource::kNever;
        PaletteUi ui;
        MemoryByteSource src(bytes, failAfter);
        Palette p = PatternPalette(round);
        const Palette before = p;
        const PaletteLoadResult r = ReadRgbPalette(src, p, ui.ctx);
        const std::size_t readable = std::min(bytes.size(), failAfter);
        if (readable < kRgbTagSize || !tagged) {
            ASSERT_NE(r, PaletteLoadResult::Loaded);
            ASSERT_EQ(p, before);
            continue;
        }
        // The bytes after the tag, as far as they could be read, replace the start.
        const std::size_t replaced = std::min(readable - kRgbTagSize, Palette::kBytes);
        ASSERT_EQ(std::memcmp(p.Bytes(), bytes.data() + kRgbTagSize, replaced), 0);
        ASSERT_EQ(std::memcmp(p.Bytes() + replaced, before.Bytes() + replaced, Palette::kBytes - replaced), 0);
        ASSERT_EQ(ui.rebuilds, 1);
        const bool cutByError = failAfter < bytes.size() && readable - kRgbTagSize < Palette::kBytes;
        ASSERT_EQ(r, cutByError ? PaletteLoadResult::ReadError : PaletteLoadResult::Loaded) << round;
    }
}

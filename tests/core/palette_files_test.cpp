// The palette readers and the .rgb writer on real files, in memory and on
// random input.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "TempDir.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteConvert.h"
#include "palette/PaletteDialogText.h"
#include "palette/PaletteFiles.h"

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string JascText(int colours, const std::string& count = "256") {
    return "JASC-PAL\r\n0100\r\n" + count + "\r\n" + MapText(colours, "\r\n");
}

std::vector<std::uint8_t> RgbBytes(const Palette& p, std::size_t keep = kRgbFileSize) {
    std::vector<std::uint8_t> b = RgbPaletteFileBytes(p);
    b.resize(keep);
    return b;
}

TEST(ChooseReader, OnlyTheLastThreeCharactersCountInAnyCase) {
    using R = PaletteReader;
    for (const auto& [path, reader] : {std::pair{"/a/b/c.map", R::FractIntMap}, {"C.MAP", R::FractIntMap},
                                       {"bitmap", R::FractIntMap}, {"x.Pal", R::Jasc}, {"x.pAL", R::Jasc},
                                       {"x.rgb", R::Rgb}, {"x.txt", R::Rgb}, {"x.map.rgb", R::Rgb}, {"ap", R::Rgb}, {"", R::Rgb}})
        EXPECT_EQ(ChooseReader(path), reader) << path;
}

TEST(RgbPalette, SaveReplacesAFileAndLoadGivesTheColoursWithReservedCleared) {
    TempDir dir;
    PaletteUi ui;
    const Palette original = PatternPalette(1);
    const std::string path = dir.File("p.rgb");
    WriteBytes(path, std::vector<std::uint8_t>(5000, 0xAB));
    ASSERT_TRUE(SavePaletteToPath(path, original, ui.ctx));
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 1036u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RGBQUAD[255]", 12), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 12, original.Bytes(), 1024), 0) << "reserved bytes saved as held";
    Palette loaded = DefaultPalette();
    Palette seenByRebuild;  // the grid's rebuild runs inside the reader, before Load clears the reserved bytes
    ui.ctx.rebuildAndRepaint = [&] { seenByRebuild = loaded, ++ui.rebuilds; };
    EXPECT_EQ(LoadPaletteFromPath(path, loaded, ui.ctx), PaletteLoadResult::Loaded);
    ui.ExpectNone();
    EXPECT_EQ(ui.rebuilds, 1);
    EXPECT_EQ(seenByRebuild, original);
    Palette expected = original;
    expected.ClearReserved();
    EXPECT_EQ(loaded, expected);
}

TEST(RgbPalette, ReadErrorsAfterTheTagKeepWhatWasRead) {
    PaletteUi ui;
    MemoryByteSource tagCut(RgbBytes(PatternPalette(7)), 6);
    Palette p = DefaultPalette();
    EXPECT_EQ(ReadRgbPalette(tagCut, p, ui.ctx), PaletteLoadResult::ReadError);
    ui.ExpectOnly(kMsgTagReadError, MsgIcon::Warning);
    EXPECT_EQ(p, DefaultPalette());
    EXPECT_EQ(ui.rebuilds, 0);
    PaletteUi ui2;
    MemoryByteSource entriesCut(RgbBytes(PatternPalette(8)), 12 + 100);
    EXPECT_EQ(ReadRgbPalette(entriesCut, p, ui2.ctx), PaletteLoadResult::ReadError);
    ui2.ExpectOnly(kMsgEntriesReadError, MsgIcon::Warning);
    EXPECT_EQ(ui2.rebuilds, 1);
    EXPECT_EQ(std::memcmp(p.Bytes(), PatternPalette(8).Bytes(), 100), 0);
    EXPECT_EQ(std::memcmp(p.Bytes() + 100, DefaultPalette().Bytes() + 100, 924), 0);
}

TEST(RgbPalette, SaveIntoAMissingFolderIsReported) {
    TempDir dir;
    PaletteUi ui;
    const std::string path = dir.File("no/such/folder/p.rgb");
    EXPECT_FALSE(SavePaletteToPath(path, DefaultPalette(), ui.ctx));
    ui.ExpectOnly(path + " was not found.", MsgIcon::Error);
}

TEST(PaletteLoad, FailuresKeepTheColoursAndShowTheReadersMessage) {
    TempDir dir;
    fs::create_directory(dir.File("folder.rgb"));
    fs::create_directory(dir.File("folder.map"));
    fs::create_directory(dir.File("folder.pal"));
    for (const char* pipe : {"pipe.rgb", "pipe.map", "pipe.pal"})  // a pipe may never end: not a palette file
        ASSERT_EQ(::mkfifo(dir.File(pipe).c_str(), 0600), 0);
    std::vector<std::uint8_t> lowerTag = RgbBytes(PatternPalette(3));
    std::memcpy(lowerTag.data(), "rgbquad[255]", 12);
    WriteBytes(dir.File("lower.rgb"), lowerTag);
    WriteBytes(dir.File("short-tag.rgb"), RgbBytes(PatternPalette(3), 11));
    WriteBytes(dir.File("empty.rgb"), {});
    WriteBytes(dir.File("zeros.rgb"), std::vector<std::uint8_t>(1036, 0));
    WriteText(dir.File("short.map"), MapText(255));
    WriteText(dir.File("no-digits.map"), "no digits at all\n");
    WriteText(dir.File("few.pal"), JascText(200));
    WriteText(dir.File("sixteen.pal"), JascText(256, "16"));
    WriteText(dir.File("lf255.pal"), "JASC-PAL\n0100\n255\n" + MapText(256));
    WriteText(dir.File("tiny.pal"), "JASC-PAL\r\n0100\r\n25");  // fewer than 17 characters
    WriteText(dir.File("empty.pal"), "");
    const std::string unexpected = "An unexpected error occurred while reading ";
    const struct { const char* file; PaletteLoadResult result; std::string message; } cases[] = {
        {"missing.rgb", PaletteLoadResult::NotOpened, dir.File("missing.rgb") + " was not found."},
        {"folder.rgb", PaletteLoadResult::NotOpened, dir.File("folder.rgb") + " contains an invalid path."},
        {"pipe.rgb", PaletteLoadResult::NotOpened, unexpected + dir.File("pipe.rgb") + "."},
        {"lower.rgb", PaletteLoadResult::Refused, kMsgBadRgb},
        {"short-tag.rgb", PaletteLoadResult::Refused, kMsgBadRgb},
        {"empty.rgb", PaletteLoadResult::Refused, kMsgBadRgb},
        {"zeros.rgb", PaletteLoadResult::Refused, kMsgBadRgb},
        {"missing.map", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"folder.map", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"pipe.map", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"short.map", PaletteLoadResult::Refused, kMsgBadMap},
        {"no-digits.map", PaletteLoadResult::Refused, kMsgBadMap},
        {"missing.Pal", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"folder.pal", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"pipe.pal", PaletteLoadResult::NotOpened, kMsgCouldNotOpenFile},
        {"few.pal", PaletteLoadResult::Refused, kMsgBadJasc},
        {"sixteen.pal", PaletteLoadResult::Refused, kMsgBadJasc},
        {"lf255.pal", PaletteLoadResult::Refused, kMsgBadJasc},
        {"tiny.pal", PaletteLoadResult::Refused, kMsgBadJasc},
        {"empty.pal", PaletteLoadResult::Refused, kMsgBadJasc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        PaletteUi ui;
        Palette p = PatternPalette(9);
        Palette expected = p;
        // Load clears the reserved bytes after every attempt, except an .rgb file it could not open.
        if (!(c.result == PaletteLoadResult::NotOpened && ChooseReader(c.file) == PaletteReader::Rgb))
            expected.ClearReserved();
        EXPECT_EQ(LoadPaletteFromPath(dir.File(c.file), p, ui.ctx), c.result);
        ui.ExpectOnly(c.message, MsgIcon::Error);
        EXPECT_EQ(p, expected);
        EXPECT_EQ(ui.rebuilds, 0);
        EXPECT_EQ(fs::exists(dir.File(c.file)), std::string(c.file).rfind("missing", 0) != 0);  // nothing created
    }
}

TEST(JascPalette, OnlyTheCountAtCharacters15To17IsChecked) {
    PaletteUi ui;
    MemoryByteSource src(std::string("ABCDEFGH\r\n9999\r\n256") + "\n" + MapText(256));  // any first lines will do
    PaletteTextStream in(&src);
    Palette p;
    EXPECT_EQ(ReadJascPalette(in, p, ui.ctx), PaletteLoadResult::Loaded);
    ExpectMapColours(p);
    // The triples start right after the 17th character: in "2567" the 7 is the first red.
    MemoryByteSource src2(std::string("JASC-PAL\n0100\n2567 0 0\n") + MapText(255));
    PaletteTextStream in2(&src2);
    EXPECT_EQ(ReadJascPalette(in2, p, ui.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(p.Entry(0), (RgbQuad{0, 0, 7, 0}));
}

// An independent reading of a palette file: skip the JASC header, then the
// first three whole numbers of each of the first 256 lines.
Palette ExpectedFromLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int skip = path.extension() == ".pal" ? 3 : 0;
    Palette p;
    std::size_t entry = 0;
    while (entry < 256 && std::getline(in, line)) {
        if (skip-- > 0) continue;
        std::istringstream fields(line);
        int r = -1, g = -1, b = -1;
        fields >> r >> g >> b;
        EXPECT_TRUE(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) << entry << ": " << line;
        p.SetEntry(entry++, RgbQuad{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0});
    }
    EXPECT_EQ(entry, 256u) << path;
    return p;
}

std::vector<fs::path> FilesIn(const std::string& sub) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_TESTDATA_DIR) / sub))
        if (e.is_regular_file()) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(RealPaletteFiles, EveryAcceptedFileLoadsWithTheColoursOfItsLines) {
    const std::vector<fs::path> files = FilesIn("palettes");
    ASSERT_GE(files.size(), 19u);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        PaletteUi ui;
        Palette p = PatternPalette(16);
        EXPECT_EQ(LoadPaletteFromPath(f.string(), p, ui.ctx), PaletteLoadResult::Loaded);
        ui.ExpectNone();
        EXPECT_EQ(ui.rebuilds, 1);
        EXPECT_EQ(p, ExpectedFromLines(f));  // reserved bytes cleared too
    }
}

TEST(RealPaletteFiles, EveryRejectedFileIsRefusedWithItsReadersMessage) {
    const std::vector<fs::path> files = FilesIn("palettes-rejected");
    ASSERT_GE(files.size(), 5u);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        PaletteUi ui;
        Palette p = PatternPalette(17);
        Palette expected = p;
        expected.ClearReserved();
        EXPECT_EQ(LoadPaletteFromPath(f.string(), p, ui.ctx), PaletteLoadResult::Refused);
        ui.ExpectOnly(f.extension() == ".pal" ? kMsgBadJasc : kMsgBadMap, MsgIcon::Error);
        EXPECT_EQ(p, expected);
    }
}

TEST(PaletteFuzz, TextReadersChangeColoursOnlyOnSuccess) {
    std::mt19937 rng(7);
    const std::string common = "0123456789   \t\r\n\n-+#;JASC-PAL";
    for (int round = 0; round < 1500; ++round) {
        // Half of the inputs are long enough to have a chance of loading.
        std::string text(rng() % (rng() % 2 ? 400 : 6000), '\0');
        for (char& c : text) c = rng() % 10 != 0 ? common[rng() % common.size()] : static_cast<char>(rng());
        if (rng() % 2) text = "JASC-PAL\r\n0100\r\n256\r\n" + text;
        for (int reader = 0; reader < 2; ++reader) {
            SCOPED_TRACE("round " + std::to_string(round) + " reader " + std::to_string(reader));
            PaletteUi ui;
            MemoryByteSource src(text);
            PaletteTextStream in(&src);
            Palette p = PatternPalette(round);
            const Palette before = p;
            const PaletteLoadResult r = reader == 0 ? ReadFractIntMap(in, p, ui.ctx) : ReadJascPalette(in, p, ui.ctx);
            ASSERT_EQ(ui.rebuilds, r == PaletteLoadResult::Loaded ? 1 : 0);
            ASSERT_EQ(ui.host.messages.size(), r == PaletteLoadResult::Loaded ? 0u : 1u);
            if (r != PaletteLoadResult::Loaded) {
                ASSERT_EQ(r, PaletteLoadResult::Refused);
                ASSERT_EQ(p, before);
            }
            for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.Entry(i).reserved, before.Entry(i).reserved);
        }
    }
}

TEST(PaletteFuzz, RgbReaderReplacesWhatItCouldReadAfterTheTag) {
    std::mt19937 rng(99);
    for (int round = 0; round < 1500; ++round) {
        std::vector<std::uint8_t> bytes(rng() % 1201);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        const bool tagged = rng() % 3 != 0;
        if (tagged && bytes.size() >= kRgbTagSize) std::memcpy(bytes.data(), kRgbTag, kRgbTagSize);
        const std::size_t failAfter = rng() % 3 == 0 ? rng() % 1201 : MemoryByteSource::kNever;
        PaletteUi ui;
        MemoryByteSource src(bytes, failAfter);
        Palette p = PatternPalette(round);
        const Palette before = p;
        const PaletteLoadResult r = ReadRgbPalette(src, p, ui.ctx);
        const std::size_t readable = std::min(bytes.size(), failAfter);
        SCOPED_TRACE("round " + std::to_string(round));
        if (readable < kRgbTagSize || !tagged) {
            ASSERT_NE(r, PaletteLoadResult::Loaded);
            ASSERT_EQ(p, before);
            continue;
        }
        // Shorter and longer files alike: the bytes after the tag, as far as read, replace the start.
        const std::size_t replaced = std::min(readable - kRgbTagSize, Palette::kBytes);
        ASSERT_EQ(std::memcmp(p.Bytes(), bytes.data() + kRgbTagSize, replaced), 0);
        ASSERT_EQ(std::memcmp(p.Bytes() + replaced, before.Bytes() + replaced, Palette::kBytes - replaced), 0);
        ASSERT_EQ(ui.rebuilds, 1);
        const bool cutByError = failAfter < bytes.size() && readable - kRgbTagSize < Palette::kBytes;
        ASSERT_EQ(r, cutByError ? PaletteLoadResult::ReadError : PaletteLoadResult::Loaded);
    }
}

TEST(PaletteDialogText, FiltersAndDefaultExtension) {
    EXPECT_EQ(DialogFilterList(kPaletteLoadFilter),
              "Velmora Palette Files (*.rgb);;FractInt Palette Files (*.map);;"
              "Paint Shop Pro JASC Palette Files (*.pal);;All Files (*.*)");
    EXPECT_EQ(DialogFilterList(kPaletteSaveFilter), "Velmora Palette Files (*.rgb);;All Files (*.*)");
    EXPECT_EQ(DialogFilterList("Pictures|*.bmp||"), "Pictures (*.bmp)");
    EXPECT_EQ(DialogFilterList("dangling"), "");
    for (const auto& [in, out] : {std::pair{"/tmp/a", "/tmp/a.rgb"}, {"/tmp/a.map", "/tmp/a.map"},
                                  {"/tmp/a.b/c", "/tmp/a.b/c.rgb"}, {"/tmp/.hidden", "/tmp/.hidden.rgb"},
                                  {"/tmp/", "/tmp/"}, {"", ""}})
        EXPECT_EQ(WithDefaultExtension(in, "rgb"), out) << in;
}

TEST(ConvertPaletteFile, LoadsLikeTheEditorAndWritesNothingOnFailure) {
    TempDir dir;
    FakeHost host;
    const std::string data = VELMORA_TESTDATA_DIR;
    ASSERT_TRUE(ConvertPaletteFile(data + "/palettes/Skydye05.map", dir.File("out.rgb"), host));
    EXPECT_EQ(ReadBytes(dir.File("out.rgb")), RgbPaletteFileBytes(ExpectedFromLines(data + "/palettes/Skydye05.map")));
    // A short .rgb keeps the default palette's colours beyond what it holds.
    WriteBytes(dir.File("short.rgb"), RgbBytes(PatternPalette(3), 12 + 40));
    ASSERT_TRUE(ConvertPaletteFile(dir.File("short.rgb"), dir.File("out2.rgb"), host));
    Palette back;
    std::memcpy(back.Bytes(), ReadBytes(dir.File("out2.rgb")).data() + kRgbTagSize, Palette::kBytes);
    EXPECT_EQ(back.Entry(9).red, PatternPalette(3).Entry(9).red);
    EXPECT_EQ(back.Entry(10), DefaultPalette().Entry(10));
    for (const auto& [in, message] : {std::pair<std::string, std::string>{data + "/palettes-rejected/froth316.map", kMsgBadMap},
                                      {dir.File("missing.rgb"), dir.File("missing.rgb") + " was not found."}}) {
        FakeHost h;
        h.allowMessages = true;
        EXPECT_FALSE(ConvertPaletteFile(in, dir.File("out3.rgb"), h)) << in;
        EXPECT_EQ(h.LastText(), message);
        EXPECT_FALSE(fs::exists(dir.File("out3.rgb"))) << in;
    }
}

}  // namespace

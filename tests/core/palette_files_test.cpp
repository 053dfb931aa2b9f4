// The palette readers and the .rgb writer on real files and in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
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

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string JascText(int colours, const std::string& eol = "\r\n", const std::string& first = "JASC-PAL",
                     const std::string& count = "256") {
    return first + eol + "0100" + eol + count + eol + MapText(colours, eol);
}

std::vector<std::uint8_t> RgbBytes(const Palette& p, std::size_t keep = kRgbFileSize) {
    std::vector<std::uint8_t> b = RgbPaletteFileBytes(p);
    b.resize(keep);
    return b;
}

}  // namespace

// ---- choice of reader ------------------------------------------------------

TEST(ChooseReader, OnlyTheLastThreeCharactersCountInAnyCase) {
    EXPECT_EQ(ChooseReader("/a/b/c.map"), PaletteReader::FractIntMap);
    EXPECT_EQ(ChooseReader("C.MAP"), PaletteReader::FractIntMap);
    EXPECT_EQ(ChooseReader("x.Pal"), PaletteReader::Jasc);
    EXPECT_EQ(ChooseReader("x.pAL"), PaletteReader::Jasc);
    EXPECT_EQ(ChooseReader("bitmap"), PaletteReader::FractIntMap);  // no dot needed
    EXPECT_EQ(ChooseReader("x.rgb"), PaletteReader::Rgb);
    EXPECT_EQ(ChooseReader("x.txt"), PaletteReader::Rgb);
    EXPECT_EQ(ChooseReader("noext"), PaletteReader::Rgb);
    EXPECT_EQ(ChooseReader("x.map.rgb"), PaletteReader::Rgb);
    EXPECT_EQ(ChooseReader("ap"), PaletteReader::Rgb);
    EXPECT_EQ(ChooseReader(""), PaletteReader::Rgb);
}

// ---- .rgb ------------------------------------------------------------------

TEST(RgbPalette, SaveThenLoadGivesTheSameColoursWithReservedCleared) {
    TempDir dir;
    PaletteUi ui;
    const Palette original = PatternPalette(1);
    const std::string path = dir.File("p.rgb");
    ASSERT_TRUE(SavePaletteToPath(path, original, ui.ctx));
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 1036u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RGBQUAD[255]", 12), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 12, original.Bytes(), 1024), 0) << "reserved bytes saved as held";

    Palette loaded = DefaultPalette();
    EXPECT_EQ(LoadPaletteFromPath(path, loaded, ui.ctx), PaletteLoadResult::Loaded);
    ui.ExpectNone();
    EXPECT_EQ(ui.rebuilds, 1);
    Palette expected = original;
    expected.ClearReserved();
    EXPECT_EQ(loaded, expected);
}

TEST(RgbPalette, ReaderItselfKeepsTheFilesReservedBytesForTheRebuild) {
    // The grid's rebuild runs inside the reader, before Load clears them.
    TempDir dir;
    PaletteUi ui;
    const Palette original = PatternPalette(2);
    WriteBytes(dir.File("r.rgb"), RgbBytes(original));
    Palette p;
    Palette seenByRebuild;
    ui.ctx.rebuildAndRepaint = [&] { seenByRebuild = p; };
    EXPECT_EQ(ReadRgbPalette(dir.File("r.rgb"), p, ui.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(seenByRebuild, original);
}

TEST(RgbPalette, SavingOverAnExistingFileReplacesIt) {
    TempDir dir;
    PaletteUi ui;
    const std::string path = dir.File("old.rgb");
    WriteBytes(path, std::vector<std::uint8_t>(5000, 0xAB));
    ASSERT_TRUE(SavePaletteToPath(path, DefaultPalette(), ui.ctx));
    ui.ExpectNone();
    EXPECT_EQ(ReadBytes(path), RgbPaletteFileBytes(DefaultPalette()));
}

TEST(RgbPalette, WrongTagsAreRefusedAndChangeNothing) {
    TempDir dir;
    std::vector<std::uint8_t> lower = RgbBytes(PatternPalette(3));
    std::memcpy(lower.data(), "rgbquad[255]", 12);
    const std::vector<std::vector<std::uint8_t>> files = {
        lower, RgbBytes(PatternPalette(3), 11), {}, std::vector<std::uint8_t>(1036, 0)};
    for (std::size_t k = 0; k < files.size(); ++k) {
        PaletteUi ui;
        const std::string path = dir.File("bad" + std::to_string(k) + ".rgb");
        WriteBytes(path, files[k]);
        Palette p = PatternPalette(4);
        const Palette before = p;
        EXPECT_EQ(ReadRgbPalette(path, p, ui.ctx), PaletteLoadResult::Refused) << k;
        ui.ExpectOnly("This is not a valid Velmora palette file", MsgIcon::Error);
        EXPECT_EQ(p, before);
        EXPECT_EQ(ui.rebuilds, 0);
    }
}

TEST(RgbPalette, ShortFileReplacesOnlyTheBytesItHolds) {
    TempDir dir;
    PaletteUi ui;
    const Palette file = PatternPalette(5);
    WriteBytes(dir.File("short.rgb"), RgbBytes(file, 500));
    Palette p = DefaultPalette();
    EXPECT_EQ(LoadPaletteFromPath(dir.File("short.rgb"), p, ui.ctx), PaletteLoadResult::Loaded);
    ui.ExpectNone();
    EXPECT_EQ(ui.rebuilds, 1);
    for (std::size_t i = 0; i < 256; ++i) {
        RgbQuad expected = i < 122 ? file.Entry(i) : DefaultPalette().Entry(i);
        expected.reserved = 0;
        ASSERT_EQ(p.Entry(i), expected) << "entry " << i;
    }
    // A file that ends inside an entry replaces that entry's first bytes only.
    p = DefaultPalette();
    WriteBytes(dir.File("odd.rgb"), RgbBytes(file, 12 + 5));
    EXPECT_EQ(ReadRgbPalette(dir.File("odd.rgb"), p, ui.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(p.Entry(1), (RgbQuad{file.Bytes()[4], DefaultPalette().Entry(1).green, DefaultPalette().Entry(1).red, 0}));
}

TEST(RgbPalette, LongerFileUsesTheFirst1024BytesAfterTheTag) {
    TempDir dir;
    PaletteUi ui;
    std::vector<std::uint8_t> bytes = RgbBytes(PatternPalette(6));
    bytes.resize(3000, 0xEE);
    WriteBytes(dir.File("long.rgb"), bytes);
    Palette p;
    EXPECT_EQ(ReadRgbPalette(dir.File("long.rgb"), p, ui.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(p, PatternPalette(6));
}

TEST(RgbPalette, ReadErrorInTheTagChangesNothing) {
    PaletteUi ui;
    MemoryByteSource src(RgbBytes(PatternPalette(7)), 6);
    Palette p = DefaultPalette();
    EXPECT_EQ(ReadRgbPalette(src, p, ui.ctx), PaletteLoadResult::ReadError);
    ui.ExpectOnly("Could not read data.", MsgIcon::Warning);
    EXPECT_EQ(p, DefaultPalette());
    EXPECT_EQ(ui.rebuilds, 0);
}

TEST(RgbPalette, ReadErrorInTheEntriesKeepsWhatWasReadAndRepaints) {
    PaletteUi ui;
    const Palette file = PatternPalette(8);
    MemoryByteSource src(RgbBytes(file), 12 + 100);
    Palette p = DefaultPalette();
    EXPECT_EQ(ReadRgbPalette(src, p, ui.ctx), PaletteLoadResult::ReadError);
    ui.ExpectOnly("Could not read data", MsgIcon::Warning);
    EXPECT_EQ(ui.rebuilds, 1);
    EXPECT_EQ(std::memcmp(p.Bytes(), file.Bytes(), 100), 0);
    EXPECT_EQ(std::memcmp(p.Bytes() + 100, DefaultPalette().Bytes() + 100, 924), 0);
}

TEST(RgbPalette, MissingFileIsAFileErrorAndKeepsEvenReservedBytes) {
    TempDir dir;
    PaletteUi ui;
    const std::string path = dir.File("missing.txt");
    Palette p = PatternPalette(9);
    const Palette before = p;
    EXPECT_EQ(LoadPaletteFromPath(path, p, ui.ctx), PaletteLoadResult::NotOpened);
    ui.ExpectOnly(path + " was not found.", MsgIcon::Error);
    EXPECT_EQ(p, before);
    EXPECT_FALSE(fs::exists(path));
}

TEST(RgbPalette, FolderIsAFileErrorNotAReadError) {
    TempDir dir;
    PaletteUi ui;
    Palette p = PatternPalette(9);
    EXPECT_EQ(ReadRgbPalette(dir.Path().string(), p, ui.ctx), PaletteLoadResult::NotOpened);
    ASSERT_EQ(ui.host.messages.size(), 1u);
    EXPECT_NE(ui.host.messages[0].text.find(dir.Path().string()), std::string::npos);
    EXPECT_EQ(ui.host.messages[0].icon, MsgIcon::Error);
}

TEST(RgbPalette, SaveFailures) {
    TempDir dir;
    {
        PaletteUi ui;
        const std::string path = dir.File("no/such/folder/p.rgb");
        EXPECT_FALSE(SavePaletteToPath(path, DefaultPalette(), ui.ctx));
        ui.ExpectOnly(path + " was not found.", MsgIcon::Error);
    }
    if (fs::exists("/dev/full")) {
        // A device that is always full: the write, not the create, fails.
        PaletteUi ui;
        EXPECT_FALSE(SavePaletteToPath("/dev/full", DefaultPalette(), ui.ctx));
        ui.ExpectOnly("Could not write data. Probable cause: Disk full.", MsgIcon::Warning);
    }
}

// ---- FractInt .map -----------------------------------------------------------

TEST(FractIntMap, LoadsAllEntriesAndClearsReserved) {
    TempDir dir;
    PaletteUi ui;
    WriteText(dir.File("a.MAP"), MapText(256, "\r\n") + "1 1 1\n");
    Palette p = PatternPalette(10);
    EXPECT_EQ(LoadPaletteFromPath(dir.File("a.MAP"), p, ui.ctx), PaletteLoadResult::Loaded);
    ui.ExpectNone();
    EXPECT_EQ(ui.rebuilds, 1);
    ExpectMapColours(p);
    for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.Entry(i).reserved, 0);
}

TEST(FractIntMap, TooFewLinesRefusedAndColoursKept) {
    TempDir dir;
    PaletteUi ui;
    WriteText(dir.File("short.map"), MapText(255));
    Palette p = PatternPalette(11);
    const Palette before = p;
    EXPECT_EQ(LoadPaletteFromPath(dir.File("short.map"), p, ui.ctx), PaletteLoadResult::Refused);
    ui.ExpectOnly("Conversion failed - this is not a valid FractInt .MAP file.", MsgIcon::Error);
    EXPECT_EQ(ui.rebuilds, 0);
    // Only the reserved bytes differ: Load clears them after every attempt.
    Palette expected = before;
    expected.ClearReserved();
    EXPECT_EQ(p, expected);
}

TEST(FractIntMap, MissingFileIsNotCreated) {
    TempDir dir;
    PaletteUi ui;
    const std::string path = dir.File("nothing.map");
    Palette p = PatternPalette(12);
    const Palette before = p;
    EXPECT_EQ(LoadPaletteFromPath(path, p, ui.ctx), PaletteLoadResult::NotOpened);
    ui.ExpectOnly("Could not open file.", MsgIcon::Error);
    EXPECT_FALSE(fs::exists(path));
    Palette expected = before;
    expected.ClearReserved();
    EXPECT_EQ(p, expected);
}

TEST(FractIntMap, FolderCannotBeOpened) {
    TempDir dir;
    PaletteUi ui;
    fs::create_directory(dir.File("folder.map"));
    Palette p;
    EXPECT_EQ(ReadFractIntMap(dir.File("folder.map"), p, ui.ctx), PaletteLoadResult::NotOpened);
    ui.ExpectOnly("Could not open file.", MsgIcon::Error);
}

TEST(FractIntMap, EndlessDeviceIsNotOpened) {
    // /dev/zero never ends and holds no digit: reading it would never stop.
    if (!fs::exists("/dev/zero")) GTEST_SKIP();
    PaletteUi ui;
    Palette p;
    EXPECT_EQ(ReadFractIntMap("/dev/zero", p, ui.ctx), PaletteLoadResult::NotOpened);
    ui.ExpectOnly("Could not open file.", MsgIcon::Error);
    PaletteUi ui2;
    EXPECT_EQ(ReadRgbPalette("/dev/zero", p, ui2.ctx), PaletteLoadResult::NotOpened);
    ASSERT_EQ(ui2.host.messages.size(), 1u);
    EXPECT_NE(ui2.host.messages[0].text.find("/dev/zero"), std::string::npos);
}

// ---- JASC .pal ---------------------------------------------------------------

TEST(JascPalette, StandardHeaderWithEitherLineEndLoads) {
    TempDir dir;
    for (const std::string eol : {"\r\n", "\n"}) {
        PaletteUi ui;
        WriteText(dir.File("j.pal"), JascText(256, eol));
        Palette p = PatternPalette(13);
        EXPECT_EQ(LoadPaletteFromPath(dir.File("j.pal"), p, ui.ctx), PaletteLoadResult::Loaded);
        ui.ExpectNone();
        EXPECT_EQ(ui.rebuilds, 1);
        ExpectMapColours(p);
    }
}

TEST(JascPalette, OnlyTheCountAtCharacters15To17IsChecked) {
    PaletteUi ui;
    // Any first two lines of the right length will do.
    MemoryByteSource src(std::string("ABCDEFGH\r\n9999\r\n256") + "\n" + MapText(256));
    PaletteTextStream in(&src);
    Palette p;
    EXPECT_EQ(ReadJascPalette(in, p, ui.ctx), PaletteLoadResult::Loaded);
    ExpectMapColours(p);
    // The triples start right after the 17th character: "2567" would not be a count of 256
    // followed by a separator, the 7 is the first red.
    PaletteUi ui2;
    MemoryByteSource src2(std::string("JASC-PAL\n0100\n2567 0 0\n") + MapText(255));
    PaletteTextStream in2(&src2);
    EXPECT_EQ(ReadJascPalette(in2, p, ui2.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(p.Entry(0), (RgbQuad{0, 0, 7, 0}));
}

TEST(JascPalette, HeaderFaultsAreRefused) {
    const std::vector<std::string> texts = {
        JascText(256, "\r\n", "JASC-PAL ", "256"),  // trailing space moves the count
        JascText(256, "\r\n", "JASC-PAL", "16"),
        JascText(256, "\n", "JASC-PAL", "255"),
        "JASC-PAL\r\n0100\r\n25",  // fewer than 17 characters
        "",
    };
    for (std::size_t k = 0; k < texts.size(); ++k) {
        PaletteUi ui;
        MemoryByteSource src(texts[k]);
        PaletteTextStream in(&src);
        Palette p = PatternPalette(14);
        const Palette before = p;
        EXPECT_EQ(ReadJascPalette(in, p, ui.ctx), PaletteLoadResult::Refused) << k;
        ui.ExpectOnly("This is not a valid 256-colour JASC palette file", MsgIcon::Error);
        EXPECT_EQ(p, before) << k;
        EXPECT_EQ(ui.rebuilds, 0);
    }
}

TEST(JascPalette, TooFewColoursRefusedAndColoursKept) {
    TempDir dir;
    PaletteUi ui;
    WriteText(dir.File("few.pal"), JascText(200));
    Palette p = PatternPalette(15);
    const Palette before = p;
    EXPECT_EQ(LoadPaletteFromPath(dir.File("few.pal"), p, ui.ctx), PaletteLoadResult::Refused);
    ui.ExpectOnly("This is not a valid 256-colour JASC palette file", MsgIcon::Error);
    Palette expected = before;
    expected.ClearReserved();
    EXPECT_EQ(p, expected);
}

TEST(JascPalette, MissingFile) {
    TempDir dir;
    PaletteUi ui;
    Palette p;
    EXPECT_EQ(LoadPaletteFromPath(dir.File("gone.Pal"), p, ui.ctx), PaletteLoadResult::NotOpened);
    ui.ExpectOnly("Could not open file.", MsgIcon::Error);
    EXPECT_FALSE(fs::exists(dir.File("gone.Pal")));
}

// ---- real files from outside -------------------------------------------------

namespace {

// An independent reading of a palette file: skip the JASC header, then the
// first three whole numbers of each of the first 256 lines.
Palette ExpectedFromLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int skip = path.extension() == ".pal" ? 3 : 0;
    Palette p;
    std::size_t entry = 0;
    while (entry < 256 && std::getline(in, line)) {
        if (skip > 0) {
            --skip;
            continue;
        }
        std::istringstream fields(line);
        int r = -1, g = -1, b = -1;
        fields >> r >> g >> b;
        EXPECT_TRUE(r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255)
            << path << ": line for entry " << entry << ": " << line;
        p.SetEntry(entry++, RgbQuad{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                    static_cast<std::uint8_t>(r), 0});
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

}  // namespace

TEST(RealPaletteFiles, EveryAcceptedFileLoadsWithTheColoursOfItsLines) {
    const std::vector<fs::path> files = FilesIn("palettes");
    ASSERT_GE(files.size(), 19u);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        PaletteUi ui;
        Palette p = PatternPalette(16);
        EXPECT_EQ(LoadPaletteFromPath(f.string(), p, ui.ctx), PaletteLoadResult::Loaded);
        ui.ExpectNone();
        EXPECT_EQ(p, ExpectedFromLines(f));
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
        EXPECT_EQ(ui.rebuilds, 0);
    }
}

// ---- dialog texts ----------------------------------------------------------------

TEST(PaletteDialogText, FiltersKeepTheirTexts) {
    EXPECT_EQ(DialogFilterList(kPaletteLoadFilter),
              "Velmora Palette Files (*.rgb);;FractInt Palette Files (*.map);;"
              "Paint Shop Pro JASC Palette Files (*.pal);;All Files (*.*)");
    EXPECT_EQ(DialogFilterList(kPaletteSaveFilter), "Velmora Palette Files (*.rgb);;All Files (*.*)");
    EXPECT_EQ(DialogFilterList("Pictures|*.bmp||"), "Pictures (*.bmp)");
    EXPECT_EQ(DialogFilterList(""), "");
    EXPECT_EQ(DialogFilterList("dangling"), "");
}

TEST(PaletteDialogText, DefaultExtensionOnlyForNamesWithoutOne) {
    EXPECT_EQ(WithDefaultExtension("/tmp/a", "rgb"), "/tmp/a.rgb");
    EXPECT_EQ(WithDefaultExtension("/tmp/a.map", "rgb"), "/tmp/a.map");
    EXPECT_EQ(WithDefaultExtension("/tmp/a.b/c", "rgb"), "/tmp/a.b/c.rgb");
    EXPECT_EQ(WithDefaultExtension("/tmp/.hidden", "rgb"), "/tmp/.hidden.rgb");
    EXPECT_EQ(WithDefaultExtension("/tmp/", "rgb"), "/tmp/");
    EXPECT_EQ(WithDefaultExtension("", "rgb"), "");
}

// ---- headless conversion -----------------------------------------------------------

TEST(ConvertPaletteFile, LoadsLikeTheEditorAndSavesAnRgbFile) {
    TempDir dir;
    FakeHost host;
    const std::string map = std::string(VELMORA_TESTDATA_DIR) + "/palettes/Skydye05.map";
    ASSERT_TRUE(ConvertPaletteFile(map, dir.File("out.rgb"), host));
    EXPECT_TRUE(host.messages.empty());
    Palette expected = PatternPalette();
    PaletteUi ui;
    ASSERT_EQ(LoadPaletteFromPath(map, expected, ui.ctx), PaletteLoadResult::Loaded);
    EXPECT_EQ(ReadBytes(dir.File("out.rgb")), RgbPaletteFileBytes(expected));

    // A short .rgb keeps the default palette's colours beyond what it holds.
    WriteBytes(dir.File("short.rgb"), RgbBytes(PatternPalette(3), 12 + 40));
    ASSERT_TRUE(ConvertPaletteFile(dir.File("short.rgb"), dir.File("out2.rgb"), host));
    const std::vector<std::uint8_t> out2 = ReadBytes(dir.File("out2.rgb"));
    ASSERT_EQ(out2.size(), kRgbFileSize);
    Palette back;
    std::memcpy(back.Bytes(), out2.data() + kRgbTagSize, Palette::kBytes);
    EXPECT_EQ(back.Entry(9).red, PatternPalette(3).Entry(9).red);
    EXPECT_EQ(back.Entry(10), DefaultPalette().Entry(10));
}

TEST(ConvertPaletteFile, FailureWritesNothing) {
    TempDir dir;
    const std::string rejected = std::string(VELMORA_TESTDATA_DIR) + "/palettes-rejected/";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {rejected + "trailing-space.pal", kMsgBadJasc},
        {rejected + "froth316.map", kMsgBadMap},
        {dir.File("missing.map"), kMsgCouldNotOpenFile},
        {dir.File("missing.rgb"), dir.File("missing.rgb") + " was not found."},
    };
    for (const auto& [in, message] : cases) {
        FakeHost host;
        host.allowMessages = true;
        EXPECT_FALSE(ConvertPaletteFile(in, dir.File("out.rgb"), host)) << in;
        ASSERT_EQ(host.messages.size(), 1u) << in;
        EXPECT_EQ(host.messages[0].text, message);
        EXPECT_FALSE(fs::exists(dir.File("out.rgb"))) << in;
    }
}

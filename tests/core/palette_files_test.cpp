// The palette readers (with the number and triple readers under .map and
// .pal) and the .rgb writer, on real files and in memory.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "TempDir.h"
#include "palette/DefaultPalette.h"
#include "palette/PaletteDialogText.h"
#include "palette/PaletteFiles.h"
#include "palette/PaletteText.h"

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

std::vector<int> allNumbers(std::string_view text) {
    MemoryByteSource src(text);
    PaletteTextStream in(&src);
    std::vector<int> out;
    while (auto n = readPaletteNumber(in)) out.push_back(*n);
    return out;
}

TEST(readPaletteNumber, AtMostThreeDigitsAndTheNextCharacterIsLost) {
    const struct { std::string_view text; std::vector<int> numbers; } cases[] = {
        {"+7,-8;x9", {7, 8, 9}},  // signs only separate
        {"created 06-25-1996", {6, 25, 199}}, {"123456789 1000 0 0", {123, 567, 9, 100, 0, 0}}, {"12,34", {12, 34}},
        {"1\xff" "2\x80", {1, 2}},  // bytes above 127 are characters, not the end of the text
        {"1\r\n2\r3", {1, 2, 3}}, {"no digits here\r\n", {}}, {"", {}}};
    for (const auto& c : cases) EXPECT_EQ(allNumbers(c.text), c.numbers) << c.text;
    const std::string far(PaletteTextStream::kMaxTextBytes - 1, ' ');  // a huge text ends after its first MiB
    EXPECT_EQ(allNumbers(far + "56"), std::vector<int>{5});
}

TEST(readPaletteTriples, OneEntryPerLineReservedBytesNeverWritten) {
    std::string split;  // a triple may stand on several lines
    for (int i = 0; i < 256; ++i) split += std::to_string(i) + "\r\n-" + std::to_string(i) + "\n\n7 \r\n";
    using E = std::pair<int, RgbQuad>;  // entry and colour, as blue, green, red
    const struct { const char* name; std::string text; std::vector<E> entries; } cases[] = {
        {"low eight bits", "300 0 0\n256 511 999\n" + mapText(254), {{0, {0, 0, 44}}, {1, {231, 255, 0}}}},
        {"four digits lose the fourth", "1000 0 0\n" + mapText(255),
         {{0, {0, 0, 100}}, {1, {0, 255, 0}}, {255, {127, 1, 254}}}},
        {"long run shifts within its line", "12345 6 7\n" + mapText(255), {{0, {6, 5, 123}}, {1, {0, 255, 0}}}},
        {"a triple on several lines", split, {{5, {7, 5, 5}}, {255, {7, 255, 255}}}},
        {"bare CR ends a line", mapText(256, "  old Mac comment 99\r"), {{200, {100, 55, 200}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Palette before = patternPalette();
        Palette p = before;
        MemoryByteSource src(c.text);
        PaletteTextStream in(&src);
        EXPECT_TRUE(readPaletteTriples(in, p));
        for (const auto& [i, q] : c.entries)
            EXPECT_EQ(p.entry(i), (RgbQuad{q.blue, q.green, q.red, before.entry(i).reserved})) << i;
        for (std::size_t i = 0; i < 256; ++i) ASSERT_EQ(p.entry(i).reserved, before.entry(i).reserved) << i;
    }
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string jascText(int colours, const std::string& count = "256") {
    return "JASC-PAL\r\n0100\r\n" + count + "\r\n" + mapText(colours, "\r\n");
}

std::vector<std::uint8_t> rgbBytes(const Palette& p, std::size_t keep = kRgbFileSize) {
    std::vector<std::uint8_t> b = rgbPaletteFileBytes(p);
    b.resize(keep);
    return b;
}

TEST(chooseReader, OnlyTheLastThreeCharactersCountInAnyCase) {
    using R = PaletteReader;
    const std::pair<const char*, R> cases[] = {
        {"/a/b/c.map", R::FractIntMap}, {"C.MAP", R::FractIntMap}, {"bitmap", R::FractIntMap}, {"x.Pal", R::Jasc},
        {"x.pAL", R::Jasc}, {"x.rgb", R::Rgb}, {"x.txt", R::Rgb}, {"x.map.rgb", R::Rgb}, {"ap", R::Rgb}, {"", R::Rgb}};
    for (const auto& [path, reader] : cases) EXPECT_EQ(chooseReader(path), reader) << path;
}

TEST(RgbPalette, SaveReplacesAFileAndLoadGivesTheColoursWithReservedCleared) {
    TempDir dir;
    PaletteUi ui;
    const Palette original = patternPalette(1);
    const std::string path = dir.file("p.rgb");
    writeBytes(path, std::vector<std::uint8_t>(5000, 0xAB));
    ASSERT_TRUE(savePaletteToPath(path, original, ui.ctx));
    const std::vector<std::uint8_t> bytes = readBytes(path);  // the tag, then the colours as held, reserved bytes too
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 12), "RGBQUAD[255]");
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 12, bytes.end()),
              std::vector<std::uint8_t>(original.bytes(), original.bytes() + 1024));
    Palette loaded = defaultPalette();
    Palette seenByRebuild;  // the grid's rebuild runs inside the reader, before Load clears the reserved bytes
    ui.ctx.rebuildAndRepaint = [&] { seenByRebuild = loaded; ++ui.rebuilds; };
    EXPECT_EQ(loadPaletteFromPath(path, loaded, ui.ctx), PaletteLoadResult::Loaded);
    ui.expectNone();
    Palette expected = original;
    expected.clearReserved();
    EXPECT_EQ(std::tuple(ui.rebuilds, seenByRebuild, loaded), std::tuple(1, original, expected));
    PaletteUi ui2;
    EXPECT_FALSE(savePaletteToPath(dir.file("no/such/p.rgb"), original, ui2.ctx));
    ui2.expectOnly(dir.file("no/such/p.rgb") + " was not found.", MsgIcon::Error);
}

TEST(RgbPalette, ReadErrorsAfterTheTagKeepWhatWasRead) {
    // Cut in the tag: nothing read; cut after 100 bytes of entries: those are kept.
    const struct { std::size_t kept; const char* message; std::size_t read; int rebuilds; } cases[] = {
        {6, kMsgTagReadError, 0, 0}, {12 + 100, kMsgEntriesReadError, 100, 1}};
    for (const auto& c : cases) {
        PaletteUi ui;
        MemoryByteSource cut(rgbBytes(patternPalette(8)), c.kept);
        Palette p = defaultPalette();
        EXPECT_EQ(readRgbPalette(cut, p, ui.ctx), PaletteLoadResult::ReadError);
        ui.expectOnly(c.message, MsgIcon::Warning);
        EXPECT_EQ(std::tuple(ui.rebuilds, std::memcmp(p.bytes(), patternPalette(8).bytes(), c.read),
                             std::memcmp(p.bytes() + c.read, defaultPalette().bytes() + c.read, 1024 - c.read)),
                  std::tuple(c.rebuilds, 0, 0));
    }
}

TEST(PaletteLoad, FailuresKeepTheColoursAndShowTheReadersMessage) {
    TempDir dir;
    std::string lowerTag(reinterpret_cast<const char*>(rgbPaletteFileBytes(patternPalette(3)).data()), kRgbFileSize);
    lowerTag.replace(0, 12, "rgbquad[255]");
    const std::string missing = "\1missing", folder = "\1folder", pipe = "\1pipe";
    const std::string unexpected = "An unexpected error occurred while reading ";
    using R = PaletteLoadResult;
    const struct { const char* file; std::string content; R result; std::string message; } cases[] = {
        {"a.rgb", missing, R::NotOpened, dir.file("a.rgb") + " was not found."},
        {"b.rgb", folder, R::NotOpened, dir.file("b.rgb") + " contains an invalid path."},
        {"c.rgb", pipe, R::NotOpened, unexpected + dir.file("c.rgb") + "."},  // a pipe may never end
        {"d.rgb", lowerTag, R::Refused, kMsgBadRgb}, {"e.rgb", "RGBQUAD[255", R::Refused, kMsgBadRgb},
        {"f.rgb", "", R::Refused, kMsgBadRgb}, {"g.rgb", std::string(1036, '\0'), R::Refused, kMsgBadRgb},
        {"a.map", missing, R::NotOpened, kMsgCouldNotOpenFile}, {"b.map", folder, R::NotOpened, kMsgCouldNotOpenFile},
        {"c.map", pipe, R::NotOpened, kMsgCouldNotOpenFile}, {"d.map", mapText(255), R::Refused, kMsgBadMap},
        {"e.map", "no digits at all\n", R::Refused, kMsgBadMap},
        {"a.Pal", missing, R::NotOpened, kMsgCouldNotOpenFile}, {"b.pal", folder, R::NotOpened, kMsgCouldNotOpenFile},
        {"c.pal", pipe, R::NotOpened, kMsgCouldNotOpenFile}, {"d.pal", jascText(200), R::Refused, kMsgBadJasc},
        {"e.pal", jascText(256, "16"), R::Refused, kMsgBadJasc},
        {"f.pal", "JASC-PAL\n0100\n255\n" + mapText(256), R::Refused, kMsgBadJasc},
        {"g.pal", "JASC-PAL\r\n0100\r\n25", R::Refused, kMsgBadJasc},  // fewer than 17 characters
        {"h.pal", "", R::Refused, kMsgBadJasc}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir.file(c.file);
        if (c.content == folder) fs::create_directory(path);
        ASSERT_TRUE(c.content != pipe || ::mkfifo(path.c_str(), 0600) == 0);
        if (c.content[0] != '\1') writeText(path, c.content);
        PaletteUi ui;
        Palette p = patternPalette(9);
        Palette expected = p;
        // Load clears the reserved bytes after every attempt, except an .rgb file it could not open.
        if (c.result != R::NotOpened || chooseReader(c.file) != PaletteReader::Rgb) expected.clearReserved();
        EXPECT_EQ(loadPaletteFromPath(path, p, ui.ctx), c.result);
        ui.expectOnly(c.message, MsgIcon::Error);
        // Nothing changed and nothing created.
        EXPECT_EQ(std::tuple(p, ui.rebuilds, fs::exists(path)), std::tuple(expected, 0, c.content != missing));
    }
}

// An independent reading of a palette file: skip the JASC header, then the
// first three whole numbers of each of the first 256 lines.
Palette expectedFromLines(const fs::path& path) {
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
        p.setEntry(entry++, RgbQuad{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0});
    }
    EXPECT_EQ(entry, 256u) << path;
    return p;
}

std::vector<fs::path> filesIn(const std::string& sub) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_TESTDATA_DIR) / sub))
        if (e.is_regular_file()) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(RealPaletteFiles, AcceptedOnesLoadTheColoursOfTheirLinesRejectedOnesAreRefused) {
    using R = PaletteLoadResult;
    for (const bool accepted : {true, false}) {
        const std::vector<fs::path> files = filesIn(accepted ? "palettes" : "palettes-rejected");
        ASSERT_GE(files.size(), accepted ? 19u : 5u);
        for (const fs::path& f : files) {
            SCOPED_TRACE(f.string());
            PaletteUi ui;
            Palette p = patternPalette(16);
            Palette kept = p;
            kept.clearReserved();
            EXPECT_EQ(loadPaletteFromPath(f.string(), p, ui.ctx), accepted ? R::Loaded : R::Refused);
            EXPECT_EQ(std::pair(ui.rebuilds, p), std::pair(accepted ? 1 : 0, accepted ? expectedFromLines(f) : kept));
            if (accepted) ui.expectNone();  // and ExpectedFromLines has the reserved bytes cleared too
            if (!accepted) ui.expectOnly(f.extension() == ".pal" ? kMsgBadJasc : kMsgBadMap, MsgIcon::Error);
        }
    }
}

TEST(PaletteDialogText, FiltersAndDefaultExtension) {
    EXPECT_EQ(dialogFilterList(kPaletteLoadFilter),
              "Velmora Palette Files (*.rgb);;FractInt Palette Files (*.map);;"
              "Paint Shop Pro JASC Palette Files (*.pal);;All Files (*.*)");
    EXPECT_EQ(dialogFilterList(kPaletteSaveFilter), "Velmora Palette Files (*.rgb);;All Files (*.*)");
    for (const auto& [in, out] : {std::pair{"/tmp/a", "/tmp/a.rgb"}, {"/tmp/a.map", "/tmp/a.map"}, {"/tmp/", "/tmp/"},
                                  {"/tmp/a.b/c", "/tmp/a.b/c.rgb"}, {"/tmp/.hidden", "/tmp/.hidden.rgb"}})
        EXPECT_EQ(withDefaultExtension(in, "rgb"), out) << in;
}

}  // namespace

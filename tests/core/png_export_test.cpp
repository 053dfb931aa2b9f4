// PNG export: decoded with libpng, the banded PNG holds the one-piece render's
// indices and palette and the whole document; readers refuse what is not one.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "TempDir.h"
#include "export/PictureExport.h"
#include "export/PngDocumentChunk.h"

using namespace velmora;
using namespace velmora::test;

namespace {

struct Decoded {
    int width = 0, height = 0, colourType = -1;
    std::vector<std::uint8_t> indices, plte;  // top row first; r, g, b
};

Decoded decode(const std::string& path) {
    Decoded d;
    FILE* f = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    d.width = static_cast<int>(png_get_image_width(png, info));
    d.height = static_cast<int>(png_get_image_height(png, info));
    d.colourType = png_get_color_type(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (int r = 0; r < d.height; ++r) d.indices.insert(d.indices.end(), rows[r], rows[r] + d.width);
    png_colorp colours = nullptr;
    int n = 0;
    png_get_PLTE(png, info, &colours, &n);
    for (int i = 0; i < n; ++i) d.plte.insert(d.plte.end(), {colours[i].red, colours[i].green, colours[i].blue});
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return d;
}

DocumentContents sample(std::int32_t w, std::int32_t h, FractalType type) {
    DocumentContents c;
    c.params = FractalParams{-1.7, 1.1, 0.6, -0.9, type, -0.75, 0.12, 90, w, h};
    c.palette = ramp(3);
    c.keyframes = threeKeyframes();
    c.destFolder = "/tmp/frames/";
    return c;
}

struct StripCase {
    std::int32_t width, height, bandRows;
    FractalType type;
};

class PngStrips : public ::testing::TestWithParam<StripCase> {};

TEST_P(PngStrips, BandedPngHoldsTheOnePieceRenderAndTheDocument) {
    const StripCase& k = GetParam();
    const TempDir dir;
    const DocumentContents c = sample(k.width, k.height, k.type);
    std::error_code cause;
    ASSERT_EQ(exportPng(c, dir.file("a.png"), nullptr, cause, k.bandRows), PngWriteResult::Ok);

    FakeHost host;
    Document doc(host);
    applyDocument(doc, DocumentContents(c));
    ASSERT_EQ(doc.renderImage(), 1);
    const Decoded d = decode(dir.file("a.png"));
    ASSERT_EQ(d.colourType, PNG_COLOR_TYPE_PALETTE);
    ASSERT_EQ(d.width, k.width);
    ASSERT_EQ(d.height, k.height);
    for (int r = 0; r < k.height; ++r) {  // the engine's rows are stored bottom-up
        const std::uint8_t* bmpRow = doc.m_engine->bits() + doc.m_engine->stride() * std::size_t(k.height - 1 - r);
        ASSERT_TRUE(std::equal(bmpRow, bmpRow + k.width, d.indices.begin() + std::ptrdiff_t(r) * k.width)) << r;
    }
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint8_t* q = c.palette.raw().data() + 4 * i;
        ASSERT_EQ(std::vector<std::uint8_t>(d.plte.begin() + 3 * i, d.plte.begin() + 3 * i + 3),
                  (std::vector<std::uint8_t>{q[2], q[1], q[0]}));
    }
    DocumentContents back;
    std::string message;
    ASSERT_EQ(readPngDocument(dir.file("a.png"), back, message), PngDocumentResult::Loaded);
    EXPECT_EQ(serializeContents(back), serializeContents(c));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngStrips,
                         ::testing::Values(StripCase{1, 1, 64, FractalType::Mandelbrot},
                                           StripCase{37, 130, 64, FractalType::Mandelbrot},
                                           StripCase{64, 64, 64, FractalType::Julia},
                                           StripCase{203, 101, 7, FractalType::Julia},
                                           StripCase{5, 300, 1, FractalType::Mandelbrot}));

// Byte surgery on a good file: each result names what the reader must say.
TEST(PngDocument, RefusesWhatHoldsNoReadableDocument) {
    const TempDir dir;
    std::error_code cause;
    ASSERT_EQ(exportPng(sample(20, 10, FractalType::Mandelbrot), dir.file("a.png"), nullptr, cause),
              PngWriteResult::Ok);
    const std::vector<std::uint8_t> good = readBytes(dir.file("a.png"));
    const auto chunk = std::search(good.begin(), good.end(), std::begin("iTXt"), std::end("iTXt") - 1) - 4;
    const std::size_t at = std::size_t(chunk - good.begin());
    const std::size_t length = std::size_t(chunk[0]) << 24 | std::size_t(chunk[1]) << 16 | chunk[2] << 8 | chunk[3];
    struct Case {
        const char* name;
        std::function<void(std::vector<std::uint8_t>&)> change;
        PngDocumentResult result;
    };
    const Case cases[] = {
        {"as written", [](auto&) {}, PngDocumentResult::Loaded},
        {"chunk removed", [&](auto& b) { b.erase(b.begin() + at, b.begin() + at + length + 12); },
         PngDocumentResult::NoDocument},
        {"signature only", [](auto& b) { b.resize(8); }, PngDocumentResult::NotPng},
        {"cut in the header", [](auto& b) { b.resize(20); }, PngDocumentResult::NotPng},
        {"not a PNG", [](auto& b) { b.assign(100, 'x'); }, PngDocumentResult::NotPng},
        {"chunk damaged", [&](auto& b) { b[at + 30] ^= 1; }, PngDocumentResult::NotPng},  // its CRC fails
        {"empty", [](auto& b) { b.clear(); }, PngDocumentResult::NotPng},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<std::uint8_t> bytes = good;
        k.change(bytes);
        DocumentContents out;
        EXPECT_EQ(parsePngDocument(bytes.data(), bytes.size(), out), k.result);
    }
    const std::uint8_t pixels[2] = {0, 1};
    ASSERT_EQ(writeIndexedPng(dir.file("b.png"), 2, 1, ramp(0), {'V', 'M', 'R'}, [&](auto) { return pixels; }, cause),
              PngWriteResult::Ok);
    DocumentContents out;
    std::string message;
    EXPECT_EQ(readPngDocument(dir.file("b.png"), out, message), PngDocumentResult::BadDocument);
    EXPECT_EQ(readPngDocument(dir.file("missing.png"), out, message), PngDocumentResult::NotOpened);
    EXPECT_FALSE(message.empty());
}

// A file-size limit mid-file fails the export and keeps the old file whole.
TEST(PngExport, FullDiskMidFileLeavesTheOldFile) {
    const TempDir dir;
    const std::vector<std::uint8_t> old(100, 'o');
    writeBytes(dir.file("a.png"), old);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit r{4000, 4000};
        ::setrlimit(RLIMIT_FSIZE, &r);
        std::error_code cause;
        ::_exit(int(exportPng(sample(300, 300, FractalType::Mandelbrot), dir.file("a.png"), nullptr, cause)));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), int(PngWriteResult::WriteFailed));
    EXPECT_EQ(readBytes(dir.file("a.png")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace

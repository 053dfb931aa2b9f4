// PNG export: decoded with libpng, the banded PNG holds the one-piece render's
// indices and palette and the whole document; readers refuse what is not one.
#include <gtest/gtest.h>
#include <zlib.h>

#include "AnimTestSupport.h"
#include "FakeHost.h"
#include "PngDecode.h"
#include "export/PictureExport.h"
#include "export/PngDocumentChunk.h"
#include "session/RenderSession.h"

using namespace velmora;
using namespace velmora::test;

namespace {


DocumentContents sample(std::int32_t w, std::int32_t h, FractalType type) {
    return {{-1.7, 1.1, 0.6, -0.9, type, -0.75, 0.12, 90, w, h, {}},
            ramp(3),
            {TweenStyle::SlowAtKeyframes, "/tmp/frames/", 120, 90, PlaybackStyle::PingPong},
            threeKeyframes()};
}

// Band heights that divide the picture's height and ones that do not. N = 1: the
// indices and palette of the one-piece render; N > 1: true colour, each pixel
// the mean of an N x N block of the render at N times the size, rounded half up.
TEST(PngExport, BandedPngHoldsTheOnePieceRenderAndTheDocument) {
    using F = FractalType;
    const std::tuple<int, int, int, int, F> cases[] = {{1, 1, 1, 64, F::Mandelbrot},  {1, 37, 130, 64, F::Mandelbrot},
                                                       {1, 64, 64, 64, F::Julia},     {1, 203, 101, 7, F::Julia},
                                                       {1, 5, 300, 1, F::Mandelbrot}, {2, 7, 5, 64, F::Mandelbrot},
                                                       {3, 10, 9, 4, F::Julia},       {8, 3, 2, 1, F::Mandelbrot}};
    for (const auto& [n, width, height, bandRows, type] : cases) {
        SCOPED_TRACE(testing::Message() << n << ": " << width << "x" << height << " in bands of " << bandRows);
        const TempDir dir;
        const DocumentContents c = sample(width, height, type);
        std::error_code cause;
        ASSERT_EQ(exportPng(c, dir.file("a.png"), nullptr, cause, {n, false, bandRows}), PngWriteResult::Ok);
        FakeHost host;
        Document doc(host);
        RenderSession session{doc};
        doc.setContents(sample(width * n, height * n, type));
        ASSERT_EQ(session.render(), 1);
        const auto index = [&](int row, int column) {  // the engine's rows are stored bottom-up
            return session.engine()
                ->bits()[session.engine()->stride() * std::size_t(height * n - 1 - row) + std::size_t(column)];
        };
        std::vector<std::uint8_t> expected{std::uint8_t(n == 1 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB),
                                           std::uint8_t(width), std::uint8_t(height)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (const int channel : n == 1 ? std::vector<int>{0} : std::vector<int>{2, 1, 0}) {  // of BGR0
                    int sum = 0;
                    for (int b = 0; b < n * n; ++b)
                        sum += c.palette.raw()[4 * index(y * n + b / n, x * n + b % n) + channel];
                    expected.push_back(n == 1 ? index(y, x) : std::uint8_t((2 * sum + n * n) / (2 * n * n)));
                }
        for (std::size_t i = 0; n == 1 && i < 1024; i += 4)
            expected.insert(expected.end(), {c.palette.raw()[i + 2], c.palette.raw()[i + 1], c.palette.raw()[i]});
        EXPECT_EQ(decodePng(dir.file("a.png")), expected);
        DocumentContents back;
        std::string message;
        ASSERT_EQ(readPngDocument(dir.file("a.png"), back, message), PngDocumentResult::Loaded);
        EXPECT_EQ(serializeContents(back), serializeContents(c));
    }
}

// Smooth: each escaping pixel lies between the colours of the engine's count and
// the next count's entry (0 shown as 1), the others are entry 0; supersampled,
// the mean of the smooth picture at N times the size.
TEST(PngExport, SmoothColoursKeepTheEnginesCountsAndAverageLikeAnyPicture) {
    const TempDir dir;
    std::error_code cause;
    DocumentContents c = sample(24, 17, FractalType::Mandelbrot);
    c.params.iterations = 300;  // counts past 256 wrap
    for (std::size_t i = 0; i < 256; ++i) c.palette.setEntry(i, RgbQuad{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i), 0});
    ASSERT_EQ(exportPng(c, dir.file("i.png"), nullptr, cause), PngWriteResult::Ok);
    ASSERT_EQ(exportPng(c, dir.file("s.png"), nullptr, cause, {1, true, 5}), PngWriteResult::Ok);
    const std::vector<std::uint8_t> indices = decodePng(dir.file("i.png")), smooth = decodePng(dir.file("s.png"));
    ASSERT_EQ(smooth.size(), 3 + 24 * 17 * 3u);
    EXPECT_EQ(smooth[0], PNG_COLOR_TYPE_RGB);
    const auto rgb = [&](int entry) {
        const RgbQuad q = c.palette.entry(std::size_t(entry));
        return std::array<int, 3>{q.red, q.green, q.blue};
    };
    int escaping = 0, blended = 0;  // pixels, and those that took something of the next entry
    for (std::size_t p = 0; p < 24 * 17; ++p) {
        const int index = indices[3 + p], next = index == 255 || index == 0 ? 1 : index + 1;
        bool moved = false;
        for (int ch = 0; ch < 3; ++ch) {
            const int v = smooth[3 + 3 * p + std::size_t(ch)], a = rgb(index)[ch], b = rgb(index == 0 ? 0 : next)[ch];
            EXPECT_TRUE(v >= std::min(a, b) && v <= std::max(a, b)) << p << " channel " << ch;
            moved = moved || v != a;
        }
        escaping += index != 0, blended += moved;
    }
    EXPECT_GT(blended * 2, escaping) << "most escaping pixels lie between two entries";
    c.params.width *= 3, c.params.height *= 3;
    ASSERT_EQ(exportPng(c, dir.file("big.png"), nullptr, cause, {1, true, 64}), PngWriteResult::Ok);
    c.params.width /= 3, c.params.height /= 3;
    ASSERT_EQ(exportPng(c, dir.file("ss.png"), nullptr, cause, {3, true, 64}), PngWriteResult::Ok);
    const std::vector<std::uint8_t> big = decodePng(dir.file("big.png")), averaged = decodePng(dir.file("ss.png"));
    ASSERT_EQ(averaged.size(), smooth.size());
    for (std::size_t y = 0; y < 17; ++y)
        for (std::size_t x = 0; x < 24; ++x)
            for (std::size_t ch = 0; ch < 3; ++ch) {
                int sum = 0;
                for (std::size_t b = 0; b < 9; ++b) sum += big[3 + ((y * 3 + b / 3) * 72 + x * 3 + b % 3) * 3 + ch];
                EXPECT_EQ(averaged[3 + (y * 24 + x) * 3 + ch], (2 * sum + 9) / 18) << x << "," << y;
            }
}

// Byte surgery on a good file: each result names what the reader must say.
TEST(PngDocument, RefusesWhatHoldsNoReadableDocument) {
    const TempDir dir;
    std::error_code cause;
    ASSERT_EQ(exportPng(sample(20, 10, FractalType::Mandelbrot), dir.file("a.png"), nullptr, cause),
              PngWriteResult::Ok);
    const std::vector<std::uint8_t> good = readBytes(dir.file("a.png"));
    const auto at = std::search(good.begin(), good.end(), std::begin("iTXt"), std::end("iTXt") - 1) - good.begin() - 4;
    auto withoutChunk = good, damaged = good;
    withoutChunk.erase(withoutChunk.begin() + at, withoutChunk.begin() + at + 12 + (good[at + 2] << 8 | good[at + 3]));
    damaged[at + 30] ^= 1;  // in the document's text: the chunk's CRC fails
    DocumentContents out;
    EXPECT_EQ(parsePngDocument(good.data(), good.size(), out), PngDocumentResult::Loaded);
    EXPECT_EQ(parsePngDocument(withoutChunk.data(), withoutChunk.size(), out), PngDocumentResult::NoDocument);
    auto manyTexts = good;  // 1001 other text chunks ahead of ours
    const std::uint8_t text[] = {0, 0, 0, 3, 't', 'E', 'X', 't', 'k', 0, 'v'};
    std::vector<std::uint8_t> chunk(std::begin(text), std::end(text));
    const uLong crc = crc32(0, chunk.data() + 4, 7);
    chunk.insert(chunk.end(), {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8), std::uint8_t(crc)});
    for (int i = 0; i < 1001; ++i) manyTexts.insert(manyTexts.begin() + at, chunk.begin(), chunk.end());
    EXPECT_EQ(parsePngDocument(manyTexts.data(), manyTexts.size(), out), PngDocumentResult::Loaded);
    const auto cut = [&](int n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + n); };
    const std::vector<std::uint8_t> notPng[] = {damaged, cut(0), cut(8), cut(20), std::vector<std::uint8_t>(99, 'x')};
    for (const auto& bytes : notPng)
        EXPECT_EQ(parsePngDocument(bytes.data(), bytes.size(), out), PngDocumentResult::NotPng) << bytes.size();
    const PngRowSource pixels = [](std::int32_t) { static const std::uint8_t row[2] = {0, 1}; return row; };
    ASSERT_EQ(writePng(dir.file("b.png"), 2, 1, PngColour::Indexed, ramp(0), {'V', 'M', 'R'}, pixels, cause),
              PngWriteResult::Ok);
    std::string message;
    EXPECT_EQ(readPngDocument(dir.file("b.png"), out, message), PngDocumentResult::BadDocument);
    EXPECT_EQ(readPngDocument(dir.file("missing.png"), out, message), PngDocumentResult::NotOpened);
    // The largest document whose chunk the reader still takes, and one byte more: refused, nothing written.
    std::vector<std::uint8_t> huge((kMaxPngChunkBytes - 12) / 4 * 3, 'V');
    ASSERT_EQ(writePng(dir.file("c.png"), 2, 1, PngColour::Indexed, ramp(0), huge, pixels, cause), PngWriteResult::Ok);
    EXPECT_EQ(readPngDocument(dir.file("c.png"), out, message), PngDocumentResult::BadDocument);
    huge.push_back('V');
    EXPECT_EQ(writePng(dir.file("d.png"), 2, 1, PngColour::Indexed, ramp(0), huge, pixels, cause),
              PngWriteResult::DocumentTooLarge);
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.png")));
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>

#include "EngineReference.h"
#include "FakeHost.h"
#include "TempDir.h"
#include "model/BmpWriter.h"
#include "model/LittleEndian.h"
#include "model/VelmoraDoc.h"
#include "palette/DefaultPalette.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::ReadBytes;
using velmora::test::TempDir;

namespace {

std::vector<std::uint8_t> Export(CVelmoraDoc& doc, const std::string& path) {
    doc.m_pEngine->BuildBitmap(doc.m_palette);
    std::error_code ec;
    EXPECT_EQ(doc.WriteBmp(path, ec), BmpWriteResult::Ok) << ec.message();
    return ReadBytes(path);
}

TEST(Bmp, DefaultPictureFileBytes) {
    FakeHost host;
    TempDir dir;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.LoadDefaultPalette();
    ASSERT_EQ(doc.RenderImage(), 1);
    const auto b = Export(doc, dir.File("out.bmp"));
    ASSERT_EQ(b.size(), 91078u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le::LoadU32(&b[2]), 91078u);
    EXPECT_EQ(le::LoadU16(&b[6]), 0);
    EXPECT_EQ(le::LoadU16(&b[8]), 0);
    EXPECT_EQ(le::LoadU32(&b[10]), 1078u);
    EXPECT_EQ(le::LoadU32(&b[14]), 40u);
    EXPECT_EQ(le::LoadI32(&b[18]), 300);
    EXPECT_EQ(le::LoadI32(&b[22]), 300);
    EXPECT_EQ(le::LoadU16(&b[26]), 1);
    EXPECT_EQ(le::LoadU16(&b[28]), 8);
    EXPECT_EQ(le::LoadU32(&b[30]), 0u);
    EXPECT_EQ(le::LoadU32(&b[34]), 0u);
    EXPECT_EQ(le::LoadI32(&b[38]), 1);
    EXPECT_EQ(le::LoadI32(&b[42]), 1);
    EXPECT_EQ(le::LoadU32(&b[46]), 0u);
    EXPECT_EQ(le::LoadU32(&b[50]), 0u);
    EXPECT_EQ(0, std::memcmp(&b[54], DefaultPalette().Bytes(), 1024));
    const auto ref = test::ReferenceImage(test::RefParams{});
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 1078, b.end()), ref);
}

TEST(Bmp, RowPaddingForNarrowAndOddWidths) {
    FakeHost host;
    TempDir dir;
    const std::size_t rowBytes[] = {4, 4, 4, 4, 8};
    for (int w = 1; w <= 5; ++w) {
        CVelmoraDoc doc(host);
        doc.OnNewDocument();
        doc.SetResolution(w, 3);
        ASSERT_EQ(doc.RenderImage(), 1);
        const auto b = Export(doc, dir.File("w.bmp"));
        EXPECT_EQ(b.size(), 1078 + rowBytes[w - 1] * 3) << w;
        EXPECT_EQ(le::LoadU32(&b[2]), b.size()) << w;
    }
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.SetResolution(301, 2);
    doc.RenderImage();
    const auto b = Export(doc, dir.File("301.bmp"));
    EXPECT_EQ(b.size(), 1686u);
    EXPECT_EQ(b[1078 + 301], 0);  // padding stays zero
    EXPECT_EQ(b[1078 + 303], 0);
}

TEST(Bmp, ColourTableIsThePaletteLastGivenToBuildBitmap) {
    FakeHost host;
    TempDir dir;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.LoadDefaultPalette();
    doc.RenderImage();
    doc.m_pEngine->BuildBitmap(doc.m_palette);
    doc.m_palette.SetEntry(0, RgbQuad{7, 8, 9, 0});  // edited after the last draw
    std::error_code ec;
    ASSERT_EQ(doc.WriteBmp(dir.File("a.bmp"), ec), BmpWriteResult::Ok);
    EXPECT_EQ(ReadBytes(dir.File("a.bmp"))[54], 0);
    const auto b = Export(doc, dir.File("a.bmp"));  // replaces the file without a question
    EXPECT_EQ(b[54], 7);
    EXPECT_EQ(b.size(), 91078u);
}

TEST(Bmp, FailuresAreReportedNotHidden) {
    FakeHost host;
    TempDir dir;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    std::error_code ec;
    EXPECT_EQ(doc.WriteBmp(dir.File("x.bmp"), ec), BmpWriteResult::NoHeader);  // never drawn
    doc.m_pEngine->BuildBitmap(doc.m_palette);
    EXPECT_EQ(doc.WriteBmp(dir.File("missing/x.bmp"), ec), BmpWriteResult::CreateFailed);
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
#ifdef __linux__
    EXPECT_EQ(doc.WriteBmp("/dev/full", ec), BmpWriteResult::WriteFailed);
#endif
}

TEST(Bmp, FileHeaderSizeFieldMatchesRows) {
    const auto h = BmpFileHeader(301, 2);
    EXPECT_EQ(le::LoadU32(&h[2]), 1686u);
    EXPECT_EQ(le::LoadU32(&h[10]), 1078u);
    EXPECT_EQ(le::LoadU32(&BmpFileHeader(0, 10)[2]), 1078u);
}

}  // namespace

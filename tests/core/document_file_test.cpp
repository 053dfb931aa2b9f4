#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <random>

#include "FakeHost.h"
#include "TempDir.h"
#include "model/DocumentFile.h"
#include "model/LittleEndian.h"
#include "model/VelmoraDoc.h"
#include "palette/DefaultPalette.h"

using namespace velmora;
using velmora::test::FakeHost;
using velmora::test::ReadBytes;
using velmora::test::TempDir;
using velmora::test::WriteBytes;

namespace {

void NewDoc(CVelmoraDoc& doc) {
    doc.OnNewDocument();
    doc.LoadDefaultPalette();
}

double LoadDouble(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[at + static_cast<std::size_t>(i)];
    return std::bit_cast<double>(u);
}

Keyframe SampleKeyframe(int seed) {
    Keyframe k;
    k.left = -1.25 - seed;
    k.right = 0.5 + seed;
    k.top = -0.75;
    k.bottom = 0.125 * seed;
    k.cReal = -0.8;
    k.cImag = 0.156;
    k.type = 2;
    k.iterations = 1000 + seed;
    k.transitions = 10 * seed;
    for (std::size_t i = 0; i < Palette::kBytes; ++i) k.palette.Bytes()[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return k;
}

TEST(DocumentFile, NewDocumentIsExactly1356BytesWithFieldsInPlace) {
    FakeHost host;
    CVelmoraDoc doc(host);
    NewDoc(doc);
    doc.m_destFolder = "/home/u/anim/";
    const auto b = SerializeDocument(doc);
    ASSERT_EQ(b.size(), 1356u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 5), "VMR10");
    EXPECT_EQ(LoadDouble(b, 5), -2.0);
    EXPECT_EQ(LoadDouble(b, 13), -1.5);
    EXPECT_EQ(LoadDouble(b, 21), 2.0);
    EXPECT_EQ(LoadDouble(b, 29), 1.5);
    EXPECT_EQ(le::LoadI32(&b[37]), 402);
    EXPECT_EQ(LoadDouble(b, 41), 0.3);
    EXPECT_EQ(LoadDouble(b, 49), 0.6);
    EXPECT_EQ(le::LoadI32(&b[57]), 300);
    EXPECT_EQ(le::LoadI32(&b[61]), 300);
    EXPECT_EQ(b[65], 1);
    EXPECT_EQ(0, std::memcmp(&b[66], DefaultPalette().Bytes(), 1024));
    EXPECT_EQ(b[1090], 2);
    EXPECT_EQ(le::LoadI32(&b[1091]), 100);
    EXPECT_EQ(le::LoadI32(&b[1095]), 100);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[1099])), "/home/u/anim/");
    for (std::size_t i = 1099 + 13; i < 1355; ++i) ASSERT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[1355], 0);
    doc.m_params.type = FractalType::Julia;
    EXPECT_EQ(le::LoadI32(&SerializeDocument(doc)[37]), 403);
}

TEST(DocumentFile, KeyframeRecordLayout) {
    FakeHost host;
    CVelmoraDoc doc(host);
    NewDoc(doc);
    doc.m_keyframes.push_back(SampleKeyframe(1));
    const auto b = SerializeDocument(doc);
    ASSERT_EQ(b.size(), 1356u + 1085u);
    const std::size_t r = 1355;
    EXPECT_EQ(b[r], 1);
    EXPECT_EQ(LoadDouble(b, r + 1), -2.25);   // left
    EXPECT_EQ(LoadDouble(b, r + 9), -0.75);   // top: file order differs from the record
    EXPECT_EQ(LoadDouble(b, r + 17), 1.5);    // right
    EXPECT_EQ(LoadDouble(b, r + 25), 0.125);  // bottom
    EXPECT_EQ(le::LoadI32(&b[r + 49]), 2);    // type in a full int32
    EXPECT_EQ(le::LoadI32(&b[r + 53]), 1001);
    EXPECT_EQ(le::LoadI32(&b[r + 57]), 10);
    EXPECT_EQ(b[r + 61], doc.m_keyframes[0].palette.Bytes()[0]);
    EXPECT_EQ(b.back(), 0);
}

TEST(DocumentFile, RoundTripIsBitForBit) {
    FakeHost host;
    TempDir dir;
    CVelmoraDoc doc(host);
    NewDoc(doc);
    doc.m_params.left = -0.0;
    doc.m_params.top = 0.1 + 0.2;
    doc.m_params.right = -5e-324;
    doc.m_params.bottom = std::bit_cast<double>(0x7ff8000000001234ull);  // NaN with a payload
    doc.m_params.type = FractalType::Julia;
    doc.m_params.iterations = 201;
    doc.m_params.cReal = std::numeric_limits<double>::infinity();
    doc.m_params.width = 0;
    doc.m_params.height = -3;
    doc.m_playbackStyle = PlaybackStyle::PingPong | PlaybackStyle::Looping;
    doc.m_tweenStyle = TweenStyle::SlowAtKeyframes;
    doc.m_animWidth = 640;
    doc.m_animHeight = 480;
    doc.m_destFolder = "frames/";
    doc.m_palette.SetEntry(17, RgbQuad{1, 2, 3, 4});
    for (int i = 0; i < 3; ++i) doc.m_keyframes.push_back(SampleKeyframe(i));
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("a.vmr")));
    const auto saved = ReadBytes(dir.File("a.vmr"));
    EXPECT_EQ(saved, SerializeDocument(doc));

    CVelmoraDoc other(host);
    NewDoc(other);
    ASSERT_TRUE(other.OnOpenDocument(dir.File("a.vmr")));
    EXPECT_EQ(SerializeDocument(other), saved);
    EXPECT_EQ(other.m_params.type, FractalType::Julia);
    EXPECT_EQ(other.m_params.iterations, 201);
    EXPECT_EQ(other.GetTitle(), "a.vmr");
    EXPECT_FALSE(other.IsModified());
    EXPECT_FALSE(other.m_bRendered);
    EXPECT_EQ(other.m_pEngine->GetWidth(), 0);
    EXPECT_EQ(other.m_pEngine->GetHeight(), -3);
    EXPECT_EQ(other.m_pPalette.Get()->entries[17].peFlags, 4);
}

TEST(DocumentFile, NegativeLimitsRoundTripThroughArithmeticShift) {
    for (const std::int32_t it : {-1, -1073741824, 0, 1, 1073741823}) {
        DocumentContents c;
        c.params.iterations = it;
        c.params.type = FractalType::Mandelbrot;
        DocumentContents back;
        const auto b = SerializeContents(c);
        ASSERT_TRUE(ParseDocument(b.data(), b.size(), back));
        EXPECT_EQ(back.params.iterations, it);
        EXPECT_EQ(back.params.type, FractalType::Mandelbrot);
    }
}

TEST(DocumentFile, AnyNonZeroMarkerIntroducesARecordAndTrailingBytesAreIgnored) {
    DocumentContents c;
    c.keyframes.push_back(SampleKeyframe(2));
    auto b = SerializeContents(c);
    b[1355] = 7;
    b.push_back(0xAB);
    b.push_back(0xCD);
    DocumentContents back;
    ASSERT_TRUE(ParseDocument(b.data(), b.size(), back));
    ASSERT_EQ(back.keyframes.size(), 1u);
    EXPECT_EQ(back.keyframes[0].iterations, 1002);
    EXPECT_EQ(back.keyframes[0].left, -3.25);
    EXPECT_EQ(back.keyframes[0].bottom, 0.25);
}

TEST(DocumentFile, FolderFieldReadsUpToTheFirstZero) {
    DocumentContents c;
    c.destFolder = "0123456789";
    auto b = SerializeContents(c);
    // Garbage after the first zero must not reach the folder.
    b[1099 + 11] = 'X';
    DocumentContents back;
    back.destFolder = "previous folder that is much longer";
    ASSERT_TRUE(ParseDocument(b.data(), b.size(), back));
    EXPECT_EQ(back.destFolder, "0123456789");
    // A field with no zero at all gives 256 characters, never more.
    std::memset(&b[1099], 'a', 256);
    ASSERT_TRUE(ParseDocument(b.data(), b.size(), back));
    EXPECT_EQ(back.destFolder.size(), 256u);
}

TEST(DocumentFile, EveryTruncationIsRefused) {
    DocumentContents c;
    c.keyframes.push_back(SampleKeyframe(1));
    c.keyframes.push_back(SampleKeyframe(2));
    const auto b = SerializeContents(c);
    for (std::size_t n = 0; n < b.size(); ++n) {
        DocumentContents back;
        ASSERT_FALSE(ParseDocument(b.data(), n, back)) << "prefix of " << n << " bytes";
    }
}

TEST(DocumentFile, SignatureIsCaseSensitive) {
    DocumentContents c;
    for (std::size_t i = 0; i < 5; ++i) {
        auto b = SerializeContents(c);
        b[i] = static_cast<std::uint8_t>(std::tolower(b[i]) == b[i] ? b[i] ^ 1 : std::tolower(b[i]));
        DocumentContents back;
        EXPECT_FALSE(ParseDocument(b.data(), b.size(), back)) << i;
    }
}

class OpenFailure : public ::testing::Test {
protected:
    FakeHost host;
    TempDir dir;
    CVelmoraDoc doc{host};

    void SetUp() override {
        host.allowMessages = true;
        NewDoc(doc);
        doc.m_palette.SetEntry(3, RgbQuad{9, 9, 9, 0});
        doc.m_params.iterations = 77;
        doc.m_keyframes.push_back(SampleKeyframe(1));
        doc.SetPathName("/somewhere/old.vmr");
    }
    void ExpectNewDefaultsWithPaletteKept() {
        EXPECT_EQ(doc.m_params.iterations, 201);
        EXPECT_EQ(doc.GetKeyframeCount(), 0);
        EXPECT_EQ(doc.GetTitle(), "Untitled");
        EXPECT_EQ(doc.GetPathName(), "");
        EXPECT_EQ(doc.m_palette.Entry(3), (RgbQuad{9, 9, 9, 0}));
        ASSERT_NE(doc.m_pEngine, nullptr);
        EXPECT_EQ(doc.m_pEngine->GetWidth(), 300);
    }
};

TEST_F(OpenFailure, WrongSignature) {
    WriteBytes(dir.File("bad.vmr"), {'v', 'M', 'R', '1', '0', 0, 0, 0});
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("bad.vmr")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Unexpected file format.");
    EXPECT_EQ(host.messages[0].caption, "");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
    ExpectNewDefaultsWithPaletteKept();
}

TEST_F(OpenFailure, CutInsideThePaletteOrAKeyframe) {
    DocumentContents c;
    c.palette.SetEntry(3, RgbQuad{1, 1, 1, 1});
    c.keyframes.push_back(SampleKeyframe(5));
    const auto full = SerializeContents(c);
    for (const std::size_t cut : {std::size_t{600}, std::size_t{1355 + 500}, full.size() - 1}) {
        host.messages.clear();
        WriteBytes(dir.File("cut.vmr"), std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(cut)));
        EXPECT_FALSE(doc.OnOpenDocument(dir.File("cut.vmr")));
        EXPECT_EQ(host.LastText(), "Unexpected file format.");
        ExpectNewDefaultsWithPaletteKept();  // a failed load never half-replaces the colours
    }
}

TEST_F(OpenFailure, MissingFileChangesNothing) {
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("nope.vmr")));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, dir.File("nope.vmr") + " was not found.");
    EXPECT_EQ(doc.m_params.iterations, 77);
    EXPECT_EQ(doc.GetTitle(), "old.vmr");
}

TEST_F(OpenFailure, ZeroByteFileOpensAsANoOp) {
    WriteBytes(dir.File("empty.vmr"), {});
    EXPECT_TRUE(doc.OnOpenDocument(dir.File("empty.vmr")));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc.m_params.iterations, 77);
    EXPECT_EQ(doc.GetKeyframeCount(), 1);
    EXPECT_EQ(doc.GetTitle(), "empty.vmr");
}

TEST(DocumentSave, RefusesValuesTheFileCannotHoldAndKeepsTheOldFile) {
    FakeHost host;
    host.allowMessages = true;
    TempDir dir;
    CVelmoraDoc doc(host);
    NewDoc(doc);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("keep.vmr")));
    const auto original = ReadBytes(dir.File("keep.vmr"));
    doc.SetModifiedFlag(true);

    doc.m_params.iterations = 1073741824;
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("keep.vmr")));
    EXPECT_NE(host.LastText().find("1073741822"), std::string::npos);
    EXPECT_EQ(host.messages.back().icon, MsgIcon::Warning);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadBytes(dir.File("keep.vmr")), original);

    doc.m_params.iterations = 1073741823;
    doc.m_destFolder = std::string(256, 'f');
    EXPECT_FALSE(doc.OnSaveDocument(dir.File("keep.vmr")));
    EXPECT_NE(host.LastText().find("255 characters"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File("keep.vmr")), original);

    doc.m_destFolder = std::string(255, 'f');
    EXPECT_TRUE(doc.OnSaveDocument(dir.File("keep.vmr")));
    EXPECT_FALSE(doc.IsModified());
    CVelmoraDoc back(host);
    ASSERT_TRUE(back.OnOpenDocument(dir.File("keep.vmr")));
    EXPECT_EQ(back.m_params.iterations, 1073741823);
    EXPECT_EQ(back.m_destFolder, std::string(255, 'f'));
}

TEST(DocumentSave, UncreatableFileIsReportedWithItsPath) {
    FakeHost host;
    host.allowMessages = true;
    TempDir dir;
    CVelmoraDoc doc(host);
    NewDoc(doc);
    doc.SetModifiedFlag(true);
    const std::string path = dir.File("no/such/folder/x.vmr");
    EXPECT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, path + " was not found.");
    EXPECT_TRUE(doc.IsModified());
}

TEST(DocumentFile, RandomCorruptionNeverCrashes) {
    DocumentContents c;
    c.keyframes.push_back(SampleKeyframe(3));
    const auto good = SerializeContents(c);
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        auto b = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int f = 0; f < flips; ++f) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
        b.resize(rng() % (b.size() + 200), 0x01);
        DocumentContents back;
        (void)ParseDocument(b.data(), b.size(), back);
    }
    SUCCEED();
}

}  // namespace
